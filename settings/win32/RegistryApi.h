#pragma once

#include <cstdint>
#include <string>

// The registry calls behind CRegistryAccess on Windows. windows.h defines
// HKEY, HKEY_CURRENT_USER and REG_SZ, which settings/RegistryAccess.h names
// as well, so only RegistryApi.cpp includes windows.h. Results are the
// registry's own status codes (0 is success).
namespace regapi {

inline constexpr long kSuccess = 0;

// Opens subkey of HKEY_CURRENT_USER for reading; keyOpened tells whether
// that much worked. On success copies the value into buffer (at most
// capacity bytes) and sets received and type.
long ReadCurrentUserValue(const char* subkey, const char* valueName, void* buffer,
                          std::uint32_t capacity, std::uint32_t& received, std::uint32_t& type,
                          bool& keyOpened);

// Creates subkey of HKEY_CURRENT_USER when needed (non-volatile, default
// security) and sets the value.
long WriteCurrentUserValue(const char* subkey, const char* valueName, std::uint32_t type,
                           const void* data, std::uint32_t size);

// Makes code the thread's last error, where a caller reporting the failure
// finds it.
void KeepLastError(long code);

// The system's text for a registry status code, without its line end.
std::string StatusText(long code);

}  // namespace regapi
