#include <gtest/gtest.h>

#include "tests/cli/CliRun.h"
#include "tools/cli/CommandLine.h"

namespace {

// A road opener that must never be asked: bad command lines send nothing.
CRoadOpener NoRoad() {
  return [](CCliGame&, const CRoadOptions&, std::ostream&, std::ostream&) {
    ADD_FAILURE() << "a road was opened";
    return std::unique_ptr<CCliRoad>();
  };
}

TEST(CommandLineTest, BadCommandLinesExitTwoNamingTheArgument) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } rows[] = {
      {{}, "missing command (clear, scoreboard, note or session)"},
      {{"--dump", "score", "HOM", "VIS"}, "unknown command \"score\""},
      {{"--dump", "--verbose", "clear"}, "unknown option \"--verbose\""},
      {{"--dump", "clear", "now"}, "clear: unexpected argument \"now\""},
      {{"--dump", "scoreboard", "HOM"}, "scoreboard: missing ABBR2"},
      {{"--dump", "scoreboard", "", "VIS"}, "scoreboard: ABBR1 is empty"},
      {{"--dump", "scoreboard", "HOM", "✓"},
       "scoreboard: ABBR2 \"✓\" has a character the sign cannot show"},
      {{"--dump", "scoreboard", "€€€", "VIS"},
       "scoreboard: ABBR1 \"€€€\" has a character the sign cannot show"},
      {{"--dump", "scoreboard", "HOM", "VΩS"},
       "scoreboard: ABBR2 \"VΩS\" has a character the sign cannot show"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "3"}, "--scores: missing argument"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "7", "1000"},
       "--scores: score \"1000\" is outside 0-999"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "7", "12a"},
       "--scores: score \"12a\" is not a number"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--colors", "red", "Red", "Red", "Red"},
       "--colors: unknown colour \"red\" (one of Red, Green, Amber, Dim Red, Dim Green, Brown, "
       "Orange, Yellow)"},
      {{"--dump", "note"}, "note: missing TEXT"},
      {{"--dump", "note", "Hi", "--size", "Huge"},
       "--size: unknown size \"Huge\" (Normal or Giant)"},
      {{"--port", "0", "clear"}, "--port: \"0\" is not a port number (1 to 255)"},
      {{"--port", "1", "--bits", "6", "clear"}, "--bits: \"6\" is not 7 or 8 data bits"},
      {{"--port", "1", "--parity", "mark", "clear"}, "--parity: \"mark\" is not none, even or odd"},
      {{"--dump", "--port", "1", "clear"},
       "--dump sends nothing and takes no --port, --usb, --tcp or line settings"},
      {{"--usb", "--port", "1", "clear"}, "--usb takes no --port, --tcp or serial line settings"},
  };
  for (const auto& row : rows) {
    const CCliRun run = RunCliOn(row.args, "newgame\n", NoRoad());
    EXPECT_EQ(run.exitStatus, 2) << row.error;
    EXPECT_EQ(run.out, "") << row.error;
    EXPECT_EQ(run.err, std::string("ravelle-cli: ") + row.error + "\nTry 'ravelle-cli --help'.\n");
  }
}

// Arguments reach the document as the form's boxes would hold them: in the
// code page, cut to the boxes' limits.
TEST(CommandLineTest, ArgumentsReachTheDocumentAsTheBoxesWouldHoldThem) {
  std::string error;
  std::optional<CCommandLine> line =
      ParseCommandLine({"--dump", "scoreboard", "HOME", "Vé", "--scores", "0", "999"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->scoreboard.team1Abbrev + "/" + line->scoreboard.team2Abbrev, "HOM/V\xE9");
  EXPECT_EQ(line->scoreboard.team2Score, 999);

  line = ParseCommandLine({"note", "--dump", "--", "--5 yards \xE2\x82\xAC"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->note.text, "--5 yards \x80") << "-- ends the options";
  line = ParseCommandLine({"--dump", "note", std::string(8001, 'n')}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->note.text.size(), 8000u) << "the note box holds 8000 characters";
}

}  // namespace
