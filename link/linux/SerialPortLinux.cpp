// The serial port's system calls on Linux: a tty in raw mode through
// termios, modem lines and counters through the serial ioctls.

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <thread>

#include "link/ComPortMap.h"
#include "link/SerialPort.h"
#include "link/TermiosMapping.h"
#include "link/linux/LineSpeed.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a port another sender holds is waited for before it is refused
// as busy: a packet takes milliseconds, a whole scoreboard well under this.
constexpr auto kBusyWait = std::chrono::seconds(2);
constexpr auto kBusyRetry = std::chrono::milliseconds(10);

// A driver may run a typed rate a little off when its clock cannot divide
// to it exactly; a UART link tolerates a few percent.
constexpr double kSpeedTolerance = 0.02;

// Unix98 pseudo-terminal slaves: these keep eight data bits without parity
// whatever they are told.
bool IsPseudoTerminal(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  unsigned major = major(info.st_rdev);
  return major >= 136 && major <= 143;
}

// A driver without modem lines or counters answers these ioctls with
// ENOTTY or EINVAL; that is an answer, not a failure.
bool NotSupported(int error) { return error == ENOTTY || error == EINVAL; }

void GetTermios(int fd, termios& tty) {
  if (tcgetattr(fd, &tty) != 0) RaiseSerialError();
}

// Applies tty and checks what the driver took. tcsetattr's result alone
// says little: it succeeds when only part of a request was applied, and on a
// pseudo-terminal re-applying settings it cannot hold fails with EINVAL
// although everything it can hold is in place.
void ApplyTermios(int fd, const termios& tty) {
  int result;
  do {
    result = tcsetattr(fd, TCSANOW, &tty);
  } while (result != 0 && errno == EINTR);
  int setError = result == 0 ? 0 : errno;
  if (setError != 0 && setError != EINVAL) RaiseSerialError(static_cast<std::uint32_t>(setError));
  termios applied{};
  GetTermios(fd, applied);
  if (!TermiosApplied(tty, applied, IsPseudoTerminal(fd))) RaiseSerialError(EINVAL);
}

// The modem lines, or nothing when the device has none.
std::optional<int> ModemLines(int fd) {
  int lines = 0;
  if (ioctl(fd, TIOCMGET, &lines) == 0) return lines;
  if (NotSupported(errno)) return std::nullopt;
  RaiseSerialError();
}

void SetModemLine(int fd, int line, bool on) {
  if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0) RaiseSerialError();
}

std::uint32_t OutputQueueCount(int fd) {
  int count = 0;
  if (ioctl(fd, TIOCOUTQ, &count) == 0) return static_cast<std::uint32_t>(std::max(count, 0));
  if (NotSupported(errno)) return 0;
  RaiseSerialError();
}

// The speed the tty runs at, typed rates included; 0 when unknown.
std::uint32_t BaudRate(int fd, const termios& tty) {
  std::uint32_t baud = BaudRateForSpeed(cfgetospeed(&tty));
  if (baud != 0) return baud;
  return LineSpeed(fd).value_or(0);
}

// The tty's settings as a DCB, with the speed it runs at.
DCB LineDcb(int fd, const termios& tty) {
  DCB dcb;
  TermiosToDcb(tty, dcb);
  dcb.BaudRate = BaudRate(fd, tty);
  return dcb;
}

std::chrono::milliseconds LineDeadline(int fd, std::uint32_t count) {
  termios tty{};
  GetTermios(fd, tty);
  return StallDeadline(LineDcb(fd, tty), count);
}

// Throws away what the driver still holds of a packet that missed its
// deadline, so that it cannot run into the next packet, and fails the write.
[[noreturn]] void AbandonOutput(int fd) {
  if (tcflush(fd, TCOFLUSH) != 0) RaiseSerialError();
  RaiseSerialError(ETIMEDOUT);
}

// Whether the UART has sent its last bit, where the driver can tell.
std::optional<bool> TransmitterEmpty(int fd) {
  unsigned status = 0;
  if (ioctl(fd, TIOCSERGETLSR, &status) == 0) return (status & TIOCSER_TEMT) != 0;
  if (NotSupported(errno)) return std::nullopt;
  RaiseSerialError();
}

