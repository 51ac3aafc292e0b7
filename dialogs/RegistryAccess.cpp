#include "dialogs/RegistryAccess.h"

#include <cstring>
#include <optional>
#include <string>

#include "dialogs/SettingsStore.h"

namespace {

std::optional<std::string> FullKeyPath(HKEY root, const char* subkey) {
  if (root != HKEY_CURRENT_USER || subkey == nullptr) return std::nullopt;
  auto path = NormaliseKeyPath(subkey);
  if (!path) return std::nullopt;
  return path->empty() ? std::string("HKEY_CURRENT_USER") : "HKEY_CURRENT_USER\\" + *path;
}

}  // namespace

bool CRegistryAccess::ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity,
                                HKEY root, const char* subkey, const char* valueName) {
  auto storePath = CSettingsStore::UserStorePath();
  auto keyPath = FullKeyPath(root, subkey);
  if (!storePath || !keyPath) return false;

  CRegValue value;
  switch (CSettingsStore(*storePath).Find(*keyPath, valueName ? valueName : "", value)) {
    case CSettingsStore::Lookup::Unreadable:
    case CSettingsStore::Lookup::NoKey:
      // The key could not be opened: the received size is left alone.
      return false;
    case CSettingsStore::Lookup::NoValue:
      break;
    case CSettingsStore::Lookup::Found:
      if (value.data.size() <= capacity && (buffer != nullptr || value.data.empty())) {
        if (!value.data.empty()) std::memcpy(buffer, value.data.data(), value.data.size());
        if (receivedSize != nullptr) *receivedSize = static_cast<std::uint32_t>(value.data.size());
        return true;
      }
      break;
  }
  if (receivedSize != nullptr) *receivedSize = 0;
  return false;
}

bool CRegistryAccess::WriteValue(const void* data, std::uint32_t type, std::uint32_t size,
                                 HKEY root, const char* subkey, const char* valueName) {
  auto storePath = CSettingsStore::UserStorePath();
  auto keyPath = FullKeyPath(root, subkey);
  std::string name = valueName ? valueName : "";
  if (!storePath || !keyPath || !IsStorableValueName(name) || (data == nullptr && size > 0)) {
    return false;
  }
  CRegValue value{name, type, {}};
  if (size > 0) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    value.data.assign(bytes, bytes + size);
  }
  return CSettingsStore(*storePath).Set(*keyPath, std::move(value));
}
