#include <gtest/gtest.h>

#include "tools/cli/Session.h"

namespace {

using Words = std::vector<std::string>;

TEST(SessionTest, SplittingLines) {
  const struct {
    const char* line;
    Words words;
  } rows[] = {
      {"add 1 6", {"add", "1", "6"}},
      {"  add\t1   6  ", {"add", "1", "6"}},
      {"note \"Half   time\"", {"note", "Half   time"}},
      {"colors \"Dim Red\" Green \"Dim Green\" Red",
       {"colors", "Dim Red", "Green", "Dim Green", "Red"}},
      {"note Half\" \"time", {"note", "Half time"}},
      {"note \"say \\\"hi\\\"\"", {"note", "say \"hi\""}},
      {"note \"two\\nlines\\tand a \\\\\"", {"note", "two\nlines\tand a \\"}},
  };
  for (const auto& row : rows) {
    std::string error;
    std::optional<Words> words = SplitSessionLine(row.line, error);
    ASSERT_TRUE(words) << row.line << ": " << error;
    EXPECT_EQ(*words, row.words) << row.line;
  }
  std::string error;
  EXPECT_FALSE(SplitSessionLine("note \"Half time", error));
  EXPECT_EQ(error, "unterminated double quote");
}

TEST(SessionTest, BadLines) {
  const struct {
    const char* line;
    const char* error;
  } rows[] = {
      {"score 1 6", "unknown action \"score\""},
      {"team1", "team1: missing TEXT"},
      {"team1 HOM VIS", "team1: unexpected argument \"VIS\""},
      {"note Half time", "note: unexpected argument \"time\""},
      {"newgame now", "newgame: unexpected argument \"now\""},
      {"add 1", "add: missing N"},
      {"add 3 1", "add: TEAM \"3\" is not 1 or 2"},
      {"add 1 4", "add: N \"4\" is not 1, 2, 3 or 6"},
      {"sub 2 2", "sub: N \"2\" is not 1"},
      {"notecolor Purple",
       "notecolor: unknown colour \"Purple\" (one of Red, Green, Amber, Dim Red, Dim Green, Brown, "
       "Orange, Yellow)"},
      {"notesize giant", "notesize: unknown size \"giant\" (Normal or Giant)"},
      {"colors Red Red Red", "colors: missing SCORE2"},
  };
  for (const auto& row : rows) {
    std::string error;
    EXPECT_FALSE(ParseSessionAction(row.line, error)) << row.line;
    EXPECT_EQ(error, row.error) << row.line;
  }
}

}  // namespace
