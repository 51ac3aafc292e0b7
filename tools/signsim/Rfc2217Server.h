#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/Rfc2217.h"

struct telnet_t;
union telnet_event_t;

// The server side of Telnet COM Port Control on one TCP connection of the
// virtual sign (--rfc2217): it takes the COM port option and binary
// transmission, answers every line setting and control with the value
// asked for, and keeps the line the sender set up. Unlike a
// pseudo-terminal, it reports the framing asked for as it is (7E1 stays
// 7E1). The Telnet layer is libtelnet's.
class CRfc2217Server {
 public:
  using Bytes = std::function<void(const std::uint8_t* bytes, std::size_t count)>;
  using Report = std::function<void(const std::string& line)>;

  // data gets the sign's bytes, reply what goes back to the sender, report
  // the "line: ..." lines: the settings when data or a break comes under
  // settings not reported yet, and "line: break" for each break.
  CRfc2217Server(Bytes data, Bytes reply, Report report);
  ~CRfc2217Server();
  CRfc2217Server(const CRfc2217Server&) = delete;
  CRfc2217Server& operator=(const CRfc2217Server&) = delete;

  void Receive(const std::uint8_t* bytes, std::size_t count);

  // "9600 7E1 flow none".
  std::string LineSettings() const;

 private:
  static void OnEvent(telnet_t* telnet, telnet_event_t* event, void* self);
  void Answer(rfc2217::Command command);
  void ReportSettingsIfNew();

  Bytes data_;
  Bytes reply_;
  Report report_;
  telnet_t* telnet_ = nullptr;
  std::uint32_t baudRate_ = 9600;
  std::uint32_t dataSize_ = 8;
  std::uint32_t parity_ = rfc2217::kParityNone;
  std::uint32_t stopSize_ = rfc2217::kStopOne;
  std::uint32_t flow_ = rfc2217::kControlNoFlow;
  std::string reported_;
};
