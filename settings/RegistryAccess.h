#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/SettingsStore.h"

// The registry's current-user hive, kept in one per-user settings store file
// ($XDG_CONFIG_HOME/ravelle/settings.reg, ~/.config when the variable is
// unset; the path is worked out at every call). Keys are addressed by their
// full path below the root; a trailing backslash names the same key.
enum class HKEY { CurrentUser };
inline constexpr HKEY HKEY_CURRENT_USER = HKEY::CurrentUser;

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_DWORD = 4;

// Reads or writes one value per call. A read opens the store unless a
// CSettingsReadScope on this thread already holds it. A failed read leaves
// the caller's default in its buffer, a failed write leaves the stored value
// as it was; LastWriteProblem and StoreProblem say why, for the callers that
// must not stay silent about it.
class CRegistryAccess {
 public:
  virtual ~CRegistryAccess() = default;

  // Copies the value's bytes into buffer. Fails when the key or value is
  // missing, the store cannot be read, or the value is larger than capacity.
  // receivedSize (optional) gets the byte count on success and 0 on a failed
  // query; type (optional) gets the stored type on success, for callers
  // that take a value only with the type they expect.
  bool ReadValue(void* buffer, std::uint32_t* receivedSize, std::uint32_t capacity, HKEY root,
                 const char* subkey, const char* valueName, std::uint32_t* type = nullptr);

  // Creates the key when needed and stores size bytes of data with type.
  bool WriteValue(const void* data, std::uint32_t type, std::uint32_t size, HKEY root,
                  const char* subkey, const char* valueName);

  // Nothing while the store can be read, or does not exist yet; otherwise
  // why not (the file and what is wrong in it). Reads fail while it cannot
  // be read, which a caller must not take for "nothing saved".
  std::optional<CSettingsProblem> StoreProblem();

  // Why the last WriteValue of this object failed; nothing after one that
  // worked.
  const std::optional<CSettingsProblem>& LastWriteProblem() const { return lastWriteProblem_; }

 private:
  std::optional<CSettingsProblem> lastWriteProblem_;
};

// The program's own key, as the start-up reader names it; the settings
// dialog's writer names it with a trailing backslash.
inline constexpr const char* kSettingsKey = "Software\\Norvane\\Ravelle";
inline constexpr const char* kSettingsWriteKey = "Software\\Norvane\\Ravelle\\";
