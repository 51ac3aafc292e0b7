#include <gtest/gtest.h>

#include <string>

#include "sign/SignText.h"
#include "tests/support/RecordingSink.h"

namespace {

// The sign bytes and how many characters were left out.
std::pair<std::string, int> Encoded(std::string text) {
  const int dropped = EncodeSignText(text);
  return {text, dropped};
}

std::string Hex(const std::string& text) { return HexBytes({text.begin(), text.end()}); }

TEST(EncodeSignTextTest, ConvertsOperatorTextToSignBytes) {
  std::string pairs;
  for (int i = 0; i < 70000; ++i) pairs += "\x08\x22";
  const struct {
    const char* name;
    std::string input;
    std::string output;
    int dropped;
  } rows[] = {
      {"Café", "Caf\xE9", "Caf\x08\x22", 0},
      {"any length", std::string(70000, '\xE9'), pairs, 0},
      {"€ has no sign character", "\x80", "", 1},
      {"Ê has its own code", "\xCA\xC9", "\x08\x5E\x08\x30", 0},
      {"control characters", "a\x01\x1F\x7F\x62", "ab", 3},
      {"NUL is a control character", std::string("a\0b", 3), "ab", 1},
      {"printable ASCII passes", " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~",
       " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~", 0},
      {"ampersand and hash alone", "A & #1&", "A & #1&", 0},
      {"reference", "caf&#65;", "cafA", 0},
      {"any byte terminates", "&#65 x", "Ax", 0},
      {"seven digits at most", "&#12345678;", ";", 1},
      {"126 finds nothing", "&#126;", "", 1},
      {"control values find nothing", "&#9;&#31;", "", 2},
      {"digits run to the end", "x&#66", "xB", 0},
      {"reference to an extended character", "&#233;&#202;", "\x08\x22\x08\x5E", 0},
      {"reference 0 reaches the sign-only glyph", "&#0;", "\x08\x3E", 0},
      {"terminator may be an extended byte", "&#65\xE9\x42", "AB", 0},
      // Without digits, "&#" is typed text.
      {"no digits", "a&#b", "a&#b", 0},
      {"no digits before the terminator", "&#;x", "&#;x", 0},
      {"at the end", "x&#", "x&#", 0},
      // Above 255 a reference names a Unicode character, sent as typed.
      {"ƒ U+0192", "&#402;", "\x08\x3F", 0},
      {"trade mark U+2122, not 8482 modulo 256", "&#8482;", "", 1},
      {"Ł U+0141, not 321 modulo 256", "&#321;", "", 1},
      {"Ā U+0100", "&#256;", "", 1},
      {"euro U+20AC", "&#8364;x", "x", 1},
  };
  for (const auto& row : rows) {
    const auto [bytes, dropped] = Encoded(row.input);
    EXPECT_EQ(Hex(bytes), Hex(row.output)) << row.name;
    EXPECT_EQ(dropped, row.dropped) << row.name;
  }
}

// What an abbreviation box lets in: what reaches the sign as itself.
TEST(SignCanShowTest, PrintableAsciiAndTheExtendedSetOnly) {
  const std::string shown = " AZaz09~}\xC9\xCA\xFF\xA3\x83";
  for (char c : shown) EXPECT_TRUE(SignCanShow(static_cast<unsigned char>(c))) << int(c & 0xFF);
  const std::string lacking("\x80\x99\x8C\xC8\x01\x09\x7F\0", 8);
  for (char c : lacking) EXPECT_FALSE(SignCanShow(static_cast<unsigned char>(c))) << int(c & 0xFF);
}

TEST(ColorCodeTest, MapsExactNamesAndFallsBackToRed) {
  const char* const names[] = {"Red",       "Green", "Amber",  "Dim Red",
                               "Dim Green", "Brown", "Orange", "Yellow"};
  for (char digit = '1'; digit <= '8'; ++digit) EXPECT_EQ(ColorCode(names[digit - '1']), digit);
  for (const char* name : {"red", "", "Blue", "Yellow ", "dim green"})
    EXPECT_EQ(ColorCode(name), '1') << name;
}

}  // namespace
