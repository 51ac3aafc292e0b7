#pragma once

#include <cstdint>
#include <optional>

// A tty's line speed as a plain number of baud, any number the driver can
// make, through termios2 and BOTHER. glibc's termios interface only knows
// the speeds of its table, so these calls live apart from it.

// Sets both directions to baud. Returns 0 or the errno of the refusal; the
// driver may round to a speed it can make, so read LineSpeed back.
int SetLineSpeed(int fd, std::uint32_t baud);

// The output speed the tty runs at, in baud; nothing when the descriptor is
// no tty (errno tells why).
std::optional<std::uint32_t> LineSpeed(int fd);
