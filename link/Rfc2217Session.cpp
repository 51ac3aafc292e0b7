#include "link/Rfc2217Session.h"

#include <libtelnet.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "link/SerialException.h"

namespace {

// The options this client takes part in; libtelnet declines every other.
constexpr telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {rfc2217::kComPortOption, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

std::uint32_t ParityValue(std::uint8_t parity) {
  switch (parity) {
    case NOPARITY:
      return rfc2217::kParityNone;
    case ODDPARITY:
      return rfc2217::kParityOdd;
    case MARKPARITY:
      return rfc2217::kParityMark;
    case SPACEPARITY:
      return rfc2217::kParitySpace;
    default:
      return rfc2217::kParityEven;
  }
}

std::uint32_t StopSizeValue(std::uint8_t stopBits) {
  if (stopBits == TWOSTOPBITS) return rfc2217::kStopTwo;
  if (stopBits == ONE5STOPBITS) return rfc2217::kStopOneAndHalf;
  return rfc2217::kStopOne;
}

[[noreturn]] void Fail(NetworkFailure failure, std::string detail) {
  RaiseSerialError(SystemCode(failure), std::move(detail));
}

}  // namespace

CRfc2217Session::CRfc2217Session(CTcpConnection& connection)
    : connection_(connection), telnet_(telnet_init(kOptions, &OnEvent, 0, this)) {
  if (telnet_ == nullptr) RaiseSerialError(ENOMEM);
}

CRfc2217Session::~CRfc2217Session() { telnet_free(telnet_); }

void CRfc2217Session::OnEvent(telnet_t*, telnet_event_t* event, void* self) {
  // Nothing is thrown across libtelnet: events are noted here and acted on
  // once it has returned.
  auto& session = *static_cast<CRfc2217Session*>(self);
  switch (event->type) {
    case TELNET_EV_SEND:
      session.outgoing_.insert(session.outgoing_.end(), event->data.buffer,
                               event->data.buffer + event->data.size);
      break;
    case TELNET_EV_DATA:
      session.reply_.Take(reinterpret_cast<const unsigned char*>(event->data.buffer),
                          event->data.size);
      break;
    case TELNET_EV_DO:
    case TELNET_EV_DONT: {
      const bool yes = event->type == TELNET_EV_DO;
      if (event->neg.telopt == rfc2217::kComPortOption) session.comPortAccepted_ = yes;
      if (event->neg.telopt == TELNET_TELOPT_BINARY) session.binaryToServer_ = yes;
      break;
    }
    case TELNET_EV_WILL:
    case TELNET_EV_WONT:
      if (event->neg.telopt == TELNET_TELOPT_BINARY) {
        session.binaryFromServer_ = event->type == TELNET_EV_WILL;
      }
      break;
    case TELNET_EV_SUBNEGOTIATION:
      if (event->sub.telopt == rfc2217::kComPortOption) {
        auto answer = rfc2217::ParsePayload(
            reinterpret_cast<const unsigned char*>(event->sub.buffer), event->sub.size);
        if (answer) session.answers_.push_back(*answer);
      }
      break;
    case TELNET_EV_ERROR:
      session.failure_ = event->error.msg;
      break;
    default:
      break;
  }
}

void CRfc2217Session::Flush(Clock::time_point deadline) {
  if (outgoing_.empty()) return;
  std::vector<unsigned char> bytes;
  bytes.swap(outgoing_);
  connection_.Write(bytes.data(), bytes.size(), deadline);
}

bool CRfc2217Session::ReceiveOnce(Clock::time_point until) {
  std::array<unsigned char, 512> buffer;
  std::optional<std::size_t> count = connection_.Read(buffer.data(), buffer.size(), until);
  if (!count) return false;
  if (*count == 0) reply_.RaiseClosed();
  telnet_recv(telnet_, reinterpret_cast<const char*>(buffer.data()), *count);
  if (!failure_.empty()) Fail(NetworkFailure::Malformed, "the device server's Telnet: " + failure_);
  // Refusals of options the server asked for go back at once.
  Flush(until);
  return true;
}

template <typename Ready>
void CRfc2217Session::AwaitAnswer(Ready ready, const std::string& awaited,
                                  Clock::time_point deadline) {
  while (!ready()) {
    if (!ReceiveOnce(deadline)) {
      Fail(NetworkFailure::TimedOut, "the device server did not answer " + awaited);
    }
  }
}

void CRfc2217Session::Request(rfc2217::Command command, Clock::time_point deadline) {
  const std::vector<unsigned char> payload = rfc2217::Payload(command);
  telnet_subnegotiation(telnet_, rfc2217::kComPortOption,
                        reinterpret_cast<const char*>(payload.data()), payload.size());
  Flush(deadline);
}

rfc2217::Command CRfc2217Session::AwaitCommandAnswer(rfc2217::Command request,
                                                     Clock::time_point deadline) {
  const unsigned char code = request.code + rfc2217::kServerOffset;
  auto match = [&] {
    return std::find_if(answers_.begin(), answers_.end(),
                        [code](const rfc2217::Command& answer) { return answer.code == code; });
  };
  AwaitAnswer([&] { return match() != answers_.end(); }, "the " + rfc2217::Describe(request),
              deadline);
  auto answer = match();
  rfc2217::Command found = *answer;
  answers_.erase(answer);
  return found;
}

void CRfc2217Session::SetUpLine(const DCB& line, Clock::time_point deadline) {
  telnet_negotiate(telnet_, TELNET_WILL, rfc2217::kComPortOption);
  // The packet's bytes go as they are only in binary mode; a carriage
  // return would otherwise be Telnet's line end.
  telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_BINARY);
  telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_BINARY);
  Flush(deadline);
  AwaitAnswer([this] { return comPortAccepted_.has_value(); }, "the COM port option", deadline);
  if (!*comPortAccepted_) {
    Fail(NetworkFailure::NotSupported, "the device server does not take RFC 2217 line settings");
  }
  AwaitAnswer([this] { return binaryToServer_.has_value() && binaryFromServer_.has_value(); },
              "binary transmission", deadline);

  const rfc2217::Command requests[] = {
      {rfc2217::kSetBaudRate, line.BaudRate},
      {rfc2217::kSetDataSize, line.ByteSize},
      {rfc2217::kSetParity, ParityValue(line.Parity)},
      {rfc2217::kSetStopSize, StopSizeValue(line.StopBits)},
      {rfc2217::kSetControl, rfc2217::kControlNoFlow},
  };
  for (const rfc2217::Command& request : requests) Request(request, deadline);
  for (const rfc2217::Command& request : requests) {
    const rfc2217::Command answer = AwaitCommandAnswer(request, deadline);
    if (answer.value != request.value) {
      Fail(NetworkFailure::SettingRefused, "the device server refused the " +
                                               rfc2217::Describe(request) + " (it answered " +
                                               rfc2217::Describe(answer) + ")");
    }
  }
}

void CRfc2217Session::SendBreak(Clock::time_point deadline) {
  const rfc2217::Command on{rfc2217::kSetControl, rfc2217::kControlBreakOn};
  Request(on, deadline);
  const rfc2217::Command answer = AwaitCommandAnswer(on, deadline);
  if (answer.value != on.value) {
    Fail(NetworkFailure::SettingRefused,
         "the device server refused the break (it answered " + rfc2217::Describe(answer) + ")");
  }
  const rfc2217::Command off{rfc2217::kSetControl, rfc2217::kControlBreakOff};
  Request(off, deadline);
  AwaitCommandAnswer(off, deadline);
}

void CRfc2217Session::Write(const unsigned char* bytes, std::size_t count,
                            Clock::time_point deadline) {
  telnet_send(telnet_, reinterpret_cast<const char*>(bytes), count);
  Flush(deadline);
}

void CRfc2217Session::Linger(Clock::time_point until) {
  while (ReceiveOnce(until)) {
  }
}
