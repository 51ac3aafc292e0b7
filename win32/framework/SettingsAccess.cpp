#include "win32/framework/SettingsAccess.h"

#include "app/AppProfile.h"
#include "link/MessageBoxSeam.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"

namespace {

// The framework's settings key, below "Software" in the per-user store.
constexpr const char* kFrameworkRegistryKey = "Local AppWizard-Generated Applications";
constexpr int kMaxRecentFiles = 4;

}  // namespace

bool ReadConnectionSettings(CCommSettings& settings) {
  CRegistryAccess registry;
  return ReadSavedSettings(settings, registry);
}

CSettingsRegistry::CSettingsRegistry() : registry_(std::make_unique<CRegistryAccess>()) {}

CSettingsRegistry::~CSettingsRegistry() = default;

CFrameworkProfile::CFrameworkProfile() : profile_(std::make_unique<CAppProfile>(kApplicationName)) {
  profile_->SetRegistryKey(kFrameworkRegistryKey);
}

CFrameworkProfile::~CFrameworkProfile() = default;

void CFrameworkProfile::Load() { profile_->LoadStdProfileSettings(kMaxRecentFiles); }

void CFrameworkProfile::Save() { profile_->SaveStdProfileSettings(); }
