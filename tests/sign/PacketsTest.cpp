#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sign/Packets.h"
#include "tests/support/RecordingSink.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(PacketsTest, RunSequenceIsThirtyOneBytes) {
  const Bytes expected = Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x45, 0x2E, 0x53, 0x4C, 0x41, 0x04});
  EXPECT_EQ(MakeRunSequencePacket(), expected) << HexBytes(MakeRunSequencePacket());
  EXPECT_EQ(expected.size(), 31u);
}

TEST(PacketsTest, EmptyTextFileIsTwentyEightBytes) {
  EXPECT_EQ(MakeEmptyTextPacket(), Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x04}));
}

TEST(PacketsTest, MemoryConfigurationWritesTheSizeAsFourUpperCaseHexDigits) {
  const Bytes head = Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x45, 0x24, 0x41, 0x41, 0x55});
  const Bytes tail = {0x46, 0x46, 0x30, 0x30,                                            //
                      0x31, 0x42, 0x4C, 0x30, 0x30, 0x30, 0x33, 0x30, 0x30, 0x30, 0x30,  //
                      0x32, 0x42, 0x4C, 0x30, 0x30, 0x30, 0x33, 0x30, 0x30, 0x30, 0x30,  //
                      0x33, 0x42, 0x4C, 0x30, 0x30, 0x30, 0x33, 0x30, 0x30, 0x30, 0x30,  //
                      0x04};
  const struct {
    int size;
    const char* digits;
  } rows[] = {{28, "001C"},   {64, "0040"},     {255, "00FF"},   {0, "0000"},
              {8200, "2008"}, {0xABCD, "ABCD"}, {0xFFFF, "FFFF"}};
  for (const auto& row : rows) {
    Bytes expected = head;
    expected.insert(expected.end(), row.digits, row.digits + 4);
    expected.insert(expected.end(), tail.begin(), tail.end());
    ASSERT_EQ(expected.size(), 72u);
    const auto packet = MakeMemoryConfigPacket(row.size);
    ASSERT_TRUE(packet.has_value()) << row.size;
    EXPECT_EQ(*packet, expected) << row.size << ": " << HexBytes(*packet);
  }
}

TEST(PacketsTest, MemoryConfigurationRefusesSizesTheFieldCannotHold) {
  for (int size : {0x10000, 0x12345, -1, -28}) {
    EXPECT_FALSE(MakeMemoryConfigPacket(size).has_value()) << size;
  }
}

TEST(PacketsTest, StringPacketIsTwentyEightBytesPlusItsText) {
  EXPECT_EQ(MakeStringPacket('1', " 7"),
            Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x47, 0x31, 0x20, 0x37, 0x04}));
  EXPECT_EQ(MakeStringPacket('3', " ").size(), 29u);
  EXPECT_EQ(MakeStringPacket('3', "  ").size(), 30u);
  EXPECT_EQ(MakeStringPacket('2', "").size(), 28u);
}

TEST(PacketsTest, ScoreboardLaysOutAbbreviationsColoursAndStringCalls) {
  const Bytes homVis = Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x62, 0x1E,
                               0x31, 0x1C, 0x31, 0x48, 0x4F, 0x4D, 0x1C, 0x32, 0x10, 0x31, 0x10,
                               0x33, 0x1C, 0x33, 0x56, 0x49, 0x53, 0x1C, 0x38, 0x10, 0x32, 0x04});
  EXPECT_EQ(MakeScoreboardPacket("HOM", '1', '2', "VIS", '3', '8'), homVis);
  EXPECT_EQ(homVis.size(), 53u);

  const Bytes twoEmpty =
      Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x62, 0x1E, 0x31, 0x1C, 0x34,
              0x1C, 0x35, 0x10, 0x31, 0x10, 0x33, 0x1C, 0x36, 0x1C, 0x37, 0x10, 0x32, 0x04});
  EXPECT_EQ(MakeScoreboardPacket("", '4', '5', "", '6', '7'), twoEmpty);
  EXPECT_EQ(twoEmpty.size(), 47u);

  const Bytes ete = MakeScoreboardPacket("\x08\x30T\x08\x30", '1', '1', "A", '1', '1');
  ASSERT_EQ(ete.size(), 53u);
  EXPECT_EQ(Bytes(ete.begin() + 34, ete.begin() + 39), (Bytes{0x08, 0x30, 0x54, 0x08, 0x30}));
  EXPECT_EQ(ete[39], 0x1C);
}

TEST(PacketsTest, NotePacketFramesTheTextAndWideCharactersForGiant) {
  EXPECT_EQ(MakeNotePacket("Hello", '2', false),
            Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x61, 0x1C, 0x32, 0x48,
                    0x65, 0x6C, 0x6C, 0x6F, 0x04}));
  EXPECT_EQ(MakeNotePacket("Hello", '2', true),
            Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x61,
                    0x1C, 0x32, 0x12, 0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x11, 0x04}));
  EXPECT_EQ(MakeNotePacket("", '1', false).size(), 33u);
  EXPECT_EQ(MakeNotePacket("", '1', true).size(), 35u);
}

// Room for the text: 8200 - 33 = 8167 bytes (Normal), 8165 (Giant).
TEST(PacketsTest, NoteTextIsCutAtACharacterBoundaryToFitTheArea) {
  const std::string pair = "\x08\x22";
  const struct {
    const char* name;
    std::string encoded;
    bool giant;
    std::size_t keptText;
  } rows[] = {
      {"exactly fits", std::string(8167, 'x'), false, 8167},
      {"one byte over", std::string(8168, 'x'), false, 8167},
      {"pair ends on the last byte", std::string(8165, 'x') + pair, false, 8167},
      {"pair would straddle the end", std::string(8166, 'x') + pair, false, 8166},
      {"giant exactly fits", std::string(8165, 'x'), true, 8165},
      {"giant pair would straddle", std::string(8164, 'x') + pair, true, 8164},
      {"all pairs",
       [&] {
         std::string s;
         for (int i = 0; i < 8000; ++i) s += pair;
         return s;
       }(),
       false, 8166},
  };
  for (const auto& row : rows) {
    const Bytes packet = MakeNotePacket(row.encoded, '1', row.giant);
    const std::size_t frame = row.giant ? 35 : 33;
    ASSERT_EQ(packet.size(), frame + row.keptText) << row.name;
    EXPECT_LE(packet.size(), kNotePacketArea) << row.name;
    const std::size_t textStart = row.giant ? 33 : 32;
    EXPECT_EQ(Bytes(packet.begin() + textStart, packet.begin() + textStart + row.keptText),
              Bytes(row.encoded.begin(), row.encoded.begin() + row.keptText))
        << row.name;
    EXPECT_EQ(packet.back(), 0x04) << row.name;
    if (row.giant) {
      EXPECT_EQ(packet[packet.size() - 2], 0x11) << row.name;
    }
  }
}

}  // namespace
