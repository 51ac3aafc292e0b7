#include "link/DeviceServerReply.h"

#include <cctype>

#include "link/SerialException.h"
#include "link/TcpConnection.h"

namespace {

constexpr std::size_t kSaidLimit = 80;

}  // namespace

void CDeviceServerReply::Take(const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count && said_.size() < kSaidLimit; ++i) {
    if (std::isprint(bytes[i])) said_ += static_cast<char>(bytes[i]);
  }
}

void CDeviceServerReply::RaiseClosed() const {
  RaiseSerialError(SystemCode(NetworkFailure::ClosedByServer),
                   said_.empty() ? "the device server closed the connection"
                                 : "the device server closed the connection (\"" + said_ + "\")");
}
