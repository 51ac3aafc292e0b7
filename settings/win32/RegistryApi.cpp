#include "settings/win32/RegistryApi.h"

#include <windows.h>

#include <string>

namespace regapi {

namespace {

// The settings dialog names the key with a trailing backslash, the start-up
// reader without one; both must reach the same key.
std::string KeyPath(const char* subkey) {
  std::string path = subkey;
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Closes a key when it goes out of scope.
struct COpenKey {
  HKEY key = nullptr;
  ~COpenKey() {
    if (key != nullptr) RegCloseKey(key);
  }
};

}  // namespace

long ReadCurrentUserValue(const char* subkey, const char* valueName, void* buffer,
                          std::uint32_t capacity, std::uint32_t& received, std::uint32_t& type,
                          bool& keyOpened) {
  COpenKey open;
  // Reading needs no more than read access, so a key the user may read but
  // not change still reads.
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_READ, &open.key);
  keyOpened = status == ERROR_SUCCESS;
  if (!keyOpened) {
    open.key = nullptr;
    return status;
  }
  DWORD valueType = REG_NONE;
  DWORD size = capacity;
  status =
      RegQueryValueExA(open.key, valueName, nullptr, &valueType, static_cast<BYTE*>(buffer), &size);
  if (status == ERROR_SUCCESS) {
    received = size;
    type = valueType;
  }
  return status;
}

long WriteCurrentUserValue(const char* subkey, const char* valueName, std::uint32_t type,
                           const void* data, std::uint32_t size) {
  COpenKey open;
  LONG status =
      RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &open.key, nullptr);
  if (status != ERROR_SUCCESS) {
    open.key = nullptr;
    return status;
  }
  return RegSetValueExA(open.key, valueName, 0, type, static_cast<const BYTE*>(data), size);
}

void KeepLastError(long code) { SetLastError(static_cast<DWORD>(code)); }

std::string StatusText(long code) {
  char* systemText = nullptr;
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                     static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                     reinterpret_cast<char*>(&systemText), 0, nullptr);
  std::string text =
      length != 0 && systemText != nullptr ? systemText : "error " + std::to_string(code);
  if (systemText != nullptr) LocalFree(systemText);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace regapi
