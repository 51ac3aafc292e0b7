#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/RecordingSink.h"

namespace {

using Bytes = std::vector<unsigned char>;

const Bytes kRunSequence = Framed(
    "\x01Z00\x02"
    "E.SLA\x04");
const Bytes kEmptyText = Framed(
    "\x01Z00\x02"
    "AA\x04");

Bytes MemoryConfig(const std::string& hexSize) {
  return Framed(
      "\x01Z00\x02"
      "E$AAU" +
      hexSize + "FF001BL000300002BL000300003BL00030000\x04");
}

Bytes StringPacket(char label, const std::string& text) {
  return Framed(std::string("\x01Z00\x02G") + label + text + "\x04");
}

class SignMessagesTest : public ::testing::Test {
 protected:
  SignMessagesTest() : messages(doc, sink, view) {
    doc.comPort = 3;
    doc.SetClock([] {
      std::tm t{};
      t.tm_hour = 9;
      t.tm_min = 30;
      t.tm_sec = 0;
      return t;
    });
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CFakeViewStatus view;
  CSignMessages messages;
};

TEST_F(SignMessagesTest, ClearSignSendsConfigEmptyTextRunSequenceAndEmptiesNowShowing) {
  view.nowShowingTexts.push_back("HOM 3  VIS 0");
  view.scoreMode = 1;
  view.lastSpacer = " ";
  messages.ClearSign();

  EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{MemoryConfig("001C"), kEmptyText, kRunSequence}))
      << HexPackets(sink.Bytes());
  for (const CRecordedPacket& packet : sink.packets) EXPECT_EQ(packet.comPort, 3);
  EXPECT_EQ(view.NowShowing(), "");
  EXPECT_EQ(view.scoreMode, 1) << "ClearSign leaves scoreMode alone";
  EXPECT_EQ(view.lastSpacer, " ") << "ClearSign leaves lastSpacer alone";
}

// The sink cannot report failure; a sink that loses every packet must still
// be offered all three, and the box still emptied.
TEST_F(SignMessagesTest, ClearSignOffersEveryPacketEvenWhenTheSinkLosesThem) {
  struct CLosingSink : CPacketSink {
    void SendToSign(int, const unsigned char*, int length) override { lengths.push_back(length); }
    std::vector<int> lengths;
  } losing;
  CSignMessages lossy(doc, losing, view);
  view.nowShowingTexts.push_back("note text");
  lossy.ClearSign();
  EXPECT_EQ(losing.lengths, (std::vector<int>{72, 28, 31}));
  EXPECT_EQ(view.NowShowing(), "");
}

TEST_F(SignMessagesTest, MemoryConfigSizeOutsideFourHexDigitsIsRefusedAndNothingSent) {
  EXPECT_FALSE(messages.BuildMemoryConfig(3, 0x10000));
  EXPECT_FALSE(messages.BuildMemoryConfig(3, -1));
  EXPECT_TRUE(sink.packets.empty());

  EXPECT_TRUE(messages.BuildMemoryConfig(3, 0xFFFF));
  ASSERT_EQ(sink.packets.size(), 1u);
  EXPECT_EQ(sink.packets[0].bytes, MemoryConfig("FFFF")) << HexBytes(sink.packets[0].bytes);
}

TEST_F(SignMessagesTest, ScoreStringTextsFollowTheOneSpacePrefixRule) {
  const struct {
    int score;
    const char* text;
  } rows[] = {{0, " 0"}, {7, " 7"}, {42, " 42"}, {99, " 99"}, {100, "100"}, {999, "999"}};
  for (const auto& row : rows) {
    sink.packets.clear();
    messages.SendScoreString('1', row.score);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0].bytes, StringPacket('1', row.text))
        << row.score << ": " << HexBytes(sink.packets[0].bytes);
  }
}

TEST_F(SignMessagesTest, TeamOneScoreSevenIsThirtyBytes) {
  messages.SendScoreString('1', 7);
  ASSERT_EQ(sink.packets.size(), 1u);
  EXPECT_EQ(sink.packets[0].bytes,
            Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x47, 0x31, 0x20, 0x37, 0x04}));
  EXPECT_EQ(sink.packets[0].bytes.size(), 30u);
}

