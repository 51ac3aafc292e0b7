#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/MessageBoxSeam.h"
#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
#include "tests/support/FixedClock.h"
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

class ScoreboardGameTest : public ::testing::Test {
 protected:
  ScoreboardGameTest() : game(doc, sink, form, form) {
    doc.SetClock(FixedClock(12, 34, 56));
    game.ResetForm();
  }

  // Types the abbreviations and starts a game (New Game sends the
  // scoreboard and only then clears the history); forgets what was sent.
  void StartGame() {
    game.TypeTeam1("HOM");
    game.TypeTeam2("VIS");
    const std::string history = doc.history;
    sink.onPacket = [&] { EXPECT_EQ(doc.history, history) << "kept until sent"; };
    game.NewGame();
    sink.onPacket = nullptr;
    EXPECT_EQ(sink.Bytes(), HomVisScoreboard("  ", " 0", " 0")) << HexPackets(sink.Bytes());
    EXPECT_EQ(doc.history, "");
    EXPECT_EQ(game.State().team1ScoreBox + "/" + game.State().team2ScoreBox, "0/0");
    EXPECT_EQ(game.State().nowShowing, "HOM 0  VIS 0");
    EXPECT_GT(form.refreshes, 0) << "each Now Showing change refreshes the form";
    ASSERT_TRUE(game.State().gameControlsEnabled);
    sink.packets.clear();
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CFormLog form;
  CScoreboardGame game;
};

// Start-up selects the first note list entry that begins with the
// document's value, whatever its case, and leaves the selection alone when
// none does; selecting by program changes no field.
TEST_F(ScoreboardGameTest, StartUpLeavesOnlyAbbreviationsAndNewGameUsable) {
  doc.history = "  01:00:00 -- OLD ::  3\n";
  doc.noteColor = "dim";
  doc.noteSize = "g";
  game.ResetForm();
  const CFormState& state = game.State();
  EXPECT_EQ(std::make_tuple(state.gameControlsEnabled, state.abbreviationBoxesEnabled, doc.history),
            std::make_tuple(false, true, ""));
  EXPECT_EQ(state.noteColorSelection + "/" + state.noteSizeSelection + "/" + doc.noteColor,
            "Dim Green/Giant/dim");
  EXPECT_EQ(state.team1Box + state.team2Box + state.team1ScoreBox + state.team2ScoreBox +
                state.noteBox + state.nowShowing,
            "")
      << "score boxes start blank, not at 0";
  doc.noteColor = "Purple";
  doc.noteSize = "Huge";
  game.ResetForm();
  EXPECT_EQ(state.noteColorSelection + "/" + state.noteSizeSelection, "Dim Green/Giant");
  // Every game control is disabled: using any of them does nothing.
  game.PressAdd(1, 6);
  game.SendScore();
  game.TypeNote("Half time");
  game.SelectNoteColor("Green");
  game.ClearNote();
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_EQ(std::make_tuple(doc.team1Score, doc.history, state.noteBox, doc.noteColor),
            std::make_tuple(0, "", "", "Purple"));
  EXPECT_TRUE(form.events.empty());
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

TEST_F(ScoreboardGameTest, NoteFieldsFollowTheOperatorsChoiceAndClearNoteEmptiesTheNote) {
  StartGame();
  game.SelectNoteColor("Dim Green");
  game.SelectNoteSize("Giant");
  game.SelectNoteColor("Purple");  // not an entry: ignored
  game.SelectNoteSize("Huge");
  EXPECT_EQ(game.State().noteColorSelection + "/" + game.State().noteSizeSelection,
            "Dim Green/Giant");
  game.TypeTeam1("HOME");
  EXPECT_EQ(game.State().team1Box, "HOM");
  game.TypeNote(std::string(8001, 'x'));
  EXPECT_EQ(doc.noteText, std::string(8000, 'x'));
  EXPECT_EQ(game.State().noteBox, doc.noteText);

  // Clear Note empties the note itself: the next Send Note sends no text.
  game.ClearNote();
  EXPECT_EQ(game.State().noteBox + doc.noteText, "");
  EXPECT_EQ(form.events, Texts{"focus note"});
  game.SendNote();
  EXPECT_EQ(sink.packets.at(1).bytes, NotePacket('5', "\x12\x11"));
  EXPECT_EQ(doc.history, "  12:34:56 -- Note :: \n");
}

// Which controls each state enables, seen from inside the send (at every
// packet) and after it. The USB road lets clicks through between packets:
// the disabled controls must swallow them.
TEST_F(ScoreboardGameTest, EnablingStatesAndClicksDuringASend) {
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
    game.TypeTeam1("HOM");
    sink.packets.clear();
    sink.onPacket = [&] {
      EXPECT_EQ(game.State().gameControlsEnabled, row.gameDuring) << row.action;
      EXPECT_EQ(game.State().abbreviationBoxesEnabled, row.boxesDuring) << row.action;
      if (!row.gameDuring) {
        game.PressAdd(1, 6);
        game.PressSubtract(2, 1);
        game.SendNote();
      }
      game.TypeTeam1("XXX");
    };
    row.run();
    sink.onPacket = nullptr;
    EXPECT_FALSE(sink.packets.empty()) << row.action;
    EXPECT_TRUE(game.State().gameControlsEnabled && game.State().abbreviationBoxesEnabled)
        << row.action;
    EXPECT_EQ(doc.team1Score, 0) << row.action;
    EXPECT_EQ(game.State().team1Box, row.boxesDuring ? "XXX" : "HOM") << row.action;
  }
  EXPECT_EQ(doc.history.find("::  6"), std::string::npos);
}

}  // namespace
