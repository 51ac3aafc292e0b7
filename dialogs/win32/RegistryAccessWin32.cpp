// CRegistryAccess over the Windows registry: one value per call, the key
// opened and closed each time. A failed call leaves the registry's reason
// in the thread's last error for a caller that reports it.

#include "dialogs/RegistryAccess.h"
#include "dialogs/win32/RegistryApi.h"

bool CRegistryAccess::ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity,
                                HKEY root, const char* subkey, const char* valueName) {
  if (root != HKEY_CURRENT_USER || subkey == nullptr) return false;
  std::uint32_t received = 0, type = 0;
  bool keyOpened = false;
  long status =
      regapi::ReadCurrentUserValue(subkey, valueName, buffer, capacity, received, type, keyOpened);
  if (!keyOpened) {
    // The key could not be opened: the received size is left alone.
    regapi::KeepLastError(status);
    return false;
  }
  if (status != regapi::kSuccess) {
    if (receivedSize != nullptr) *receivedSize = 0;
    regapi::KeepLastError(status);
    return false;
  }
  if (receivedSize != nullptr) *receivedSize = received;
  return true;
}

bool CRegistryAccess::WriteValue(const void* data, std::uint32_t type, std::uint32_t size,
                                 HKEY root, const char* subkey, const char* valueName) {
  if (root != HKEY_CURRENT_USER || subkey == nullptr || (data == nullptr && size > 0)) {
    return false;
  }
  long status = regapi::WriteCurrentUserValue(subkey, valueName, type, data, size);
  regapi::KeepLastError(status);
  return status == regapi::kSuccess;
}
