#include <gtest/gtest.h>

#include "tools/signsim/DotFont.h"
#include "tools/signsim/DotRaster.h"
#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"

namespace {

using Kind = CDisplayItem::Kind;

CDisplayItem Item(Kind kind, char code = 0) { return CDisplayItem{kind, code, 0, {}}; }
CDisplayItem Mode(char mode) { return CDisplayItem{Kind::kMode, mode, ' ', {}}; }

void AddText(CSignDisplay& display, const std::string& text) {
  for (char c : text) display.items.push_back(CDisplayItem{Kind::kCharacter, c, 0, {c}});
}

constexpr std::uint32_t kRed = 0xFF2020;
constexpr std::uint32_t kGreen = 0x20E040;

TEST(DotRaster, FixedSpacingGivesEveryCharacterFiveColumnsAndAGap) {
  CSignDisplay display{{Item(Kind::kSpacing, '1')}};
  AddText(display, "HH");
  EXPECT_EQ(RasteriseDisplay(display).columns.size(), 11u);
}

TEST(DotRaster, ProportionalSpacingDropsEmptySideColumns) {
  CSignDisplay display{{Item(Kind::kSpacing, '0')}};
  AddText(display, "HI H");
  // H 5, gap, I 3, gap, blank 3, gap, H 5
  EXPECT_EQ(RasteriseDisplay(display).columns.size(), 5u + 1 + 3 + 1 + 3 + 1 + 5);
}

TEST(DotRaster, WideCharactersDoubleEveryColumn) {
  CSignDisplay display{{Item(Kind::kSpacing, '1'), Item(Kind::kWideOn)}};
  AddText(display, "H");
  display.items.push_back(Item(Kind::kWideOff));
  AddText(display, "H");
  const CDotStrip strip = RasteriseDisplay(display);
  ASSERT_EQ(strip.columns.size(), 10u + 2 + 5);
  EXPECT_EQ(strip.columns[0], strip.columns[1]);
  EXPECT_EQ(strip.columns[0].rows, 0x7F);
}

TEST(DotRaster, ColumnsTakeTheSelectedColourAndDefaultToRed) {
  CSignDisplay display;
  AddText(display, "H");
  display.items.push_back(Item(Kind::kColour, '2'));
  AddText(display, "H");
  const CDotStrip strip = RasteriseDisplay(display);
  EXPECT_EQ(strip.columns.front().rgb, kRed);
  EXPECT_EQ(strip.columns.back().rgb, kGreen);
}

TEST(DotRaster, HeldTextIsCentred) {
  CSignDisplay display{{Mode('b'), Item(Kind::kSpacing, '1')}};
  AddText(display, "HH");
  const CDotStrip strip = RasteriseDisplay(display);
  EXPECT_FALSE(strip.rotate);
  const auto face = FaceColumns(strip, 81, 0);
  // 11 columns on 81: 35 dark on each side.
  EXPECT_EQ(face[34].rows, 0);
  EXPECT_EQ(face[35], strip.columns[0]);
  EXPECT_EQ(face[45], strip.columns[10]);
  EXPECT_EQ(face[46].rows, 0);
}

TEST(DotRaster, RotatingTextEntersRightAndLeavesLeft) {
  CSignDisplay display{{Mode('a')}};
  AddText(display, "HI");
  const CDotStrip strip = RasteriseDisplay(display);
  ASSERT_TRUE(strip.rotate);
  const int width = 20;
  const int period = RotationPeriod(strip, width);
  for (const CDotColumn& column : FaceColumns(strip, width, 0)) EXPECT_EQ(column.rows, 0);
  EXPECT_EQ(FaceColumns(strip, width, 1)[width - 1], strip.columns.front());
  EXPECT_EQ(FaceColumns(strip, width, period - 1)[0], strip.columns.back());
  EXPECT_EQ(FaceColumns(strip, width, period), FaceColumns(strip, width, 0));
}

// The widest scoreboard, in fixed spacing, fits the 80-column face.
TEST(DotRaster, WidestScoreboardFitsEightyColumns) {
  CSignDisplay display{{Mode('b'), Item(Kind::kSpacing, '1')}};
  AddText(display, "WWW999 WWW999");
  EXPECT_LE(RasteriseDisplay(display).columns.size(), 80u);
}

TEST(DotFont, EveryCharacterTheSignCanBeSentHasItsOwnGlyph) {
  const CSignCharacters characters;
  for (int code = 0; code < 256; ++code) {
    const std::string& text = characters.Extended(static_cast<std::uint8_t>(code));
    if (text.empty()) continue;
    EXPECT_NE(&GlyphFor(text), &PlaceholderGlyph()) << text;
  }
  for (char c = 0x20; c <= 0x7E; ++c) {
    EXPECT_NE(&GlyphFor(std::string(1, c)), &PlaceholderGlyph()) << c;
  }
}

}  // namespace
