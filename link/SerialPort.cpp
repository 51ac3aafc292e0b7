#include "link/SerialPort.h"

#include <algorithm>
#include <cmath>

// The operations that are the same on every system: opening by number,
// run-time class, and the operations built from other operations. The
// system calls live in the per-system file chosen by the build.

const CRuntimeClass CSerialPort::classCSerialPort{"CSerialPort", &CObject::classCObject};

const CRuntimeClass* CSerialPort::GetRuntimeClass() const { return &classCSerialPort; }

CSerialPort::~CSerialPort() { Close(); }

double CharacterSeconds(const DCB& dcb) {
  const double baud = dcb.BaudRate == 0 ? 50.0 : dcb.BaudRate;
  const double stopBits = dcb.StopBits == TWOSTOPBITS    ? 2.0
                          : dcb.StopBits == ONE5STOPBITS ? 1.5
                                                         : 1.0;
  return (1.0 + dcb.ByteSize + (dcb.Parity == NOPARITY ? 0.0 : 1.0) + stopBits) / baud;
}

std::chrono::milliseconds StallDeadline(const DCB& dcb, std::uint32_t count) {
  return std::chrono::milliseconds(
      static_cast<std::int64_t>(std::ceil(2000.0 * count * CharacterSeconds(dcb))) + 1000);
}

CDrainPacing DrainPacing(const DCB& dcb, std::uint32_t queued) {
  const double characterMicroseconds = CharacterSeconds(dcb) * 1e6;
  // A slow line is still looked at every 20 ms.
  const auto step =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(characterMicroseconds), 1, 20000);
  return {std::chrono::microseconds(static_cast<std::int64_t>(queued * characterMicroseconds)),
          std::chrono::microseconds(step)};
}

void ApplyLineSettings(DCB& dcb, std::uint32_t baudRate, SerialParity parity, std::uint8_t dataBits,
                       SerialStopBits stopBits, SerialFlowControl flowControl) {
  dcb.BaudRate = baudRate;
  switch (parity) {
    case ParityEven:
      dcb.Parity = EVENPARITY;
      break;
    case ParityMark:
      dcb.Parity = MARKPARITY;
      break;
    case ParityNone:
      dcb.Parity = NOPARITY;
      break;
    case ParityOdd:
      dcb.Parity = ODDPARITY;
      break;
    case ParitySpace:
      dcb.Parity = SPACEPARITY;
      break;
  }
  dcb.ByteSize = dataBits;
  switch (stopBits) {
    case StopBitsOne:
      dcb.StopBits = ONESTOPBIT;
      break;
    case StopBitsOneAndHalf:
      dcb.StopBits = ONE5STOPBITS;
      break;
    case StopBitsTwo:
      dcb.StopBits = TWOSTOPBITS;
      break;
  }
  dcb.fDsrSensitivity = false;
  switch (flowControl) {
    case FlowNone:
      dcb.fOutxCtsFlow = false;
      dcb.fOutxDsrFlow = false;
      dcb.fOutX = false;
      dcb.fInX = false;
      break;
    case FlowCtsRts:
      dcb.fOutxCtsFlow = true;
      dcb.fOutxDsrFlow = false;
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
      dcb.fOutX = false;
      dcb.fInX = false;
      break;
    case FlowCtsDtr:
      dcb.fOutxCtsFlow = true;
      dcb.fOutxDsrFlow = false;
      dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
      dcb.fOutX = false;
      dcb.fInX = false;
      break;
    case FlowDsrRts:
      dcb.fOutxCtsFlow = false;
      dcb.fOutxDsrFlow = true;
      dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
      dcb.fOutX = false;
      dcb.fInX = false;
      break;
    case FlowDsrDtr:
      dcb.fOutxCtsFlow = false;
      dcb.fOutxDsrFlow = true;
      dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
      dcb.fOutX = false;
      dcb.fInX = false;
      break;
    case FlowXonXoff:
      dcb.fOutxCtsFlow = false;
      dcb.fOutxDsrFlow = false;
      dcb.fOutX = true;
      dcb.fInX = true;
      dcb.XonChar = 0x11;
      dcb.XoffChar = 0x13;
      dcb.XonLim = 100;
      dcb.XoffLim = 100;
      break;
  }
}

void CSerialPort::Open(int port, std::uint32_t baudRate, SerialParity parity, std::uint8_t dataBits,
                       SerialStopBits stopBits, SerialFlowControl flowControl, bool overlapped) {
  Close();
  portHandle_ = OpenDevice(port);
  overlapped_ = overlapped;
  TakeErrorBaseline();
  // The port's current settings are the starting point; a failure from here
  // on leaves the port open in this object.
  DCB dcb;
  GetState(dcb);
  ApplyLineSettings(dcb, baudRate, parity, dataBits, stopBits, flowControl);
  SetState(dcb);
}

void CSerialPort::Attach(Handle handle, bool overlapped) {
  Close();
  portHandle_ = handle;
  overlapped_ = overlapped;
  TakeErrorBaseline();
}

CSerialPort::Handle CSerialPort::Detach() {
  Handle handle = portHandle_;
  portHandle_ = kInvalidHandle;
  return handle;
}

void CSerialPort::GetConfig(COMMCONFIG& config) {
  config = COMMCONFIG{};
  GetState(config.dcb);
}

void CSerialPort::SetConfig(const COMMCONFIG& config) { SetState(config.dcb); }

std::uint32_t CSerialPort::InputQueueCount() {
  COMSTAT status;
  GetStatus(status);
  return status.cbInQue;
}

void CSerialPort::AbortWrites() { Purge(PURGE_TXABORT); }
void CSerialPort::PurgeOutput() { Purge(PURGE_TXCLEAR); }
void CSerialPort::PurgeInput() { Purge(PURGE_RXCLEAR); }

void CSerialPort::ClearWriteTimeouts() {
  COMMTIMEOUTS timeouts;
  GetTimeouts(timeouts);
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  SetTimeouts(timeouts);
}

void CSerialPort::SetImmediateReads() {
  COMMTIMEOUTS timeouts;
  GetTimeouts(timeouts);
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  SetTimeouts(timeouts);
}

void CSerialPort::SetImmediateTimeouts() {
  COMMTIMEOUTS timeouts;
  timeouts.ReadIntervalTimeout = MAXDWORD;
  SetTimeouts(timeouts);
}
