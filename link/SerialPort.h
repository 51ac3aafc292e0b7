#pragma once

// CSerialPort: one serial port, opened by COM port number, with one thin
// operation for each thing the send path does to the line. The system calls
// sit in link/linux/ (termios) or link/win32/ (the Win32 communications
// API); this header and link/SerialPort.cpp are the same on both.
//
// Errors. Every operation whose system call fails throws a heap-allocated
// CSerialException* (see RaiseSerialError) holding the system's code for
// that call (errno on Linux, the thread's last error on Windows); nothing is
// shown, logged or retried, and the object keeps whatever state it had at
// that moment. The catcher owns the exception and calls Delete() on it. No
// operation first tests whether the port is open: on a closed object the
// system call fails (EBADF, ERROR_INVALID_HANDLE) and that is thrown like any
// other failure. Close() and Detach() never throw. Settings a Linux tty
// cannot carry (1.5 stop bits, DSR/DTR handshaking) fail with ENOTSUP rather
// than being replaced by something near them.
//
// Threads. One thread uses an object at a time; the class takes no locks.
// All I/O is synchronous: Write() returns only when every byte has left the
// host (or throws), so a purge after it cannot cut the packet. It never
// waits past a deadline: without write timeouts, twice the packet's line
// time and a second; past it, what the driver still holds is discarded and
// a time-out (ETIMEDOUT, ERROR_TIMEOUT) thrown.
//
// The device. On Linux a port number becomes a device path through
// ComPortMap.h. Open() takes the device for itself: an exclusive flock,
// waited for up to about two seconds while another sender holds it, and the
// tty's TIOCEXCL, released again before the descriptor closes. A TIOCEXCL
// that outlived a dead holder does not refuse the port. DTR and RTS are left
// as the port had them; flow control is only what the settings ask for.
// Baud rates outside the termios table are set through termios2, and one
// the driver refuses throws with a detail naming the rate. On Windows port n
// is \\.\COMn, opened exclusively by the system and waited for the same two
// seconds while another program holds it.

#include <chrono>
#include <cstdint>

#include "link/Object.h"
#include "link/SerialException.h"
#include "link/SerialRecords.h"

enum SerialParity {
  ParityEven = 0,
  ParityMark = 1,
  ParityNone = 2,
  ParityOdd = 3,
  ParitySpace = 4
};
enum SerialStopBits { StopBitsOne = 0, StopBitsOneAndHalf = 1, StopBitsTwo = 2 };
enum SerialFlowControl {
  FlowNone = 0,
  FlowCtsRts = 1,
  FlowCtsDtr = 2,
  FlowDsrRts = 3,
  FlowDsrDtr = 4,
  FlowXonXoff = 5
};

// Seconds one character takes on a line with dcb's settings: start bit,
// data bits, parity bit, stop bits; a line without a rate counts as 50 baud.
double CharacterSeconds(const DCB& dcb);

// How long a write of count characters, and the wait for the driver's queue
// after it, may take before the far end is taken as stalled: twice their
// line time and a second to spare.
std::chrono::milliseconds StallDeadline(const DCB& dcb, std::uint32_t count);

// How the wait for the driver's queue to empty after a write is paced:
// first the line time of the bytes it holds (nothing is gained by looking
// before they can be out), then a look every step of at most one character
// time, so that a packet's end is noticed at most a character late.
struct CDrainPacing {
  std::chrono::microseconds firstWait;
  std::chrono::microseconds step;
};
CDrainPacing DrainPacing(const DCB& dcb, std::uint32_t queued);

// What Open does to the port's current DCB: the line settings, and the
// flow-control fields of the mode; values outside an enumeration leave the
// DCB field as it was.
void ApplyLineSettings(DCB& dcb, std::uint32_t baudRate, SerialParity parity, std::uint8_t dataBits,
                       SerialStopBits stopBits, SerialFlowControl flowControl);

class CSerialPort : public CObject {
 public:
  using Handle = int;
  static constexpr Handle kInvalidHandle = -1;

  CSerialPort() = default;
  ~CSerialPort() override;
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  const CRuntimeClass* GetRuntimeClass() const override;
  static const CRuntimeClass classCSerialPort;

  // Opening and closing. overlapped is kept for callers that ask for it;
  // every operation is synchronous all the same.
  virtual void Open(int port, std::uint32_t baudRate, SerialParity parity, std::uint8_t dataBits,
                    SerialStopBits stopBits, SerialFlowControl flowControl, bool overlapped);
  virtual void Close();
  virtual void Attach(Handle handle, bool overlapped);
  virtual Handle Detach();

  bool IsOpen() const { return portHandle_ != kInvalidHandle; }
  bool IsOverlapped() const { return overlapped_; }
  Handle GetHandle() const { return portHandle_; }

  // The port's default configuration; throws ENOENT when the port's device
  // does not exist.
  static void GetDefaultConfig(int port, COMMCONFIG& config);

  virtual void GetConfig(COMMCONFIG& config);
  virtual void SetConfig(const COMMCONFIG& config);
  virtual void GetState(DCB& dcb);
  virtual void SetState(const DCB& dcb);
  virtual void GetModemStatus(std::uint32_t& status);
  virtual void GetMask(std::uint32_t& mask);
  virtual void SetMask(std::uint32_t mask);
  virtual void GetTimeouts(COMMTIMEOUTS& timeouts);
  virtual void SetTimeouts(const COMMTIMEOUTS& timeouts);
  virtual void SetBreak();
  virtual void ClearBreak();
  virtual void ClearError(std::uint32_t& errors);
  virtual void GetStatus(COMSTAT& status);
  virtual std::uint32_t InputQueueCount();
  virtual void Setup(std::uint32_t inputQueueSize, std::uint32_t outputQueueSize);
  virtual void Purge(std::uint32_t flags);
  virtual void AbortWrites();
  virtual void PurgeOutput();
  virtual void PurgeInput();
  virtual void Flush();
  virtual std::uint32_t Write(const void* bytes, std::uint32_t count);
  virtual void ClearWriteTimeouts();
  virtual void SetImmediateReads();
  virtual void SetImmediateTimeouts();

 private:
  // Opens the port's device for this object alone; throws with nothing left
  // open when that fails.
  static Handle OpenDevice(int port);
  void TakeErrorBaseline();
  // Throws unless the handle is an open tty.
  void CheckTty();
  // Waits until the output queue is empty, discarding it and throwing
  // ETIMEDOUT when it does not empty within the time the queued bytes need
  // on the line (with room to spare) or within deadlineMs when that is set.
  void DrainOutput(std::int64_t deadlineMs);

  Handle portHandle_ = kInvalidHandle;
  bool overlapped_ = false;
  // No tty has comm events to wait for; the mask is kept for GetMask.
  std::uint32_t eventMask_ = 0;
  COMMTIMEOUTS timeouts_;
  // Line error counters as last seen by ClearError.
  std::uint32_t seenErrors_[5] = {};
};
