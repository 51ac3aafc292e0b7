#include <gtest/gtest.h>

#include <string>

#include "sign/SignText.h"
#include "tests/support/RecordingSink.h"

namespace {

std::string Encoded(std::string text) {
  EncodeSignText(text);
  return text;
}

std::string Hex(const std::string& text) { return HexBytes({text.begin(), text.end()}); }

TEST(EncodeSignTextTest, ConvertsOperatorTextToSignBytes) {
  std::string pairs;
  for (int i = 0; i < 70000; ++i) pairs += "\x08\x22";
  const struct {
    const char* name;
    std::string input;
    std::string output;
  } rows[] = {
      {"Café", "Caf\xE9", "Caf\x08\x22"},
      {"any length", std::string(70000, '\xE9'), pairs},
      {"€ has no sign character", "\x80", ""},
      {"control characters", "a\x01\x1F\x7F\x62", "ab"},
      {"NUL is a control character", std::string("a\0b", 3), "ab"},
      {"printable ASCII passes", " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~",
       " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~"},
      {"ampersand and hash alone", "A & #1&", "A & #1&"},
      {"reference", "caf&#65;", "cafA"},
      {"any byte terminates", "&#65 x", "Ax"},
      {"seven digits at most", "&#12345678;", ";"},
      {"value modulo 256", "&#321;", "A"},
      {"126 finds nothing", "&#126;", ""},
      {"control values find nothing", "&#9;&#31;", ""},
      {"digits run to the end", "x&#66", "xB"},
      {"reference at the end without digits", "x&#", "x\x08\x3E"},
      {"reference to an extended character", "&#233;", "\x08\x22"},
      {"reference without digits", "&#;x", "\x08\x3Ex"},
      {"reference 256", "&#256;", "\x08\x3E"},
      {"terminator may be an extended byte", "&#65\xE9\x42", "AB"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Encoded(row.input)), Hex(row.output)) << row.name;
  }
}

TEST(ColorCodeTest, MapsExactNamesAndFallsBackToRed) {
  const char* const names[] = {"Red",       "Green", "Amber",  "Dim Red",
                               "Dim Green", "Brown", "Orange", "Yellow"};
  for (char digit = '1'; digit <= '8'; ++digit) EXPECT_EQ(ColorCode(names[digit - '1']), digit);
  for (const char* name : {"red", "", "Blue", "Yellow ", "dim green"})
    EXPECT_EQ(ColorCode(name), '1') << name;
}

}  // namespace
