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
// byte by byte, apart from the helpers that build the expected packets.
TEST(PacketsTest, BuildersLayOutEveryPacketByteForByte) {
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
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.built, row.expected) << row.name << ": " << HexBytes(row.built);
}

// Room for the text: 8200 - 33 = 8167 bytes (Normal), 8165 (Giant). The text
// is cut before a two-byte character that would straddle the end.
TEST(PacketsTest, NoteTextIsCutAtACharacterBoundaryToFitTheArea) {
  const std::string pair = "\x08\x22";
  const struct {
    std::string text;
    bool giant;
    std::size_t kept;
  } rows[] = {
      {std::string(8167, 'x'), false, 8167},        {std::string(8168, 'x'), false, 8167},
      {std::string(8165, 'x') + pair, false, 8167}, {std::string(8166, 'x') + pair, false, 8166},
      {std::string(8165, 'x'), true, 8165},         {std::string(8164, 'x') + pair, true, 8164},
  };
  for (const auto& row : rows) {
    const std::string kept = row.text.substr(0, row.kept);
    EXPECT_EQ(MakeNotePacket(row.text, '1', row.giant),
              NotePacket('1', row.giant ? "\x12" + kept + "\x11" : kept))
        << row.text.size() << (row.giant ? " giant" : "");
    EXPECT_LE(MakeNotePacket(row.text, '1', row.giant).size(), kNotePacketArea);
  }
}

using Texts = std::vector<std::string>;

class SignMessagesTest : public ::testing::Test {
 protected:
  SignMessagesTest() : messages(doc, sink, view) {
    doc.comPort = 3;
    doc.SetClock(FixedClock(9, 30, 0));
    doc.team1Abbrev = "HOM";
    doc.team2Abbrev = "VIS";
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CFakeViewStatus view;
  CSignMessages messages;
};

TEST_F(SignMessagesTest, ClearSignSendsThreePacketsAndEmptiesOnlyNowShowing) {
  view.nowShowingTexts.push_back("HOM 3  VIS 0");
  view.scoreMode = 1;
  view.lastSpacer = " ";
  messages.ClearSign();
  EXPECT_EQ(sink.Bytes(), ClearSignPackets()) << HexPackets(sink.Bytes());
  for (const CRecordedPacket& packet : sink.packets) EXPECT_EQ(packet.comPort, 3);
  EXPECT_EQ(std::make_tuple(view.NowShowing(), view.scoreMode, view.lastSpacer),
            std::make_tuple("", 1, " "));

  // A size the four hex digits cannot hold is refused and nothing is sent.
  sink.packets.clear();
  EXPECT_FALSE(messages.BuildMemoryConfig(3, 0x10000));
  EXPECT_FALSE(messages.BuildMemoryConfig(3, -1));
  EXPECT_TRUE(sink.packets.empty());
}

// Team 1's score decides the spacer: one blank from 10 on, two below. It is
// sent only when it differs from the last one, and stored before it is sent.
TEST_F(SignMessagesTest, SpacerIsSentOnlyWhenItChanges) {
  const struct {
    int team1Score;
    const char* spacerBefore;
    int team, score;
    std::vector<Bytes> expected;
    const char* spacerAfter;
  } rows[] = {
      {10, "  ", 1, 10, {StringPacket('3', " "), StringPacket('1', " 10")}, " "},
      {11, " ", 1, 11, {StringPacket('1', " 11")}, " "},
      {12, "", 2, 5, {StringPacket('3', " "), StringPacket('2', " 5")}, " "},
      {9, " ", 1, 9, {StringPacket('3', "  "), StringPacket('1', " 9")}, "  "},
  };
  Texts spacers;  // lastSpacer as each packet goes out
  sink.onPacket = [&] { spacers.push_back(view.lastSpacer); };
  for (const auto& row : rows) {
    sink.packets.clear();
    spacers.clear();
    doc.team1Score = row.team1Score;
    view.lastSpacer = row.spacerBefore;
    messages.SendTeamScore(row.team, row.score);
    EXPECT_EQ(sink.Bytes(), row.expected) << row.team1Score << "\n" << HexPackets(sink.Bytes());
    EXPECT_EQ(spacers.front(), row.spacerAfter) << row.team1Score;
    EXPECT_EQ(view.lastSpacer, row.spacerAfter) << row.team1Score;
  }
}

TEST_F(SignMessagesTest, TheScoreLineIsBoundedWhateverTheAbbreviationsHold) {
  view.scoreMode = 1;
  doc.team1Abbrev = std::string(2000, 'A');
  messages.UpdateNowShowing();
  EXPECT_EQ(view.NowShowing(), std::string(999, 'A'));
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
    const CNoteFit fit = messages.SendNote();
    EXPECT_EQ(NoteFitNotice(fit), row.notice);
    const Bytes note = NotePacket('2', row.sent);
    char size[5];
    std::snprintf(size, sizeof size, "%04zX", note.size());
    EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{MemoryConfig(size), note, RunSequence()}))
        << row.note.substr(0, 20) << " " << row.size;
    EXPECT_EQ(doc.history, "  09:30:00 -- Note :: " + row.logged + "\n");
    EXPECT_EQ(view.NowShowing(), row.shown);
    EXPECT_EQ(doc.noteText, row.note) << "the document keeps the typed note";
  }
  EXPECT_EQ(std::make_tuple(view.scoreMode, view.lastSpacer), std::make_tuple(0, " "));
}

}  // namespace