// Each row: team 1's score in the document, lastSpacer before, the team that
// scored and its score; the STRING packets expected, in order.
TEST_F(SignMessagesTest, SpacerIsSentOnlyWhenItChanges) {
  const struct {
    const char* name;
    int team1Score;
    const char* lastSpacerBefore;
    int team;
    int score;
    std::vector<Bytes> expected;
    const char* lastSpacerAfter;
  } rows[] = {
      {"team 1 from 9 to 10",
       10,
       "  ",
       1,
       10,
       {StringPacket('3', " "), StringPacket('1', " 10")},
       " "},
      {"team 1 from 10 to 11", 11, " ", 1, 11, {StringPacket('1', " 11")}, " "},
      {"team 1 at 9", 9, "", 1, 9, {StringPacket('3', "  "), StringPacket('1', " 9")}, "  "},
      {"team 2 with team 1 at 12", 12, " ", 2, 5, {StringPacket('2', " 5")}, " "},
      {"team 2 while lastSpacer is empty",
       12,
       "",
       2,
       5,
       {StringPacket('3', " "), StringPacket('2', " 5")},
       " "},
      {"team 1 drops from 10 to 9",
       9,
       " ",
       1,
       9,
       {StringPacket('3', "  "), StringPacket('1', " 9")},
       "  "},
  };
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.team1Score = row.team1Score;
    view.lastSpacer = row.lastSpacerBefore;
    messages.SendTeamScore(row.team, row.score);
    EXPECT_EQ(sink.Bytes(), row.expected) << row.name << "\n" << HexPackets(sink.Bytes());
    EXPECT_EQ(view.lastSpacer, row.lastSpacerAfter) << row.name;
  }
}

TEST_F(SignMessagesTest, SpacerPacketLengthsAreTwentyNineAndThirty) {
  doc.team1Score = 10;
  messages.SendSpacerString();
  doc.team1Score = 9;
  messages.SendSpacerString();
  ASSERT_EQ(sink.packets.size(), 2u);
  EXPECT_EQ(sink.packets[0].bytes.size(), 29u);
  EXPECT_EQ(sink.packets[1].bytes.size(), 30u);
}

TEST_F(SignMessagesTest, LastSpacerIsStoredBeforeTheSpacerPacketIsSent) {
  struct CSpacerWatcher : CPacketSink {
    explicit CSpacerWatcher(CFakeViewStatus& v) : view(v) {}
    void SendToSign(int, const unsigned char*, int) override { seen.push_back(view.lastSpacer); }
    CFakeViewStatus& view;
    std::vector<std::string> seen;
  } watcher(view);
  CSignMessages watched(doc, watcher, view);
  doc.team1Score = 4;
  watched.SendSpacerString();
  EXPECT_EQ(watcher.seen, std::vector<std::string>{"  "});
}

TEST_F(SignMessagesTest, ScoreOperationsEchoTheScoreLineOnlyInScoreMode) {
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  doc.team1Score = 13;
  doc.team2Score = 7;
  view.lastSpacer = " ";

  view.scoreMode = 0;
  messages.SendTeamScore(1, 13);
  messages.UpdateNowShowing();
  EXPECT_TRUE(view.nowShowingTexts.empty()) << "a note on the sign keeps its Now Showing text";

  view.scoreMode = 1;
  messages.SendTeamScore(1, 13);
  EXPECT_EQ(view.nowShowingTexts,
            (std::vector<std::string>{"HOM 13  VIS 7", "HOM 13  VIS 7"}));  // spacer, score
}

TEST_F(SignMessagesTest, ScoreLineIsBoundedWhateverTheAbbreviationsHold) {
  doc.team1Abbrev = std::string(2000, 'A');
  doc.team2Abbrev = "VIS";
  view.scoreMode = 1;
  messages.UpdateNowShowing();
  EXPECT_EQ(view.NowShowing(), std::string(999, 'A'));
}

