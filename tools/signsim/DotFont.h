#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The virtual sign's built-in 5x7 dot font: printable ASCII and the sign's
// extended characters, looked up by the character in UTF-8. A glyph is a run
// of columns; bit r of a column lights row r (row 0 at the top).
struct CGlyph {
  std::vector<std::uint8_t> columns;
};

inline constexpr int kGlyphRows = 7;

// Characters the font lacks, and sign characters without a Unicode
// counterpart, are drawn as a hollow box.
const CGlyph& GlyphFor(const std::string& utf8Character);
const CGlyph& PlaceholderGlyph();
