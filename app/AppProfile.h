#pragma once

#include <string>
#include <vector>

#include "settings/RegistryAccess.h"

// The framework's own settings: a key "Software\<registry key>\<application>"
// in the same per-user store as the connection settings, holding the
// recent-file list. The program opens no files, so the list stays as it is
// found; it is read at start-up and written back at exit.
class CAppProfile {
 public:
  explicit CAppProfile(std::string applicationName);

  void SetRegistryKey(const std::string& registryKey);
  // Reads the recent-file list, at most maxRecentFiles entries.
  void LoadStdProfileSettings(int maxRecentFiles);
  // Writes every entry of the list back.
  void SaveStdProfileSettings();

  // "Software\<registry key>\<application>\Recent File List".
  std::string RecentFileListKey() const;
  const std::vector<std::string>& RecentFiles() const { return recentFiles_; }

 private:
  std::string applicationName_;
  std::string registryKey_;
  std::vector<std::string> recentFiles_;
  CRegistryAccess registry_;
};
