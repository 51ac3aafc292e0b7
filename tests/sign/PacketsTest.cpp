#include <gtest/gtest.h>

#include <string>

#include "sign/Packets.h"
#include "tests/support/SignPackets.h"

namespace {

// The packets the messages send are checked whole where they are sent
// (SignMessagesTest); here the builders' edges and one packet written out
// byte by byte, apart from the helpers that build the expected packets.
TEST(PacketsTest, BuildersLayOutEveryPacketByteForByte) {
  const struct {
    const char* name;
    Bytes built;
    Bytes expected;
  } rows[] = {
      {"memory config ABCD", *MakeMemoryConfigPacket(0xABCD), MemoryConfig("ABCD")},
      {"memory config FFFF", *MakeMemoryConfigPacket(0xFFFF), MemoryConfig("FFFF")},
      {"empty string", MakeStringPacket('2', ""), StringPacket('2', "")},
      {"scoreboard", MakeScoreboardPacket("HOM", '1', '2', "VIS", '3', '8'),
       Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x62, 0x1E,
               0x31, 0x1C, 0x31, 0x48, 0x4F, 0x4D, 0x1C, 0x32, 0x10, 0x31, 0x10,
               0x33, 0x1C, 0x33, 0x56, 0x49, 0x53, 0x1C, 0x38, 0x10, 0x32, 0x04})},
      {"scoreboard without names", MakeScoreboardPacket("", '4', '5', "", '6', '7'),
       ScoreboardPacket("", "", "4567")},
      {"empty giant note", MakeNotePacket("", '1', true), NotePacket('1', "\x12\x11")},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.built, row.expected) << row.name << ": " << HexBytes(row.built);
}

// Room for the text: 8200 - 33 = 8167 bytes (Normal), 8165 (Giant). The text
// is cut before a two-byte character that would straddle the end.
TEST(PacketsTest, NoteTextIsCutAtACharacterBoundaryToFitTheArea) {
  const std::string pair = "\x08\x22";
  const struct {
    std::string text;
    bool giant;
    std::size_t kept;
  } rows[] = {
      {std::string(8167, 'x'), false, 8167},        {std::string(8168, 'x'), false, 8167},
      {std::string(8165, 'x') + pair, false, 8167}, {std::string(8166, 'x') + pair, false, 8166},
      {std::string(8165, 'x'), true, 8165},         {std::string(8164, 'x') + pair, true, 8164},
  };
  for (const auto& row : rows) {
    const std::string kept = row.text.substr(0, row.kept);
    EXPECT_EQ(MakeNotePacket(row.text, '1', row.giant),
              NotePacket('1', row.giant ? "\x12" + kept + "\x11" : kept))
        << row.text.size() << (row.giant ? " giant" : "");
    EXPECT_LE(MakeNotePacket(row.text, '1', row.giant).size(), kNotePacketArea);
  }
}

}  // namespace
