#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "sign/SignMessages.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/SignPackets.h"

namespace {

using Texts = std::vector<std::string>;

class SignMessagesTest : public ::testing::Test {
 protected:
  SignMessagesTest() : messages(doc, sink, view) {
    doc.comPort = 3;
    doc.SetClock([] {
      std::tm t{};
      t.tm_hour = 9;
      t.tm_min = 30;
      return t;
    });
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
  EXPECT_EQ(view.NowShowing(), "");
  EXPECT_EQ(view.scoreMode, 1);
  EXPECT_EQ(view.lastSpacer, " ");
}

TEST_F(SignMessagesTest, MemoryConfigSizeOutsideFourHexDigitsIsRefusedAndNothingSent) {
  EXPECT_FALSE(messages.BuildMemoryConfig(3, 0x10000));
  EXPECT_FALSE(messages.BuildMemoryConfig(3, -1));
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_TRUE(messages.BuildMemoryConfig(3, 0xFFFF));
  EXPECT_EQ(sink.Bytes(), std::vector<Bytes>{MemoryConfig("FFFF")});
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
      {9, "", 1, 9, {StringPacket('3', "  "), StringPacket('1', " 9")}, "  "},
      {12, " ", 2, 5, {StringPacket('2', " 5")}, " "},
      {12, "", 2, 5, {StringPacket('3', " "), StringPacket('2', " 5")}, " "},
      {9, " ", 1, 9, {StringPacket('3', "  "), StringPacket('1', " 9")}, "  "},
  };
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.team1Score = row.team1Score;
    view.lastSpacer = row.spacerBefore;
    messages.SendTeamScore(row.team, row.score);
    EXPECT_EQ(sink.Bytes(), row.expected) << row.team1Score << "\n" << HexPackets(sink.Bytes());
    EXPECT_EQ(view.lastSpacer, row.spacerAfter) << row.team1Score;
  }

  struct CSpacerWatcher : CPacketSink {
    explicit CSpacerWatcher(CFakeViewStatus& v) : view(v) {}
    void SendToSign(int, const unsigned char*, int) override { seen.push_back(view.lastSpacer); }
    CFakeViewStatus& view;
    Texts seen;
  } watcher(view);
  CSignMessages watched(doc, watcher, view);
  doc.team1Score = 4;
  view.lastSpacer = "";
  watched.SendSpacerString();
  EXPECT_EQ(watcher.seen, Texts{"  "});
}

TEST_F(SignMessagesTest, ScoreOperationsEchoTheScoreLineOnlyInScoreMode) {
  doc.team1Score = 13;
  doc.team2Score = 7;
  view.lastSpacer = " ";
  messages.SendTeamScore(1, 13);
  messages.UpdateNowShowing();
  EXPECT_TRUE(view.nowShowingTexts.empty()) << "a note on the sign keeps its Now Showing text";

  view.scoreMode = 1;
  messages.SendTeamScore(1, 13);
  EXPECT_EQ(view.nowShowingTexts, (Texts{"HOM 13  VIS 7", "HOM 13  VIS 7"}));  // spacer, score

  doc.team1Abbrev = std::string(2000, 'A');
  messages.UpdateNowShowing();
  EXPECT_EQ(view.NowShowing(), std::string(999, 'A')) << "the score line is bounded";
}

TEST_F(SignMessagesTest, ScoreboardSendsNinePacketsInOrder) {
  doc.team1NameColor = "Red";
  doc.team1ScoreColor = "Green";
  doc.team2NameColor = "Amber";
  doc.team2ScoreColor = "Yellow";
  doc.team1Score = 7;
  doc.team2Score = 12;
  view.scoreMode = 1;
  messages.SendScoreboard();
  EXPECT_EQ(sink.Bytes(), HomVisScoreboard("  ", " 7", " 12", "1238")) << HexPackets(sink.Bytes());
  for (const CRecordedPacket& packet : sink.packets) EXPECT_EQ(packet.comPort, 3);
  EXPECT_EQ(view.nowShowingTexts.front(), "") << "ClearSign empties the box first";
  EXPECT_EQ(view.NowShowing(), "HOM 7  VIS 12");
}

