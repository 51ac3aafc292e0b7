#include "settings/RegistryAccess.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "settings/SettingsReadScope.h"
#include "settings/SettingsStore.h"

namespace {

std::optional<std::string> FullKeyPath(HKEY root, const char* subkey) {
  if (root != HKEY_CURRENT_USER || subkey == nullptr) return std::nullopt;
  auto path = NormaliseKeyPath(subkey);
  if (!path) return std::nullopt;
  return path->empty() ? std::string("HKEY_CURRENT_USER") : "HKEY_CURRENT_USER\\" + *path;
}

}  // namespace

bool CRegistryAccess::ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity,
                                HKEY root, const char* subkey, const char* valueName,
                                std::uint32_t* type) {
  auto keyPath = FullKeyPath(root, subkey);
  if (!keyPath) return false;
  auto settings = CSettingsReadScope::UserSettings();
  // A store that cannot be read is a key that cannot be opened: the
  // received size is left alone.
  if (settings->problem || settings->hive.FindKey(*keyPath) == nullptr) return false;

  const CRegValue* value = settings->hive.FindValue(*keyPath, valueName ? valueName : "");
  if (value != nullptr && value->data.size() <= capacity &&
      (buffer != nullptr || value->data.empty())) {
    if (!value->data.empty()) std::memcpy(buffer, value->data.data(), value->data.size());
    if (receivedSize != nullptr) *receivedSize = static_cast<std::uint32_t>(value->data.size());
    if (type != nullptr) *type = value->type;
    return true;
  }
  if (receivedSize != nullptr) *receivedSize = 0;
  return false;
}

bool CRegistryAccess::WriteValue(const void* data, std::uint32_t type, std::uint32_t size,
                                 HKEY root, const char* subkey, const char* valueName) {
  auto storePath = CSettingsStore::UserStorePath();
  auto keyPath = FullKeyPath(root, subkey);
  std::string name = valueName ? valueName : "";
  lastWriteProblem_.reset();
  if (!storePath) {
    lastWriteProblem_ = CSettingsProblem{
        ENOENT, "there is no settings file: neither XDG_CONFIG_HOME nor a home folder is known"};
    return false;
  }
  if (!keyPath || !IsStorableValueName(name) || (data == nullptr && size > 0)) {
    lastWriteProblem_ = CSettingsProblem{
        EINVAL, storePath->string() + " cannot be written: a key or value name it cannot hold"};
    return false;
  }
  CRegValue value{name, type, {}};
  if (size > 0) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    value.data.assign(bytes, bytes + size);
  }
  CSettingsProblem problem;
  const bool stored = CSettingsStore(*storePath).Set(*keyPath, std::move(value), &problem);
  // Whatever happened, a shared read made before may no longer be the file.
  CSettingsReadScope::Forget();
  if (!stored) lastWriteProblem_ = std::move(problem);
  return stored;
}

std::optional<CSettingsProblem> CRegistryAccess::StoreProblem() {
  return CSettingsReadScope::UserSettings()->problem;
}
