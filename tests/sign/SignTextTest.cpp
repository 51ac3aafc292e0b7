#include <gtest/gtest.h>

#include <string>

#include "sign/SignText.h"
#include "tests/support/RecordingSink.h"

namespace {

std::vector<unsigned char> Encoded(std::string text) {
  EncodeSignText(text);
  return std::vector<unsigned char>(text.begin(), text.end());
}

std::vector<unsigned char> Bytes(const std::string& text) {
  return std::vector<unsigned char>(text.begin(), text.end());
}

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
      {"È has no sign character", "\xC8", ""},
      {"tab", "\t", ""},
      {"control characters",
       std::string("a\x01\x1F\x7F"
                   "b"),
       "ab"},
      {"NUL is a control character", std::string("a\0b", 3), "ab"},
      {"tilde passes", "~", "~"},
      {"printable ASCII passes", " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~",
       " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~"},
      {"ampersand alone", "A & B", "A & B"},
      {"hash alone", "#1", "#1"},
      {"trailing ampersand", "A&", "A&"},
      {"reference", "caf&#65;", "cafA"},
      {"two references", "&#65;&#66;", "AB"},
      {"any byte terminates", "&#65 x", "Ax"},
      {"seven digits at most", "&#12345678;", ";"},
      {"value modulo 256", "&#321;", "A"},
      {"126 finds nothing", "&#126;", ""},
      {"127 finds nothing", "&#127;", ""},
      {"control values find nothing", "&#9;&#31;", ""},
      {"digits run to the end", "x&#66", "xB"},
      {"reference at the end without digits", "x&#", "x\x08\x3E"},
      {"reference to an extended character", "&#233;", "\x08\x22"},
      {"reference to ƒ", "&#131;", "\x08\x3F"},
      {"reference 0", "&#0;", "\x08\x3E"},
      {"reference without digits", "&#;x", "\x08\x3Ex"},
      {"reference 256", "&#256;", "\x08\x3E"},
      {"terminator may be an extended byte",
       "&#65\xE9"
       "B",
       "AB"},
      {"leading zeros count as digits", "&#0000065;", "A"},
      {"eighth digit is the terminator", "&#00000001", "\x08\x3E"},
      {"empty", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Encoded(row.input), Bytes(row.output))
        << row.name << ": " << HexBytes(Encoded(row.input));
  }
}

TEST(EncodeSignTextTest, HandlesTextOfAnyLength) {
  const std::string longText(70000, '\xE9');
  const std::vector<unsigned char> out = Encoded(longText);
  ASSERT_EQ(out.size(), 140000u);
  for (std::size_t i = 0; i < out.size(); i += 2) {
    ASSERT_EQ(out[i], 0x08) << i;
    ASSERT_EQ(out[i + 1], 0x22) << i;
  }
}

TEST(EncodeSignTextTest, EveryByteGivesAtMostTwoBytesAndNeverAZero) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::vector<unsigned char> out = Encoded(std::string(1, static_cast<char>(byte)));
    EXPECT_LE(out.size(), 2u) << byte;
    for (unsigned char b : out) EXPECT_NE(b, 0) << byte;
    if (out.size() == 2) {
      EXPECT_EQ(out[0], 0x08) << byte;
    }
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
      {"\n", " "},
      {"", ""},
      {"no\x0B"
       "vertical\x0C"
       "tab",
       "no\x0B"
       "vertical\x0C"
       "tab"},
  };
  for (const auto& row : rows) {
    std::string text = row.input;
    CollapseWhitespace(text);
    EXPECT_EQ(text, row.output) << HexBytes(Bytes(row.input));
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
