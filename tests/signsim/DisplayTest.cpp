#include <gtest/gtest.h>

#include "tools/signsim/DisplayMarkup.h"
#include "tools/signsim/SignCharacters.h"
#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignModel.h"

// Control bytes are octal escapes: \033 ESC, \034 colour, \036 spacing, \020
// STRING call, \010 extended character. That a file cut short in any field
// never crashes the sign is the fuzz target's job.

namespace {

struct CDisplayCase {
  const char* name;
  std::string text;    // TEXT file A
  std::string markup;  // what --text shows
  std::string flag;    // the one flag expected, empty for none
};

// STRING 1 holds " 7", STRING 4 is configured and empty; file 5 is a TEXT file.
const CDisplayCase kCases[] = {
    {"Blank", "", "{blank}", ""},
    {"EveryColour", "\0341a\0342b\0343c\0344d\0345e\0346f\0347g\0348h",
     "{red}a{green}b{amber}c{dim red}d{dim green}e{brown}f{orange}g{yellow}h", ""},
    {"Spacing", "\0360x\0361y", "{proportional}x{fixed}y", ""},
    {"Positions", "\033\"b1\033&a2\0330c3", "{hold top}1{rotate bottom}2{mode c fill}3", ""},
    {"ExtendedCharacters", "\0100T\0100 caf\010\042 \010\077 \010\136a\010\076b\010\113",
     "ÉTÉ café ƒ Éa{char 3E}b{char 4B}", ""},
    {"StringCalls", "[\0204]\0201", "[] 7", ""},
    {"Braces", "{x}", "{{x}}", ""},
    {"UnknownColour", "\034Dx", "x", "TEXT file A: colour code 44 is not a colour"},
    {"UnknownSpacing", "\0365x", "x", "TEXT file A: spacing code 35 is not 0 or 1"},
    {"StringNotConfigured", "\0209", "{blank}",
     "TEXT file A calls STRING file 9, which the memory configuration lacks"},
    {"StringCallOfTextFile", "\0205", "{blank}",
     "TEXT file A calls STRING file 5, which is configured as a TEXT file"},
    {"UnshownControlCode", "a\rb", "a{code 0D}b",
     "TEXT file A holds code 0D, which the virtual sign does not show"},
    {"ColourCutShort", "x\034", "x", "TEXT file A: colour selection without a colour code"},
    {"ExtendedOutOfRange", "\010\005", "{char 05}",
     "TEXT file A: extended character code 05 is out of range"},
};

class Display : public testing::TestWithParam<CDisplayCase> {};

TEST_P(Display, ShowsWhatTheSignShows) {
  CSignModel model;
  const auto file = [](char label, CSignFileType type) {
    return CFileEntry{label, type, false, 200, ""};
  };
  model.Apply(CMemoryConfig{{file('A', CSignFileType::kText), file('1', CSignFileType::kString),
                             file('4', CSignFileType::kString), file('5', CSignFileType::kText)}});
  model.Apply(CWriteString{'1', " 7"});
  model.Apply(CWriteText{'A', GetParam().text});
  const CDisplayComposition composition = ComposeDisplay(model, CSignCharacters());
  EXPECT_EQ(RenderMarkup(composition.display), GetParam().markup);
  const std::vector<std::string> flags;
  EXPECT_EQ(composition.flags, GetParam().flag.empty() ? flags : std::vector{GetParam().flag});
}

INSTANTIATE_TEST_SUITE_P(TextFileA, Display, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayRunSequence, ShowsTheTextFilesOfTheRunSequenceInOrder) {
  CSignModel model;
  model.Apply(CMemoryConfig{{CFileEntry{'A', CSignFileType::kText, false, 20, "FF00"},
                             CFileEntry{'B', CSignFileType::kText, false, 20, "FF00"}}});
  model.Apply(CWriteText{'A', "first"});
  model.Apply(CWriteText{'B', "second"});
  model.Apply(CRunSequence{'S', true, "BXA"});
  EXPECT_EQ(RenderMarkup(ComposeDisplay(model, CSignCharacters()).display), "second{next}first");
}

}  // namespace
