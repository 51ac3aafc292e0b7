#pragma once

// Test doubles for the packet sink, shared by every test that checks what
// reaches the sign. Header-only.
//
//   CRecordingSink sink;
//   messages.ClearSign();
//   ASSERT_EQ(sink.packets.size(), 3u);
//   EXPECT_EQ(sink.packets[1].bytes, Framed("\x01Z00\x02..."))
//       << HexBytes(sink.packets[1].bytes);

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "sign/PacketSink.h"

// One packet as the sink received it.
struct CRecordedPacket {
  int comPort;
  std::vector<unsigned char> bytes;
};

// Records every packet handed to it, in order, and never fails. onPacket, if
// set, runs after each packet is recorded: a test can act in the middle of a
// send, as the USB road's event pump lets a click through between packets.
class CRecordingSink : public CPacketSink {
 public:
  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    packets.push_back(CRecordedPacket{comPort, std::vector<unsigned char>(bytes, bytes + length)});
    if (onPacket) onPacket();
  }

  // Every packet's bytes, in the order received (for whole-sequence checks).
  std::vector<std::vector<unsigned char>> Bytes() const {
    std::vector<std::vector<unsigned char>> all;
    for (const CRecordedPacket& packet : packets) all.push_back(packet.bytes);
    return all;
  }

  std::vector<CRecordedPacket> packets;
  std::function<void()> onPacket;
};

// "01 5A 30 ..." : upper-case hex pairs separated by single spaces, for
// readable failure messages.
inline std::string HexBytes(const std::vector<unsigned char>& bytes) {
  std::string text;
  char pair[4];
  for (unsigned char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

// The same for a sequence of packets, one per line.
inline std::string HexPackets(const std::vector<std::vector<unsigned char>>& packets) {
  std::string text;
  for (const std::vector<unsigned char>& packet : packets) text += HexBytes(packet) + '\n';
  return text;
}

// A whole packet from the bytes after its 20 NUL lead-in bytes (e.g.
// "\x01Z00\x02G1 7\x04"), so tests can be written as the protocol tables show
// them.
inline std::vector<unsigned char> Framed(const std::string& afterLeadIn) {
  std::vector<unsigned char> packet(20, 0x00);
  packet.insert(packet.end(), afterLeadIn.begin(), afterLeadIn.end());
  return packet;
}
