#pragma once

#include <memory>
#include <optional>

#include "settings/CommSettings.h"
#include "settings/SettingsStore.h"

class CAppProfile;

// The settings store as the Windows front end reaches it. The core's
// registry access names its root and types as windows.h does, so the two
// never meet in one file: these are compiled without windows.h.

// The form's start-up read of the connection settings: false when no
// connection is saved (the settings dialog is then due).
bool ReadConnectionSettings(CCommSettings& settings);
// The settings dialog's save button: why the first write failed, nothing
// when every value was stored. A comPort below 1 becomes 1 first.
std::optional<CSettingsProblem> SaveConnectionSettings(CCommSettings& settings);

// The framework's own settings (the recent-file list), read at start-up and
// written back at exit.
class CFrameworkProfile {
 public:
  CFrameworkProfile();
  ~CFrameworkProfile();
  void Load();
  void Save();

 private:
  std::unique_ptr<CAppProfile> profile_;
};