// Sets a rate the termios table lacks and checks that the driver runs it;
// a refusal names the rate, which the system's text alone would not.
void SetTypedBaudRate(int fd, std::uint32_t baud) {
  const std::string detail = "the port refused the baud rate " + std::to_string(baud);
  if (int error = SetLineSpeed(fd, baud)) {
    RaiseSerialError(static_cast<std::uint32_t>(error), detail);
  }
  std::optional<std::uint32_t> running = LineSpeed(fd);
  if (!running) RaiseSerialError(0, detail);
  if (std::abs(static_cast<double>(*running) - baud) > kSpeedTolerance * baud) {
    RaiseSerialError(EINVAL, detail);
  }
}

}  // namespace

CSerialPort::Handle CSerialPort::OpenDevice(int port) {
  std::string path = DevicePathForComPort(port);
  // Non-blocking only for the open itself, so that a modem port without
  // carrier does not hold it up; Write keeps its own deadline.
  const auto giveUp = Clock::now() + kBusyWait;
  // A port made exclusive by a living holder refuses the open itself
  // (except to root); the holder is waited for, briefly.
  int fd;
  while ((fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) < 0) {
    if (errno == EINTR) continue;
    if (errno != EBUSY || Clock::now() >= giveUp) RaiseSerialError();
    std::this_thread::sleep_for(kBusyRetry);
  }
  auto fail = [fd](int error, bool exclusive) {
    if (exclusive) ioctl(fd, TIOCNXCL);
    ::close(fd);
    RaiseSerialError(static_cast<std::uint32_t>(error));
  };
  // Senders exclude each other with a flock, which binds root too and which
  // the kernel drops when its holder dies. Another sender's packet takes
  // milliseconds: it is waited for before the port is refused as busy.
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) fail(errno, false);
    if (Clock::now() >= giveUp) fail(EBUSY, false);
    std::this_thread::sleep_for(kBusyRetry);
  }
  // Under the lock no other sender is alive on this port, so an exclusive
  // flag found set was left by one that died holding it: it does not refuse
  // the port. The flag is set again as a guard against programs that take
  // no lock, and cleared again by Close.
  if (ioctl(fd, TIOCEXCL) != 0) fail(errno, false);
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) fail(errno, true);
  return fd;
}

void CSerialPort::Close() {
  if (portHandle_ == kInvalidHandle) return;
  // A pseudo-terminal keeps TIOCEXCL after the last close; release it so
  // the next opener is not refused.
  ioctl(portHandle_, TIOCNXCL);
  ::close(portHandle_);
  portHandle_ = kInvalidHandle;
  overlapped_ = false;
  eventMask_ = 0;
  timeouts_ = COMMTIMEOUTS{};
}

void CSerialPort::TakeErrorBaseline() {
  serial_icounter_struct counters{};
  if (ioctl(portHandle_, TIOCGICOUNT, &counters) != 0) return;
  seenErrors_[0] = static_cast<std::uint32_t>(counters.buf_overrun);
  seenErrors_[1] = static_cast<std::uint32_t>(counters.overrun);
  seenErrors_[2] = static_cast<std::uint32_t>(counters.parity);
  seenErrors_[3] = static_cast<std::uint32_t>(counters.frame);
  seenErrors_[4] = static_cast<std::uint32_t>(counters.brk);
}

void CSerialPort::CheckTty() {
  termios tty{};
  GetTermios(portHandle_, tty);
}

void CSerialPort::GetDefaultConfig(int port, COMMCONFIG& config) {
  // A port the system does not list is one whose device does not exist.
  struct stat info {};
  if (::stat(DevicePathForComPort(port).c_str(), &info) != 0) RaiseSerialError();
  config = COMMCONFIG{};
  config.dcb.BaudRate = 9600;
}

void CSerialPort::GetState(DCB& dcb) {
  termios tty{};
  GetTermios(portHandle_, tty);
  dcb = DCB{};
  TermiosToDcb(tty, dcb);
  dcb.BaudRate = BaudRate(portHandle_, tty);
  if (auto lines = ModemLines(portHandle_)) {
    dcb.fDtrControl = (*lines & TIOCM_DTR) ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE) {
      dcb.fRtsControl = (*lines & TIOCM_RTS) ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    }
  }
}

void CSerialPort::SetState(const DCB& dcb) {
  termios tty{};
  GetTermios(portHandle_, tty);
  if (int error = DcbToTermios(dcb, tty)) RaiseSerialError(static_cast<std::uint32_t>(error));
  ApplyTermios(portHandle_, tty);
  if (SpeedForBaudRate(dcb.BaudRate) == B0) SetTypedBaudRate(portHandle_, dcb.BaudRate);
  // DTR and RTS change only when the DCB asks for a level they do not have.
  if (auto lines = ModemLines(portHandle_)) {
    bool dtrOn = dcb.fDtrControl == DTR_CONTROL_ENABLE;
    if (dtrOn != ((*lines & TIOCM_DTR) != 0)) SetModemLine(portHandle_, TIOCM_DTR, dtrOn);
    if (dcb.fRtsControl != RTS_CONTROL_HANDSHAKE) {
      bool rtsOn = dcb.fRtsControl == RTS_CONTROL_ENABLE;
      if (rtsOn != ((*lines & TIOCM_RTS) != 0)) SetModemLine(portHandle_, TIOCM_RTS, rtsOn);
    }
  }
}

