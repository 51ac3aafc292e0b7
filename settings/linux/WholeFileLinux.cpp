#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "settings/WholeFile.h"
#include "settings/linux/FileDescriptor.h"

namespace {

int WriteAll(int fd, std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

std::optional<std::filesystem::path> UserHomeDirectory() {
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

// New folders are private to the user, as the XDG base directory rules ask.
int MakeUserFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return 0;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    if (int parentError = MakeUserFolder(folder.parent_path())) return parentError;
  }
  if (::mkdir(folder.c_str(), 0700) == 0) return 0;
  int mkdirError = errno;
  if (mkdirError == EEXIST && std::filesystem::is_directory(folder, error)) return 0;
  return mkdirError;
}

int ReplaceWholeFile(const std::filesystem::path& file, std::string_view text, CReplaceSync sync) {
  std::string temporary =
      (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
  CFileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0) return errno;
  int error = WriteAll(fd.Get(), text);
  if (error == 0 && ::fsync(fd.Get()) != 0) error = errno;
  if (error == 0 && ::close(fd.Release()) != 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return error;
  }
  if (sync == CReplaceSync::NameToo) {
    CFileDescriptor folder(::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) ::fsync(folder.Get());
  }
  return 0;
}

int ReadWholeFile(const std::filesystem::path& file, std::size_t limit, std::string& text) {
  text.clear();
  // Not blocking, so that a pipe put in the file's place cannot hold the
  // reader up; it is refused below as not a plain file.
  CFileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return errno;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) return errno;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return FileNotPlainError();
  if (static_cast<std::uintmax_t>(info.st_size) > limit) return FileTooLargeError();
  // The size is checked again while reading: the file may grow meanwhile.
  char chunk[8192];
  for (;;) {
    ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    text.append(chunk, static_cast<std::size_t>(n));
    if (text.size() > limit) return FileTooLargeError();
  }
}

int RenameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int RemoveFile(const std::filesystem::path& file) {
  return ::unlink(file.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

bool IsMissingFileError(int code) { return code == ENOENT; }
int FileTooLargeError() { return EFBIG; }
int FileNotPlainError() { return EINVAL; }

std::string FileErrorText(int code) { return std::generic_category().message(code); }
