#include "tools/signsim/DotRaster.h"

#include "tools/signsim/DotFont.h"
#include "tools/signsim/SignColours.h"
#include "tools/signsim/SignDisplay.h"

namespace {

constexpr int kSpaceWidth = 3;  // a blank in proportional spacing
constexpr int kFileGap = 6;     // dark columns between two TEXT files

}  // namespace

CDotStrip RasteriseDisplay(const CSignDisplay& display) {
  CDotStrip strip;
  std::uint32_t rgb = DefaultSignColour().rgb;
  bool wide = false;
  bool fixed = false;
  bool modeSeen = false;
  auto put = [&strip, &rgb, &wide](std::uint8_t rows) {
    for (int i = 0; i < (wide ? 2 : 1); ++i) strip.columns.push_back(CDotColumn{rows, rgb});
  };
  auto draw = [&](const CGlyph& glyph, bool blank) {
    std::size_t first = 0, last = glyph.columns.size();
    if (!fixed) {
      while (first < last && glyph.columns[first] == 0) ++first;
      while (last > first && glyph.columns[last - 1] == 0) --last;
    }
    if (blank && !fixed) {
      for (int i = 0; i < kSpaceWidth; ++i) put(0);
    } else {
      for (std::size_t c = first; c < last; ++c) put(glyph.columns[c]);
    }
    put(0);
  };
  for (const CDisplayItem& item : display.items) {
    switch (item.kind) {
      case CDisplayItem::Kind::kMode:
        if (!modeSeen) strip.rotate = item.code == 'a';
        modeSeen = true;
        break;
      case CDisplayItem::Kind::kColour:
        rgb = FindSignColour(item.code)->rgb;
        break;
      case CDisplayItem::Kind::kSpacing:
        fixed = item.code == '1';
        break;
      case CDisplayItem::Kind::kWideOn:
        wide = true;
        break;
      case CDisplayItem::Kind::kWideOff:
        wide = false;
        break;
      case CDisplayItem::Kind::kCharacter:
        draw(GlyphFor(item.text), item.text == " ");
        break;
      case CDisplayItem::Kind::kPlaceholder:
        draw(PlaceholderGlyph(), false);
        break;
      case CDisplayItem::Kind::kUnshown:
        break;
      case CDisplayItem::Kind::kNextFile:
        for (int i = 0; i < kFileGap; ++i) strip.columns.push_back(CDotColumn{0, rgb});
        break;
    }
  }
  // Dark columns at the end (the gap after the last character) would only
  // push a held text off centre.
  while (!strip.columns.empty() && strip.columns.back().rows == 0) strip.columns.pop_back();
  return strip;
}

int RotationPeriod(const CDotStrip& strip, int faceWidth) {
  return static_cast<int>(strip.columns.size()) + faceWidth;
}

std::vector<CDotColumn> FaceColumns(const CDotStrip& strip, int faceWidth, int step) {
  std::vector<CDotColumn> face(static_cast<std::size_t>(faceWidth));
  const int length = static_cast<int>(strip.columns.size());
  int offset;  // strip column shown in face column 0
  if (strip.rotate) {
    offset = step % RotationPeriod(strip, faceWidth) - faceWidth;
  } else {
    offset = -(faceWidth - length) / 2;
  }
  for (int x = 0; x < faceWidth; ++x) {
    const int at = offset + x;
    if (at >= 0 && at < length) face[static_cast<std::size_t>(x)] = strip.columns[at];
  }
  return face;
}
