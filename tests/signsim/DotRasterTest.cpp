#include <gtest/gtest.h>

#include "tools/signsim/DotFont.h"
#include "tools/signsim/DotRaster.h"
#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignModel.h"

// Control bytes are octal escapes: \033 ESC, \034 colour, \036 spacing, \022
// and \021 wide on/off.

namespace {

// The strip the sign lays out when its TEXT file A holds text.
CDotStrip Strip(const std::string& text) {
  CSignModel model;
  model.Apply(CWriteText{'A', text});
  return RasteriseDisplay(ComposeDisplay(model, CSignCharacters()).display);
}

TEST(DotRaster, EachCharacterTakesItsColumnsAndColourAndADarkGap) {
  EXPECT_EQ(Strip("\0361HH").columns.size(), 11u);  // fixed: five columns each
  // Proportional: H 5, I 3, blank 3.
  EXPECT_EQ(Strip("\0360HI H").columns.size(), 5u + 1 + 3 + 1 + 3 + 1 + 5);
  // Wide doubles each column; columns take the selected colour, red at first.
  const CDotStrip wide = Strip("\0361\022H\021\0342H");
  ASSERT_EQ(wide.columns.size(), 10u + 2 + 5);
  EXPECT_EQ(wide.columns[0], wide.columns[1]);
  EXPECT_EQ(wide.columns[0].rows, 0x7F);
  EXPECT_EQ(wide.columns.front().rgb, FindSignColour('1')->rgb);
  EXPECT_EQ(wide.columns.back().rgb, FindSignColour('2')->rgb);
  // The widest scoreboard fits the 80-column face.
  EXPECT_LE(Strip("\033 b\0361WWW999 WWW999").columns.size(), 80u);
}

TEST(DotRaster, RotatingTextEntersRightAndLeavesLeft) {
  const CDotStrip strip = Strip("\033 aHI");
  ASSERT_TRUE(strip.rotate);
  const int width = 20;
  const int period = RotationPeriod(strip, width);
  for (const CDotColumn& column : FaceColumns(strip, width, 0)) EXPECT_EQ(column.rows, 0);
  EXPECT_EQ(FaceColumns(strip, width, 1)[width - 1], strip.columns.front());
  EXPECT_EQ(FaceColumns(strip, width, period - 1)[0], strip.columns.back());
  EXPECT_EQ(FaceColumns(strip, width, period), FaceColumns(strip, width, 0));
}

TEST(DotFont, EveryCharacterTheSignCanBeSentHasItsOwnGlyph) {
  const CSignCharacters characters;
  for (int code = 0; code < 256; ++code) {
    const std::string& text = characters.Extended(static_cast<std::uint8_t>(code));
    EXPECT_TRUE(text.empty() || &GlyphFor(text) != &PlaceholderGlyph()) << text;
  }
  for (char c = 0x20; c <= 0x7E; ++c)
    EXPECT_NE(&GlyphFor(std::string(1, c)), &PlaceholderGlyph()) << c;
}

}  // namespace
