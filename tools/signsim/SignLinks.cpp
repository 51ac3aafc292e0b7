#include "tools/signsim/SignLinks.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "tools/signsim/VirtualSign.h"

namespace {

constexpr std::size_t kChunk = 4096;

// TCP senders served at once; more wait in the listen queue until one
// leaves, so a flood of connections cannot take every descriptor.
constexpr std::size_t kMaxTcpClients = 64;
// How long accepting rests after the process ran out of descriptors: the
// waiting connection stays queued, and polling for it sooner would spin.
constexpr auto kAcceptPause = std::chrono::seconds(1);
// How often the pseudo-terminal is checked for an exclusive flag that a
// dead sender left behind.
constexpr int kStaleFlagCheckMs = 200;

// Failures of accept that a later accept may not meet: the process or the
// system is out of descriptors or memory for the moment.
bool OutOfResources(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

CSignLinks::CSignLinks(CVirtualSign& sign, LineHandler onLine)
    : sign_(sign), onLine_(std::move(onLine)), serialDecoder_(sign.MakeDecoder()) {}

CSignLinks::~CSignLinks() {
  for (auto& client : clients_) close(client.first);
  if (listener_ >= 0) close(listener_);
}

int CSignLinks::ListenTcp(int port, bool rfc2217) {
  rfc2217_ = rfc2217;
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) Fail("socket");
  const int on = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail("binding 127.0.0.1:" + std::to_string(port));
  }
  // Senders that open a connection per packet come in bursts.
  if (listen(listener_, SOMAXCONN) != 0) Fail("listen");
  socklen_t length = sizeof address;
  if (getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    Fail("getsockname");
  }
  return ntohs(address.sin_port);
}

void CSignLinks::Run(int stopFd) {
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({stopFd, POLLIN, 0});
    fds.push_back({pty_.MasterFd(), POLLIN, 0});
    // A listener left out of the poll keeps its connections queued.
    const bool accepting = listener_ >= 0 && clients_.size() < kMaxTcpClients &&
                           std::chrono::steady_clock::now() >= acceptPausedUntil_;
    fds.push_back({accepting ? listener_ : -1, POLLIN, 0});
    for (const auto& client : clients_) fds.push_back({client.first, POLLIN, 0});

    if (poll(fds.data(), fds.size(), kStaleFlagCheckMs) < 0) {
      if (errno == EINTR) continue;
      Fail("poll");
    }
    if (fds[0].revents != 0) return;
    if (pty_.ClearStaleExclusion()) {
      onLine_("link: cleared the exclusive flag a sender that died left on " + pty_.SlavePath());
    }
    if ((fds[1].revents & POLLIN) != 0) {
      ReadSerial();
    } else if ((fds[1].revents & (POLLHUP | POLLERR)) != 0) {
      pty_.Reopen();
    }
    std::size_t next = 2;
    if ((fds[next++].revents & POLLIN) != 0) Accept();
    for (; next < fds.size(); ++next) {
      if (fds[next].revents == 0) continue;
      auto client = clients_.find(fds[next].fd);
      if (!ReadClient(client->first, client->second)) {
        close(client->first);
        clients_.erase(client);
      }
    }
  }
}

void CSignLinks::ReadSerial() {
  std::uint8_t buffer[kChunk];
  const std::size_t count = pty_.Read(buffer, sizeof buffer);
  if (count == 0) return;
  // The sender set the line up before it wrote these bytes.
  const std::string settings = pty_.LineSettings();
  if (settings != lineSettings_) {
    lineSettings_ = settings;
    onLine_("line: " + settings);
  }
  serialDecoder_.Feed(buffer, count);
}

void CSignLinks::Accept() {
  const int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) {
    if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) return;
    if (OutOfResources(errno)) {
      // The sign goes on with the links it has; the connection waits.
      const int error = errno;
      acceptPausedUntil_ = std::chrono::steady_clock::now() + kAcceptPause;
      onLine_(std::string("link: accept: ") + std::strerror(error) +
              "; new TCP connections wait a second");
      return;
    }
    Fail("accept");
  }
  CTcpClient& client = clients_[fd];
  client.decoder = std::make_unique<CSignDecoder>(sign_.MakeDecoder());
  if (rfc2217_) {
    CSignDecoder& decoder = *client.decoder;
    client.rfc2217 = std::make_unique<CRfc2217Server>(
        [&decoder](const std::uint8_t* bytes, std::size_t count) { decoder.Feed(bytes, count); },
        // The answers are a few bytes each; a sender that does not read
        // them loses them, as it would lose a real server's.
        [fd](const std::uint8_t* bytes, std::size_t count) {
          [[maybe_unused]] ssize_t sent = send(fd, bytes, count, MSG_NOSIGNAL);
        },
        onLine_);
  }
  if (clients_.size() == kMaxTcpClients) {
    onLine_("link: " + std::to_string(kMaxTcpClients) +
            " TCP connections open; new ones wait until one closes");
  }
}

bool CSignLinks::ReadClient(int fd, CTcpClient& client) {
  std::uint8_t buffer[kChunk];
  const ssize_t count = read(fd, buffer, sizeof buffer);
  if (count > 0) {
    if (client.rfc2217) {
      client.rfc2217->Receive(buffer, static_cast<std::size_t>(count));
    } else {
      client.decoder->Feed(buffer, static_cast<std::size_t>(count));
    }
    return true;
  }
  if (count < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  client.decoder->Finish();
  return false;
}
