#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
#include "link/MessageBoxSeam.h"
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
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    events.push_back("question " + text + " / " + caption);
    return answerYes;
  }
  void RefreshControls() override { ++refreshes; }
  void FocusAbbreviation(int team) override {
    events.push_back("focus team " + std::to_string(team));
  }
  void FocusNoteBox() override { events.push_back("focus note"); }

  Texts events;
  int refreshes = 0;
  bool answerYes = false;
};

const std::string kEntryRequired = "message Enter Team Abbreviations / Entry Required";
const std::string kNewGameQuestion =
    "question Start a new game? The scores and the scoring history of this game will be "
    "cleared. / Ravelle";

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
    const CFormState& state = game.State();
    EXPECT_EQ(doc.history + "|" + state.team1ScoreBox + "/" + state.team2ScoreBox + "|" +
                  state.nowShowing,
              "|0/0|HOM 0  VIS 0");
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

// Everything the operator sees and the sign holds, to prove that a refused
// action changed none of it.
std::string Snapshot(const CRavelleDoc& doc, const CScoreboardGame& game) {
  const CFormState& s = game.State();
  return doc.team1Abbrev + "/" + doc.team2Abbrev + " " + std::to_string(doc.team1Score) + "-" +
         std::to_string(doc.team2Score) + " boxes " + s.team1ScoreBox + "-" + s.team2ScoreBox +
         " showing '" + s.nowShowing + "' mode " + std::to_string(game.GetScoreMode()) +
         " spacer '" + game.GetLastSpacer() + "' enabled " + std::to_string(s.gameControlsEnabled) +
         std::to_string(s.abbreviationBoxesEnabled) + " history " + doc.history;
}

// New Game and Send Score with an empty box: the box's team gets the focus,
// and the game under way goes on exactly as it was, on the form and the sign
// (a note showing stays in Now Showing).
TEST_F(ScoreboardGameTest, AnEmptyAbbreviationRefusesAndChangesNothing) {
  const struct {
    const char* team1;
    const char* team2;
    bool newGame;
    const char* focus;
  } rows[] = {
      {"HOM", "", true, "focus team 2"},  {"", "VIS", true, "focus team 1"},
      {"", "", true, "focus team 1"},     {"HOM", "", false, "focus team 2"},
      {"", "VIS", false, "focus team 1"},
  };
  StartGame();
  for (int i = 0; i < 4; ++i) game.PressAdd(1, 3);
  game.PressAdd(2, 3);
  game.TypeNote("Half time");
  game.SendNote();
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.newGame ? "New Game " : "Send Score ") + row.team1 + "/" +
                 row.team2);
    const std::string before = Snapshot(doc, game);
    game.TypeTeam1(row.team1);
    game.TypeTeam2(row.team2);
    sink.packets.clear();
    form.events.clear();
    row.newGame ? game.NewGame() : game.SendScore();
    EXPECT_EQ(form.events, (Texts{kEntryRequired, row.focus}));
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_EQ(Snapshot(doc, game), before);
  }
  // The game goes on under the abbreviations the sign shows.
  game.TypeTeam1("");
  game.PressAdd(1, 1);
  EXPECT_EQ(game.State().nowShowing, "Half time");
  EXPECT_NE(doc.history.find("-- HOM ::  1\n"), std::string::npos) << doc.history;
}

