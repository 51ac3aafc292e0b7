#include "link/SerialException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

const CRuntimeClass CSerialException::classCSerialException{"CSerialException",
                                                            &CException::classCException};

const CRuntimeClass* CSerialException::GetRuntimeClass() const { return &classCSerialException; }

bool CSerialException::GetErrorMessage(char* text, unsigned capacity, unsigned* helpContext) {
  if (helpContext != nullptr) *helpContext = 0;
  // strerrordesc_np, unlike strerror, says when there is no text for a code.
  const char* systemText = strerrordesc_np(static_cast<int>(errorCode));
  if (systemText == nullptr) {
    if (text != nullptr && capacity > 0) text[0] = 0;
    return false;
  }
  if (text != nullptr && capacity > 0) {
    std::size_t length = std::min<std::size_t>(std::strlen(systemText), capacity - 1);
    std::memcpy(text, systemText, length);
    text[length] = 0;
  }
  return true;
}

void RaiseSerialError(std::uint32_t errorCode) {
  if (errorCode == 0) errorCode = static_cast<std::uint32_t>(errno);
  throw new CSerialException(errorCode);
}

void RaiseSerialError(std::uint32_t errorCode, std::string detail) {
  if (errorCode == 0) errorCode = static_cast<std::uint32_t>(errno);
  auto* failure = new CSerialException(errorCode);
  failure->detail = std::move(detail);
  throw failure;
}
