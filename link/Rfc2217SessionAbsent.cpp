// CRfc2217Session in a build without libtelnet (the Windows cross build:
// Debian has no mingw-w64 build of it). Raw TCP to a device server works
// there; asking for RFC 2217 fails every send with the reason, rather than
// with a Telnet layer of our own written beside the library's.

#include "link/Rfc2217Session.h"
#include "link/SerialException.h"

namespace {

[[noreturn]] void Unavailable() {
  RaiseSerialError(SystemCode(NetworkFailure::NotSupported),
                   "this build has no RFC 2217 (it was built without libtelnet); choose raw TCP");
}

}  // namespace

CRfc2217Session::CRfc2217Session(CTcpConnection& connection) : connection_(connection) {
  Unavailable();
}

CRfc2217Session::~CRfc2217Session() = default;

void CRfc2217Session::SetUpLine(const DCB&, Clock::time_point) { Unavailable(); }
void CRfc2217Session::SendBreak(Clock::time_point) { Unavailable(); }
void CRfc2217Session::Write(const unsigned char*, std::size_t, Clock::time_point) { Unavailable(); }
void CRfc2217Session::Linger(Clock::time_point) { Unavailable(); }
