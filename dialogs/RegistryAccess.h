#pragma once

#include <cstdint>
#include <string>

// The registry's current-user hive, kept in one per-user settings store file
// ($XDG_CONFIG_HOME/ravelle/settings.reg, ~/.config when the variable is
// unset; the path is worked out at every call). Keys are addressed by their
// full path below the root; a trailing backslash names the same key.
enum class HKEY { CurrentUser };
inline constexpr HKEY HKEY_CURRENT_USER = HKEY::CurrentUser;

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_DWORD = 4;

// Reads or writes one value per call, opening and closing the store each
// time. Failures are reported only through the result: a failed read leaves
// the caller's default in its buffer, a failed write leaves the stored value
// as it was.
class CRegistryAccess {
 public:
  virtual ~CRegistryAccess() = default;

  // Copies the value's bytes into buffer. Fails when the key or value is
  // missing, the store cannot be read, or the value is larger than capacity.
  // The value's type is not checked. receivedSize (optional) gets the byte
  // count on success and 0 on a failed query.
  bool ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity, HKEY root,
                 const char* subkey, const char* valueName);

  // Creates the key when needed and stores size bytes of data with type.
  bool WriteValue(const void* data, std::uint32_t type, std::uint32_t size, HKEY root,
                  const char* subkey, const char* valueName);
};

// The program's own key, as the start-up reader names it; the settings
// dialog's writer names it with a trailing backslash.
inline constexpr const char* kSettingsKey = "Software\\Norvane\\Ravelle";
inline constexpr const char* kSettingsWriteKey = "Software\\Norvane\\Ravelle\\";
