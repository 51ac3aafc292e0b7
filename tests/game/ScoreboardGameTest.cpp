#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/MessageBoxSeam.h"
#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
#include "tests/support/SignPackets.h"

namespace {

using Texts = std::vector<std::string>;

// What happened at the form, in order, so that the message box and the
// focus move can be checked against each other.
struct CFormLog : CMessageBoxSeam, CFormView {
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    events.push_back("message " + text + " / " + caption);
    EXPECT_EQ(icon, Icon::None);
  }
  void RefreshControls() override { ++refreshes; }
  void FocusTeam1Abbreviation() override { events.push_back("focus team 1"); }
  void FocusNoteBox() override { events.push_back("focus note"); }

  Texts events;
  int refreshes = 0;
};

// Lets a test act at every packet, as the USB road's event pump lets a
// click through between the packets of a send.
struct CPacketHook : CRecordingSink {
  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    CRecordingSink::SendToSign(comPort, bytes, length);
    if (onPacket) onPacket();
  }
  std::function<void()> onPacket;
};

const Texts kAskForAbbreviations = {"message Enter Team Abbreviations / Entry Required",
                                    "focus team 1"};

class ScoreboardGameTest : public ::testing::Test {
 protected:
  ScoreboardGameTest() : game(doc, sink, form, form) {
    doc.SetClock([] {
      std::tm t{};
      t.tm_hour = 12;
      t.tm_min = 34;
      t.tm_sec = 56;
      return t;
    });
    game.ResetForm();
  }

  // Types the abbreviations and starts a game; forgets what was sent.
  void StartGame() {
    game.TypeTeam1("HOM");
    game.TypeTeam2("VIS");
    game.NewGame();
    ASSERT_TRUE(game.State().gameControlsEnabled);
    sink.packets.clear();
  }

  CRavelleDoc doc;
  CPacketHook sink;
  CFormLog form;
  CScoreboardGame game;
};

TEST_F(ScoreboardGameTest, StartUpLeavesOnlyAbbreviationsAndNewGameUsable) {
  doc.history = "  01:00:00 -- OLD ::  3\n";
  game.ResetForm();
  const CFormState& state = game.State();
  EXPECT_FALSE(state.gameControlsEnabled);
  EXPECT_TRUE(state.abbreviationBoxesEnabled);
  EXPECT_EQ(doc.history, "");
  for (const std::string* box : {&state.team1Box, &state.team2Box, &state.team1ScoreBox,
                                 &state.team2ScoreBox, &state.noteBox, &state.nowShowing}) {
    EXPECT_EQ(*box, "") << "score boxes start blank, not at 0";
  }
  // Every game control is disabled: pressing any of them does nothing.
  game.PressAdd(1, 6);
  game.PressSubtract(2, 1);
  game.SendScore();
  game.SendNote();
  game.TypeNote("Half time");
  game.SelectNoteColor("Green");
  game.ClearNote();
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_EQ(std::make_tuple(doc.team1Score, doc.history, state.noteBox, doc.noteColor),
            std::make_tuple(0, "", "", "Red"));
  EXPECT_TRUE(form.events.empty());
  game.ClearSign();  // the one control that works in every state
  EXPECT_EQ(sink.Bytes(), ClearSignPackets());
}

TEST_F(ScoreboardGameTest, NewGameSendsTheScoreboardAndStartsTheGame) {
  game.TypeTeam1("HOM");
  game.TypeTeam2("VIS");
  doc.history = "  11:00:00 -- OLD ::  6\n";
  sink.onPacket = [this] {
    EXPECT_EQ(doc.history, "  11:00:00 -- OLD ::  6\n") << "kept until sent";
  };
  game.NewGame();
  EXPECT_EQ(sink.Bytes(), HomVisScoreboard("  ", " 0", " 0")) << HexPackets(sink.Bytes());
  EXPECT_EQ(doc.history, "");
  EXPECT_EQ(game.State().team1ScoreBox + "/" + game.State().team2ScoreBox, "0/0");
  EXPECT_EQ(game.State().nowShowing, "HOM 0  VIS 0");
  EXPECT_GT(form.refreshes, 0) << "each Now Showing change refreshes the form";
  EXPECT_TRUE(game.State().gameControlsEnabled);
  EXPECT_TRUE(form.events.empty());
}

