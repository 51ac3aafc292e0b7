#include "app/AppProfile.h"

#include <cstring>

#include "settings/SettingsReadScope.h"

namespace {

constexpr std::uint32_t kValueBufferSize = 1000;

std::string FileEntryName(int number) { return "File" + std::to_string(number); }

}  // namespace

CAppProfile::CAppProfile(std::string applicationName)
    : applicationName_(std::move(applicationName)) {}

void CAppProfile::SetRegistryKey(const std::string& registryKey) { registryKey_ = registryKey; }

std::string CAppProfile::RecentFileListKey() const {
  return "Software\\" + registryKey_ + "\\" + applicationName_ + "\\Recent File List";
}

void CAppProfile::LoadStdProfileSettings(int maxRecentFiles) {
  recentFiles_.clear();
  // The entries come from one read of the settings file.
  const CSettingsReadScope oneRead;
  const std::string key = RecentFileListKey();
  for (int number = 1; number <= maxRecentFiles; ++number) {
    char buffer[kValueBufferSize] = {};
    // The last byte stays zero, so a value without its own terminator still ends.
    if (!registry_.ReadValue(buffer, nullptr, kValueBufferSize - 1, HKEY_CURRENT_USER, key.c_str(),
                             FileEntryName(number).c_str())) {
      continue;
    }
    if (buffer[0] != '\0') recentFiles_.emplace_back(buffer);
  }
}

void CAppProfile::SaveStdProfileSettings() {
  const std::string key = RecentFileListKey();
  for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
    const std::string& file = recentFiles_[i];
    registry_.WriteValue(file.c_str(), REG_SZ, static_cast<std::uint32_t>(file.size() + 1),
                         HKEY_CURRENT_USER, key.c_str(),
                         FileEntryName(static_cast<int>(i) + 1).c_str());
  }
}
