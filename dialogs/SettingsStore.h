#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "dialogs/RegExportFormat.h"

// The per-user settings file that stands in for the registry's current-user
// hive: $XDG_CONFIG_HOME/ravelle/settings.reg ($HOME/.config when the
// variable is unset, empty or not an absolute path), in the registry editor's
// export format.
//
// Writers never lose data. Each change is a read-modify-write under an
// exclusive flock on a lock file beside the store, so two running copies
// cannot drop each other's values; the new contents go to a temporary file
// that is synced and then renamed over the store, so a crash leaves either
// the old file or the new one. A store that cannot be read or does not parse
// is never replaced: reads report it unreadable and writes fail.
class CSettingsStore {
 public:
  enum class Lookup { Found, NoKey, NoValue, Unreadable };

  explicit CSettingsStore(std::filesystem::path file);

  // The current user's store, worked out from the environment now; nothing
  // when neither XDG_CONFIG_HOME nor a home directory is known.
  static std::optional<std::filesystem::path> UserStorePath();

  // keyPath is the full path from the root (e.g. "HKEY_CURRENT_USER\Software\X").
  Lookup Find(std::string_view keyPath, std::string_view valueName, CRegValue& value) const;

  // Creates the key when needed and replaces the value. False when the store
  // is unreadable, its folder cannot be made or the new file cannot be put
  // in place; the store then holds what it held before.
  bool Set(std::string_view keyPath, CRegValue value) const;

 private:
  enum class Load { Loaded, Missing, Failed };
  Load Read(CRegHive& hive) const;
  bool Replace(const CRegHive& hive) const;

  std::filesystem::path file_;
};
