#include <gtest/gtest.h>

#include <sstream>

#include "tools/cli/CliProgram.h"
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
      {{"--dump"}, "missing command (clear, scoreboard, note or session)"},
      {{"--dump", "score", "HOM", "VIS"}, "unknown command \"score\""},
      {{"--dump", "--verbose", "clear"}, "unknown option \"--verbose\""},
      {{"--dump", "clear", "--scores", "1", "2"}, "unknown option \"--scores\""},
      {{"--dump", "note", "Hi", "--colors", "Red"}, "unknown option \"--colors\""},
      {{"--dump", "clear", "now"}, "clear: unexpected argument \"now\""},
      {{"--dump", "scoreboard", "HOM"}, "scoreboard: missing ABBR2"},
      {{"--dump", "scoreboard", "HOM", "VIS", "OPP"}, "scoreboard: unexpected argument \"OPP\""},
      {{"--dump", "scoreboard", "", "VIS"}, "scoreboard: ABBR1 is empty"},
      {{"--dump", "scoreboard", "HOM", "✓"}, "scoreboard: ABBR2 \"✓\" has no character to show"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "3"}, "--scores: missing argument"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "-1", "0"},
       "--scores: score \"-1\" is outside 0-999"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "7", "1000"},
       "--scores: score \"1000\" is outside 0-999"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--scores", "7", "12a"},
       "--scores: score \"12a\" is not a number"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--colors", "Red", "Green", "Purple", "Red"},
       "--colors: unknown colour \"Purple\" (one of Red, Green, Amber, Dim Red, Dim Green, Brown, "
       "Orange, Yellow)"},
      {{"--dump", "scoreboard", "HOM", "VIS", "--colors", "red", "Red", "Red", "Red"},
       "--colors: unknown colour \"red\" (one of Red, Green, Amber, Dim Red, Dim Green, Brown, "
       "Orange, Yellow)"},
      {{"--dump", "note"}, "note: missing TEXT"},
      {{"--dump", "note", "Hi", "--size", "Huge"},
       "--size: unknown size \"Huge\" (Normal or Giant)"},
      {{"--dump", "note", "Hi", "--color"}, "--color: missing argument"},
      {{"--port", "0", "clear"}, "--port: \"0\" is not a port number (1 to 255)"},
      {{"--port", "x", "clear"}, "--port: \"x\" is not a port number (1 to 255)"},
      {{"--port", "1", "--bits", "6", "clear"}, "--bits: \"6\" is not 7 or 8 data bits"},
      {{"--port", "1", "--parity", "mark", "clear"}, "--parity: \"mark\" is not none, even or odd"},
      {{"--port", "1", "--stop-bits", "3", "clear"}, "--stop-bits: \"3\" is not 1 or 2 stop bits"},
      {{"--port", "1", "--baud", "0", "clear"}, "--baud: \"0\" is not a baud rate"},
      {{"--dump", "--port", "1", "clear"},
       "--dump sends nothing and takes no --port, --usb or line settings"},
      {{"--usb", "--port", "1", "clear"}, "--usb takes no --port or serial line settings"},
      {{"--usb", "--baud", "9600", "clear"}, "--usb takes no --port or serial line settings"},
  };
  for (const auto& row : rows) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(row.args, error).has_value()) << row.error;
    EXPECT_EQ(error, row.error);

    std::istringstream in("newgame\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(row.args, in, out, err, NoRoad()), 2) << row.error;
    EXPECT_EQ(out.str(), "") << row.error;
    EXPECT_EQ(err.str(),
              std::string("ravelle-cli: ") + row.error + "\nTry 'ravelle-cli --help'.\n");
  }
}

TEST(CommandLineTest, ScoreboardArguments) {
  std::string error;
  std::optional<CCommandLine> line =
      ParseCommandLine({"--dump", "scoreboard", "HOME", "Vé", "--scores", "0", "999", "--colors",
                        "Dim Red", "Green", "Dim Green", "Yellow"},
                       error);
  ASSERT_TRUE(line) << error;
  EXPECT_TRUE(line->road.dump);
  EXPECT_EQ(line->command, CCliCommand::Scoreboard);
  const CScoreboardArguments& board = line->scoreboard;
  EXPECT_EQ(board.team1Abbrev, "HOM") << "the box keeps three characters";
  EXPECT_EQ(board.team2Abbrev, "V\xE9") << "converted to the document's code page";
  EXPECT_EQ(board.team1Score, 0);
  EXPECT_EQ(board.team2Score, 999);
  EXPECT_EQ(board.team1NameColor, "Dim Red");
  EXPECT_EQ(board.team1ScoreColor, "Green");
  EXPECT_EQ(board.team2NameColor, "Dim Green");
  EXPECT_EQ(board.team2ScoreColor, "Yellow");
}

TEST(CommandLineTest, NoteArgumentsAndTheEndOfOptions) {
  std::string error;
  std::optional<CCommandLine> line = ParseCommandLine(
      {"note", "--size", "Giant", "--dump", "--", "--5 yards \xE2\x82\xAC"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->command, CCliCommand::Note);
  EXPECT_EQ(line->note.text, "--5 yards \x80");
  EXPECT_EQ(line->note.color, "Red");
  EXPECT_EQ(line->note.size, "Giant");

  line = ParseCommandLine({"--dump", "note", std::string(8001, 'n')}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->note.text.size(), 8000u) << "the note box holds 8000 characters";
}

TEST(CommandLineTest, RoadOptions) {
  std::string error;
  std::optional<CCommandLine> line =
      ParseCommandLine({"--port", "2", "--baud", "19200", "--bits", "8", "--parity", "none",
                        "--stop-bits", "2", "clear"},
                       error);
  ASSERT_TRUE(line) << error;
  EXPECT_FALSE(line->road.dump);
  EXPECT_FALSE(line->road.usb);
  EXPECT_EQ(line->road.port, 2);
  EXPECT_EQ(line->road.baudRate, 19200);
  EXPECT_EQ(line->road.byteSize, 8);
  EXPECT_EQ(line->road.parity, "none");
  EXPECT_EQ(line->road.stopBits, 2);

  line = ParseCommandLine({"session", "--usb"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_TRUE(line->road.usb);
  EXPECT_FALSE(line->road.port);
}

}  // namespace