// New Game zeroes the scores and goes back to waiting; Send Score keeps the
// game running. Neither sends anything nor touches the history.
TEST_F(ScoreboardGameTest, AnEmptyAbbreviationBoxAsksForAbbreviationsAndSendsNothing) {
  for (bool newGame : {true, false}) {
    StartGame();
    game.PressAdd(1, 6);
    const std::string history = doc.history;
    sink.packets.clear();
    form.events.clear();
    game.TypeTeam2("");
    newGame ? game.NewGame() : game.SendScore();
    EXPECT_EQ(form.events, kAskForAbbreviations);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_EQ(doc.history, history);
    EXPECT_EQ(doc.team2Abbrev, "") << "the box is taken before the check";
    EXPECT_EQ(doc.team1Score, newGame ? 0 : 6);
    EXPECT_EQ(game.State().team1ScoreBox, newGame ? "0" : "6");
    EXPECT_EQ(game.State().gameControlsEnabled, !newGame);
    EXPECT_TRUE(game.State().abbreviationBoxesEnabled);
    game.PressAdd(1, 1);
    EXPECT_EQ(sink.packets.empty(), newGame) << "score buttons work only in a game";
  }
}

// A press that would leave 0-999 changes nothing and writes no history, but
// the score is sent again. A note on the sign stays in Now Showing.
TEST_F(ScoreboardGameTest, PressesAtTheLimits) {
  const struct {
    int team, start, amount, expected;  // amount < 0: the "-1" button
    const char* history;
    Bytes lastPacket;
  } rows[] = {
      {1, 998, 2, 998, "", StringPacket('1', "998")},
      {1, 997, 2, 999, "  12:34:56 -- HOM ::  2\n", StringPacket('1', "999")},
      {2, 994, 6, 994, "", StringPacket('2', "994")},
      {2, 0, -1, 0, "", StringPacket('2', " 0")},
      {1, 1, -1, 0, "  12:34:56 -- HOM :: -1\n", StringPacket('1', " 0")},
  };
  StartGame();
  game.TypeNote("Half time");
  game.SendNote();
  game.TypeTeam1("NEW");  // history names the abbreviation last sent, not the box
  for (const auto& row : rows) {
    int& score = row.team == 1 ? doc.team1Score : doc.team2Score;
    score = row.start;
    doc.history.clear();
    row.amount > 0 ? game.PressAdd(row.team, row.amount) : game.PressSubtract(row.team, 1);
    EXPECT_EQ(score, row.expected) << row.start << " " << row.amount;
    EXPECT_EQ(doc.history, row.history) << row.start << " " << row.amount;
    ASSERT_FALSE(sink.packets.empty());
    EXPECT_EQ(sink.packets.back().bytes, row.lastPacket) << HexBytes(sink.packets.back().bytes);
  }
  EXPECT_EQ(game.State().nowShowing, "Half time");
}

TEST_F(ScoreboardGameTest, ClearNoteThenSendNoteSendsAnEmptyNote) {
  StartGame();
  game.TypeNote("Old note");
  game.ClearNote();
  EXPECT_EQ(game.State().noteBox + doc.noteText, "");
  EXPECT_EQ(form.events, Texts{"focus note"});
  game.SendNote();
  EXPECT_EQ(sink.Bytes(),
            (std::vector<Bytes>{MemoryConfig("0021"), NotePacket('1', ""), RunSequence()}));
  EXPECT_EQ(doc.history, "  12:34:56 -- Note :: \n");
}

