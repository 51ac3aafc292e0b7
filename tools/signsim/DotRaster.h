#pragma once

#include <cstdint>
#include <vector>

struct CSignDisplay;

// One column of dots: which of the seven rows are lit, and in what colour.
struct CDotColumn {
  std::uint8_t rows = 0;
  std::uint32_t rgb = 0;
  bool operator==(const CDotColumn&) const = default;
};

// The display laid out as one long strip of dot columns. Fixed spacing gives
// every character its full five columns, proportional spacing drops a
// glyph's empty side columns; one dark column follows each character, and
// wide characters have every column doubled. The first mode field decides
// how the whole strip moves: rotate scrolls it, anything else holds it.
struct CDotStrip {
  std::vector<CDotColumn> columns;
  bool rotate = false;
};

CDotStrip RasteriseDisplay(const CSignDisplay& display);

// The faceWidth columns the sign face shows. A held strip is centred (a
// strip wider than the face shows its middle). A rotating strip enters at the
// right edge and leaves at the left: step 0 shows nothing yet, and the steps
// repeat every RotationPeriod.
std::vector<CDotColumn> FaceColumns(const CDotStrip& strip, int faceWidth, int step);
int RotationPeriod(const CDotStrip& strip, int faceWidth);
