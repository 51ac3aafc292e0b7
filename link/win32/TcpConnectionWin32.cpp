// The device server's TCP connection on Windows: a non-blocking Winsock
// socket, every wait a select bounded by the caller's deadline.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <memory>

#include "link/SerialException.h"
#include "link/TcpConnection.h"

namespace {

using Clock = CTcpConnection::Clock;

constexpr std::intptr_t kNoSocket = static_cast<std::intptr_t>(INVALID_SOCKET);

// Winsock is started once for the process and left running.
void StartWinsock() {
  static const int started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  if (started != 0) RaiseSerialError(static_cast<std::uint32_t>(started));
}

[[noreturn]] void RaiseSocketError() {
  RaiseSerialError(static_cast<std::uint32_t>(WSAGetLastError()));
}

// Waits until s can be written (or read) or deadline; false when the
// deadline came first.
bool WaitFor(SOCKET s, bool forWriting, Clock::time_point deadline) {
  for (;;) {
    auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - Clock::now()).count();
    left = std::clamp<decltype(left)>(left, 0, 60000000);
    timeval timeout{static_cast<long>(left / 1000000), static_cast<long>(left % 1000000)};
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    // A failed connect shows in the exception set, not the write set.
    int count =
        select(0, forWriting ? nullptr : &ready, forWriting ? &ready : nullptr, &failed, &timeout);
    if (count > 0) return true;
    if (count == SOCKET_ERROR) RaiseSocketError();
    if (Clock::now() >= deadline) return false;
  }
}

struct AddressListDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

int ConnectOne(SOCKET s, const addrinfo& address, Clock::time_point deadline) {
  if (connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return 0;
  int error = WSAGetLastError();
  if (error != WSAEWOULDBLOCK) return error;
  if (!WaitFor(s, true, deadline)) return WSAETIMEDOUT;
  int length = sizeof error;
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return WSAGetLastError();
  }
  return error;
}

}  // namespace

std::uint32_t SystemCode(NetworkFailure failure) {
  switch (failure) {
    case NetworkFailure::TimedOut:
      return WSAETIMEDOUT;
    case NetworkFailure::ConnectionRefused:
      return WSAECONNREFUSED;
    case NetworkFailure::ClosedByServer:
      return WSAECONNRESET;
    case NetworkFailure::SettingRefused:
      return ERROR_INVALID_PARAMETER;
    case NetworkFailure::NotSupported:
      return ERROR_NOT_SUPPORTED;
    case NetworkFailure::Malformed:
      return ERROR_INVALID_DATA;
  }
  return ERROR_INVALID_PARAMETER;
}

CTcpConnection::CTcpConnection() : socket_(kNoSocket) {}

CTcpConnection::~CTcpConnection() { Close(); }

void CTcpConnection::Connect(const std::string& host, int port, Clock::time_point deadline) {
  Close();
  StartWinsock();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  // getaddrinfo's codes are Winsock's own, with texts in the system's table.
  if (int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &found)) {
    RaiseSerialError(static_cast<std::uint32_t>(error), host + " does not resolve");
  }
  std::unique_ptr<addrinfo, AddressListDeleter> addresses(found);
  int lastError = WSAECONNREFUSED;
  for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
    SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (s == INVALID_SOCKET) {
      lastError = WSAGetLastError();
      continue;
    }
    u_long nonBlocking = 1;
    lastError = ioctlsocket(s, FIONBIO, &nonBlocking) == 0 ? ConnectOne(s, *address, deadline)
                                                           : WSAGetLastError();
    if (lastError == 0) {
      // A packet goes out whole at once; nothing is gained by holding its
      // tail back.
      const BOOL on = TRUE;
      setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
      socket_ = static_cast<std::intptr_t>(s);
      return;
    }
    closesocket(s);
    if (lastError == WSAETIMEDOUT) break;
  }
  RaiseSerialError(static_cast<std::uint32_t>(lastError));
}

void CTcpConnection::Write(const unsigned char* bytes, std::size_t count,
                           Clock::time_point deadline) {
  const auto s = static_cast<SOCKET>(socket_);
  while (count > 0) {
    const int chunk = static_cast<int>(std::min<std::size_t>(count, 1 << 20));
    int written = send(s, reinterpret_cast<const char*>(bytes), chunk, 0);
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
      continue;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) RaiseSocketError();
    if (!WaitFor(s, true, deadline)) RaiseSerialError(WSAETIMEDOUT);
  }
}

std::optional<std::size_t> CTcpConnection::Read(unsigned char* buffer, std::size_t size,
                                                Clock::time_point until) {
  const auto s = static_cast<SOCKET>(socket_);
  const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  for (;;) {
    int count = recv(s, reinterpret_cast<char*>(buffer), chunk, 0);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (WSAGetLastError() != WSAEWOULDBLOCK) RaiseSocketError();
    if (!WaitFor(s, false, until)) return std::nullopt;
  }
}

bool CTcpConnection::WaitUntilAcknowledged(Clock::time_point) {
  // Winsock does not say how much of what it took the server has
  // acknowledged; the linger for the line time that follows covers it.
  return true;
}

void CTcpConnection::Close() {
  if (socket_ == kNoSocket) return;
  closesocket(static_cast<SOCKET>(socket_));
  socket_ = kNoSocket;
}