TEST_F(ScoreboardGameTest, NoteFieldsFollowTheOperatorsChoiceWithinTheirLimits) {
  StartGame();
  game.SelectNoteColor("Dim Green");
  game.SelectNoteSize("Giant");
  game.SelectNoteColor("Purple");  // not an entry: ignored
  game.SelectNoteSize("Huge");
  EXPECT_EQ(doc.noteColor + "/" + doc.noteSize, "Dim Green/Giant");
  EXPECT_EQ(game.State().noteColorSelection + "/" + game.State().noteSizeSelection,
            "Dim Green/Giant");
  game.TypeNote("Hi");
  game.SendNote();
  EXPECT_EQ(sink.packets.at(1).bytes, NotePacket('5', "\x12Hi\x11"));

  game.TypeTeam1("HOME");
  EXPECT_EQ(game.State().team1Box, "HOM");
  game.TypeNote(std::string(8001, 'x'));
  EXPECT_EQ(doc.noteText, std::string(8000, 'x'));
  EXPECT_EQ(game.State().noteBox, doc.noteText);
}

// Start-up selects the first list entry that begins with the document's
// value, whatever its case, and leaves the selection alone when none does.
TEST_F(ScoreboardGameTest, StartUpSelectsTheNoteListsByPrefix) {
  const Texts rows[] = {{"Red", "Normal", "Red/Normal"},
                        {"dim", "g", "Dim Green/Giant"},
                        {"YELLOW", "normal", "Yellow/Normal"},
                        {"Purple", "Huge", "Yellow/Normal"}};
  for (const Texts& row : rows) {
    doc.noteColor = row[0];
    doc.noteSize = row[1];
    game.ResetForm();
    EXPECT_EQ(game.State().noteColorSelection + "/" + game.State().noteSizeSelection, row[2]);
    EXPECT_EQ(doc.noteColor, row[0]) << "selection by program changes no field";
  }
}

// Which controls each state enables, seen from inside the send (at every
// packet) and after it.
TEST_F(ScoreboardGameTest, EnablingStates) {
  const struct {
    const char* action;
    std::function<void()> run;
    bool gameDuring, boxesDuring;
  } rows[] = {
      {"Send Score", [&] { game.SendScore(); }, false, false},
      {"Send Note", [&] { game.SendNote(); }, false, false},
      {"New Game", [&] { game.NewGame(); }, false, true},
      {"score press", [&] { game.PressAdd(2, 1); }, true, true},
      {"Clear LED Sign", [&] { game.ClearSign(); }, true, true},
  };
  StartGame();
  for (const auto& row : rows) {
    int packets = 0;
    sink.onPacket = [&] {
      ++packets;
      EXPECT_EQ(game.State().gameControlsEnabled, row.gameDuring) << row.action;
      EXPECT_EQ(game.State().abbreviationBoxesEnabled, row.boxesDuring) << row.action;
    };
    row.run();
    EXPECT_GT(packets, 0) << row.action;
    EXPECT_TRUE(game.State().gameControlsEnabled && game.State().abbreviationBoxesEnabled)
        << row.action;
  }
}

// The USB road lets clicks through between packets; the disabled controls
// must swallow them. New Game leaves the abbreviation boxes open.
TEST_F(ScoreboardGameTest, ClicksDuringAFullSendDoNothing) {
  StartGame();
  const struct {
    void (CScoreboardGame::*send)();
    const char* team1BoxAfter;
  } rows[] = {{&CScoreboardGame::SendScore, "HOM"},
              {&CScoreboardGame::SendNote, "HOM"},
              {&CScoreboardGame::NewGame, "XXX"}};
  for (const auto& row : rows) {
    game.TypeTeam1("HOM");
    sink.onPacket = [&] {
      game.PressAdd(1, 6);
      game.PressSubtract(2, 1);
      game.SendNote();
      game.TypeTeam1("XXX");
    };
    (game.*row.send)();
    sink.onPacket = nullptr;
    EXPECT_EQ(doc.team1Score, 0);
    EXPECT_EQ(game.State().team1Box, row.team1BoxAfter);
  }
  EXPECT_EQ(doc.history.find("::  6"), std::string::npos);
}

}  // namespace
