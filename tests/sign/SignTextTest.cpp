// The text layer: the Windows-1252 code page, the sign's character table,
// and operator text turned into sign bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sign/CharTable.h"
#include "sign/SignText.h"
#include "sign/Windows1252.h"
#include "tests/support/RecordingSink.h"

namespace {

// Text converted from UTF-8 to Windows-1252 (kUtf8) or from Windows-1252 to
// sign bytes (kSign), and how many characters were left out.
TEST(SignTextTest, ConversionsDropWhatTheyCannotCarry) {
  std::string pairs;
  for (int i = 0; i < 70000; ++i) pairs += "\x08\x22";
  enum { kUtf8, kSign };
  const struct {
    int conversion;
    const char* name;
    std::string input, output;
    int dropped;
  } rows[] = {
      {kUtf8, "euro sign, f hook, curly quotes", "\xE2\x82\xAC\xE2\x80\x98\xC6\x92\xE2\x80\x99",
       "\x80\x91\x83\x92", 0},
      {kUtf8, "emoji", "\xF0\x9F\x8F\x80!", "!", 1},
      {kUtf8, "C1 control U+0081 has no byte", "\xC2\x81", "", 1},
      {kUtf8, "stray continuation byte", "a\x80z", "az", 1},
      {kUtf8, "sequence cut off by the end", "ab\xC3", "ab", 1},
      {kUtf8, "sequence cut off by a letter", "\xE2\x82\x41", "A", 2},
      {kUtf8, "overlong slash", "\xC0\xAF", "", 2},
      {kUtf8, "surrogate half", "\xED\xA0\x80x", "x", 3},
      {kSign, "Café", "Caf\xE9", "Caf\x08\x22", 0},
      {kSign, "any length", std::string(70000, '\xE9'), pairs, 0},
      {kSign, "€ has no sign character", "\x80", "", 1},
      {kSign, "Ê has its own code", "\xCA\xC9", "\x08\x5E\x08\x30", 0},
      {kSign, "control characters", "a\x01\x1F\x7F\x62", "ab", 3},
      {kSign, "NUL is a control character", std::string("a\0b", 3), "ab", 1},
      {kSign, "printable ASCII passes", " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~",
       " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~", 0},
      {kSign, "ampersand and hash alone", "A & #1&", "A & #1&", 0},
      {kSign, "reference", "caf&#65;", "cafA", 0},
      {kSign, "any byte terminates", "&#65 x", "Ax", 0},
      {kSign, "seven digits at most", "&#12345678;", ";", 1},
      {kSign, "126 finds nothing", "&#126;", "", 1},
      {kSign, "control values find nothing", "&#9;&#31;", "", 2},
      {kSign, "digits run to the end", "x&#66", "xB", 0},
      {kSign, "reference to an extended character", "&#233;&#202;", "\x08\x22\x08\x5E", 0},
      {kSign, "reference 0 reaches the sign-only glyph", "&#0;", "\x08\x3E", 0},
      {kSign, "terminator may be an extended byte", "&#65\xE9\x42", "AB", 0},
      // Without digits, "&#" is typed text.
      {kSign, "no digits", "a&#b", "a&#b", 0},
      {kSign, "no digits before the terminator", "&#;x", "&#;x", 0},
      {kSign, "at the end", "x&#", "x&#", 0},
      // Above 255 a reference names a Unicode character, sent as typed.
      {kSign, "ƒ U+0192", "&#402;", "\x08\x3F", 0},
      {kSign, "trade mark U+2122, not 8482 modulo 256", "&#8482;", "", 1},
      {kSign, "Ł U+0141, not 321 modulo 256", "&#321;", "", 1},
      {kSign, "Ā U+0100", "&#256;", "", 1},
      {kSign, "euro U+20AC", "&#8364;x", "x", 1},
  };
  for (const auto& row : rows) {
    int dropped = -1;
    std::string text = row.conversion == kUtf8 ? Utf8ToWindows1252(row.input, &dropped) : row.input;
    if (row.conversion == kSign) dropped = EncodeSignText(text);
    EXPECT_EQ(
        HexBytes({text.begin(), text.end()}) + " / " + std::to_string(dropped),
        HexBytes({row.output.begin(), row.output.end()}) + " / " + std::to_string(row.dropped))
        << row.name;
  }
}

TEST(Windows1252Test, EveryAssignedByteComesBackFromUtf8) {
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

// The extended group as the protocol documents it, in order: protocol code
// and Windows-1252 code (0: none). The ASCII group follows it, space to '}'.
// The entries' CP437 codes and font widths are read by nothing, so they go
// unchecked.
const int kExtended[][2] = {
    {0x20, 199}, {0x21, 252}, {0x22, 233}, {0x23, 226}, {0x24, 228}, {0x25, 224}, {0x26, 229},
    {0x27, 231}, {0x28, 234}, {0x29, 235}, {0x2A, 232}, {0x2B, 239}, {0x2C, 238}, {0x2D, 236},
    {0x2E, 196}, {0x2F, 197}, {0x30, 201}, {0x31, 230}, {0x32, 198}, {0x33, 244}, {0x34, 246},
    {0x35, 242}, {0x36, 251}, {0x37, 249}, {0x38, 255}, {0x39, 214}, {0x3A, 220}, {0x3B, 162},
    {0x3C, 163}, {0x3D, 165}, {0x3E, 0},   {0x3F, 131}, {0x40, 225}, {0x41, 237}, {0x42, 243},
    {0x43, 250}, {0x44, 241}, {0x45, 209}, {0x46, 170}, {0x47, 186}, {0x48, 191}, {0x49, 176},
    {0x4A, 161}, {0x4C, 248}, {0x4D, 216}, {0x57, 223}, {0x58, 0},   {0x59, 0},   {0x5A, 193},
    {0x5B, 192}, {0x5C, 0},   {0x5D, 0},   {0x5E, 202}, {0x5F, 205}, {0x60, 213}, {0x61, 245}};

// The built table, then what AddEntry does to it (what the table answers
// for text is the conversions test's).
TEST(CharTableTest, HoldsBothGroupsInOrderAndAddEntryNeverShadowsNorOverflows) {
  const auto table = std::make_unique<CharTable>();  // 24 KB: off the stack
  std::vector<std::pair<int, int>> want, got;
  for (const auto& row : kExtended) want.emplace_back(row[0], row[1]);
  for (int code = ' '; code <= '}'; ++code) want.emplace_back(code, code);
  for (int i = 0; i < table->Count(); ++i)
    got.emplace_back(table->At(i).protocolCode, table->At(i).windowsCode);
  EXPECT_EQ(got, want);
  table->AddEntry(0x7E, 126, 126, 6, 7, 12);
  table->AddEntry(0x99, 0, 201, 1, 1, 1);
  EXPECT_EQ(table->Lookup(126), 0x7E);
  EXPECT_EQ(table->Lookup(201), 0x30) << "an appended duplicate never shadows an earlier entry";
  while (table->Count() < CharTable::kCapacity) table->AddEntry(1, 2, 3, 4, 5, 6);
  table->AddEntry(0x55, 0, 1234, 0, 0, 0);
  EXPECT_EQ(table->Count(), CharTable::kCapacity);
  EXPECT_EQ(table->Lookup(1234), 0);
}

// Exact names only; anything else is red.
TEST(ColorCodeTest, MapsExactNamesAndFallsBackToRed) {
  std::string codes;
  for (const char* name : {"Red", "Green", "Amber", "Dim Red", "Dim Green", "Brown", "Orange",
                           "Yellow", "red", "", "Blue", "Yellow ", "dim green"})
    codes += ColorCode(name);
  EXPECT_EQ(codes, "1234567811111");
}

}  // namespace
