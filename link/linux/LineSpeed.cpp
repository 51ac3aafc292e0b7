#include "link/linux/LineSpeed.h"

// The kernel's own termios records; <termios.h> must stay out of this file,
// as its struct termios has the same name.
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cerrno>

// glibc declares ioctl in <sys/ioctl.h>, which drags its termios types in.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

int SetLineSpeed(int fd, std::uint32_t baud) {
  termios2 tty{};
  if (ioctl(fd, TCGETS2, &tty) != 0) return errno;
  // CIBAUD cleared: the input speed follows the output speed.
  tty.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tty.c_cflag |= BOTHER;
  tty.c_ospeed = baud;
  tty.c_ispeed = baud;
  int result;
  do {
    result = ioctl(fd, TCSETS2, &tty);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

std::optional<std::uint32_t> LineSpeed(int fd) {
  termios2 tty{};
  if (ioctl(fd, TCGETS2, &tty) != 0) return std::nullopt;
  return tty.c_ospeed;
}
