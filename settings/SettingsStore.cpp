#include "settings/SettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "settings/WholeFile.h"
#include "settings/linux/FileDescriptor.h"

CSettingsStore::CSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<std::filesystem::path> CSettingsStore::UserStorePath() {
  std::filesystem::path configHome;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    configHome = xdg;
  } else {
    auto home = UserHomeDirectory();
    if (!home) return std::nullopt;
    configHome = *home / ".config";
  }
  return configHome / "ravelle" / "settings.reg";
}

CSettingsProblem CSettingsStore::SystemProblem(const char* doing, int errorCode) const {
  return {errorCode, file_.string() + " " + doing + ": " + FileErrorText(errorCode)};
}

CSettingsContents CSettingsStore::Read() const {
  CSettingsContents contents;
  std::string text;
  if (int error = ReadWholeFile(file_, kMaxFileSize, text)) {
    // Only a store that is not there at all is "nothing saved yet".
    if (IsMissingFileError(error)) return contents;
    if (error == FileTooLargeError()) {
      contents.problem = CSettingsProblem{
          error, file_.string() + " cannot be read: larger than 1 MiB, which no settings file is"};
    } else if (error == FileNotPlainError()) {
      contents.problem =
          CSettingsProblem{error, file_.string() + " cannot be read: not a plain file"};
    } else {
      contents.problem = SystemProblem("cannot be read", error);
    }
    return contents;
  }
  CRegParseError error;
  auto parsed = ParseRegExport(text, &error);
  if (!parsed) {
    contents.problem = CSettingsProblem{EINVAL, file_.string() + " cannot be read: line " +
                                                    std::to_string(error.line) + ": " + error.what};
    return contents;
  }
  contents.hive = std::move(*parsed);
  return contents;
}

bool CSettingsStore::Set(std::string_view keyPath, CRegValue value,
                         CSettingsProblem* problem) const {
  CSettingsProblem unused;
  CSettingsProblem& why = problem != nullptr ? *problem : unused;
  if (int error = MakeUserFolder(file_.parent_path())) {
    why = SystemProblem("cannot be written: its folder cannot be made", error);
    return false;
  }

  std::filesystem::path lockPath = file_;
  lockPath += ".lock";
  CFileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.Get() < 0) {
    why = SystemProblem("cannot be written: its lock file cannot be opened", errno);
    return false;
  }
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      why = SystemProblem("cannot be written: its lock file cannot be locked", errno);
      return false;
    }
  }

  CSettingsContents contents = Read();
  if (contents.problem) {
    why = std::move(*contents.problem);
    return false;
  }
  contents.hive.SetValue(keyPath, std::move(value));
  return Replace(contents.hive, why);
}

bool CSettingsStore::Replace(const CRegHive& hive, CSettingsProblem& problem) const {
  if (int error = ReplaceWholeFile(file_, FormatRegExport(hive))) {
    problem = SystemProblem("cannot be written", error);
    return false;
  }
  return true;
}
