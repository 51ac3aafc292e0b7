#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "sign/CharTable.h"

namespace {

struct ExpectedEntry {
  int protocolCode;
  int cp437Code;
  int windowsCode;
  int width1;
  int width2;
  int width3;
};

// The sign's extended group as the protocol documents it, row by row.
const ExpectedEntry kExtendedRows[] = {
    {0x20, 128, 199, 6, 7, 12},  // 1: Ç
    {0x21, 129, 252, 6, 7, 12},  // 2: ü
    {0x22, 130, 233, 6, 7, 12},  // 3: é
    {0x23, 131, 226, 6, 7, 12},  // 4: â
    {0x24, 132, 228, 6, 7, 12},  // 5: ä
    {0x25, 133, 224, 6, 7, 12},  // 6: à
    {0x26, 134, 229, 6, 7, 12},  // 7: å
    {0x27, 135, 231, 5, 6, 10},  // 8: ç
    {0x28, 136, 234, 6, 7, 12},  // 9: ê
    {0x29, 137, 235, 6, 7, 12},  // 10: ë
    {0x2A, 138, 232, 6, 7, 12},  // 11: è
    {0x2B, 139, 239, 5, 6, 10},  // 12: ï
    {0x2C, 140, 238, 5, 6, 10},  // 13: î
    {0x2D, 141, 236, 5, 6, 10},  // 14: ì
    {0x2E, 142, 196, 6, 7, 12},  // 15: Ä
    {0x2F, 143, 197, 6, 7, 12},  // 16: Å
    {0x30, 144, 201, 5, 6, 10},  // 17: É
    {0x31, 145, 230, 6, 7, 12},  // 18: æ
    {0x32, 146, 198, 6, 7, 12},  // 19: Æ
    {0x33, 147, 244, 6, 7, 12},  // 20: ô
    {0x34, 148, 246, 6, 7, 12},  // 21: ö
    {0x35, 149, 242, 6, 7, 12},  // 22: ò
    {0x36, 150, 251, 6, 7, 12},  // 23: û
    {0x37, 151, 249, 6, 7, 12},  // 24: ù
    {0x38, 152, 255, 6, 7, 12},  // 25: ÿ
    {0x39, 153, 214, 6, 7, 12},  // 26: Ö
    {0x3A, 154, 220, 6, 7, 12},  // 27: Ü
    {0x3B, 155, 162, 6, 7, 12},  // 28: ¢
    {0x3C, 156, 163, 6, 7, 12},  // 29: £
    {0x3D, 157, 165, 6, 7, 12},  // 30: ¥
    {0x3E, 0, 0, 0, 0, 0},       // 31: none
    {0x3F, 159, 131, 6, 7, 12},  // 32: ƒ
    {0x40, 160, 225, 6, 7, 12},  // 33: á
    {0x41, 161, 237, 5, 6, 10},  // 34: í
    {0x42, 162, 243, 6, 7, 12},  // 35: ó
    {0x43, 163, 250, 6, 7, 12},  // 36: ú
    {0x44, 164, 241, 6, 7, 12},  // 37: ñ
    {0x45, 165, 209, 6, 7, 12},  // 38: Ñ
    {0x46, 166, 170, 6, 7, 12},  // 39: ª
    {0x47, 167, 186, 6, 7, 12},  // 40: º
    {0x48, 168, 191, 6, 7, 12},  // 41: ¿
    {0x49, 248, 176, 5, 6, 10},  // 42: °
    {0x4A, 173, 161, 4, 5, 8},   // 43: ¡
    {0x4C, 237, 248, 6, 7, 12},  // 44: ø
    {0x4D, 233, 216, 6, 7, 12},  // 45: Ø
    {0x57, 225, 223, 6, 7, 12},  // 46: ß
    {0x58, 0, 0, 0, 0, 0},       // 47: none
    {0x59, 0, 0, 0, 0, 0},       // 48: none
    {0x5A, 0, 193, 6, 7, 12},    // 49: Á
    {0x5B, 0, 192, 6, 7, 12},    // 50: À
    {0x5C, 0, 0, 0, 0, 0},       // 51: none
    {0x5D, 0, 0, 0, 0, 0},       // 52: none
    {0x5E, 0, 201, 5, 6, 10},    // 53: É
    {0x5F, 0, 205, 5, 6, 10},    // 54: Í
    {0x60, 0, 213, 6, 7, 12},    // 55: Õ
    {0x61, 0, 245, 6, 7, 12},    // 56: õ
};

// ASCII widths: each row lists its characters separated by blanks, with SP
// for the space, as the font documentation groups them.
const struct {
  int width1;
  int width2;
  int width3;
  const char* characters;
} kAsciiWidthRows[] = {
    {4, 5, 8, "SP ! ' ( ) , - . ; I [ ] i { } `"},
    {6, 7, 12,
     "\" # $ % & * + / 0 2 3 4 5 6 8 ? A B C D G H J K N O P Q R S T U V X Y Z \\ ^ _ "
     "a b d e f g h j k n o p q r s v x y z @"},
    {5, 6, 10, "1 < = > E F L t"},
    {6, 6, 12, "7 9"},
    {3, 4, 6, ": |"},
    {6, 8, 12, "M W m w"},
    {6, 6, 10, "c"},
    {4, 6, 8, "l"},
    {6, 5, 12, "u"},
};

// code -> {width1, width2, width3}, checking that the rows above name every
// character once.
std::map<int, ExpectedEntry> AsciiWidthsByCode() {
  std::map<int, ExpectedEntry> byCode;
  for (const auto& row : kAsciiWidthRows) {
    std::istringstream tokens(row.characters);
    std::string token;
    while (tokens >> token) {
      const int code = token == "SP" ? ' ' : static_cast<unsigned char>(token[0]);
      EXPECT_EQ(token.size() == 1 || token == "SP", true) << "bad token " << token;
      EXPECT_TRUE(
          byCode.emplace(code, ExpectedEntry{code, code, code, row.width1, row.width2, row.width3})
              .second)
          << "character listed twice: " << token;
    }
  }
  return byCode;
}

// The table is 24 KB; keep it off the test's stack.
std::unique_ptr<CharTable> MakeTable() { return std::make_unique<CharTable>(); }

TEST(CharTableTest, HoldsOneHundredFiftyEntries) {
  EXPECT_EQ(MakeTable()->Count(), 150);
  EXPECT_EQ(std::size(kExtendedRows), 56u);
}

TEST(CharTableTest, ExtendedGroupComesFirstRowByRow) {
  const auto table = MakeTable();
  for (int i = 0; i < 56; ++i) {
    const ExpectedEntry& want = kExtendedRows[i];
    const CharTable::Entry& got = table->At(i);
    EXPECT_EQ(got.protocolCode, want.protocolCode) << "row " << i + 1;
    EXPECT_EQ(got.cp437Code, want.cp437Code) << "row " << i + 1;
    EXPECT_EQ(got.windowsCode, want.windowsCode) << "row " << i + 1;
    EXPECT_EQ(got.width1, want.width1) << "row " << i + 1;
    EXPECT_EQ(got.width2, want.width2) << "row " << i + 1;
    EXPECT_EQ(got.width3, want.width3) << "row " << i + 1;
  }
}

TEST(CharTableTest, AsciiGroupRunsFromSpaceToClosingBraceWithItsWidths) {
  const std::map<int, ExpectedEntry> widths = AsciiWidthsByCode();
  ASSERT_EQ(widths.size(), 94u);
  EXPECT_EQ(widths.begin()->first, 32);
  EXPECT_EQ(widths.rbegin()->first, 125);

  const auto table = MakeTable();
  int index = 56;
  for (const auto& [code, want] : widths) {
    const CharTable::Entry& got = table->At(index);
    const char shown = static_cast<char>(code);
    EXPECT_EQ(got.protocolCode, code) << "'" << shown << "'";
    EXPECT_EQ(got.cp437Code, code) << "'" << shown << "'";
    EXPECT_EQ(got.windowsCode, code) << "'" << shown << "'";
    EXPECT_EQ(got.width1, want.width1) << "'" << shown << "'";
    EXPECT_EQ(got.width2, want.width2) << "'" << shown << "'";
    EXPECT_EQ(got.width3, want.width3) << "'" << shown << "'";
    ++index;
  }
}

TEST(CharTableTest, LookupFindsTheFirstMatchingWindowsCode) {
  const auto table = MakeTable();
  const struct {
    int windowsCode;
    int protocolCode;
  } rows[] = {
      {201, 0x30},            // É: row 17 wins over row 53
      {205, 0x5F},            // Í
      {0, 0x3E},              // the first sign-only glyph
      {131, 0x3F},            // ƒ
      {233, 0x22},            // é
      {65, 65},               // A
      {32, 32},               // space
      {125, 125},             // }
      {126, 0},               // ~ has no entry
      {127, 0},    {128, 0},  // €
      {200, 0},               // È
      {9, 0},                 // tab
      {256, 0},    {-1, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(table->Lookup(row.windowsCode), row.protocolCode) << row.windowsCode;
  }
  EXPECT_EQ(table->IndexOf(201), 16);
  EXPECT_EQ(table->IndexOf(0), 30);
  EXPECT_EQ(table->IndexOf(32), 56);
  EXPECT_EQ(table->IndexOf(126), -1);
}

TEST(CharTableTest, AddEntryAppendsUpToTheCapacity) {
  const auto table = MakeTable();
  table->AddEntry(0x7E, 126, 126, 6, 7, 12);
  EXPECT_EQ(table->Count(), 151);
  EXPECT_EQ(table->Lookup(126), 0x7E);
  table->AddEntry(0x99, 0, 201, 1, 1, 1);
  EXPECT_EQ(table->Lookup(201), 0x30) << "an appended duplicate never shadows an earlier entry";

  while (table->Count() < CharTable::kCapacity) table->AddEntry(1, 2, 3, 4, 5, 6);
  table->AddEntry(0x55, 0, 1234, 0, 0, 0);
  EXPECT_EQ(table->Count(), CharTable::kCapacity);
  EXPECT_EQ(table->Lookup(1234), 0);
}

}  // namespace
