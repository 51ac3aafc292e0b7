#pragma once

// Telnet COM Port Control (RFC 2217): the option's codes and the payloads
// of its sub-negotiations, without the Telnet layer around them. The client
// side (CRfc2217Session) and the virtual sign's server side both build and
// read their payloads here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rfc2217 {

inline constexpr unsigned char kComPortOption = 44;

// Client-to-server commands; the server answers each with the command plus
// kServerOffset and the value it applied.
inline constexpr unsigned char kSetBaudRate = 1;
inline constexpr unsigned char kSetDataSize = 2;
inline constexpr unsigned char kSetParity = 3;
inline constexpr unsigned char kSetStopSize = 4;
inline constexpr unsigned char kSetControl = 5;
inline constexpr unsigned char kServerOffset = 100;

// Values of kSetParity.
inline constexpr std::uint32_t kParityNone = 1;
inline constexpr std::uint32_t kParityOdd = 2;
inline constexpr std::uint32_t kParityEven = 3;
inline constexpr std::uint32_t kParityMark = 4;
inline constexpr std::uint32_t kParitySpace = 5;
// Values of kSetStopSize.
inline constexpr std::uint32_t kStopOne = 1;
inline constexpr std::uint32_t kStopTwo = 2;
inline constexpr std::uint32_t kStopOneAndHalf = 3;
// Values of kSetControl.
inline constexpr std::uint32_t kControlNoFlow = 1;
inline constexpr std::uint32_t kControlBreakOn = 5;
inline constexpr std::uint32_t kControlBreakOff = 6;

// One command or answer: its code and its value (four bytes, network order,
// for the baud rate; one byte for the others).
struct Command {
  unsigned char code = 0;
  std::uint32_t value = 0;
};

std::vector<unsigned char> Payload(Command command);
// Nothing when the payload is not a command of this option.
std::optional<Command> ParsePayload(const unsigned char* payload, std::size_t size);

// "baud rate 9600", "parity even": how a report names a command and value.
std::string Describe(Command command);

}  // namespace rfc2217
