#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "sign/Packets.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/FixedClock.h"
#include "tests/support/SignPackets.h"

namespace {

// The packets the messages send are checked whole where they are sent
// (SignMessagesTest); here the builders' edges and one packet written out
// byte by byte, apart from the helpers that build the expected packets. A
// note's text has room for 8200 - 33 = 8167 bytes (Normal), 8165 (Giant),
// and is cut before a two-byte character that would straddle the end.
TEST(PacketsTest, BuildersLayOutEveryPacketByteForByte) {
  const auto x = [](std::size_t count) { return std::string(count, 'x'); };
  const struct {
    const char* name;
    Bytes built;
    Bytes expected;
  } rows[] = {
      {"memory config ABCD", *MakeMemoryConfigPacket(0xABCD), MemoryConfig("ABCD")},
      {"memory config FFFF", *MakeMemoryConfigPacket(0xFFFF), MemoryConfig("FFFF")},
      {"empty string", MakeStringPacket('2', ""), StringPacket('2', "")},
      {"scoreboard", MakeScoreboardPacket("HOM", '1', '2', "VIS", '3', '8'),
       Framed("\x01\x5A\x30\x30\x02\x41\x41\x1B\x20\x62\x1E\x31\x1C\x31HOM\x1C\x32\x10\x31"
              "\x10\x33\x1C\x33VIS\x1C\x38\x10\x32\x04")},
      {"scoreboard without names", MakeScoreboardPacket("", '4', '5', "", '6', '7'),
       ScoreboardPacket("", "", "4567")},
      {"empty giant note", MakeNotePacket("", '1', true), NotePacket('1', "\x12\x11")},
      {"8167 fit", MakeNotePacket(x(8167), '1', false), NotePacket('1', x(8167))},
      {"8168 are cut", MakeNotePacket(x(8168), '1', false), NotePacket('1', x(8167))},
      {"a pair ending at 8167 fits", MakeNotePacket(x(8165) + "\x08\x22", '1', false),
       NotePacket('1', x(8165) + "\x08\x22")},
      {"a pair straddling the end", MakeNotePacket(x(8166) + "\x08\x22", '1', false),
       NotePacket('1', x(8166))},
      {"8165 giant fit", MakeNotePacket(x(8165), '1', true),
       NotePacket('1', "\x12" + x(8165) + "\x11")},
      {"a pair straddling the giant end", MakeNotePacket(x(8164) + "\x08\x22", '1', true),
       NotePacket('1', "\x12" + x(8164) + "\x11")},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.built, row.expected) << row.name << ": " << HexBytes(row.built);
}

class SignMessagesTest : public ::testing::Test {
 protected:
  SignMessagesTest() : messages(doc, sink, view) {
    doc.comPort = 3;
    doc.SetClock(FixedClock(9, 30, 0));
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CFakeViewStatus view;
  CSignMessages messages;
};

// Clear LED Sign empties Now Showing and nothing else of the view; a memory
// size the four hex digits cannot hold is refused and nothing is sent; the
// score line is bounded whatever the abbreviations hold.
TEST_F(SignMessagesTest, ClearSignRefusedSizesAndTheScoreLinesBound) {
  view.scoreMode = 1;
  view.lastSpacer = " ";
  doc.team1Abbrev = std::string(2000, 'A');
  messages.UpdateNowShowing();
  messages.ClearSign();
  EXPECT_FALSE(messages.BuildMemoryConfig(3, 0x10000) || messages.BuildMemoryConfig(3, -1));
  EXPECT_EQ(sink.Bytes(), ClearSignPackets()) << HexPackets(sink.Bytes());
  for (const CRecordedPacket& packet : sink.packets) EXPECT_EQ(packet.comPort, 3);
  EXPECT_EQ(view.nowShowingTexts, (std::vector<std::string>{std::string(999, 'A'), ""}));
  EXPECT_EQ(view.lastSpacer + std::to_string(view.scoreMode), " 1");
}

// Team 1's score decides the spacer: one blank from 10 on, two below. It is
// sent only when it differs from the last one, and stored before it is sent.
TEST_F(SignMessagesTest, SpacerIsSentOnlyWhenItChanges) {
  std::vector<std::string> spacers;  // lastSpacer as each packet goes out
  sink.onPacket = [&] { spacers.push_back(view.lastSpacer); };
  view.lastSpacer = "  ";
  doc.team1Score = 10;
  messages.SendTeamScore(1, 10);
  doc.team1Score = 11;
  messages.SendTeamScore(1, 11);
  view.lastSpacer = "";
  messages.SendTeamScore(2, 5);
  doc.team1Score = 9;
  messages.SendTeamScore(1, 9);
  EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{StringPacket('3', " "), StringPacket('1', " 10"),
                                              StringPacket('1', " 11"), StringPacket('3', " "),
                                              StringPacket('2', " 5"), StringPacket('3', "  "),
                                              StringPacket('1', " 9")}))
      << HexPackets(sink.Bytes());
  EXPECT_EQ(spacers, (std::vector<std::string>{" ", " ", " ", " ", " ", "  ", "  "}));
}

