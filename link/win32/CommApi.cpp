#include "link/win32/CommApi.h"

#include <windows.h>

#include <cstdio>

namespace commapi {

namespace {

HANDLE ToHandle(Handle handle) { return LongToHandle(handle); }

}  // namespace

bool OpenComPort(int port, Handle& handle) {
  char path[32];
  std::snprintf(path, sizeof path, "\\\\.\\COM%d", port);
  HANDLE opened =
      CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  handle = HandleToLong(opened);
  return true;
}

void CloseComHandle(Handle handle) { CloseHandle(ToHandle(handle)); }

bool GetDefaultLineState(int port, LineState& state) {
  char name[32];
  std::snprintf(name, sizeof name, "COM%d", port);
  COMMCONFIG config{};
  DWORD size = sizeof config;
  config.dwSize = size;
  if (!GetDefaultCommConfigA(name, &config, &size)) return false;
  state = TakeLineState(config.dcb);
  return true;
}

bool GetState(Handle handle, LineState& state) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(ToHandle(handle), &dcb)) return false;
  state = TakeLineState(dcb);
  return true;
}

bool SetState(Handle handle, const LineState& state) {
  // The port's own DCB is the base, so the fields not carried here (error
  // replacement, NUL stripping, abort on error) stay as the port has them.
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(ToHandle(handle), &dcb)) return false;
  PutLineState(state, dcb);
  dcb.fBinary = TRUE;  // the only mode Windows has
  return SetCommState(ToHandle(handle), &dcb);
}

bool GetModemStatus(Handle handle, std::uint32_t& status) {
  DWORD value = 0;
  if (!GetCommModemStatus(ToHandle(handle), &value)) return false;
  status = value;
  return true;
}

bool GetMask(Handle handle, std::uint32_t& mask) {
  DWORD value = 0;
  if (!GetCommMask(ToHandle(handle), &value)) return false;
  mask = value;
  return true;
}

bool SetMask(Handle handle, std::uint32_t mask) { return SetCommMask(ToHandle(handle), mask); }

bool GetTimeouts(Handle handle, Timeouts& timeouts) {
  COMMTIMEOUTS value{};
  if (!GetCommTimeouts(ToHandle(handle), &value)) return false;
  timeouts = Timeouts{value.ReadIntervalTimeout, value.ReadTotalTimeoutMultiplier,
                      value.ReadTotalTimeoutConstant, value.WriteTotalTimeoutMultiplier,
                      value.WriteTotalTimeoutConstant};
  return true;
}

bool SetTimeouts(Handle handle, const Timeouts& timeouts) {
  COMMTIMEOUTS value{timeouts.readInterval, timeouts.readTotalMultiplier,
                     timeouts.readTotalConstant, timeouts.writeTotalMultiplier,
                     timeouts.writeTotalConstant};
  return SetCommTimeouts(ToHandle(handle), &value);
}

bool SetBreak(Handle handle) { return SetCommBreak(ToHandle(handle)); }
bool ClearBreak(Handle handle) { return ClearCommBreak(ToHandle(handle)); }

bool ClearError(Handle handle, std::uint32_t& errors, QueueStatus* status) {
  DWORD flags = 0;
  COMSTAT comstat{};
  if (!ClearCommError(ToHandle(handle), &flags, status != nullptr ? &comstat : nullptr)) {
    return false;
  }
  errors = flags;
  if (status != nullptr)
    *status = QueueStatus{comstat.fCtsHold != 0, comstat.cbInQue, comstat.cbOutQue};
  return true;
}

bool Setup(Handle handle, std::uint32_t inputQueueSize, std::uint32_t outputQueueSize) {
  return SetupComm(ToHandle(handle), inputQueueSize, outputQueueSize);
}

bool Purge(Handle handle, std::uint32_t flags) { return PurgeComm(ToHandle(handle), flags); }

bool Flush(Handle handle) { return FlushFileBuffers(ToHandle(handle)); }

bool Write(Handle handle, const void* bytes, std::uint32_t count, std::uint32_t& written) {
  DWORD done = 0;
  BOOL ok = WriteFile(ToHandle(handle), bytes, count, &done, nullptr);
  written = done;
  return ok;
}

std::uint32_t LastCommError() { return GetLastError(); }

void Pause(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace commapi
