#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/RegExportFormat.h"

// Why the settings store cannot be used: the file, what is wrong in it (the
// line, for a file that does not parse) or the system's text, and the
// error code (errno; EINVAL for a file that does not parse, EFBIG for one
// over the size limit).
struct CSettingsProblem {
  int errorCode = 0;
  std::string text;
};

// One read of the store. A store that does not exist yet reads as an empty
// hive; a store that exists but cannot be read or parsed is never taken for
// an empty one: problem says why and the hive stays empty.
struct CSettingsContents {
  CRegHive hive;
  std::optional<CSettingsProblem> problem;
};

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
  // A settings file is a few hundred bytes; anything past this is not one,
  // and reading it would cost every send its time and memory.
  static constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;

  explicit CSettingsStore(std::filesystem::path file);

  // The current user's store, worked out from the environment now; nothing
  // when neither XDG_CONFIG_HOME nor a home directory is known.
  static std::optional<std::filesystem::path> UserStorePath();

  // Reads and parses the whole file once. The store is only ever replaced
  // by rename, so a reader sees one whole version of it and needs no lock.
  CSettingsContents Read() const;

  // keyPath is the full path from the root (e.g. "HKEY_CURRENT_USER\Software\X").
  // Creates the key when needed and replaces the value. False, with the
  // reason in problem when given, when the store is unreadable, its folder
  // cannot be made or the new file cannot be put in place; the store then
  // holds what it held before.
  bool Set(std::string_view keyPath, CRegValue value, CSettingsProblem* problem = nullptr) const;

 private:
  CSettingsProblem SystemProblem(const char* doing, int errorCode) const;
  bool Replace(const CRegHive& hive, CSettingsProblem& problem) const;

  std::filesystem::path file_;
};
