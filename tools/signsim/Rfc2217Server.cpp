#include "tools/signsim/Rfc2217Server.h"

#include <libtelnet.h>

#include <new>

namespace {

// A sender asks for the COM port option (WILL) and binary both ways.
constexpr telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {rfc2217::kComPortOption, TELNET_WONT, TELNET_DO},
    {-1, 0, 0},
};

}  // namespace

CRfc2217Server::CRfc2217Server(Bytes data, Bytes reply, Report report)
    : data_(std::move(data)),
      reply_(std::move(reply)),
      report_(std::move(report)),
      telnet_(telnet_init(kOptions, &OnEvent, 0, this)) {
  if (telnet_ == nullptr) throw std::bad_alloc();
}

CRfc2217Server::~CRfc2217Server() { telnet_free(telnet_); }

void CRfc2217Server::Receive(const std::uint8_t* bytes, std::size_t count) {
  telnet_recv(telnet_, reinterpret_cast<const char*>(bytes), count);
}

std::string CRfc2217Server::LineSettings() const {
  static const char parityLetters[] = "?NOEMS";
  const char parity = parity_ < 6 ? parityLetters[parity_] : '?';
  const std::string stop = stopSize_ == rfc2217::kStopOneAndHalf ? "1.5"
                           : stopSize_ == rfc2217::kStopTwo      ? "2"
                                                                 : "1";
  const char* flow = flow_ == 2 ? "xon/xoff" : flow_ == 3 ? "rts/cts" : "none";
  return std::to_string(baudRate_) + " " + std::to_string(dataSize_) + parity + stop + " flow " +
         flow;
}

void CRfc2217Server::ReportSettingsIfNew() {
  const std::string settings = LineSettings();
  if (settings == reported_) return;
  reported_ = settings;
  report_("line: " + settings);
}

void CRfc2217Server::Answer(rfc2217::Command command) {
  switch (command.code) {
    case rfc2217::kSetBaudRate:
      if (command.value != 0) baudRate_ = command.value;
      command.value = baudRate_;
      break;
    case rfc2217::kSetDataSize:
      if (command.value != 0) dataSize_ = command.value;
      command.value = dataSize_;
      break;
    case rfc2217::kSetParity:
      if (command.value != 0) parity_ = command.value;
      command.value = parity_;
      break;
    case rfc2217::kSetStopSize:
      if (command.value != 0) stopSize_ = command.value;
      command.value = stopSize_;
      break;
    case rfc2217::kSetControl:
      if (command.value >= 1 && command.value <= 3) flow_ = command.value;
      if (command.value == rfc2217::kControlBreakOn) {
        ReportSettingsIfNew();
        report_("line: break");
      }
      break;
    default:
      return;
  }
  command.code += rfc2217::kServerOffset;
  const auto payload = rfc2217::Payload(command);
  telnet_subnegotiation(telnet_, rfc2217::kComPortOption,
                        reinterpret_cast<const char*>(payload.data()), payload.size());
}

void CRfc2217Server::OnEvent(telnet_t*, telnet_event_t* event, void* self) {
  auto& server = *static_cast<CRfc2217Server*>(self);
  switch (event->type) {
    case TELNET_EV_DATA:
      server.ReportSettingsIfNew();
      server.data_(reinterpret_cast<const std::uint8_t*>(event->data.buffer), event->data.size);
      break;
    case TELNET_EV_SEND:
      server.reply_(reinterpret_cast<const std::uint8_t*>(event->data.buffer), event->data.size);
      break;
    case TELNET_EV_SUBNEGOTIATION:
      if (event->sub.telopt == rfc2217::kComPortOption) {
        auto command = rfc2217::ParsePayload(
            reinterpret_cast<const unsigned char*>(event->sub.buffer), event->sub.size);
        if (command) server.Answer(*command);
      }
      break;
    case TELNET_EV_ERROR:
      server.report_(std::string("link: telnet: ") + event->error.msg);
      break;
    default:
      break;
  }
}