// New Game asks before it discards a score; No changes and sends nothing.
TEST_F(ScoreboardGameTest, NewGameAsksBeforeItDiscardsAGameInProgress) {
  const struct {
    int team1, team2;
    bool yes;
    bool asked, started;
  } rows[] = {
      {0, 0, false, false, true},
      {3, 0, false, true, false},
      {0, 1, false, true, false},
      {12, 3, true, true, true},
  };
  StartGame();
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.team1) + "-" + std::to_string(row.team2));
    doc.team1Score = 0;
    doc.team2Score = 0;
    for (int i = 0; i < row.team1; ++i) game.PressAdd(1, 1);
    for (int i = 0; i < row.team2; ++i) game.PressAdd(2, 1);
    const std::string before = Snapshot(doc, game);
    form.answerYes = row.yes;
    form.events.clear();
    sink.packets.clear();
    game.NewGame();
    EXPECT_EQ(form.events, row.asked ? Texts{kNewGameQuestion} : Texts{});
    EXPECT_EQ(sink.packets.size(), row.started ? 9u : 0u);
    const std::string after = row.started
                                  ? doc.history + std::to_string(doc.team1Score + doc.team2Score)
                                  : Snapshot(doc, game);
    EXPECT_EQ(after, row.started ? "0" : before) << "a new game is empty; a refused one untouched";
  }
}

// The blank sign shows no score: Now Showing stays empty through score
// presses, over USB too (no progress text), until a scoreboard or a note.
TEST_F(ScoreboardGameTest, AfterClearSignNowShowingStaysEmptyUntilAFullSend) {
  StartGame();
  game.ClearSign();
  EXPECT_EQ(sink.packets.size(), 3u);
  game.PressAdd(1, 6);
  game.PressSubtract(2, 1);
  EXPECT_EQ(game.State().nowShowing + std::to_string(game.GetScoreMode()), "0")
      << "the USB road shows no progress text either";
  game.SendScore();
  EXPECT_EQ(game.State().nowShowing, "HOM 6  VIS 0");
  game.ClearSign();
  game.TypeNote("Go team");
  game.SendNote();
  EXPECT_EQ(game.State().nowShowing, "Go team");
}

// An action that sends, arriving while another sends (the USB road lets
// clicks and menu commands through between packets), waits for the first to
// end and then runs in order of arrival: sequences never interleave.
TEST_F(ScoreboardGameTest, ActionsArrivingDuringASendRunAfterItInOrder) {
  StartGame();
  Texts actions;
  game.onActionBegin = [&] { actions.push_back("begin"); };
  game.onActionEnd = [&] { actions.push_back("end"); };
  for (int i = 0; i < 4; ++i) game.PressAdd(1, 3);
  doc.history.clear();
  actions.clear();
  sink.packets.clear();
  form.answerYes = true;
  bool arrived = false;
  sink.onPacket = [&] {
    if (arrived) return;
    arrived = true;
    game.ClearSign();     // the menu command
    game.PressAdd(2, 6);  // a score button, still enabled during a score press
    game.NewGame();       // asks, then starts afresh
  };
  game.PressAdd(1, 1);
  sink.onPacket = nullptr;
  std::vector<Bytes> expected = {StringPacket('1', " 13"), MemoryConfig("001C"), EmptyText(),
                                 RunSequence(), StringPacket('2', " 6")};
  for (const Bytes& packet : HomVisScoreboard("  ", " 0", " 0")) expected.push_back(packet);
  EXPECT_EQ(sink.Bytes(), expected) << HexPackets(sink.Bytes());
  Texts pairs;
  for (int i = 0; i < 4; ++i) pairs.insert(pairs.end(), {"begin", "end"});
  EXPECT_EQ(actions, pairs) << "no action inside another";
  EXPECT_EQ(form.events, Texts{kNewGameQuestion});
  EXPECT_EQ(doc.history, "") << "New Game ran last";
  EXPECT_EQ(game.State().nowShowing, "HOM 0  VIS 0");
}

// Typed text with a character the sign cannot show never reaches an
// abbreviation box; the box keeps what it had.
TEST_F(ScoreboardGameTest, AbbreviationBoxesRefuseWhatTheSignCannotShow) {
  const struct {
    const char* typed;
    bool taken;
  } rows[] = {{"\x80\x80\x80", false}, {"A\x99", false}, {"\x8C", false}, {"\xC8", false},
              {"\xC9T\xC9", true},     {"\xCA", true},   {"a~}", true},   {"", true},
              {"HOME\x80", true}};  // the box holds three characters: the euro never gets in
  for (const auto& row : rows) {
    game.TypeTeam2("OLD");
    EXPECT_EQ(game.TypeTeam2(row.typed), row.taken) << row.typed;
    EXPECT_EQ(game.State().team2Box, row.taken ? std::string(row.typed).substr(0, 3) : "OLD")
        << row.typed;
  }
}

