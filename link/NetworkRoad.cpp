#include "link/NetworkRoad.h"

#include <array>
#include <cmath>
#include <thread>

#include "link/DeviceServerReply.h"
#include "link/Rfc2217Session.h"
#include "link/SerialPort.h"
#include "link/TcpConnection.h"
#include "settings/CommSettings.h"

namespace {

using Clock = CTcpConnection::Clock;

// A device server that does not take the connection in this time is not
// going to: the form must not freeze on it.
constexpr auto kConnectTimeout = std::chrono::seconds(3);
// Each answer of an RFC 2217 server, the same.
constexpr auto kAnswerTimeout = std::chrono::seconds(3);
// A server still serving the previous sender is waited for as long as a
// busy local port is.
constexpr auto kBusyWait = std::chrono::seconds(2);
constexpr auto kBusyRetry = std::chrono::milliseconds(50);
// Raw TCP has no answer to wait for: a server that turns the connection
// away (ser2net still serving another sender says "Port already in use"
// and closes) is only heard if the connection is held a moment. ser2net on
// this machine took up to 130 ms to say it.
constexpr auto kRawTurnAwayWait = std::chrono::milliseconds(250);

constexpr const char* kNotTaken = "the device server did not take the packet";

// A server that refuses the connection, drops it before the packet is
// through, or leaves it unanswered (still closing the previous sender's,
// ser2net queues a new connection without acknowledging its data) is taken
// as busy with the previous sender.
bool TurnedAway(const CSerialException& failure) {
  return failure.errorCode == SystemCode(NetworkFailure::ConnectionRefused) ||
         failure.errorCode == SystemCode(NetworkFailure::ClosedByServer) ||
         failure.detail == kNotTaken;
}

// Waits for the server to acknowledge what was written.
void AwaitAcknowledgement(CTcpConnection& connection, Clock::time_point deadline) {
  if (!connection.WaitUntilAcknowledged(deadline)) {
    RaiseSerialError(SystemCode(NetworkFailure::TimedOut), kNotTaken);
  }
}

// How long the server's line needs for count characters.
Clock::duration LineTime(const DCB& line, std::uint32_t count) {
  return std::chrono::microseconds(
      static_cast<std::int64_t>(std::ceil(1e6 * count * CharacterSeconds(line))));
}

// Holds a raw connection until then; the server's data is not looked at,
// but a close or reset is the server turning the packet away.
void LingerRaw(CTcpConnection& connection, Clock::time_point until) {
  std::array<unsigned char, 512> buffer;
  CDeviceServerReply reply;
  while (auto count = connection.Read(buffer.data(), buffer.size(), until)) {
    if (*count == 0) reply.RaiseClosed();
    reply.Take(buffer.data(), *count);
  }
}

void SendOnce(const CCommSettings& settings, const DCB& line, const unsigned char* bytes,
              std::uint32_t count) {
  CTcpConnection connection;
  connection.Connect(settings.host, settings.tcpPort, Clock::now() + kConnectTimeout);
  if (settings.tcpProtocol == kTcpProtocolRfc2217) {
    CRfc2217Session session(connection);
    session.SetUpLine(line, Clock::now() + kAnswerTimeout);
    session.SendBreak(Clock::now() + kAnswerTimeout);
    const auto deadline = Clock::now() + StallDeadline(line, count);
    session.Write(bytes, count, deadline);
    AwaitAcknowledgement(connection, deadline);
    session.Linger(std::min(deadline, Clock::now() + LineTime(line, count)));
  } else {
    const auto deadline = Clock::now() + StallDeadline(line, count);
    connection.Write(bytes, count, deadline);
    AwaitAcknowledgement(connection, deadline);
    LingerRaw(connection,
              std::min(deadline, Clock::now() + std::max<Clock::duration>(LineTime(line, count),
                                                                          kRawTurnAwayWait)));
  }
  connection.Close();
}

}  // namespace

void SendViaDeviceServer(const CCommSettings& settings, const DCB& line, const unsigned char* bytes,
                         std::uint32_t count) {
  const auto giveUp = Clock::now() + kBusyWait;
  for (;;) {
    try {
      SendOnce(settings, line, bytes, count);
      return;
    } catch (CSerialException* failure) {
      if (!TurnedAway(*failure) || Clock::now() >= giveUp) throw;
      failure->Delete();
    }
    std::this_thread::sleep_for(kBusyRetry);
  }
}

std::string DeviceServerName(const std::string& host, int port) {
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}
