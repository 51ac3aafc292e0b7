#pragma once

#include <cstdint>

// The Windows communications calls behind CSerialPort. windows.h names its
// records and their constants as link/SerialRecords.h does, so the two never
// meet in one file: only CommApi.cpp includes windows.h, and the records
// cross here as plain fields. Every call returns false when the system call
// fails and leaves the reason in the thread's last error (LastCommError).
namespace commapi {

// A HANDLE kept in an int: Windows handles carry 32 significant bits and
// are sign-extended back, so INVALID_HANDLE_VALUE is -1 here as well.
using Handle = int;
inline constexpr Handle kInvalidHandle = -1;

// The DCB fields the port layer works with. SetState leaves every other
// field of the port's DCB as the port holds it.
struct LineState {
  std::uint32_t baudRate = 0;
  bool parityCheck = false;  // fParity
  bool outxCtsFlow = false;
  bool outxDsrFlow = false;
  std::uint8_t dtrControl = 0;
  bool dsrSensitivity = false;
  bool outX = false;
  bool inX = false;
  std::uint8_t rtsControl = 0;
  std::uint16_t xonLim = 0;
  std::uint16_t xoffLim = 0;
  std::uint8_t byteSize = 8;
  std::uint8_t parity = 0;
  std::uint8_t stopBits = 0;
  char xonChar = 0x11;
  char xoffChar = 0x13;
};

// Puts the line settings onto a DCB-shaped record: the system's own or the
// program's (link/SerialRecords.h), which share the field names.
template <typename Dcb>
void PutLineState(const LineState& state, Dcb& dcb) {
  dcb.BaudRate = state.baudRate;
  dcb.fParity = state.parityCheck;
  dcb.fOutxCtsFlow = state.outxCtsFlow;
  dcb.fOutxDsrFlow = state.outxDsrFlow;
  dcb.fDtrControl = state.dtrControl;
  dcb.fDsrSensitivity = state.dsrSensitivity;
  dcb.fOutX = state.outX;
  dcb.fInX = state.inX;
  dcb.fRtsControl = state.rtsControl;
  dcb.XonLim = state.xonLim;
  dcb.XoffLim = state.xoffLim;
  dcb.ByteSize = state.byteSize;
  dcb.Parity = state.parity;
  dcb.StopBits = state.stopBits;
  dcb.XonChar = state.xonChar;
  dcb.XoffChar = state.xoffChar;
}

// Takes the line settings from a DCB-shaped record, the system's own or the
// program's.
template <typename Dcb>
LineState TakeLineState(const Dcb& dcb) {
  LineState state;
  state.baudRate = dcb.BaudRate;
  state.parityCheck = dcb.fParity;
  state.outxCtsFlow = dcb.fOutxCtsFlow;
  state.outxDsrFlow = dcb.fOutxDsrFlow;
  state.dtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
  state.dsrSensitivity = dcb.fDsrSensitivity;
  state.outX = dcb.fOutX;
  state.inX = dcb.fInX;
  state.rtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
  state.xonLim = dcb.XonLim;
  state.xoffLim = dcb.XoffLim;
  state.byteSize = dcb.ByteSize;
  state.parity = dcb.Parity;
  state.stopBits = dcb.StopBits;
  state.xonChar = dcb.XonChar;
  state.xoffChar = dcb.XoffChar;
  return state;
}

struct Timeouts {
  std::uint32_t readInterval = 0;
  std::uint32_t readTotalMultiplier = 0;
  std::uint32_t readTotalConstant = 0;
  std::uint32_t writeTotalMultiplier = 0;
  std::uint32_t writeTotalConstant = 0;
};

struct QueueStatus {
  bool ctsHold = false;
  std::uint32_t inQueue = 0;
  std::uint32_t outQueue = 0;
};

// CreateFile on \\.\COM<port>: read and write, no sharing, no overlapped I/O.
bool OpenComPort(int port, Handle& handle);
void CloseComHandle(Handle handle);
// GetDefaultCommConfig on COM<port>.
bool GetDefaultLineState(int port, LineState& state);
bool GetState(Handle handle, LineState& state);
bool SetState(Handle handle, const LineState& state);
bool GetModemStatus(Handle handle, std::uint32_t& status);
bool GetMask(Handle handle, std::uint32_t& mask);
bool SetMask(Handle handle, std::uint32_t mask);
bool GetTimeouts(Handle handle, Timeouts& timeouts);
bool SetTimeouts(Handle handle, const Timeouts& timeouts);
bool SetBreak(Handle handle);
bool ClearBreak(Handle handle);
// ClearCommError; status may be null.
bool ClearError(Handle handle, std::uint32_t& errors, QueueStatus* status);
bool Setup(Handle handle, std::uint32_t inputQueueSize, std::uint32_t outputQueueSize);
bool Purge(Handle handle, std::uint32_t flags);
bool Flush(Handle handle);
// A synchronous WriteFile; written gets the count the system reports.
bool Write(Handle handle, const void* bytes, std::uint32_t count, std::uint32_t& written);

std::uint32_t LastCommError();
void Pause(std::uint32_t milliseconds);

// System error codes the port layer gives itself.
inline constexpr std::uint32_t kErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED
inline constexpr std::uint32_t kErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION
inline constexpr std::uint32_t kErrorNotSupported = 50;      // ERROR_NOT_SUPPORTED
inline constexpr std::uint32_t kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t kErrorTimeout = 1460;         // ERROR_TIMEOUT

}  // namespace commapi
