#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "sign/CharTable.h"

namespace {

// The extended group as the protocol documents it, in order: protocol code
// and Windows-1252 code (0: none). The ASCII group follows it, space to '}'.
// The entries' CP437 codes and font widths are read by nothing, so they go
// unchecked.
const int kExtended[][2] = {
    {0x20, 199}, {0x21, 252}, {0x22, 233}, {0x23, 226}, {0x24, 228}, {0x25, 224}, {0x26, 229},
    {0x27, 231}, {0x28, 234}, {0x29, 235}, {0x2A, 232}, {0x2B, 239}, {0x2C, 238}, {0x2D, 236},
    {0x2E, 196}, {0x2F, 197}, {0x30, 201}, {0x31, 230}, {0x32, 198}, {0x33, 244}, {0x34, 246},
    {0x35, 242}, {0x36, 251}, {0x37, 249}, {0x38, 255}, {0x39, 214}, {0x3A, 220}, {0x3B, 162},
    {0x3C, 163}, {0x3D, 165}, {0x3E, 0},   {0x3F, 131}, {0x40, 225}, {0x41, 237}, {0x42, 243},
    {0x43, 250}, {0x44, 241}, {0x45, 209}, {0x46, 170}, {0x47, 186}, {0x48, 191}, {0x49, 176},
    {0x4A, 161}, {0x4C, 248}, {0x4D, 216}, {0x57, 223}, {0x58, 0},   {0x59, 0},   {0x5A, 193},
    {0x5B, 192}, {0x5C, 0},   {0x5D, 0},   {0x5E, 202}, {0x5F, 205}, {0x60, 213}, {0x61, 245}};

TEST(CharTableTest, HoldsBothGroupsInOrder) {
  const auto table = std::make_unique<CharTable>();  // 24 KB: off the stack
  ASSERT_EQ(table->Count(), 150);
  std::vector<std::pair<int, int>> want;
  for (const auto& row : kExtended) want.emplace_back(row[0], row[1]);
  for (int code = ' '; code <= '}'; ++code) want.emplace_back(code, code);
  for (int i = 0; i < 150; ++i) {
    EXPECT_EQ(std::make_pair(table->At(i).protocolCode, table->At(i).windowsCode), want[i])
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