TEST_F(SignMessagesTest, ScoreboardSendsNinePacketsInOrder) {
  doc.team1Abbrev = "HOM";
  doc.team2Abbrev = "VIS";
  doc.team1NameColor = "Red";
  doc.team1ScoreColor = "Green";
  doc.team2NameColor = "Amber";
  doc.team2ScoreColor = "Yellow";
  doc.team1Score = 7;
  doc.team2Score = 12;
  view.scoreMode = 1;
  view.lastSpacer = "";

  messages.SendScoreboard();

  const Bytes scoreboard =
      Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x62, 0x1E,
              0x31, 0x1C, 0x31, 0x48, 0x4F, 0x4D, 0x1C, 0x32, 0x10, 0x31, 0x10,
              0x33, 0x1C, 0x33, 0x56, 0x49, 0x53, 0x1C, 0x38, 0x10, 0x32, 0x04});
  ASSERT_EQ(scoreboard.size(), 53u);
  const std::vector<Bytes> expected = {
      MemoryConfig("001C"),
      kEmptyText,
      kRunSequence,
      MemoryConfig("0035"),
      StringPacket('3', "  "),
      StringPacket('1', " 7"),
      StringPacket('2', " 12"),
      scoreboard,
      kRunSequence,
  };
  EXPECT_EQ(sink.Bytes(), expected) << HexPackets(sink.Bytes());
  for (const CRecordedPacket& packet : sink.packets) EXPECT_EQ(packet.comPort, 3);
  EXPECT_EQ(view.NowShowing(), "HOM 7  VIS 12");
  EXPECT_EQ(view.nowShowingTexts.front(), "") << "ClearSign empties the box first";
  EXPECT_EQ(doc.team1Abbrev, "HOM");
}

TEST_F(SignMessagesTest, ScoreboardEncodesACopyOfEachAbbreviation) {
  doc.team1Abbrev = "\xC9T\xC9";  // ÉTÉ
  doc.team2Abbrev = "VIS";
  messages.SendScoreboard();
  ASSERT_EQ(sink.packets.size(), 9u);
  EXPECT_EQ(sink.packets[3].bytes, MemoryConfig("0037"));
  const Bytes& scoreboard = sink.packets[7].bytes;
  ASSERT_EQ(scoreboard.size(), 55u);
  EXPECT_EQ(Bytes(scoreboard.begin() + 34, scoreboard.begin() + 39),
            (Bytes{0x08, 0x30, 0x54, 0x08, 0x30}));
  EXPECT_EQ(doc.team1Abbrev, "\xC9T\xC9") << "the document keeps the typed text";
}

TEST_F(SignMessagesTest, NoteHelloNormalAndGiant) {
  doc.noteText = "Hello";
  doc.noteColor = "Green";
  const Bytes normal = Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x61, 0x1C,
                               0x32, 0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x04});
  const Bytes giant = Framed({0x01, 0x5A, 0x30, 0x30, 0x02, 0x41, 0x41, 0x1B, 0x20, 0x61,
                              0x1C, 0x32, 0x12, 0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x11, 0x04});
  const struct {
    const char* size;
    Bytes packet;
    const char* hexSize;
  } rows[] = {{"Normal", normal, "0026"}, {"Giant", giant, "0028"}, {"giant", normal, "0026"}};
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.noteSize = row.size;
    messages.SendNote();
    EXPECT_EQ(sink.Bytes(),
              (std::vector<Bytes>{MemoryConfig(row.hexSize), row.packet, kRunSequence}))
        << row.size << "\n"
        << HexPackets(sink.Bytes());
  }
  EXPECT_EQ(normal.size(), 38u);
  EXPECT_EQ(giant.size(), 40u);
}

TEST_F(SignMessagesTest, NoteSetsScoreModeHistoryAndNowShowing) {
  view.scoreMode = 1;
  view.lastSpacer = " ";
  doc.noteText = "Half\r\ntime\r\n\r\n  soon";
  messages.SendNote();
  EXPECT_EQ(view.scoreMode, 0);
  EXPECT_EQ(view.lastSpacer, " ") << "a note leaves lastSpacer alone";
  EXPECT_EQ(doc.history, "  09:30:00 -- Note :: Half time soon\n");
  EXPECT_EQ(view.nowShowingTexts, (std::vector<std::string>{"Half time soon", "Half time soon"}));
  ASSERT_EQ(sink.packets.size(), 3u);
  EXPECT_EQ(sink.packets[1].bytes, Framed("\x01Z00\x02"
                                          "AA\x1B a\x1C"
                                          "1Half time soon\x04"));
  EXPECT_EQ(doc.noteText, "Half\r\ntime\r\n\r\n  soon") << "the document keeps the typed note";
}

