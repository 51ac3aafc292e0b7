// The device server's TCP connection on Linux: a non-blocking socket,
// every wait a poll bounded by the caller's deadline.

#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <thread>

#include "link/SerialException.h"
#include "link/TcpConnection.h"

namespace {

using Clock = CTcpConnection::Clock;

constexpr std::intptr_t kNoSocket = -1;
// How often the acknowledgement of the written bytes is looked at.
constexpr auto kAcknowledgePoll = std::chrono::milliseconds(5);

int MillisecondsUntil(Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60000));
}

// Waits for events on fd until deadline; false when the deadline came first.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    int ready = poll(&entry, 1, MillisecondsUntil(deadline));
    if (ready > 0) return true;
    if (ready == 0) {
      if (Clock::now() >= deadline) return false;
      continue;
    }
    if (errno != EINTR) RaiseSerialError();
  }
}

struct AddressListDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// Connects fd to address within deadline; the system's code when it fails.
int ConnectOne(int fd, const addrinfo& address, Clock::time_point deadline) {
  if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  if (!WaitFor(fd, POLLOUT, deadline)) return ETIMEDOUT;
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

}  // namespace

std::uint32_t SystemCode(NetworkFailure failure) {
  switch (failure) {
    case NetworkFailure::TimedOut:
      return ETIMEDOUT;
    case NetworkFailure::ConnectionRefused:
      return ECONNREFUSED;
    case NetworkFailure::ClosedByServer:
      return ECONNRESET;
    case NetworkFailure::SettingRefused:
      return EINVAL;
    case NetworkFailure::NotSupported:
      return ENOTSUP;
    case NetworkFailure::Malformed:
      return EPROTO;
  }
  return EINVAL;
}

CTcpConnection::CTcpConnection() : socket_(kNoSocket) {}

CTcpConnection::~CTcpConnection() { Close(); }

void CTcpConnection::Connect(const std::string& host, int port, Clock::time_point deadline) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &found)) {
    // The resolver's codes are its own: its text goes in the detail.
    const int code = error == EAI_SYSTEM ? errno : error;
    RaiseSerialError(
        static_cast<std::uint32_t>(code),
        host + " does not resolve" +
            (error == EAI_SYSTEM ? std::string() : ": " + std::string(gai_strerror(error))));
  }
  std::unique_ptr<addrinfo, AddressListDeleter> addresses(found);
  int lastError = ECONNREFUSED;
  for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
    int fd = socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                    address->ai_protocol);
    if (fd < 0) {
      lastError = errno;
      continue;
    }
    lastError = ConnectOne(fd, *address, deadline);
    if (lastError == 0) {
      // A packet goes out whole at once; nothing is gained by holding its
      // tail back.
      const int on = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      socket_ = fd;
      return;
    }
    ::close(fd);
    if (lastError == ETIMEDOUT) break;
  }
  RaiseSerialError(static_cast<std::uint32_t>(lastError));
}

void CTcpConnection::Write(const unsigned char* bytes, std::size_t count,
                           Clock::time_point deadline) {
  const int fd = static_cast<int>(socket_);
  while (count > 0) {
    ssize_t written = send(fd, bytes, count, MSG_NOSIGNAL);
    if (written > 0) {
      bytes += written;
      count -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    // Writing after the server's reset says EPIPE; it is the server that
    // closed the connection.
    if (written < 0 && errno == EPIPE) RaiseSerialError(ECONNRESET);
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) RaiseSerialError();
    if (!WaitFor(fd, POLLOUT, deadline)) RaiseSerialError(ETIMEDOUT);
  }
}

std::optional<std::size_t> CTcpConnection::Read(unsigned char* buffer, std::size_t size,
                                                Clock::time_point until) {
  const int fd = static_cast<int>(socket_);
  for (;;) {
    ssize_t count = recv(fd, buffer, size, 0);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) RaiseSerialError();
    if (!WaitFor(fd, POLLIN, until)) return std::nullopt;
  }
}

bool CTcpConnection::WaitUntilAcknowledged(Clock::time_point deadline) {
  const int fd = static_cast<int>(socket_);
  for (;;) {
    int unacknowledged = 0;
    if (ioctl(fd, SIOCOUTQ, &unacknowledged) != 0) RaiseSerialError();
    if (unacknowledged == 0) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kAcknowledgePoll);
  }
}

void CTcpConnection::Close() {
  if (socket_ == kNoSocket) return;
  ::close(static_cast<int>(socket_));
  socket_ = kNoSocket;
}
