#include <regex>

#include "tests/cli/CliFixture.h"

namespace {

// History lines carry the wall-clock time; the tests compare everything else.
std::string WithoutTimes(const std::string& out) {
  static const std::regex kStamp("^history   [0-2][0-9]:[0-5][0-9]:[0-6][0-9] ",
                                 std::regex::multiline);
  return std::regex_replace(out, kStamp, "history   HH:MM:SS ");
}

using CliDumpTest = CliFixture;

TEST_F(CliDumpTest, ScoreboardPrintsTheNinePacketsOfAFullSend) {
  CProgramRun run =
      Cli({"--dump", "scoreboard", "HOM", "VIS", "--colors", "Red", "Green", "Amber", "Yellow"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, HomVisScoreboardLines("1238"));
  EXPECT_EQ(run.err, "");
}

TEST_F(CliDumpTest, ScoreboardTakesScoresAndOptionsAnywhere) {
  CProgramRun run = Cli({"scoreboard", "--scores", "12", "100", "HOM", "VIS", "--dump"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string expected =
      ClearSignLines() + PacketLine(MemoryConfig("0035")) + PacketLine(StringPacket('3', " ")) +
      PacketLine(StringPacket('1', " 12")) + PacketLine(StringPacket('2', "100"));
  EXPECT_EQ(run.out.substr(0, expected.size()), expected);
}

TEST_F(CliDumpTest, NotesInBothSizes) {
  CProgramRun normal = Cli({"--dump", "note", "Hello", "--color", "Green"});
  EXPECT_EQ(normal.exitStatus, 0) << normal.err;
  EXPECT_EQ(normal.out, PacketLine(MemoryConfig("0026")) +
                            PacketLine(Framed("\x01Z00\x02"
                                              "AA\x1B a\x1C"
                                              "2Hello\x04")) +
                            PacketLine(RunSequence()));

  CProgramRun giant = Cli({"--dump", "note", "Hello", "--color", "Green", "--size", "Giant"});
  EXPECT_EQ(giant.exitStatus, 0) << giant.err;
  EXPECT_NE(giant.out.find(PacketLine(Framed("\x01Z00\x02"
                                             "AA\x1B a\x1C"
                                             "2\x12Hello\x11\x04"))),
            std::string::npos)
      << giant.out;
}

TEST_F(CliDumpTest, ClearPrintsTheThreeClearingPackets) {
  CProgramRun run = Cli({"--dump", "clear"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, ClearSignLines());
}

// UTF-8 arguments reach the sign through the code page and come back as
// UTF-8 in the printed texts.
TEST_F(CliDumpTest, ExtendedCharactersCrossTheEdgeBothWays) {
  CProgramRun board = Cli({"--dump", "scoreboard", "ÉTÉ", "VIS"});
  EXPECT_EQ(board.exitStatus, 0) << board.err;
  EXPECT_NE(board.out.find("1C 31 08 30 54 08 30 1C 31"), std::string::npos) << board.out;

  CProgramRun session =
      Cli({"--dump", "session"}, "team1 ÉTÉ\nteam2 VIS\nnewgame\nadd 1 2\nshowing\nhistory\n");
  EXPECT_EQ(session.exitStatus, 0) << session.err;
  EXPECT_NE(session.out.find("\nshowing ÉTÉ 2  VIS 0\nhistory   "), std::string::npos)
      << session.out;
  EXPECT_NE(session.out.find(" -- ÉTÉ ::  2\n"), std::string::npos) << session.out;
}

TEST_F(CliDumpTest, AWholeGameSession) {
  const std::string script =
      "# a whole game, as the form would run it\n"
      "team1 HOM\n"
      "team2 VIS\n"
      "add 1 6\n"
      "newgame\n"
      "add 1 6\n"
      "add 1 3\n"
      "add 2 2\n"
      "sub 2 1\n"
      "showing\n"
      "note \"Half   time\"\n"
      "notecolor Green\n"
      "sendnote\n"
      "add 1 1\n"
      "showing\n"
      "history\n"
      "clearnote\n"
      "sendnote\n"
      "\n"
      "team2 \"\"\n"
      "newgame\n"
      "add 1 6\n"
      "showing\n"
      "history\n";
  CProgramRun run = Cli({"--dump", "session"}, script);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string expected =
      // The first "add 1 6" comes before New Game: the button is disabled.
      HomVisScoreboardLines() + PacketLine(StringPacket('1', " 6")) +
      PacketLine(StringPacket('1', " 9")) + PacketLine(StringPacket('2', " 2")) +
      PacketLine(StringPacket('2', " 1")) + "showing HOM 9  VIS 1\n" +
      PacketLine(MemoryConfig("002A")) +
      PacketLine(Framed("\x01Z00\x02"
                        "AA\x1B a\x1C"
                        "2Half time\x04")) +
      PacketLine(RunSequence()) + PacketLine(StringPacket('3', " ")) +
      PacketLine(StringPacket('1', " 10")) +
      "showing Half time\n"
      "history   HH:MM:SS -- HOM ::  6\n"
      "history   HH:MM:SS -- HOM ::  3\n"
      "history   HH:MM:SS -- VIS ::  2\n"
      "history   HH:MM:SS -- VIS :: -1\n"
      "history   HH:MM:SS -- Note :: Half time\n"
      "history   HH:MM:SS -- HOM ::  1\n" +
      // Clear Note empties the note itself: the next Send Note sends no text.
      PacketLine(MemoryConfig("0021")) +
      PacketLine(Framed("\x01Z00\x02"
                        "AA\x1B a\x1C"
                        "2\x04")) +
      PacketLine(RunSequence()) +
      // New Game without team 2: the message, nothing sent, the game waits.
      "message Enter Team Abbreviations\n"
      "showing \n"
      "history   HH:MM:SS -- HOM ::  6\n"
      "history   HH:MM:SS -- HOM ::  3\n"
      "history   HH:MM:SS -- VIS ::  2\n"
      "history   HH:MM:SS -- VIS :: -1\n"
      "history   HH:MM:SS -- Note :: Half time\n"
      "history   HH:MM:SS -- HOM ::  1\n"
      "history   HH:MM:SS -- Note :: \n";
  EXPECT_EQ(WithoutTimes(run.out), expected);
}

TEST_F(CliDumpTest, ABadSessionLineIsReportedSkippedAndFailsTheRun) {
  CProgramRun run = Cli({"--dump", "session"},
                        "team1 HOM\nteam2 VIS\nnewgame\nadd 1 4\nscore 1 6\nadd 1 6\nshowing\n");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err,
            "ravelle-cli: line 4 \"add 1 4\": add: N \"4\" is not 1, 2, 3 or 6\n"
            "ravelle-cli: line 5 \"score 1 6\": unknown action \"score\"\n");
  EXPECT_NE(run.out.find("showing HOM 6  VIS 0\n"), std::string::npos) << run.out;
}

TEST_F(CliDumpTest, ABadCommandLineSendsNothingAndExitsTwo) {
  CProgramRun run = Cli({"--dump", "scoreboard", "HOM", "VIS", "--scores", "3", "1000"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "ravelle-cli: --scores: score \"1000\" is outside 0-999\n"
            "Try 'ravelle-cli --help'.\n");
}

}  // namespace
