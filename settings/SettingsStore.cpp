#include "settings/SettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Closes a descriptor when it goes out of scope; closing also drops a flock.
class CFileDescriptor {
 public:
  explicit CFileDescriptor(int fd) : fd_(fd) {}
  ~CFileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  CFileDescriptor(const CFileDescriptor&) = delete;
  CFileDescriptor& operator=(const CFileDescriptor&) = delete;
  int Get() const { return fd_; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

std::optional<std::filesystem::path> HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::filesystem::path(home);
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return std::filesystem::path(found->pw_dir);
  }
  return std::nullopt;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the folder and any missing parents; new folders are private to the
// user, as the XDG base directory rules ask. 0, or the errno of the step that
// failed.
int MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return 0;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    if (int parentError = MakeFolder(folder.parent_path())) return parentError;
  }
  if (::mkdir(folder.c_str(), 0700) == 0) return 0;
  int mkdirError = errno;
  if (mkdirError == EEXIST && std::filesystem::is_directory(folder, error)) return 0;
  return mkdirError;
}

}  // namespace

CSettingsStore::CSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<std::filesystem::path> CSettingsStore::UserStorePath() {
  std::filesystem::path configHome;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    configHome = xdg;
  } else {
    auto home = HomeDirectory();
    if (!home) return std::nullopt;
    configHome = *home / ".config";
  }
  return configHome / "ravelle" / "settings.reg";
}

CSettingsProblem CSettingsStore::SystemProblem(const char* doing, int errorCode) const {
  return {errorCode,
          file_.string() + " " + doing + ": " + std::generic_category().message(errorCode)};
}

CSettingsContents CSettingsStore::Read() const {
  CSettingsContents contents;
  // Not blocking, so that a pipe put in the store's place cannot hold the
  // reader up; it is refused below as not a plain file.
  CFileDescriptor fd(::open(file_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) {
    // Only a store that is not there at all is "nothing saved yet".
    if (errno != ENOENT) contents.problem = SystemProblem("cannot be read", errno);
    return contents;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    contents.problem = SystemProblem("cannot be read", errno);
    return contents;
  }
  if (S_ISDIR(info.st_mode)) {
    contents.problem = SystemProblem("cannot be read", EISDIR);
    return contents;
  }
  if (!S_ISREG(info.st_mode)) {
    contents.problem =
        CSettingsProblem{EINVAL, file_.string() + " cannot be read: not a plain file"};
    return contents;
  }
  const CSettingsProblem tooLarge{
      EFBIG, file_.string() + " cannot be read: larger than 1 MiB, which no settings file is"};
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileSize) {
    contents.problem = tooLarge;
    return contents;
  }
  // The size is checked again while reading: the file may grow meanwhile.
  std::string text;
  char chunk[8192];
  for (;;) {
    ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      contents.problem = SystemProblem("cannot be read", errno);
      return contents;
    }
    if (n == 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
    if (text.size() > kMaxFileSize) {
      contents.problem = tooLarge;
      return contents;
    }
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
  if (int error = MakeFolder(file_.parent_path())) {
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
  std::string temporary = (file_.parent_path() / ".settings.reg.XXXXXX").string();
  CFileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0) {
    problem = SystemProblem("cannot be written", errno);
    return false;
  }
  bool written = WriteAll(fd.Get(), FormatRegExport(hive)) && ::fsync(fd.Get()) == 0 &&
                 ::close(fd.Release()) == 0 && ::rename(temporary.c_str(), file_.c_str()) == 0;
  if (!written) {
    problem = SystemProblem("cannot be written", errno);
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable.
  CFileDescriptor folder(::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
  return true;
}
