#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "app/MessageBoxSeam.h"
#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
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

// The nine packets of a full scoreboard of 'HOM' and 'VIS' in red at 0 : 0.
std::vector<Bytes> HomVisScoreboardAtNil() {
  return {MemoryConfig("001C"),
          kEmptyText,
          kRunSequence,
          MemoryConfig("0035"),
          StringPacket('3', "  "),
          StringPacket('1', " 0"),
          StringPacket('2', " 0"),
          Framed("\x01Z00\x02"
                 "AA\x1B b\x1E"
                 "1\x1C"
                 "1HOM\x1C"
                 "1\x10"
                 "1\x10"
                 "3\x1C"
                 "1VIS\x1C"
                 "1\x10"
                 "2\x04"),
          kRunSequence};
}

// What happened at the form, in order, so that the message box and the
// focus move can be checked against each other.
struct CFormLog : CMessageBoxSeam, CFormView {
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    events.push_back("message " + text + " / " + caption);
    icons.push_back(icon);
  }
  void RefreshControls() override { ++refreshes; }
  void FocusTeam1Abbreviation() override { events.push_back("focus team 1"); }
  void FocusNoteBox() override { events.push_back("focus note"); }

  std::vector<std::string> events;
  std::vector<Icon> icons;
  int refreshes = 0;
};

// A sink that lets a test act at every packet, as the USB road's event pump
// lets a click through between the packets of a send.
struct CPacketHook : CRecordingSink {
  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    CRecordingSink::SendToSign(comPort, bytes, length);
    if (onPacket) onPacket();
  }
  std::function<void()> onPacket;
};

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
  void StartGame(const std::string& team1 = "HOM", const std::string& team2 = "VIS") {
    game.TypeTeam1(team1);
    game.TypeTeam2(team2);
    game.NewGame();
    ASSERT_TRUE(game.State().gameControlsEnabled);
    sink.packets.clear();
  }

  // Presses a team's score buttons until the score reaches target.
  void PressUpTo(int team, int target) {
    int& score = team == 1 ? doc.team1Score : doc.team2Score;
    while (score + 6 <= target) game.PressAdd(team, 6);
    while (score < target) game.PressAdd(team, 1);
    sink.packets.clear();
    doc.history.clear();
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
  EXPECT_EQ(state.noteColorSelection, "Red");
  EXPECT_EQ(state.noteSizeSelection, "Normal");

  // Every game control is disabled: pressing any of them does nothing.
  game.PressAdd(1, 6);
  game.PressSubtract(2, 1);
  game.SendScore();
  game.SendNote();
  game.TypeNote("Half time");
  game.SelectNoteColor("Green");
  game.ClearNote();
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_EQ(doc.team1Score, 0);
  EXPECT_EQ(doc.history, "");
  EXPECT_EQ(state.noteBox, "");
  EXPECT_EQ(doc.noteColor, "Red");
  EXPECT_TRUE(form.events.empty());
}

TEST_F(ScoreboardGameTest, NewGameSendsTheScoreboardAndStartsTheGame) {
  game.TypeTeam1("HOM");
  game.TypeTeam2("VIS");
  doc.history = "  11:00:00 -- OLD ::  6\n";
  sink.onPacket = [this] {
    // The history of the old game is kept until the scoreboard is out.
    EXPECT_EQ(doc.history, "  11:00:00 -- OLD ::  6\n");
  };
  game.NewGame();

  EXPECT_EQ(sink.Bytes(), HomVisScoreboardAtNil()) << HexPackets(sink.Bytes());
  EXPECT_EQ(doc.history, "");
  EXPECT_EQ(doc.team1Abbrev, "HOM");
  EXPECT_EQ(doc.team2Abbrev, "VIS");
  EXPECT_EQ(game.State().team1ScoreBox, "0");
  EXPECT_EQ(game.State().team2ScoreBox, "0");
  EXPECT_EQ(game.State().nowShowing, "HOM 0  VIS 0");
  EXPECT_EQ(game.GetScoreMode(), 1);
  EXPECT_TRUE(game.State().gameControlsEnabled);
  EXPECT_TRUE(form.events.empty());
}

