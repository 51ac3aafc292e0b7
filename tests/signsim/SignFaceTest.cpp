#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignFace.h"

namespace {

// "H" in red, held (mode 'b') or rotating (mode 'a').
CSignDisplay RedH(char mode) {
  return CSignDisplay{{CDisplayItem{CDisplayItem::Kind::kMode, mode, ' ', {}},
                       CDisplayItem{CDisplayItem::Kind::kColour, '1', 0, {}},
                       CDisplayItem{CDisplayItem::Kind::kCharacter, 'H', 0, "H"}}};
}

TEST(SignFace, DrawsLitDotsInTheTextColourAndRotatesOneColumnPerTick) {
  int argc = 1;
  char name[] = "signsim_facetests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  CSignFace face;
  face.resize(face.sizeHint());
  face.ShowDisplay(RedH('b'));
  const QImage image = face.grab().toImage();
  const auto dot = [&image](int column, int row) {
    return image.pixel(
               CSignFace::kMargin + column * CSignFace::kDotPitch + CSignFace::kDotPitch / 2,
               CSignFace::kMargin + row * CSignFace::kDotPitch + CSignFace::kDotPitch / 2) &
           0xFFFFFF;
  };
  // "H" (5 columns) centred on 80: columns 37 to 41; its first column is lit
  // top to bottom, its middle column only in row 3.
  EXPECT_EQ(dot(37, 0), FindSignColour('1')->rgb);
  EXPECT_EQ(dot(39, 3), FindSignColour('1')->rgb);
  EXPECT_NE(dot(39, 0), FindSignColour('1')->rgb);
  EXPECT_LT(qGray(dot(0, 0)), 64);
  // A rotating text enters at the right edge, one column per tick.
  face.ShowDisplay(RedH('a'));
  EXPECT_EQ(face.Face().back().rows, 0);
  face.Tick();
  EXPECT_EQ(face.Face().back().rows, 0x7F);
}

}  // namespace
