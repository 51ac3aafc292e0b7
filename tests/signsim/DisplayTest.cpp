#include <gtest/gtest.h>

#include "tools/signsim/DisplayMarkup.h"
#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignModel.h"

namespace {

struct CDisplayCase {
  const char* name;
  std::string text;    // TEXT file A
  std::string markup;  // what --text shows
  std::string flag;    // the one flag expected, empty for none
};

// STRING 1 holds " 7", STRING 2 " 3", STRING 3 "  "; STRING 4 is configured
// and empty; file 5 is a TEXT file.
const CDisplayCase kCases[] = {
    {"Blank", "", "{blank}", ""},
    {"Scoreboard",
     "\x1b b\x1e"
     "1\x1c"
     "1HOM\x1c"
     "2\x10"
     "1\x10"
     "3\x1c"
     "3VIS\x1c"
     "8\x10"
     "2",
     "{hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3", ""},
    {"Note",
     "\x1b a\x1c"
     "2Hello",
     "{rotate}{green}Hello", ""},
    {"GiantNote",
     "\x1b a\x1c"
     "5\x12Hi there\x11",
     "{rotate}{dim green}{wide}Hi there{/wide}", ""},
    {"EveryColour",
     "\x1c"
     "1a\x1c"
     "2b\x1c"
     "3c\x1c"
     "4d\x1c"
     "5e\x1c"
     "6f\x1c"
     "7g\x1c"
     "8h",
     "{red}a{green}b{amber}c{dim red}d{dim green}e{brown}f{orange}g{yellow}h", ""},
    {"ProportionalSpacing",
     "\x1e"
     "0x",
     "{proportional}x", ""},
    {"Positions",
     "\x1b\"b1\x1b&a2\x1b"
     "0c3",
     "{hold top}1{rotate bottom}2{mode c fill}3", ""},
    {"ExtendedCharacters",
     "\x08"
     "0T\x08"
     "0 caf\x08\x22 \x08\x3f \x08\x5e",
     "ÉTÉ café ƒ É", ""},
    {"SignCharacterWithoutUnicode",
     "a\x08\x3e"
     "b",
     "a{char 3E}b", ""},
    {"SignCharacterMissingFromTable", "\x08\x4b", "{char 4B}", ""},
    {"Braces", "{x}", "{{x}}", ""},
    {"EmptyStringCall",
     "[\x10"
     "4]",
     "[]", ""},
    {"UnknownColour",
     "\x1c"
     "Dx",
     "x", "TEXT file A: colour code 44 is not a colour"},
    {"UnknownSpacing",
     "\x1e"
     "5x",
     "x", "TEXT file A: spacing code 35 is not 0 or 1"},
    {"StringNotConfigured",
     "\x10"
     "9",
     "{blank}", "TEXT file A calls STRING file 9, which the memory configuration lacks"},
    {"StringCallOfTextFile",
     "\x10"
     "5",
     "{blank}", "TEXT file A calls STRING file 5, which is configured as a TEXT file"},
    {"UnshownControlCode",
     "a\x0d"
     "b",
     "a{code 0D}b", "TEXT file A holds code 0D, which the virtual sign does not show"},
    {"ModeFieldCutShort", "x\x1b ", "x", "TEXT file A: mode field cut short"},
    {"ColourCutShort", "x\x1c", "x", "TEXT file A: colour selection without a colour code"},
    {"ExtendedCutShort", "x\x08", "x", "TEXT file A: extended character without a code"},
    {"StringCallCutShort", "x\x10", "x", "TEXT file A: STRING call without a file label"},
    {"ExtendedOutOfRange", "\x08\x05", "{char 05}",
     "TEXT file A: extended character code 05 is out of range"},
};

class Display : public testing::TestWithParam<CDisplayCase> {};

TEST_P(Display, ShowsWhatTheSignShows) {
  CSignModel model;
  model.Apply(CMemoryConfig{{
      CFileEntry{'A', CSignFileType::kText, false, 200, "FF00"},
      CFileEntry{'1', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'2', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'3', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'4', CSignFileType::kString, true, 3, "0000"},
      CFileEntry{'5', CSignFileType::kText, false, 3, "FF00"},
  }});
  model.Apply(CWriteString{'1', " 7"});
  model.Apply(CWriteString{'2', " 3"});
  model.Apply(CWriteString{'3', "  "});
  model.Apply(CWriteText{'A', GetParam().text});
  const CSignCharacters characters;
  const CDisplayComposition composition = ComposeDisplay(model, characters);
  EXPECT_EQ(RenderMarkup(composition.display), GetParam().markup);
  if (GetParam().flag.empty()) {
    EXPECT_TRUE(composition.flags.empty()) << composition.flags.front();
  } else {
    ASSERT_EQ(composition.flags.size(), 1u);
    EXPECT_EQ(composition.flags[0], GetParam().flag);
  }
}

INSTANTIATE_TEST_SUITE_P(TextFileA, Display, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayRunSequence, ShowsTheTextFilesOfTheRunSequenceInOrder) {
  CSignModel model;
  model.Apply(CMemoryConfig{{
      CFileEntry{'A', CSignFileType::kText, false, 20, "FF00"},
      CFileEntry{'B', CSignFileType::kText, false, 20, "FF00"},
  }});
  model.Apply(CWriteText{'A', "first"});
  model.Apply(CWriteText{'B', "second"});
  model.Apply(CRunSequence{'S', true, "BXA"});
  EXPECT_EQ(RenderMarkup(ComposeDisplay(model, CSignCharacters()).display), "second{next}first");
}

TEST(SignCharacters, EveryTableRowWithAWindowsCharacterComesBack) {
  const CSignCharacters characters;
  EXPECT_EQ(characters.Extended(0x20), "Ç");
  EXPECT_EQ(characters.Extended(0x3D), "¥");
  EXPECT_EQ(characters.Extended(0x57), "ß");
  EXPECT_EQ(characters.Extended(0x61), "õ");
  for (std::uint8_t code : {0x3E, 0x58, 0x59, 0x5C, 0x5D, 0x4B, 0x4E, 0x00, 0x62}) {
    EXPECT_EQ(characters.Extended(code), "") << int(code);
  }
}

}  // namespace
