#include "link/Rfc2217.h"

namespace rfc2217 {

namespace {

bool IsBaudRate(unsigned char code) { return code % kServerOffset == kSetBaudRate; }

}  // namespace

std::vector<unsigned char> Payload(Command command) {
  std::vector<unsigned char> payload{command.code};
  if (IsBaudRate(command.code)) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      payload.push_back(static_cast<unsigned char>(command.value >> shift));
    }
  } else {
    payload.push_back(static_cast<unsigned char>(command.value));
  }
  return payload;
}

std::optional<Command> ParsePayload(const unsigned char* payload, std::size_t size) {
  if (size < 2) return std::nullopt;
  Command command{payload[0], 0};
  const std::size_t valueSize = IsBaudRate(command.code) ? 4 : 1;
  if (size != 1 + valueSize) return std::nullopt;
  for (std::size_t i = 1; i < size; ++i) command.value = (command.value << 8) | payload[i];
  return command;
}

std::string Describe(Command command) {
  const std::string value = std::to_string(command.value);
  switch (command.code % kServerOffset) {
    case kSetBaudRate:
      return "baud rate " + value;
    case kSetDataSize:
      return "data size " + value;
    case kSetParity: {
      static const char* const names[] = {"request", "none", "odd", "even", "mark", "space"};
      return "parity " + (command.value < 6 ? std::string(names[command.value]) : value);
    }
    case kSetStopSize:
      return "stop size " + (command.value == kStopOneAndHalf ? std::string("1.5") : value);
    case kSetControl:
      return "control " + value;
    default:
      return "command " + std::to_string(command.code) + " value " + value;
  }
}

}  // namespace rfc2217