// The memory configuration sizes the TEXT file to the note packet. The sign
// gets the note with whitespace runs folded, cut at a character boundary to
// fit the 8200-byte area (8000 extended characters would take 16000 bytes);
// the history keeps it whole, Now Showing shows its first 14 characters.
TEST_F(SignMessagesTest, NoteGoesOutInItsSizeWithHistoryAndNowShowing) {
  std::string pairs;
  for (int i = 0; i < 4083; ++i) pairs += "\x08\x22";
  const std::string e8000(8000, '\xE9');
  const struct {
    std::string note;
    const char* size;
    std::string sent, logged, shown, notice;
  } rows[] = {
      {"Hello", "giant", "Hello", "Hello", "Hello", ""},  // only "Giant" is giant
      {"Half\r\ntime\t\r\n\r\n  soon", "Normal", "Half time soon", "Half time soon",
       "Half time soon", ""},
      {"  two  lines\n\nhere", "Normal", " two lines here", " two lines here", " two lines her...",
       ""},
      {"\x80 5\x99", "Normal", " 5", "\x80 5\x99", "\x80 5\x99",
       "2 characters the sign cannot show were left out"},
      {"\x80", "Normal", "", "\x80", "\x80", "1 character the sign cannot show was left out"},
      {e8000, "Normal", pairs, e8000, e8000.substr(0, 14) + "...",
       "The note was cut to 4083 characters to fit the sign"},
      {e8000, "Giant", "\x12" + pairs.substr(2) + "\x11", e8000, e8000.substr(0, 14) + "...",
       "The note was cut to 4082 characters to fit the sign"},
      {e8000.substr(1) + "\x80", "Normal", pairs, e8000.substr(1) + "\x80",
       e8000.substr(0, 14) + "...",
       "1 character the sign cannot show was left out; the note was cut to 4083 characters to "
       "fit the sign"},
  };
  doc.noteColor = "Green";
  view.scoreMode = 1;
  view.lastSpacer = " ";
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.history.clear();
    doc.noteText = row.note;
    doc.noteSize = row.size;
    const std::string notice = NoteFitNotice(messages.SendNote());
    const Bytes note = NotePacket('2', row.sent);
    char size[5];
    std::snprintf(size, sizeof size, "%04zX", note.size());
    EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{MemoryConfig(size), note, RunSequence()}))
        << row.note.substr(0, 20) << " " << row.size;
    EXPECT_EQ(
        notice + "|" + doc.history + "|" + view.NowShowing() + "|" + doc.noteText,
        row.notice + "|  09:30:00 -- Note :: " + row.logged + "\n|" + row.shown + "|" + row.note)
        << "the document keeps the typed note";
  }
  EXPECT_EQ(std::make_tuple(view.scoreMode, view.lastSpacer), std::make_tuple(0, " "));
}

}  // namespace
