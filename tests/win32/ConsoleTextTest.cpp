#include <gtest/gtest.h>

#include "tools/cli/win32/ConsoleText.h"

namespace {

TEST(ConsoleText, ArgumentsTurnFromUtf16IntoUtf8AfterTheProgramName) {
  wchar_t program[] = L"ravelle-cli.exe";
  wchar_t note[] = L"Caf\u00e9 \u2603 \u20ac";
  wchar_t broken[] = L"a\xD800z";  // an unpaired surrogate
  wchar_t empty[] = L"";
  wchar_t* argv[] = {program, note, broken, empty};
  EXPECT_EQ(
      Utf8Arguments(4, argv),
      (std::vector<std::string>{"Caf\xC3\xA9 \xE2\x98\x83 \xE2\x82\xAC", "a\xEF\xBF\xBDz", ""}));
}

}  // namespace
