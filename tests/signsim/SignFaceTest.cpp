#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignFace.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "signsim_face_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

CSignDisplay HeldRedH() {
  return CSignDisplay{{
      CDisplayItem{CDisplayItem::Kind::kMode, 'b', ' ', {}},
      CDisplayItem{CDisplayItem::Kind::kColour, '1', 0, {}},
      CDisplayItem{CDisplayItem::Kind::kCharacter, 'H', 0, "H"},
  }};
}

QRgb DotPixel(const QImage& image, int column, int row) {
  return image.pixel(CSignFace::kMargin + column * CSignFace::kDotPitch + CSignFace::kDotPitch / 2,
                     CSignFace::kMargin + row * CSignFace::kDotPitch + CSignFace::kDotPitch / 2);
}

TEST(SignFace, DrawsLitDotsInTheTextColourOnADarkFace) {
  App();
  CSignFace face;
  face.resize(face.sizeHint());
  face.ShowDisplay(HeldRedH());
  const QImage image = face.grab().toImage();
  // "H" (5 columns) centred on 80: columns 37 to 41; its first column is lit
  // top to bottom, its middle column only in row 3.
  EXPECT_EQ(DotPixel(image, 37, 0) & 0xFFFFFF, FindSignColour('1')->rgb);
  EXPECT_EQ(DotPixel(image, 39, 3) & 0xFFFFFF, FindSignColour('1')->rgb);
  EXPECT_NE(DotPixel(image, 39, 0) & 0xFFFFFF, FindSignColour('1')->rgb);
  EXPECT_LT(qGray(DotPixel(image, 0, 0)), 64);
}

TEST(SignFace, RotatingTextMovesOneColumnPerTick) {
  App();
  CSignFace face;
  CSignDisplay display = HeldRedH();
  display.items[0].code = 'a';
  face.ShowDisplay(display);
  ASSERT_TRUE(face.IsRotating());
  EXPECT_EQ(face.Face().back().rows, 0);
  face.Tick();
  EXPECT_EQ(face.Face().back().rows, 0x7F);
  face.Tick();
  EXPECT_EQ(face.Face()[CSignFace::kColumns - 2].rows, 0x7F);
  face.ShowDisplay(HeldRedH());
  EXPECT_FALSE(face.IsRotating());
}

}  // namespace