void CSerialPort::GetModemStatus(std::uint32_t& status) {
  CheckTty();
  status = 0;
  if (auto lines = ModemLines(portHandle_)) {
    if (*lines & TIOCM_CTS) status |= MS_CTS_ON;
    if (*lines & TIOCM_DSR) status |= MS_DSR_ON;
    if (*lines & TIOCM_RI) status |= MS_RING_ON;
    if (*lines & TIOCM_CD) status |= MS_RLSD_ON;
  }
}

void CSerialPort::GetMask(std::uint32_t& mask) {
  CheckTty();
  mask = eventMask_;
}

void CSerialPort::SetMask(std::uint32_t mask) {
  CheckTty();
  eventMask_ = mask;
}

void CSerialPort::GetTimeouts(COMMTIMEOUTS& timeouts) {
  CheckTty();
  timeouts = timeouts_;
}

// The read timeouts become VMIN/VTIME: "return at once with what is there"
// is VMIN 0, VTIME 0; otherwise a read waits for a byte and then for the
// interval between bytes. The total timeouts have no tty counterpart and
// are kept for GetTimeouts; Write uses the write totals itself.
void CSerialPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
  termios tty{};
  GetTermios(portHandle_, tty);
  bool immediate = timeouts.ReadIntervalTimeout == MAXDWORD &&
                   timeouts.ReadTotalTimeoutMultiplier == 0 &&
                   timeouts.ReadTotalTimeoutConstant == 0;
  if (immediate) {
    tty.c_cc[VMIN] = 0;
    tty.c_cc[VTIME] = 0;
  } else {
    std::uint32_t interval =
        timeouts.ReadIntervalTimeout == MAXDWORD ? 0 : timeouts.ReadIntervalTimeout;
    tty.c_cc[VMIN] = 1;
    tty.c_cc[VTIME] = static_cast<cc_t>(std::min<std::uint32_t>(255, (interval + 99) / 100));
  }
  ApplyTermios(portHandle_, tty);
  timeouts_ = timeouts;
}

// The break is held only as long as the two calls are apart: the line goes
// to spacing and straight back before the first byte of the packet.
void CSerialPort::SetBreak() {
  if (ioctl(portHandle_, TIOCSBRK) != 0) RaiseSerialError();
}

void CSerialPort::ClearBreak() {
  if (ioctl(portHandle_, TIOCCBRK) != 0) RaiseSerialError();
}

// Line errors since the last call, from the driver's error counters; a
// driver without counters has nothing to report.
void CSerialPort::ClearError(std::uint32_t& errors) {
  CheckTty();
  errors = 0;
  serial_icounter_struct counters{};
  if (ioctl(portHandle_, TIOCGICOUNT, &counters) != 0) {
    if (NotSupported(errno)) return;
    RaiseSerialError();
  }
  const int now[5] = {counters.buf_overrun, counters.overrun, counters.parity, counters.frame,
                      counters.brk};
  const std::uint32_t flags[5] = {CE_RXOVER, CE_OVERRUN, CE_RXPARITY, CE_FRAME, CE_BREAK};
  for (int i = 0; i < 5; ++i) {
    auto count = static_cast<std::uint32_t>(now[i]);
    if (count != seenErrors_[i]) errors |= flags[i];
    seenErrors_[i] = count;
  }
}

void CSerialPort::GetStatus(COMSTAT& status) {
  std::uint32_t errors = 0;
  ClearError(errors);
  status = COMSTAT{};
  int count = 0;
  if (ioctl(portHandle_, TIOCINQ, &count) != 0) RaiseSerialError();
  status.cbInQue = static_cast<std::uint32_t>(std::max(count, 0));
  status.cbOutQue = OutputQueueCount(portHandle_);
  termios tty{};
  GetTermios(portHandle_, tty);
  auto lines = ModemLines(portHandle_);
  if ((tty.c_cflag & CRTSCTS) && lines && !(*lines & TIOCM_CTS)) status.flags |= COMSTAT_CTS_HOLD;
}