TEST_F(ScoreboardGameTest, NewGameWithAnEmptyBoxAsksForAbbreviationsAndSendsNothing) {
  StartGame();
  game.PressAdd(1, 6);
  game.PressAdd(2, 3);
  const std::string history = doc.history;
  game.TypeTeam2("");
  sink.packets.clear();

  game.NewGame();

  EXPECT_EQ(doc.team1Score, 0);
  EXPECT_EQ(doc.team2Score, 0);
  EXPECT_EQ(game.State().team1ScoreBox, "0");
  EXPECT_EQ(game.State().team2ScoreBox, "0");
  EXPECT_EQ(form.events, (std::vector<std::string>{
                             "message Enter Team Abbreviations / Entry Required", "focus team 1"}));
  EXPECT_EQ(form.icons, std::vector<CMessageBoxSeam::Icon>{CMessageBoxSeam::Icon::None});
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_EQ(doc.history, history);
  EXPECT_EQ(doc.team2Abbrev, "");
  // Back to waiting: the score buttons stay disabled.
  EXPECT_FALSE(game.State().gameControlsEnabled);
  EXPECT_TRUE(game.State().abbreviationBoxesEnabled);
  game.PressAdd(1, 6);
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_EQ(doc.team1Score, 0);
}

TEST_F(ScoreboardGameTest, SendScoreWithAnEmptiedBoxAsksAndReenablesEverything) {
  StartGame();
  game.TypeTeam1("");
  game.SendScore();

  EXPECT_EQ(doc.team1Abbrev, "") << "the box is taken before the check";
  EXPECT_EQ(form.events, (std::vector<std::string>{
                             "message Enter Team Abbreviations / Entry Required", "focus team 1"}));
  EXPECT_TRUE(sink.packets.empty());
  EXPECT_TRUE(game.State().gameControlsEnabled);
  EXPECT_TRUE(game.State().abbreviationBoxesEnabled);
  EXPECT_EQ(game.GetScoreMode(), 1);

  game.PressAdd(1, 3);
  EXPECT_EQ(doc.history, "  12:34:56 --  ::  3\n");
}

TEST_F(ScoreboardGameTest, SendScoreSendsTheScoresTheGameHolds) {
  StartGame();
  PressUpTo(1, 12);
  doc.team1NameColor = "Green";
  game.SendScore();
  std::vector<Bytes> sent = sink.Bytes();
  ASSERT_EQ(sent.size(), 9u) << HexPackets(sent);
  EXPECT_EQ(sent[4], StringPacket('3', " ")) << "the spacer always goes out";
  EXPECT_EQ(sent[5], StringPacket('1', " 12"));
  EXPECT_EQ(sent[6], StringPacket('2', " 0"));
  EXPECT_EQ(game.State().nowShowing, "HOM 12  VIS 0");
}

// Presses at and near the limits: rows differ only by data.
struct CLimitCase {
  const char* name;
  int team;
  int startScore;
  int amount;  // negative: the "-1" button
  int expectedScore;
  const char* expectedHistory;
  Bytes expectedLastPacket;
};

class ScoreLimitTest : public ScoreboardGameTest,
                       public ::testing::WithParamInterface<CLimitCase> {};

TEST_P(ScoreLimitTest, RefusedPressesChangeNothingButResendTheScore) {
  const CLimitCase& row = GetParam();
  StartGame();
  PressUpTo(row.team, row.startScore);
  const std::string boxBefore =
      row.team == 1 ? game.State().team1ScoreBox : game.State().team2ScoreBox;

  if (row.amount > 0) {
    game.PressAdd(row.team, row.amount);
  } else {
    game.PressSubtract(row.team, -row.amount);
  }

  EXPECT_EQ(row.team == 1 ? doc.team1Score : doc.team2Score, row.expectedScore);
  const std::string& box = row.team == 1 ? game.State().team1ScoreBox : game.State().team2ScoreBox;
  EXPECT_EQ(box,
            row.expectedScore == row.startScore ? boxBefore : std::to_string(row.expectedScore));
  EXPECT_EQ(doc.history, row.expectedHistory);
  ASSERT_FALSE(sink.packets.empty());
  EXPECT_EQ(sink.packets.back().bytes, row.expectedLastPacket)
      << HexBytes(sink.packets.back().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ScoreLimitTest,
    ::testing::Values(
        CLimitCase{"at998PlusTwoIsRefused", 1, 998, 2, 998, "", StringPacket('1', "998")},
        CLimitCase{"at997PlusTwoGives999", 1, 997, 2, 999, "  12:34:56 -- HOM ::  2\n",
                   StringPacket('1', "999")},
        CLimitCase{"at994PlusSixGives1000IsRefused", 2, 994, 6, 994, "", StringPacket('2', "994")},
        CLimitCase{"atZeroMinusOneIsRefused", 2, 0, -1, 0, "", StringPacket('2', " 0")},
        CLimitCase{"atOneMinusOneGivesZero", 1, 1, -1, 0, "  12:34:56 -- HOM :: -1\n",
                   StringPacket('1', " 0")}),
    [](const ::testing::TestParamInfo<CLimitCase>& info) { return info.param.name; });

TEST_F(ScoreboardGameTest, Team1ReachingTenSendsTheNarrowerSpacerFirst) {
  StartGame();
  PressUpTo(1, 9);
  game.PressAdd(1, 1);
  EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{StringPacket('3', " "), StringPacket('1', " 10")}));
  EXPECT_EQ(game.State().nowShowing, "HOM 10  VIS 0");
}