// Send Note tells the operator what of the note the sign does not show, and
// the line goes when the note leaves the sign.
TEST_F(ScoreboardGameTest, SendNoteTellsWhatTheSignDoesNotShow) {
  StartGame();
  game.TypeNote("Go \x80", 1);  // one character the box held that the code page lacks
  game.SendNote();
  EXPECT_EQ(game.State().noteNotice, "2 characters the sign cannot show were left out");
  for (const auto& end :
       std::vector<std::function<void()>>{[&] { game.SendScore(); }, [&] { game.ClearSign(); }}) {
    game.SendNote();
    ASSERT_NE(game.State().noteNotice, "");
    game.PressAdd(1, 1);
    EXPECT_NE(game.State().noteNotice, "") << "the note still shows";
    end();
    EXPECT_EQ(game.State().noteNotice, "");
  }
  game.ClearNote();
  game.SendNote();
  EXPECT_EQ(game.State().noteNotice, "") << "Clear Note forgets the lost characters";
}

auto GameFields(CRavelleDoc& doc) {
  return std::tie(doc.team1Score, doc.team1Abbrev, doc.team1NameColor, doc.team1ScoreColor,
                  doc.team2Score, doc.team2Abbrev, doc.team2NameColor, doc.team2ScoreColor,
                  doc.noteText, doc.noteColor, doc.noteSize, doc.history);
}

auto ConnectionFields(CRavelleDoc& doc) {
  return std::tie(doc.protocol, doc.connection, doc.comPort, doc.baudRate, doc.byteSize, doc.parity,
                  doc.stopBits);
}

TEST(RavelleDocTest, NewDocumentResetsTheGameToItsStartAndKeepsTheConnection) {
  CRavelleDoc doc;
  EXPECT_EQ(GameFields(doc),
            std::make_tuple(0, "", "Red", "Red", 0, "", "Red", "Red", "", "Red", "Normal", ""));
  EXPECT_EQ(ConnectionFields(doc), std::make_tuple("alpha", "", 1, 9600, 7, "even", 1));

  GameFields(doc) = std::make_tuple(12, "HOM", "Green", "Amber", 999, "VIS", "Yellow", "Brown",
                                    "Half time", "Orange", "Giant", "  09:00:00 -- HOM ::  6\n");
  ConnectionFields(doc) = std::make_tuple("beta", kConnectionUsbPrism, 3, 19200, 8, "none", 2);
  EXPECT_TRUE(doc.OnNewDocument());
  CRavelleDoc fresh;
  EXPECT_EQ(GameFields(doc), GameFields(fresh));
  EXPECT_EQ(ConnectionFields(doc),
            std::make_tuple("beta", "usb - betabrite prism", 3, 19200, 8, "none", 2));
}

// Each row: the time, the team's abbreviation and change; the history line
// appended after an earlier line.
TEST(RavelleDocTest, ScoreHistoryLines) {
  const struct {
    int hour, minute, second;
    const char* abbreviation;
    int change;
    std::string line;
  } rows[] = {
      {9, 5, 3, "XY", 6, "  09:05:03 -- XY ::  6\n"},
      {0, 0, 0, "ABCD", 2, "  00:00:00 -- ABC ::  2\n"},
  };
  for (const auto& row : rows) {
    CRavelleDoc doc;
    doc.SetClock(FixedClock(row.hour, row.minute, row.second));
    doc.history = "  08:00:00 -- Note :: first\n";
    doc.AppendScoreHistory(row.abbreviation, row.change);
    EXPECT_EQ(doc.history, "  08:00:00 -- Note :: first\n" + row.line);
  }
}

}  // namespace
