#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sign/CharTable.h"

namespace {

// The extended group as the protocol documents it, in order: protocol code,
// CP437 code, Windows-1252 code and a width class from kWidthClasses.
const struct {
  int protocol, cp437, windows;
  int widths;
} kExtended[] = {
    {0x20, 128, 199, 0}, {0x21, 129, 252, 0}, {0x22, 130, 233, 0}, {0x23, 131, 226, 0},
    {0x24, 132, 228, 0}, {0x25, 133, 224, 0}, {0x26, 134, 229, 0}, {0x27, 135, 231, 1},
    {0x28, 136, 234, 0}, {0x29, 137, 235, 0}, {0x2A, 138, 232, 0}, {0x2B, 139, 239, 1},
    {0x2C, 140, 238, 1}, {0x2D, 141, 236, 1}, {0x2E, 142, 196, 0}, {0x2F, 143, 197, 0},
    {0x30, 144, 201, 1}, {0x31, 145, 230, 0}, {0x32, 146, 198, 0}, {0x33, 147, 244, 0},
    {0x34, 148, 246, 0}, {0x35, 149, 242, 0}, {0x36, 150, 251, 0}, {0x37, 151, 249, 0},
    {0x38, 152, 255, 0}, {0x39, 153, 214, 0}, {0x3A, 154, 220, 0}, {0x3B, 155, 162, 0},
    {0x3C, 156, 163, 0}, {0x3D, 157, 165, 0}, {0x3E, 0, 0, 3},     {0x3F, 159, 131, 0},
    {0x40, 160, 225, 0}, {0x41, 161, 237, 1}, {0x42, 162, 243, 0}, {0x43, 163, 250, 0},
    {0x44, 164, 241, 0}, {0x45, 165, 209, 0}, {0x46, 166, 170, 0}, {0x47, 167, 186, 0},
    {0x48, 168, 191, 0}, {0x49, 248, 176, 1}, {0x4A, 173, 161, 2}, {0x4C, 237, 248, 0},
    {0x4D, 233, 216, 0}, {0x57, 225, 223, 0}, {0x58, 0, 0, 3},     {0x59, 0, 0, 3},
    {0x5A, 0, 193, 0},   {0x5B, 0, 192, 0},   {0x5C, 0, 0, 3},     {0x5D, 0, 0, 3},
    {0x5E, 0, 202, 1},   {0x5F, 0, 205, 1},   {0x60, 0, 213, 0},   {0x61, 0, 245, 0},
};

const char* const kWidthClasses[] = {"6/7/12", "5/6/10", "4/5/8", "0/0/0"};

// The ASCII group's widths, characters grouped as the font documentation
// groups them (SP is the space).
const struct {
  const char* widths;
  const char* characters;
} kAsciiWidths[] = {
    {"4/5/8", "SP ! ' ( ) , - . ; I [ ] i { } `"},
    {"6/7/12",
     "\" # $ % & * + / 0 2 3 4 5 6 8 ? A B C D G H J K N O P Q R S T U V X Y Z \\ ^ _ "
     "a b d e f g h j k n o p q r s v x y z @"},
    {"5/6/10", "1 < = > E F L t"},
    {"6/6/12", "7 9"},
    {"3/4/6", ": |"},
    {"6/8/12", "M W m w"},
    {"6/6/10", "c"},
    {"4/6/8", "l"},
    {"6/5/12", "u"},
};

std::string Row(int protocol, int cp437, int windows, const std::string& widths) {
  return std::to_string(protocol) + ' ' + std::to_string(cp437) + ' ' + std::to_string(windows) +
         ' ' + widths;
}

TEST(CharTableTest, HoldsBothGroupsInOrderWithTheirWidths) {
  const auto table = std::make_unique<CharTable>();  // 24 KB: off the stack
  ASSERT_EQ(table->Count(), 150);
  std::vector<std::string> want;
  for (const auto& row : kExtended) {
    want.push_back(Row(row.protocol, row.cp437, row.windows, kWidthClasses[row.widths]));
  }
  std::string ascii[128];
  for (const auto& group : kAsciiWidths) {
    std::istringstream tokens(group.characters);
    for (std::string token; tokens >> token;) {
      const int code = token == "SP" ? ' ' : token[0];
      EXPECT_EQ(ascii[code], "") << "listed twice: " << token;
      ascii[code] = Row(code, code, code, group.widths);
    }
  }
  want.insert(want.end(), ascii + ' ', ascii + '}' + 1);
  for (int i = 0; i < 150; ++i) {
    const CharTable::Entry& e = table->At(i);
    EXPECT_EQ(Row(e.protocolCode, e.cp437Code, e.windowsCode,
                  std::to_string(e.width1) + '/' + std::to_string(e.width2) + '/' +
                      std::to_string(e.width3)),
              want[i])
        << "entry " << i;
  }
}

// What the built table answers is EncodeSignTextTest's; here what AddEntry
// does to it.
TEST(CharTableTest, AddEntryAppendsUpToTheCapacityAndNeverShadows) {
  const auto table = std::make_unique<CharTable>();
  table->AddEntry(0x7E, 126, 126, 6, 7, 12);
  table->AddEntry(0x99, 0, 201, 1, 1, 1);
  EXPECT_EQ(table->Lookup(126), 0x7E);
  EXPECT_EQ(table->Lookup(201), 0x30) << "an appended duplicate never shadows an earlier entry";
  while (table->Count() < CharTable::kCapacity) table->AddEntry(1, 2, 3, 4, 5, 6);
  table->AddEntry(0x55, 0, 1234, 0, 0, 0);
  EXPECT_EQ(table->Count(), CharTable::kCapacity);
  EXPECT_EQ(table->Lookup(1234), 0);
}

}  // namespace