TEST_F(ScoreboardGameTest, ScoreLinesUseTheAbbreviationLastSentNotTheBox) {
  StartGame();
  game.TypeTeam1("NEW");
  game.PressAdd(1, 2);
  EXPECT_EQ(doc.history, "  12:34:56 -- HOM ::  2\n");
}

// The Now Showing box echoes a note of 14 characters whole and cuts a longer one.
TEST_F(ScoreboardGameTest, NoteNowShowingKeepsFourteenCharacters) {
  StartGame();
  const struct {
    const char* note;
    const char* showing;
  } rows[] = {{"Fourteen chars", "Fourteen chars"},
              {"Fifteen chars!!", "Fifteen chars!..."},
              {"Half\r\n  time", "Half time"}};
  for (const auto& row : rows) {
    game.TypeNote(row.note);
    game.SendNote();
    EXPECT_EQ(game.State().nowShowing, row.showing) << row.note;
    EXPECT_EQ(game.GetScoreMode(), 0);
  }
  EXPECT_EQ(doc.history,
            "  12:34:56 -- Note :: Fourteen chars\n"
            "  12:34:56 -- Note :: Fifteen chars!!\n"
            "  12:34:56 -- Note :: Half time\n");
}

TEST_F(ScoreboardGameTest, ScorePressesWhileANoteShowsKeepTheNoteInNowShowing) {
  StartGame();
  game.TypeNote("Half time");
  game.SelectNoteColor("Green");
  game.SendNote();
  sink.packets.clear();

  game.PressAdd(1, 3);
  game.PressSubtract(2, 1);

  EXPECT_EQ(game.State().nowShowing, "Half time");
  EXPECT_EQ(game.State().team1ScoreBox, "3");
  EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{StringPacket('1', " 3"), StringPacket('2', " 0")}));
  EXPECT_EQ(doc.history.substr(doc.history.find("HOM")), "HOM ::  3\n");

  game.SendScore();
  EXPECT_EQ(game.State().nowShowing, "HOM 3  VIS 0") << "the scoreboard comes back";
}

TEST_F(ScoreboardGameTest, ClearNoteThenSendNoteSendsAnEmptyNote) {
  StartGame();
  game.TypeNote("Old note");
  game.ClearNote();
  EXPECT_EQ(game.State().noteBox, "");
  EXPECT_EQ(doc.noteText, "");
  EXPECT_EQ(form.events, std::vector<std::string>{"focus note"});

  game.SendNote();
  std::vector<Bytes> sent = sink.Bytes();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[1], Framed("\x01Z00\x02"
                            "AA\x1B a\x1C"
                            "1\x04"))
      << HexBytes(sent[1]);
  EXPECT_EQ(doc.history, "  12:34:56 -- Note :: \n");
  EXPECT_EQ(game.State().nowShowing, "");
}

