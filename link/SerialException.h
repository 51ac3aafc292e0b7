#pragma once

#include <cstdint>
#include <string>

#include "link/Object.h"

// A failed system call of the serial port, carrying the system's error code
// (errno on Linux, the last error on Windows).
class CSerialException : public CException {
 public:
  explicit CSerialException(std::uint32_t errorCode) : errorCode(errorCode) {}

  const CRuntimeClass* GetRuntimeClass() const override;

  // The system's text for errorCode (strerror), copied as lstrcpyn does:
  // at most capacity - 1 characters, always terminated. False with an empty
  // text when the system has no text for the code.
  bool GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext = nullptr) override;

  static const CRuntimeClass classCSerialException;

  std::uint32_t errorCode;
  // What the failure concerns when the code alone would not say it (the
  // baud rate a driver refused); empty otherwise.
  std::string detail;
};

// Throws a new heap CSerialException with errorCode, or with the
// system's current error code when errorCode is 0. The catcher owns it and
// calls Delete().
[[noreturn]] void RaiseSerialError(std::uint32_t errorCode = 0);
// The same, naming what the failure concerns.
[[noreturn]] void RaiseSerialError(std::uint32_t errorCode, std::string detail);
