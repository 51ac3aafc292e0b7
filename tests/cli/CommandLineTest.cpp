// The command line without a road: parsing, its refusals, and --dump.

#include <gtest/gtest.h>

#include <regex>

#include "tests/cli/CliRun.h"
#include "tools/cli/CommandLine.h"

namespace {

// Each command line's exit status and whole output: a bad one exits 2 naming
// the argument; a dump prints every packet the command hands to the sink.
TEST(CommandLineTest, EachCommandLinesExitStatusAndWholeOutput) {
  // A road opener that must never be asked: dumps and bad command lines send
  // nothing.
  const CRoadOpener noRoad = [](CCliGame&, const CRoadOptions&, std::ostream&, std::ostream&) {
    ADD_FAILURE() << "a road was opened";
    return std::unique_ptr<CCliRoad>();
  };
  const struct {
    std::vector<std::string> args;
    const char* error;                // the refusal, or nullptr for a dump
    std::vector<Bytes> packets = {};  // what a dump prints
    std::string notice = "";          // what a dump tells on standard error
  } rows[] = {
      {{}, "missing command (clear, scoreboard, note or session)"},
      {{"--dump", "score", "HOM", "VIS"}, "unknown command \"score\""},
      {{"--dump", "--verbose", "clear"}, "unknown option \"--verbose\""},
      {{"--dump", "clear", "now"}, "clear: unexpected argument \"now\""},
      {{"--dump", "scoreboard", "HOM"}, "scoreboard: missing ABBR2"},
      {{"--dump", "scoreboard", "", "VIS"}, "scoreboard: ABBR1 is empty"},
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
      {{"--tcp", "sign-server:0", "clear"},
       "--tcp: \"sign-server:0\" is not HOST:PORT (a port from 1 to 65535)"},
      {{"--tcp", ":4001", "clear"}, "--tcp: \":4001\" is not HOST:PORT (a port from 1 to 65535)"},
      {{"--rfc2217", "clear"}, "--rfc2217 needs --tcp HOST:PORT"},
      {{"--tcp", "h:1", "--port", "1", "clear"}, "--tcp and --port are two roads; choose one"},
      {{"--dump", "clear"}, nullptr, ClearSignPackets()},
      {{"--dump", "scoreboard", "HOM", "VIS", "--colors", "Red", "Green", "Amber", "Yellow"},
       nullptr,
       HomVisScoreboard("  ", " 0", " 0", "1238")},
      // Options may come anywhere; an abbreviation keeps three characters.
      {{"scoreboard", "--scores", "12", "999", "HOME", "VIS", "--dump"},
       nullptr,
       HomVisScoreboard(" ", " 12", "999")},
      {{"--dump", "note", "Hello \xF0\x9F\x8E\x89", "--color", "Dim Red", "--size", "Giant"},
       nullptr,
       {MemoryConfig("0029"), NotePacket('4', "\x12Hello \x11"), RunSequence()},
       "ravelle-cli: 1 character the sign cannot show was left out\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.error ? row.error : row.args[1]);
    const CCliRun run = RunCliOn(row.args, "newgame\n", noRoad);
    EXPECT_EQ(run.exitStatus, row.error ? 2 : 0);
    EXPECT_EQ(run.out, DumpLines(row.packets));
    EXPECT_EQ(run.err,
              row.error ? std::string("ravelle-cli: ") + row.error + "\nTry 'ravelle-cli --help'.\n"
                        : row.notice);
  }
}

// Arguments reach the document as the form's boxes would hold them: in the
// code page, cut to the boxes' limits. A device server is HOST:PORT, an IPv6
// address in brackets.
TEST(CommandLineTest, ArgumentsReachTheDocumentAsTheBoxesWouldHoldThem) {
  std::string error;  // a refusal throws bad_optional_access, failing the test
  const auto parse = [&error](std::vector<std::string> args) {
    return ParseCommandLine(args, error).value();
  };
  EXPECT_EQ(parse({"--dump", "scoreboard", "HOM", "Vé"}).scoreboard.team2Abbrev, "V\xE9");
  EXPECT_EQ(parse({"note", "--dump", "--", "--5 yards \xE2\x82\xAC"}).note.text, "--5 yards \x80");
  EXPECT_EQ(parse({"--dump", "note", std::string(8001, 'n')}).note.text.size(), 8000u);
  EXPECT_EQ(parse({"--tcp", "[fe80::1]:23", "clear"}).road.tcpHost, "fe80::1");
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
  EXPECT_EQ(std::to_string(run.exitStatus) + run.err, "0");
  const auto fullSend = [](const char* score1, const char* score2, const char* colours) {
    return DumpLines(ClearSignPackets()) +
           DumpLines({MemoryConfig("0037"), StringPacket('3', "  "), StringPacket('1', score1),
                      StringPacket('2', score2),
                      ScoreboardPacket("\x08\x30T\x08\x30", "VIS", colours), RunSequence()});
  };
  // History lines carry the wall-clock time; the rest is compared.
  EXPECT_EQ(std::regex_replace(run.out, std::regex("^history   [0-9:]{8} ", std::regex::multiline),
                               "history   HH:MM:SS "),
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

// Bad lines are reported, skipped and fail the run; what the sign does not
// show is told without failing it.
TEST(CliDumpTest, BadSessionLinesAreReportedSkippedAndFailTheRun) {
  const CCliRun run =
      RunCliOn({"--dump", "session"},
               // A NUL in the input is dropped as the sign would drop it.
               std::string("team1 H\0OM\n", 11) +
                   "team2 VIS\nnewgame\nadd 1 4\nadd 1 6\nshowing\n"
                   "add 1\nadd 3 1\nsub 2 2\nnote Half time\ncolors Red Red Red\n"
                   "note \"Half time\nteam1 \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\n"
                   "scores 1 " +
                   std::string(100, '9') +
                   "\nnote \"Go \xF0\x9F\x8E\x89 \xE2\x82\xAC\"\nsendnote\nshowing\n");
  EXPECT_EQ(std::to_string(run.exitStatus) + run.err,
            "1ravelle-cli: line 4 \"add 1 4\": add: N \"4\" is not 1, 2, 3 or 6\n"
            "ravelle-cli: line 7 \"add 1\": add: missing N\n"
            "ravelle-cli: line 8 \"add 3 1\": add: TEAM \"3\" is not 1 or 2\n"
            "ravelle-cli: line 9 \"sub 2 2\": sub: N \"2\" is not 1\n"
            "ravelle-cli: line 10 \"note Half time\": note: unexpected argument \"time\"\n"
            "ravelle-cli: line 11 \"colors Red Red Red\": colors: missing SCORE2\n"
            "ravelle-cli: line 12 \"note \"Half time\": unterminated double quote\n"
            "ravelle-cli: line 13 \"team1 €€€\": team1: \"€€€\" has a character the sign "
            "cannot show\n"
            "ravelle-cli: line 14 \"scores 1 " +
                std::string(71, '9') + "\"...: unknown action \"scores\"\n" +
                "ravelle-cli: 2 characters the sign cannot show were left out\n");
  EXPECT_NE(run.out.find("showing HOM 6  VIS 0\n"), std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with("showing Go \xE2\x82\xAC\n")) << run.out;
}

}  // namespace