TEST_F(ScoreboardGameTest, NoteListsFollowTheOperatorsChoice) {
  StartGame();
  game.SelectNoteColor("Dim Green");
  game.SelectNoteSize("Giant");
  game.SelectNoteColor("Purple");  // not an entry: ignored
  game.SelectNoteSize("Huge");
  EXPECT_EQ(doc.noteColor, "Dim Green");
  EXPECT_EQ(doc.noteSize, "Giant");
  EXPECT_EQ(game.State().noteColorSelection, "Dim Green");
  EXPECT_EQ(game.State().noteSizeSelection, "Giant");

  game.TypeNote("Hi");
  game.SendNote();
  EXPECT_EQ(sink.packets[1].bytes, Framed("\x01Z00\x02"
                                          "AA\x1B a\x1C"
                                          "5\x12Hi\x11\x04"));
}

// Start-up selects the first list entry that begins with the document's
// value, whatever its case, and leaves the selection alone when none does.
TEST_F(ScoreboardGameTest, StartUpSelectsTheNoteListsByPrefix) {
  const struct {
    const char* color;
    const char* size;
    const char* colorSelection;
    const char* sizeSelection;
  } rows[] = {{"Red", "Normal", "Red", "Normal"},
              {"dim", "g", "Dim Green", "Giant"},
              {"YELLOW", "normal", "Yellow", "Normal"},
              {"Purple", "Huge", "Yellow", "Normal"}};
  for (const auto& row : rows) {
    doc.noteColor = row.color;
    doc.noteSize = row.size;
    game.ResetForm();
    EXPECT_EQ(game.State().noteColorSelection, row.colorSelection) << row.color;
    EXPECT_EQ(game.State().noteSizeSelection, row.sizeSelection) << row.size;
    EXPECT_EQ(doc.noteColor, row.color) << "selection by program changes no field";
  }
}

TEST_F(ScoreboardGameTest, BoxesKeepNoMoreThanTheirLimit) {
  StartGame();
  game.TypeTeam1("HOME");
  EXPECT_EQ(game.State().team1Box, "HOM");
  game.TypeNote(std::string(8001, 'x'));
  EXPECT_EQ(doc.noteText.size(), 8000u);
  EXPECT_EQ(game.State().noteBox, doc.noteText);
}

// Which controls each state enables, seen from inside the send (at every
// packet) and after it.
TEST_F(ScoreboardGameTest, EnablingStates) {
  struct CStateRow {
    const char* action;
    std::function<void()> run;
    bool gameDuring, boxesDuring, gameAfter, boxesAfter;
  };
  StartGame();
  const CStateRow rows[] = {
      {"Send Score", [&] { game.SendScore(); }, false, false, true, true},
      {"Send Note", [&] { game.SendNote(); }, false, false, true, true},
      {"New Game", [&] { game.NewGame(); }, false, true, true, true},
      {"score press", [&] { game.PressAdd(2, 1); }, true, true, true, true},
      {"Clear LED Sign", [&] { game.ClearSign(); }, true, true, true, true},
  };
  for (const CStateRow& row : rows) {
    int packets = 0;
    sink.onPacket = [&] {
      ++packets;
      EXPECT_EQ(game.State().gameControlsEnabled, row.gameDuring) << row.action;
      EXPECT_EQ(game.State().abbreviationBoxesEnabled, row.boxesDuring) << row.action;
    };
    row.run();
    EXPECT_GT(packets, 0) << row.action;
    EXPECT_EQ(game.State().gameControlsEnabled, row.gameAfter) << row.action;
    EXPECT_EQ(game.State().abbreviationBoxesEnabled, row.boxesAfter) << row.action;
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

TEST_F(ScoreboardGameTest, ClearSignWorksInEveryStateAndEmptiesNowShowing) {
  game.ClearSign();
  EXPECT_EQ(sink.Bytes(), (std::vector<Bytes>{MemoryConfig("001C"), kEmptyText, kRunSequence}));
  StartGame();
  game.ClearSign();
  EXPECT_EQ(game.State().nowShowing, "");
  EXPECT_EQ(game.GetScoreMode(), 1) << "clearing the sign leaves scoreMode";
}

TEST_F(ScoreboardGameTest, EveryNowShowingChangeRefreshesTheForm) {
  StartGame();
  form.refreshes = 0;
  game.SetNowShowing("Updating LED Sign");
  EXPECT_EQ(game.State().nowShowing, "Updating LED Sign");
  EXPECT_EQ(form.refreshes, 1);
}

}  // namespace
