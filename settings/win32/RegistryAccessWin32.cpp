// CRegistryAccess over the Windows registry: one value per call, the key
// opened and closed each time. A failed call leaves the registry's reason
// in the thread's last error; a failed write also keeps it, with the key it
// concerned, for the save button's report. The registry is always readable
// as a whole, so StoreProblem has nothing to say.

#include "settings/RegistryAccess.h"
#include "settings/win32/RegistryApi.h"

bool CRegistryAccess::ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity,
                                HKEY root, const char* subkey, const char* valueName,
                                std::uint32_t* type) {
  if (root != HKEY_CURRENT_USER || subkey == nullptr) return false;
  std::uint32_t received = 0, storedType = 0;
  bool keyOpened = false;
  long status = regapi::ReadCurrentUserValue(subkey, valueName, buffer, capacity, received,
                                             storedType, keyOpened);
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
  if (type != nullptr) *type = storedType;
  return true;
}

bool CRegistryAccess::WriteValue(const void* data, std::uint32_t type, std::uint32_t size,
                                 HKEY root, const char* subkey, const char* valueName) {
  lastWriteProblem_.reset();
  if (root != HKEY_CURRENT_USER || subkey == nullptr || (data == nullptr && size > 0)) {
    lastWriteProblem_ = CSettingsProblem{87, "HKEY_CURRENT_USER: not a value this program writes"};
    return false;
  }
  long status = regapi::WriteCurrentUserValue(subkey, valueName, type, data, size);
  regapi::KeepLastError(status);
  if (status == regapi::kSuccess) return true;
  lastWriteProblem_ =
      CSettingsProblem{static_cast<int>(status), std::string("HKEY_CURRENT_USER\\") + subkey +
                                                     ": " + regapi::StatusText(status)};
  return false;
}

std::optional<CSettingsProblem> CRegistryAccess::StoreProblem() { return std::nullopt; }
