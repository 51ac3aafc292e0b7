// The command line without a road: parsing, its refusals, and --dump.

#include <gtest/gtest.h>

#include <regex>

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
      {{"--tcp", "h:1", "--usb", "clear"}, "--usb takes no --port, --tcp or serial line settings"},
      {{"--tcp", "sign-server", "clear"},
       "--tcp: \"sign-server\" is not HOST:PORT (a port from 1 to 65535)"},
      {{"--tcp", "sign-server:0", "clear"},
       "--tcp: \"sign-server:0\" is not HOST:PORT (a port from 1 to 65535)"},
      {{"--tcp", ":4001", "clear"}, "--tcp: \":4001\" is not HOST:PORT (a port from 1 to 65535)"},
      {{"--rfc2217", "clear"}, "--rfc2217 needs --tcp HOST:PORT"},
      {{"--tcp", "h:1", "--port", "1", "clear"}, "--tcp and --port are two roads; choose one"},
  };
  for (const auto& row : rows) {
    const CCliRun run = RunCliOn(row.args, "newgame\n", NoRoad());
    EXPECT_EQ(run.exitStatus, 2) << row.error;
    EXPECT_EQ(run.out, "") << row.error;
    EXPECT_EQ(run.err, std::string("ravelle-cli: ") + row.error + "\nTry 'ravelle-cli --help'.\n");
  }
}

// Arguments reach the document as the form's boxes would hold them: in the
// code page, cut to the boxes' limits. A device server is HOST:PORT, an IPv6
// address in brackets.
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
  for (const auto& [server, host, port] : {std::make_tuple("sign-server:4001", "sign-server", 4001),
                                           std::make_tuple("[fe80::1]:23", "fe80::1", 23)}) {
    line = ParseCommandLine({"--tcp", server, "--rfc2217", "clear"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(std::tie(*line->road.tcpHost, line->road.tcpPort, line->road.rfc2217),
              std::make_tuple(std::string(host), port, true));
  }
}

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
