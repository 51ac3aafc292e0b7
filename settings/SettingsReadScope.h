#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "settings/SettingsStore.h"

// One read of the current user's settings store, shared by every read of
// one operation: a packet's send (the port map is looked up more than once
// on its way), the start-up read of the saved settings, the command line's
// set-up. While a scope lives on a thread, the reads on that thread answer
// from the first read made in it, so the file is parsed once however many
// values the operation looks up.
//
// Scopes are short on purpose: the next operation reads the file again, so
// a hand edit between two games (or two packets) is taken by the next send.
// A scope inside another one shares the outer one's read, and a write
// through the store's reader drops the read, so a scope never hides what
// was written in it.
class CSettingsReadScope {
 public:
  CSettingsReadScope();
  ~CSettingsReadScope();
  CSettingsReadScope(const CSettingsReadScope&) = delete;
  CSettingsReadScope& operator=(const CSettingsReadScope&) = delete;

  // The current user's store, from this thread's scope when there is one
  // (read now if the scope has not read yet), else read afresh. With no
  // known store path it reads as an empty store.
  static std::shared_ptr<const CSettingsContents> UserSettings();

  // Drops this thread's shared read, after a write.
  static void Forget();

 private:
  bool outermost_;
  std::optional<std::filesystem::path> path_;
  std::shared_ptr<const CSettingsContents> contents_;
};
