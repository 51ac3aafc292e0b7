#pragma once

// CRfc2217Session: the client side of Telnet COM Port Control over one
// device server connection. The Telnet layer is libtelnet's; the COM port
// option on top of it is ours (link/Rfc2217.h). A build without libtelnet
// has this class all the same, and every use of it fails with "not
// supported" (link/Rfc2217SessionAbsent.cpp).
//
// Every wait is bounded by the caller's deadline; failures throw heap
// CSerialException* like the rest of the sign link.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "link/DeviceServerReply.h"
#include "link/Rfc2217.h"
#include "link/SerialRecords.h"
#include "link/TcpConnection.h"

struct telnet_t;
union telnet_event_t;

class CRfc2217Session {
 public:
  using Clock = CTcpConnection::Clock;

  explicit CRfc2217Session(CTcpConnection& connection);
  ~CRfc2217Session();
  CRfc2217Session(const CRfc2217Session&) = delete;
  CRfc2217Session& operator=(const CRfc2217Session&) = delete;

  // Asks for the COM port option (and binary transmission both ways), sets
  // the line of dcb (baud rate, data size, parity, stop size) with no flow
  // control, and returns once the server has answered every request. A
  // server that declines the option fails "not supported"; one that answers
  // a setting with another value fails "refused", naming both.
  void SetUpLine(const DCB& line, Clock::time_point deadline);
  // Break on, then off, each answered before the next. The answer to break
  // off is not checked: some servers report the state they saw before.
  void SendBreak(Clock::time_point deadline);
  // The bytes as Telnet data (an IAC doubled), written before deadline.
  void Write(const unsigned char* bytes, std::size_t count, Clock::time_point deadline);
  // Takes what the server sends until then; throws when it closes.
  void Linger(Clock::time_point until);

 private:
  static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
  // Sends what libtelnet queued for the server.
  void Flush(Clock::time_point deadline);
  // Reads and parses until ready() holds, throwing a time-out naming what
  // was awaited at deadline.
  template <typename Ready>
  void AwaitAnswer(Ready ready, const std::string& awaited, Clock::time_point deadline);
  // One read until then; false when nothing came.
  bool ReceiveOnce(Clock::time_point until);
  void Request(rfc2217::Command command, Clock::time_point deadline);
  rfc2217::Command AwaitCommandAnswer(rfc2217::Command request, Clock::time_point deadline);

  CTcpConnection& connection_;
  telnet_t* telnet_ = nullptr;
  std::vector<unsigned char> outgoing_;
  // Answers of the server not looked at yet, in arrival order.
  std::vector<rfc2217::Command> answers_;
  std::optional<bool> comPortAccepted_;
  std::optional<bool> binaryToServer_;
  std::optional<bool> binaryFromServer_;
  std::string failure_;
  CDeviceServerReply reply_;
};
