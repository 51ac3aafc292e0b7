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
  const struct {
    const char* name;
    std::string input;
    std::string output;
  } rows[] = {
      {"Café", "Caf\xE9", "Caf\x08\x22"},
      {"ÉTÉ", "\xC9T\xC9", "\x08\x30T\x08\x30"},
      {"ƒ", "\x83", "\x08\x3F"},
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
      {"leading zeros count as digits", "&#0000065;", "A"},
      {"eighth digit is the terminator", "&#00000001", "\x08\x3E"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Encoded(row.input)), Hex(row.output)) << row.name;
  }
}

TEST(EncodeSignTextTest, EveryByteGivesAtMostTwoBytesAndNeverAZeroWhateverTheLength) {
  std::string pairs;
  for (int i = 0; i < 70000; ++i) pairs += "\x08\x22";
  EXPECT_EQ(Encoded(std::string(70000, '\xE9')), pairs);
  for (int byte = 0; byte < 256; ++byte) {
    const std::string out = Encoded(std::string(1, static_cast<char>(byte)));
    EXPECT_TRUE(out.size() < 2 || (out.size() == 2 && out[0] == '\x08'))
        << byte << ": " << Hex(out);
    EXPECT_EQ(out.find('\0'), std::string::npos) << byte;
  }
}

TEST(CollapseWhitespaceTest, FoldsRunsIntoOneSpaceWithoutTrimming) {
  const struct {
    std::string input;
    std::string output;
  } rows[] = {
      {"  Hello,\r\n\r\n  world \t", " Hello, world "},
      {"Half time", "Half time"},
      {"a\tb\nc\rd", "a b c d"},
      {"", ""},
      {"\x0B\x0C", "\x0B\x0C"},
  };
  for (const auto& row : rows) {
    std::string text = row.input;
    CollapseWhitespace(text);
    EXPECT_EQ(text, row.output) << Hex(row.input);
  }
}

TEST(ColorCodeTest, MapsExactNamesAndFallsBackToRed) {
  const struct {
    const char* name;
    char digit;
  } rows[] = {
      {"Red", '1'},   {"Green", '2'},   {"Amber", '3'},     {"Dim Red", '4'}, {"Dim Green", '5'},
      {"Brown", '6'}, {"Orange", '7'},  {"Yellow", '8'},    {"red", '1'},     {"", '1'},
      {"Blue", '1'},  {"Yellow ", '1'}, {"dim green", '1'},
  };
  for (const auto& row : rows) EXPECT_EQ(ColorCode(row.name), row.digit) << row.name;
}

}  // namespace