TEST_F(SignMessagesTest, NowShowingShowsFourteenCharactersWholeAndCutsFifteen) {
  const struct {
    const char* note;
    const char* nowShowing;
  } rows[] = {{"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN"},
              {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMN..."},
              {"", ""},
              {"  two  lines\n\nhere ", " two lines her..."}};
  for (const auto& row : rows) {
    doc.noteText = row.note;
    messages.SendNote();
    EXPECT_EQ(view.NowShowing(), row.nowShowing) << row.note;
  }
}

TEST_F(SignMessagesTest, EmptyNoteIsSentAsAPacketWithoutText) {
  doc.noteText = "";
  messages.SendNote();
  ASSERT_EQ(sink.packets.size(), 3u);
  EXPECT_EQ(sink.packets[1].bytes.size(), 33u);
  doc.noteSize = "Giant";
  messages.SendNote();
  ASSERT_EQ(sink.packets.size(), 6u);
  EXPECT_EQ(sink.packets[4].bytes.size(), 35u);
}

// 8000 extended characters encode to 16000 bytes, far past the 8200-byte
// note packet: the sign gets whole characters up to the limit, while the
// history and the Now Showing box keep the whole note.
TEST_F(SignMessagesTest, LongExtendedNoteIsCutAtACharacterBoundaryToFitTheNoteArea) {
  const std::string eacute(8000, '\xE9');
  const struct {
    const char* name;
    std::string note;
    const char* size;
    std::size_t packetLength;
    const char* hexSize;
  } rows[] = {
      // 8200 - 33 = 8167 bytes of room: 4083 whole characters, one byte spare.
      {"8000 x é, Normal", eacute, "Normal", 8199, "2007"},
      {"8000 x é, Giant", eacute, "Giant", 8199, "2007"},
      {"a + 7999 x é, Normal", "a" + std::string(7999, '\xE9'), "Normal", 8200, "2008"},
  };
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.history.clear();
    view.nowShowingTexts.clear();
    doc.noteText = row.note;
    doc.noteSize = row.size;
    messages.SendNote();

    ASSERT_EQ(sink.packets.size(), 3u) << row.name;
    EXPECT_EQ(sink.packets[0].bytes, MemoryConfig(row.hexSize)) << row.name;
    const Bytes& note = sink.packets[1].bytes;
    ASSERT_EQ(note.size(), row.packetLength) << row.name;
    EXPECT_EQ(note.back(), 0x04) << row.name;
    const bool giant = std::string(row.size) == "Giant";
    const std::size_t textEnd = note.size() - (giant ? 2 : 1);
    if (giant) {
      EXPECT_EQ(note[textEnd], 0x11) << row.name;
    }
    // The text ends with a whole 08 22 pair.
    EXPECT_EQ(note[textEnd - 2], 0x08) << row.name;
    EXPECT_EQ(note[textEnd - 1], 0x22) << row.name;
    EXPECT_EQ(sink.packets[2].bytes, kRunSequence) << row.name;

    EXPECT_EQ(doc.history, "  09:30:00 -- Note :: " + row.note + "\n") << row.name;
    EXPECT_EQ(view.NowShowing(), row.note.substr(0, 14) + "...") << row.name;
  }
}

TEST_F(SignMessagesTest, LongAsciiNoteIsSentWhole) {
  doc.noteText = std::string(8000, 'x');
  messages.SendNote();
  ASSERT_EQ(sink.packets.size(), 3u);
  EXPECT_EQ(sink.packets[1].bytes.size(), 8033u);
  EXPECT_EQ(sink.packets[0].bytes, MemoryConfig("1F61"));
}

}  // namespace
