#pragma once

#include <memory>

#include "settings/CommSettings.h"

class CAppProfile;
class CRegistryAccess;

// The settings store as the Windows front end reaches it. The core's
// registry access names its root and types as windows.h does, so the two
// never meet in one file: these are compiled without windows.h.

// The form's start-up read of the connection settings: false when no
// connection is saved (the settings dialog is then due).
bool ReadConnectionSettings(CCommSettings& settings);

// A registry access object of its own, for the dialogs' editors.
class CSettingsRegistry {
 public:
  CSettingsRegistry();
  ~CSettingsRegistry();
  CRegistryAccess& Access() { return *registry_; }

 private:
  std::unique_ptr<CRegistryAccess> registry_;
};

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
