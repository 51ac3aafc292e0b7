// The serial port's system calls on Windows, through the communications
// interface (link/win32/CommApi.h). What the sign sees is what the Linux
// port gives it: the line settings, no flow control, a short break, the
// packet, and a write that ends in bounded time.

#include <algorithm>
#include <chrono>

#include "link/SerialPort.h"
#include "link/win32/CommApi.h"

namespace {

using Clock = std::chrono::steady_clock;

// Another program holding the port is waited for this long, as the Linux
// port waits for its lock, before the open fails with the system's code.
constexpr auto kBusyPortWait = std::chrono::seconds(2);
constexpr std::uint32_t kBusyPortRetryMs = 50;

void Check(bool succeeded) {
  if (!succeeded) RaiseSerialError(commapi::LastCommError());
}

void ToDcb(const commapi::LineState& state, DCB& dcb) {
  dcb = DCB{};
  commapi::PutLineState(state, dcb);
}

}  // namespace

CSerialPort::Handle CSerialPort::OpenDevice(int port) {
  // No sharing: while another program has the port open, CreateFile is
  // refused (access denied on Windows, a sharing violation under Wine).
  const auto giveUp = Clock::now() + kBusyPortWait;
  for (;;) {
    commapi::Handle handle = commapi::kInvalidHandle;
    if (commapi::OpenComPort(port, handle)) return handle;
    std::uint32_t error = commapi::LastCommError();
    bool busy = error == commapi::kErrorAccessDenied || error == commapi::kErrorSharingViolation;
    if (!busy || Clock::now() >= giveUp) RaiseSerialError(error);
    commapi::Pause(kBusyPortRetryMs);
  }
}

void CSerialPort::Close() {
  if (portHandle_ == kInvalidHandle) return;
  commapi::CloseComHandle(portHandle_);
  portHandle_ = kInvalidHandle;
  overlapped_ = false;
}

// ClearCommError keeps its own count of line errors since its last call.
void CSerialPort::TakeErrorBaseline() {}

void CSerialPort::GetDefaultConfig(int port, COMMCONFIG& config) {
  commapi::LineState state;
  Check(commapi::GetDefaultLineState(port, state));
  config = COMMCONFIG{};
  ToDcb(state, config.dcb);
}

void CSerialPort::GetState(DCB& dcb) {
  commapi::LineState state;
  Check(commapi::GetState(portHandle_, state));
  ToDcb(state, dcb);
}

void CSerialPort::SetState(const DCB& dcb) {
  Check(commapi::SetState(portHandle_, commapi::TakeLineState(dcb)));
}

// A port without modem lines (a virtual port, a pseudo-terminal behind
// Wine) refuses the request; that is an answer, not a failure, as on Linux.
// A closed or lost port still fails with its own code.
void CSerialPort::GetModemStatus(std::uint32_t& status) {
  if (commapi::GetModemStatus(portHandle_, status)) return;
  std::uint32_t error = commapi::LastCommError();
  if (error != commapi::kErrorNotSupported && error != commapi::kErrorInvalidParameter) {
    RaiseSerialError(error);
  }
  status = 0;
}

void CSerialPort::GetMask(std::uint32_t& mask) { Check(commapi::GetMask(portHandle_, mask)); }

void CSerialPort::SetMask(std::uint32_t mask) { Check(commapi::SetMask(portHandle_, mask)); }

void CSerialPort::GetTimeouts(COMMTIMEOUTS& timeouts) {
  commapi::Timeouts value;
  Check(commapi::GetTimeouts(portHandle_, value));
  timeouts = COMMTIMEOUTS{value.readInterval, value.readTotalMultiplier, value.readTotalConstant,
                          value.writeTotalMultiplier, value.writeTotalConstant};
}

void CSerialPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
  Check(commapi::SetTimeouts(
      portHandle_,
      commapi::Timeouts{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                        timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                        timeouts.WriteTotalTimeoutConstant}));
}

void CSerialPort::SetBreak() { Check(commapi::SetBreak(portHandle_)); }

void CSerialPort::ClearBreak() { Check(commapi::ClearBreak(portHandle_)); }

void CSerialPort::ClearError(std::uint32_t& errors) {
  Check(commapi::ClearError(portHandle_, errors, nullptr));
}

