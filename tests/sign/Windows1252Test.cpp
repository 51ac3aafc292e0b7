#include <gtest/gtest.h>

#include <string>

#include "sign/Windows1252.h"

namespace {

TEST(Windows1252Test, ConvertsBothWaysDroppingWhatTheCodePageLacks) {
  const struct {
    const char* name;
    std::string utf8;
    std::string windows1252;
    int dropped;
  } rows[] = {
      {"euro sign, f hook, curly quotes", "\xE2\x82\xAC\xE2\x80\x98\xC6\x92\xE2\x80\x99",
       "\x80\x91\x83\x92", 0},
      {"emoji", "\xF0\x9F\x8F\x80!", "!", 1},
      {"C1 control U+0081 has no byte", "\xC2\x81", "", 1},
      {"stray continuation byte", "a\x80z", "az", 1},
      {"sequence cut off by the end", "ab\xC3", "ab", 1},
      {"sequence cut off by a letter", "\xE2\x82\x41", "A", 2},
      {"overlong slash", "\xC0\xAF", "", 2},
      {"surrogate half", "\xED\xA0\x80x", "x", 3},
  };
  for (const auto& row : rows) {
    int dropped = -1;
    EXPECT_EQ(Utf8ToWindows1252(row.utf8, &dropped), row.windows1252) << row.name;
    EXPECT_EQ(dropped, row.dropped) << row.name;
  }

  // Every assigned byte survives the way out to UTF-8 and back; the five
  // unassigned ones become U+FFFD.
  const std::string unassigned = "\x81\x8D\x8F\x90\x9D";
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    if (unassigned.find(text) != std::string::npos)
      EXPECT_EQ(Windows1252ToUtf8(text), "\xEF\xBF\xBD") << byte;
    else
      EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(text)), text) << byte;
  }
}

}  // namespace
