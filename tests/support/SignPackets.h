#pragma once

// The packets tests expect, written as the protocol tables show them. Header-only.

#include <string>
#include <vector>

#include "tests/support/RecordingSink.h"

using Bytes = std::vector<unsigned char>;

// A whole packet: lead-in, SOH, type Z, address 00, STX, then body.
inline Bytes Packet(const std::string& body) { return Framed(std::string("\x01Z00\x02") + body); }
inline Bytes RunSequence() { return Packet("\x45.SLA\x04"); }
inline Bytes EmptyText() { return Packet("AA\x04"); }
inline Bytes MemoryConfig(const std::string& hexSize) {
  return Packet("\x45$AAU" + hexSize + "FF001BL000300002BL000300003BL00030000\x04");
}
inline Bytes StringPacket(char label, const std::string& text) {
  return Packet(std::string("G") + label + text + "\x04");
}
// colour is the digit; text holds any wide-character codes.
inline Bytes NotePacket(char colour, const std::string& text) {
  return Packet(std::string("AA\x1B a\x1C") + colour + text + "\x04");
}
// colours: the digits of name 1, score 1, name 2, score 2.
inline Bytes ScoreboardPacket(const std::string& abbrev1, const std::string& abbrev2,
                              const std::string& colours = "1111") {
  return Packet(std::string("AA\x1B b\x1E\x31\x1C") + colours[0] + abbrev1 + "\x1C" + colours[1] +
                "\x10\x31\x10\x33\x1C" + colours[2] + abbrev2 + "\x1C" + colours[3] +
                "\x10\x32\x04");
}
inline std::vector<Bytes> ClearSignPackets() {
  return {MemoryConfig("001C"), EmptyText(), RunSequence()};
}
// A full scoreboard send of HOM and VIS; the spacer and scores as their texts.
inline std::vector<Bytes> HomVisScoreboard(const std::string& spacer, const std::string& score1,
                                           const std::string& score2,
                                           const std::string& colours = "1111") {
  std::vector<Bytes> packets = ClearSignPackets();
  packets.insert(packets.end(), {MemoryConfig("0035"), StringPacket('3', spacer),
                                 StringPacket('1', score1), StringPacket('2', score2),
                                 ScoreboardPacket("HOM", "VIS", colours), RunSequence()});
  return packets;
}
