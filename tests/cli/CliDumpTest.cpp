#include <gtest/gtest.h>

#include <regex>

#include "tests/cli/CliRun.h"

namespace {

// History lines carry the wall-clock time; the tests compare everything else.
std::string WithoutTimes(const std::string& out) {
  static const std::regex kStamp("^history   [0-2][0-9]:[0-5][0-9]:[0-6][0-9] ",
                                 std::regex::multiline);
  return std::regex_replace(out, kStamp, "history   HH:MM:SS ");
}

TEST(CliDumpTest, CommandsPrintEveryPacketTheyHandToTheSink) {
  const struct {
    std::vector<std::string> args;
    std::vector<Bytes> packets;
  } rows[] = {
      {{"--dump", "clear"}, ClearSignPackets()},
      {{"--dump", "scoreboard", "HOM", "VIS", "--colors", "Red", "Green", "Amber", "Yellow"},
       HomVisScoreboard("  ", " 0", " 0", "1238")},
      // Options may come anywhere.
      {{"scoreboard", "--scores", "12", "100", "HOM", "VIS", "--dump"},
       HomVisScoreboard(" ", " 12", "100")},
      {{"--dump", "note", "Hello", "--color", "Dim Red", "--size", "Giant"},
       {MemoryConfig("0028"), NotePacket('4', "\x12Hello\x11"), RunSequence()}},
  };
  for (const auto& row : rows) {
    const CCliRun run = RunCliOn(row.args);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, DumpLines(row.packets)) << row.args[1];
    EXPECT_EQ(run.err, "");
  }
}

// A whole game as a session, in the session's own syntax: comments, blank
// lines, CRLF, quotes that group words (even inside one), runs of blanks and
// tabs, and escapes. Every action once; a press before New Game does
// nothing, the button being disabled.
TEST(CliDumpTest, AWholeGameSession) {
  const std::string script =
      "# a whole game, as the form would run it\nteam1 \"É\"TÉ\r\nteam2 VIS\nadd 1 6\nnewgame\n"
      "  add\t1   6  \nsub 1 1\nadd 2 2\ncolors Green Amber \"Dim Red\" Yellow\nnotecolor Green\n"
      "notesize Giant\n"
      R"(note "Half \"time\"\n\\")"
      "\nsendnote\nshowing\nclearnote\nsendnote\n\nteam2 \"\"\nsendscore\nteam2 VIS\nsendscore\n"
      "clearsign\nhistory\n";
  const CCliRun run = RunCliOn({"--dump", "session"}, script);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto fullSend = [](const char* score1, const char* score2, const char* colours) {
    std::vector<Bytes> packets = ClearSignPackets();
    for (const Bytes& packet :
         {MemoryConfig("0037"), StringPacket('3', "  "), StringPacket('1', score1),
          StringPacket('2', score2), ScoreboardPacket("\x08\x30T\x08\x30", "VIS", colours),
          RunSequence()})
      packets.push_back(packet);
    return DumpLines(packets);
  };
  EXPECT_EQ(WithoutTimes(run.out),
            fullSend(" 0", " 0", "1111") +
                DumpLines({StringPacket('1', " 6"), StringPacket('1', " 5"),
                           StringPacket('2', " 2"), MemoryConfig("0030"),
                           NotePacket('2', "\x12Half \"time\" \\\x11"), RunSequence()}) +
                "showing Half \"time\" \\\n" +
                // Clear Note empties the note itself: the next Send Note sends no text.
                DumpLines({MemoryConfig("0023"), NotePacket('2', "\x12\x11"), RunSequence()}) +
                "message Enter Team Abbreviations\n" + fullSend(" 5", " 2", "2348") +
                DumpLines(ClearSignPackets()) +
                "history   HH:MM:SS -- ÉTÉ ::  6\n"
                "history   HH:MM:SS -- ÉTÉ :: -1\n"
                "history   HH:MM:SS -- VIS ::  2\n"
                "history   HH:MM:SS -- Note :: Half \"time\" \\\n"
                "history   HH:MM:SS -- Note :: \n");
}

// A note the sign does not show whole is told on standard error without
// failing the run, from a session and from the note command.
TEST(CliDumpTest, WhatTheSignDoesNotShowIsToldOnStandardError) {
  const CCliRun run = RunCliOn({"--dump", "session"},
                               "team1 HOM\nteam2 VIS\nnewgame\n"
                               "note \"Go \xF0\x9F\x8E\x89 \xE2\x82\xAC\"\nsendnote\nshowing\n");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "ravelle-cli: 2 characters the sign cannot show were left out\n");
  EXPECT_TRUE(run.out.ends_with("showing Go \xE2\x82\xAC\n")) << run.out;

  std::string e8000;
  for (int i = 0; i < 8000; ++i) e8000 += "\xC3\xA9";
  const CCliRun note = RunCliOn({"--dump", "note", e8000, "--size", "Giant"});
  EXPECT_EQ(note.exitStatus, 0);
  EXPECT_EQ(note.err, "ravelle-cli: The note was cut to 4082 characters to fit the sign\n");
}

TEST(CliDumpTest, BadSessionLinesAreReportedSkippedAndFailTheRun) {
  const CCliRun run = RunCliOn({"--dump", "session"},
                               // A NUL in the input is dropped as the sign would drop it.
                               std::string("team1 H\0OM\n", 11) +
                                   "team2 VIS\nnewgame\nadd 1 4\nscore 1 6\nadd 1 6\nshowing\n"
                                   "add 1\nadd 3 1\nsub 2 2\nnote Half time\ncolors Red Red Red\n"
                                   "note \"Half time\nteam1 \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\n"
                                   "team2 \xCE\xA9\n" +
                                   std::string("scores 1 ") + std::string(100, '9') + "\n");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err,
            "ravelle-cli: line 4 \"add 1 4\": add: N \"4\" is not 1, 2, 3 or 6\n"
            "ravelle-cli: line 5 \"score 1 6\": unknown action \"score\"\n"
            "ravelle-cli: line 8 \"add 1\": add: missing N\n"
            "ravelle-cli: line 9 \"add 3 1\": add: TEAM \"3\" is not 1 or 2\n"
            "ravelle-cli: line 10 \"sub 2 2\": sub: N \"2\" is not 1\n"
            "ravelle-cli: line 11 \"note Half time\": note: unexpected argument \"time\"\n"
            "ravelle-cli: line 12 \"colors Red Red Red\": colors: missing SCORE2\n"
            "ravelle-cli: line 13 \"note \"Half time\": unterminated double quote\n"
            "ravelle-cli: line 14 \"team1 €€€\": team1: \"€€€\" has a character the sign "
            "cannot show\n"
            "ravelle-cli: line 15 \"team2 Ω\": team2: \"Ω\" has a character the sign cannot "
            "show\n"
            "ravelle-cli: line 16 \"scores 1 " +
                std::string(71, '9') + "\"...: unknown action \"scores\"\n");
  EXPECT_NE(run.out.find("showing HOM 6  VIS 0\n"), std::string::npos) << run.out;
}

}  // namespace
