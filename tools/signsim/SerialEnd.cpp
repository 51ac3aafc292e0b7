#include "tools/signsim/SerialEnd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "link/linux/LineSpeed.h"
#include "tools/signsim/LineSettings.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

CSerialEnd::CSerialEnd() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    const int error = errno;
    close(master_);
    errno = error;
    Fail("unlocking the pseudo-terminal");
  }
  char path[128];
  if (ptsname_r(master_, path, sizeof path) != 0) {
    const int error = errno;
    close(master_);
    errno = error;
    Fail("ptsname_r");
  }
  slavePath_ = path;
  try {
    Reopen();
  } catch (...) {
    close(master_);
    throw;
  }
}

CSerialEnd::~CSerialEnd() {
  if (slaveKeeper_ >= 0) close(slaveKeeper_);
  if (master_ >= 0) close(master_);
}

std::size_t CSerialEnd::Read(std::uint8_t* buffer, std::size_t size) {
  const ssize_t count = read(master_, buffer, size);
  if (count >= 0) return static_cast<std::size_t>(count);
  if (errno == EAGAIN || errno == EINTR || errno == EIO) return 0;
  Fail("reading " + slavePath_);
}

std::string CSerialEnd::LineSettings() const {
  // On the master end the termios calls reach the slave's settings, which
  // are the ones the sender set.
  termios settings{};
  if (tcgetattr(master_, &settings) != 0) Fail("tcgetattr " + slavePath_);
  return DescribeLineSettings(settings, LineSpeed(master_).value_or(0));
}

void CSerialEnd::Reopen() {
  if (slaveKeeper_ >= 0) close(slaveKeeper_);
  slaveKeeper_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveKeeper_ < 0) Fail("opening " + slavePath_);
}

bool CSerialEnd::ClearStaleExclusion() {
  int exclusive = 0;
  if (ioctl(slaveKeeper_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) return false;
  // A sender holding the lock is alive and the flag is its own.
  if (flock(slaveKeeper_, LOCK_EX | LOCK_NB) != 0) return false;
  const bool cleared = ioctl(slaveKeeper_, TIOCNXCL) == 0;
  flock(slaveKeeper_, LOCK_UN);
  return cleared;
}
