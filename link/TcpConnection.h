#pragma once

// CTcpConnection: one TCP connection to a serial device server, every
// operation bounded by a deadline. The system calls sit in link/linux/
// (BSD sockets) or link/win32/ (Winsock), chosen by CMake.
//
// Errors are thrown as heap CSerialException* with the system's code, like
// the serial port's: the device server is the far end of the sign's serial
// line. A host name that does not resolve throws with the resolver's own
// code and text in the detail. The connection only ever reaches out: nothing
// listens on this machine.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Failures the network road names itself, as the system's own codes.
enum class NetworkFailure {
  TimedOut,           // ETIMEDOUT, WSAETIMEDOUT
  ConnectionRefused,  // ECONNREFUSED, WSAECONNREFUSED
  ClosedByServer,     // ECONNRESET, WSAECONNRESET
  SettingRefused,     // EINVAL, ERROR_INVALID_PARAMETER: a setting answered otherwise
  NotSupported,       // ENOTSUP, ERROR_NOT_SUPPORTED
  Malformed,          // EPROTO, ERROR_INVALID_DATA: a stream the protocol cannot parse
};
std::uint32_t SystemCode(NetworkFailure failure);

class CTcpConnection {
 public:
  using Clock = std::chrono::steady_clock;

  CTcpConnection();
  ~CTcpConnection();
  CTcpConnection(const CTcpConnection&) = delete;
  CTcpConnection& operator=(const CTcpConnection&) = delete;

  // Resolves host and connects to its port, trying each address the
  // resolver gives until one takes the connection, and gives up with a
  // time-out at deadline.
  void Connect(const std::string& host, int port, Clock::time_point deadline);

  // Writes every byte, or throws a time-out at deadline.
  void Write(const unsigned char* bytes, std::size_t count, Clock::time_point deadline);

  // What arrives before until: nothing (no value), the count read, or 0
  // when the server has closed the connection.
  std::optional<std::size_t> Read(unsigned char* buffer, std::size_t size, Clock::time_point until);

  // Waits until the server's side has acknowledged every byte written, as
  // far as the system can tell (Linux can; Windows returns at once); false
  // when the deadline came first.
  bool WaitUntilAcknowledged(Clock::time_point deadline);

  void Close();

 private:
  std::intptr_t socket_;
};