// A tty's queues are the kernel's own and cannot be sized; they already
// take any packet, as Write writes until every byte is taken.
void CSerialPort::Setup(std::uint32_t, std::uint32_t) { CheckTty(); }

// Input is dropped as asked. Output is dropped only when the driver still
// holds bytes that have not gone out: a pseudo-terminal reports none,
// because what it was given already waits at the far end, and flushing it
// there would cut a packet the far end has not read yet.
void CSerialPort::Purge(std::uint32_t flags) {
  CheckTty();
  bool output = (flags & (PURGE_TXABORT | PURGE_TXCLEAR)) != 0;
  bool input = (flags & (PURGE_RXABORT | PURGE_RXCLEAR)) != 0;
  if (output && OutputQueueCount(portHandle_) > 0 && tcflush(portHandle_, TCOFLUSH) != 0) {
    RaiseSerialError();
  }
  if (input && tcflush(portHandle_, TCIFLUSH) != 0) RaiseSerialError();
}

void CSerialPort::Flush() {
  CheckTty();
  DrainOutput(-1);
}

// Every write has a deadline, kept with poll on a non-blocking descriptor:
// the one the write timeouts give, or, with none set, twice the packet's
// line time and a second to spare. A write past its own timeouts returns
// the short count, as asked; one past the line deadline throws ETIMEDOUT
// after discarding what the driver still holds, so that a far end that
// stopped reading costs each packet its deadline and no more.
std::uint32_t CSerialPort::Write(const void* bytes, std::uint32_t count) {
  const auto* data = static_cast<const unsigned char*>(bytes);
  const bool timed =
      timeouts_.WriteTotalTimeoutMultiplier != 0 || timeouts_.WriteTotalTimeoutConstant != 0;
  const auto deadline =
      timed
          ? std::chrono::milliseconds(std::int64_t{timeouts_.WriteTotalTimeoutMultiplier} * count +
                                      timeouts_.WriteTotalTimeoutConstant)
          : LineDeadline(portHandle_, count);
  const auto giveUp = Clock::now() + deadline;
  auto remainingMs = [&] {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
    return std::max<std::int64_t>(0, left.count());
  };

  struct NonBlocking {
    int fd, flags;
    explicit NonBlocking(int fd) : fd(fd), flags(fcntl(fd, F_GETFL)) {
      if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    }
    ~NonBlocking() {
      if (flags >= 0) fcntl(fd, F_SETFL, flags);
    }
  } nonBlocking(portHandle_);
  if (nonBlocking.flags < 0) RaiseSerialError();

  std::uint32_t written = 0;
  while (written < count) {
    pollfd ready{portHandle_, POLLOUT, 0};
    int polled = poll(&ready, 1, static_cast<int>(std::min<std::int64_t>(remainingMs(), 1 << 30)));
    if (polled < 0) {
      if (errno == EINTR) continue;
      RaiseSerialError();
    }
    if (polled == 0) {
      if (timed) return written;
      AbandonOutput(portHandle_);
    }
    ssize_t n = ::write(portHandle_, data + written, count - written);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      RaiseSerialError();
    }
    written += static_cast<std::uint32_t>(n);
  }
  DrainOutput(remainingMs());
  return written;
}

void CSerialPort::DrainOutput(std::int64_t deadlineMs) {
  // The driver's queue is watched rather than waited for with tcdrain,
  // which has no limit: a far end holding CTS low, or a stuck driver, would
  // keep it forever.
  const std::uint32_t queued = OutputQueueCount(portHandle_);
  termios tty{};
  GetTermios(portHandle_, tty);
  const DCB dcb = LineDcb(portHandle_, tty);
  const auto limit =
      deadlineMs >= 0 ? std::chrono::milliseconds(deadlineMs) : StallDeadline(dcb, queued);
  const auto giveUp = Clock::now() + limit;
  const CDrainPacing pacing = DrainPacing(dcb, queued);
  if (queued > 0) std::this_thread::sleep_until(std::min(Clock::now() + pacing.firstWait, giveUp));
  while (OutputQueueCount(portHandle_) > 0) {
    if (Clock::now() >= giveUp) AbandonOutput(portHandle_);
    std::this_thread::sleep_for(pacing.step);
  }
  // Then the UART's own FIFO, where the driver shows it.
  for (std::optional<bool> empty; (empty = TransmitterEmpty(portHandle_)) && !*empty;) {
    if (Clock::now() >= giveUp) AbandonOutput(portHandle_);
    std::this_thread::sleep_for(pacing.step);
  }
}
