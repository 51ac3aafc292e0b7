#include "settings/SettingsReadScope.h"

namespace {

thread_local CSettingsReadScope* currentScope = nullptr;

std::shared_ptr<const CSettingsContents> ReadStore(
    const std::optional<std::filesystem::path>& path) {
  if (!path) return std::make_shared<const CSettingsContents>();
  return std::make_shared<const CSettingsContents>(CSettingsStore(*path).Read());
}

}  // namespace

CSettingsReadScope::CSettingsReadScope() : outermost_(currentScope == nullptr) {
  if (outermost_) currentScope = this;
}

CSettingsReadScope::~CSettingsReadScope() {
  if (outermost_) currentScope = nullptr;
}

std::shared_ptr<const CSettingsContents> CSettingsReadScope::UserSettings() {
  auto path = CSettingsStore::UserStorePath();
  CSettingsReadScope* scope = currentScope;
  if (scope == nullptr) return ReadStore(path);
  // The store's place comes from the environment; a scope that finds it
  // moved reads the new place.
  if (!scope->contents_ || scope->path_ != path) {
    scope->contents_ = ReadStore(path);
    scope->path_ = path;
  }
  return scope->contents_;
}

void CSettingsReadScope::Forget() {
  if (currentScope != nullptr) currentScope->contents_.reset();
}
