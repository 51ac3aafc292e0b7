#pragma once

// Helpers for the virtual sign's tests: packets as the program frames them,
// and a decoder run that collects every event.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/signsim/SignDecoder.h"

// 20 NULs, SOH, "Z00", STX, body, EOT.
inline std::string Packet(const std::string& body) {
  return std::string(20, '\0') + "\x01Z00\x02" + body + "\x04";
}

inline std::vector<CSignDecoder::Event> Decode(const std::string& stream) {
  std::vector<CSignDecoder::Event> events;
  CSignDecoder decoder([&events](const CSignDecoder::Event& event) { events.push_back(event); });
  decoder.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  decoder.Finish();
  return events;
}

inline std::string AsText(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}