TEST_F(SignMessagesTest, NoteGoesOutInItsSizeWithHistoryAndNowShowing) {
  const struct {
    const char* size;
    Bytes packet;
    const char* hexSize;
  } rows[] = {{"Normal", NotePacket('2', "Hello"), "0026"},
              {"Giant", NotePacket('2', "\x12Hello\x11"), "0028"},
              {"giant", NotePacket('2', "Hello"), "0026"}};  // only "Giant" is giant
  doc.noteText = "Hello";
  doc.noteColor = "Green";
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.noteSize = row.size;
    messages.SendNote();
    EXPECT_EQ(sink.Bytes(),
              (std::vector<Bytes>{MemoryConfig(row.hexSize), row.packet, RunSequence()}))
        << row.size << "\n"
        << HexPackets(sink.Bytes());
  }

  sink.packets.clear();
  view.scoreMode = 1;
  view.lastSpacer = " ";
  doc.history.clear();
  doc.noteSize = "Normal";
  doc.noteText = "Half\r\ntime\r\n\r\n  soon";
  messages.SendNote();
  EXPECT_EQ(sink.packets.at(1).bytes, NotePacket('2', "Half time soon"));
  EXPECT_EQ(view.scoreMode, 0);
  EXPECT_EQ(view.lastSpacer, " ");
  EXPECT_EQ(doc.history, "  09:30:00 -- Note :: Half time soon\n");
  EXPECT_EQ(view.NowShowing(), "Half time soon");
  EXPECT_EQ(doc.noteText, "Half\r\ntime\r\n\r\n  soon") << "the document keeps the typed note";
}

TEST_F(SignMessagesTest, NowShowingShowsFourteenCharactersWholeAndCutsFifteen) {
  const std::pair<const char*, const char*> rows[] = {
      {"ABCDEFGHIJKLMN", "ABCDEFGHIJKLMN"},
      {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMN..."},
      {"", ""},
      {"  two  lines\n\nhere ", " two lines her..."}};
  for (const auto& [note, showing] : rows) {
    doc.noteText = note;
    messages.SendNote();
    EXPECT_EQ(view.NowShowing(), showing) << note;
  }
}

// 8000 extended characters encode to 16000 bytes, far past the 8200-byte
// note area: the sign gets whole characters up to the limit (8167 bytes of
// room: 4083 characters), while the history and Now Showing keep the note.
TEST_F(SignMessagesTest, LongNoteIsCutAtACharacterBoundaryToFitTheNoteArea) {
  std::string pairs;
  for (int i = 0; i < 4083; ++i) pairs += "\x08\x22";
  const struct {
    std::string note;
    const char* size;
    Bytes packet;
    const char* hexSize;
  } rows[] = {
      {std::string(8000, '\xE9'), "Normal", NotePacket('1', pairs), "2007"},
      {std::string(8000, '\xE9'), "Giant", NotePacket('1', "\x12" + pairs.substr(2) + "\x11"),
       "2007"},
      {"a" + std::string(7999, '\xE9'), "Normal", NotePacket('1', "a" + pairs), "2008"},
      {std::string(8000, 'x'), "Normal", NotePacket('1', std::string(8000, 'x')), "1F61"},
  };
  for (const auto& row : rows) {
    sink.packets.clear();
    doc.history.clear();
    doc.noteText = row.note;
    doc.noteSize = row.size;
    messages.SendNote();
    EXPECT_EQ(sink.Bytes(),
              (std::vector<Bytes>{MemoryConfig(row.hexSize), row.packet, RunSequence()}))
        << row.hexSize << " " << row.size;
    EXPECT_EQ(doc.history, "  09:30:00 -- Note :: " + row.note + "\n");
    EXPECT_EQ(view.NowShowing(), row.note.substr(0, 14) + "...");
  }
}

}  // namespace
