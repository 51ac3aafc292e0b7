// CSerialException on Windows: the code is the thread's last error, and its
// text comes from the system's message table.

#include <windows.h>

#include <utility>

#include "link/SerialException.h"

const CRuntimeClass CSerialException::classCSerialException{"CSerialException",
                                                            &CException::classCException};

const CRuntimeClass* CSerialException::GetRuntimeClass() const { return &classCSerialException; }

bool CSerialException::GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  char* systemText = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                                reinterpret_cast<char*>(&systemText), 0, nullptr);
  if (length == 0 || systemText == nullptr) {
    if (text != nullptr && capacity > 0) text[0] = 0;
    return false;
  }
  // As the system gives it, line end included, cut to the buffer.
  if (text != nullptr && capacity > 0) lstrcpynA(text, systemText, static_cast<int>(capacity));
  LocalFree(systemText);
  return true;
}

void RaiseSerialError(std::uint32_t errorCode) {
  if (errorCode == 0) errorCode = GetLastError();
  throw new CSerialException(errorCode);
}

void RaiseSerialError(std::uint32_t errorCode, std::string detail) {
  if (errorCode == 0) errorCode = GetLastError();
  auto* failure = new CSerialException(errorCode);
  failure->detail = std::move(detail);
  throw failure;
}