void CSerialPort::GetStatus(COMSTAT& status) {
  std::uint32_t errors = 0;
  commapi::QueueStatus queues;
  Check(commapi::ClearError(portHandle_, errors, &queues));
  status = COMSTAT{};
  status.flags = queues.ctsHold ? COMSTAT_CTS_HOLD : 0;
  status.cbInQue = queues.inQueue;
  status.cbOutQue = queues.outQueue;
}

void CSerialPort::Setup(std::uint32_t inputQueueSize, std::uint32_t outputQueueSize) {
  Check(commapi::Setup(portHandle_, inputQueueSize, outputQueueSize));
}

// Input is dropped as asked. Output is dropped only while the driver still
// holds bytes that have not gone out, as on Linux: a port whose driver
// hands bytes on at once (a pseudo-terminal behind Wine, a virtual port)
// would otherwise drop a packet the far end has not read yet.
void CSerialPort::Purge(std::uint32_t flags) {
  constexpr std::uint32_t kOutput = PURGE_TXABORT | PURGE_TXCLEAR;
  if ((flags & kOutput) != 0) {
    COMSTAT status;
    GetStatus(status);
    if (status.cbOutQue == 0) flags &= ~kOutput;
  }
  if (flags != 0) Check(commapi::Purge(portHandle_, flags));
}

void CSerialPort::Flush() { Check(commapi::Flush(portHandle_)); }

// With write time-outs set, WriteFile keeps to them and a short count comes
// back as it is. Without them the write would have no time limit: a far end
// that holds the line, or a driver that stalls, would freeze the program.
// The write then gets twice the packet's line time and a second to spare,
// and a packet that has not left in that time fails with ERROR_TIMEOUT.
// Either way the bytes have left the driver's queue when Write returns, so
// the purges that follow it cannot cut the packet.
std::uint32_t CSerialPort::Write(const void* bytes, std::uint32_t count) {
  COMMTIMEOUTS asked;
  GetTimeouts(asked);
  const bool unlimited =
      asked.WriteTotalTimeoutMultiplier == 0 && asked.WriteTotalTimeoutConstant == 0;
  std::uint32_t limitMs = 0;
  if (unlimited) {
    DCB dcb;
    GetState(dcb);
    limitMs = static_cast<std::uint32_t>(StallDeadline(dcb, count).count());
    COMMTIMEOUTS bounded = asked;
    bounded.WriteTotalTimeoutConstant = limitMs;
    SetTimeouts(bounded);
  } else {
    limitMs = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        0xFFFFFFFFu, std::uint64_t{asked.WriteTotalTimeoutMultiplier} * count +
                         asked.WriteTotalTimeoutConstant));
  }
  const auto start = Clock::now();

  std::uint32_t written = 0;
  bool wrote = commapi::Write(portHandle_, bytes, count, written);
  std::uint32_t writeError = wrote ? 0 : commapi::LastCommError();
  if (unlimited) SetTimeouts(asked);
  if (!wrote) RaiseSerialError(writeError);
  if (unlimited && written < count) RaiseSerialError(commapi::kErrorTimeout);

  auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  DrainOutput(std::max<std::int64_t>(0, std::int64_t{limitMs} - spent.count()));
  return written;
}

// Some drivers (USB serial adapters among them) report a write complete
// while bytes still wait in their queue.
void CSerialPort::DrainOutput(std::int64_t deadlineMs) {
  const auto giveUp = Clock::now() + std::chrono::milliseconds(deadlineMs);
  COMSTAT status;
  GetStatus(status);
  if (status.cbOutQue == 0) return;
  DCB dcb;
  GetState(dcb);
  const CDrainPacing pacing = DrainPacing(dcb, status.cbOutQue);
  // Sleep counts whole milliseconds: the first wait is rounded down, and a
  // step is at least one.
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  commapi::Pause(static_cast<std::uint32_t>(
      std::min<std::int64_t>(duration_cast<milliseconds>(pacing.firstWait).count(),
                             std::max<std::int64_t>(0, deadlineMs))));
  const auto stepMs = static_cast<std::uint32_t>(
      std::max<std::int64_t>(1, duration_cast<milliseconds>(pacing.step).count()));
  for (;;) {
    GetStatus(status);
    if (status.cbOutQue == 0) return;
    if (Clock::now() >= giveUp) RaiseSerialError(commapi::kErrorTimeout);
    commapi::Pause(stepMs);
  }
}
