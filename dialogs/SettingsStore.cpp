#include "dialogs/SettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
// user, as the XDG base directory rules ask.
bool MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  if (folder.has_parent_path() && folder.parent_path() != folder &&
      !MakeFolder(folder.parent_path())) {
    return false;
  }
  if (::mkdir(folder.c_str(), 0700) == 0) return true;
  return errno == EEXIST && std::filesystem::is_directory(folder, error);
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

CSettingsStore::Load CSettingsStore::Read(CRegHive& hive) const {
  CFileDescriptor fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) return errno == ENOENT ? Load::Missing : Load::Failed;
  std::string text;
  char chunk[8192];
  for (;;) {
    ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Load::Failed;
    }
    if (n == 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  auto parsed = ParseRegExport(text);
  if (!parsed) return Load::Failed;
  hive = std::move(*parsed);
  return Load::Loaded;
}

CSettingsStore::Lookup CSettingsStore::Find(std::string_view keyPath, std::string_view valueName,
                                            CRegValue& value) const {
  // The store is only ever replaced by rename, so a reader sees one whole
  // version of it and needs no lock.
  CRegHive hive;
  switch (Read(hive)) {
    case Load::Failed:
      return Lookup::Unreadable;
    case Load::Missing:
      return Lookup::NoKey;
    case Load::Loaded:
      break;
  }
  if (hive.FindKey(keyPath) == nullptr) return Lookup::NoKey;
  const CRegValue* found = hive.FindValue(keyPath, valueName);
  if (found == nullptr) return Lookup::NoValue;
  value = *found;
  return Lookup::Found;
}

bool CSettingsStore::Set(std::string_view keyPath, CRegValue value) const {
  if (!MakeFolder(file_.parent_path())) return false;

  std::filesystem::path lockPath = file_;
  lockPath += ".lock";
  CFileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.Get() < 0) return false;
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }

  CRegHive hive;
  if (Read(hive) == Load::Failed) return false;
  hive.SetValue(keyPath, std::move(value));
  return Replace(hive);
}

bool CSettingsStore::Replace(const CRegHive& hive) const {
  std::string temporary = (file_.parent_path() / ".settings.reg.XXXXXX").string();
  CFileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0) return false;
  bool written = WriteAll(fd.Get(), FormatRegExport(hive)) && ::fsync(fd.Get()) == 0 &&
                 ::close(fd.Release()) == 0;
  if (!written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable.
  CFileDescriptor folder(::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) ::fsync(folder.Get());
  return true;
}
