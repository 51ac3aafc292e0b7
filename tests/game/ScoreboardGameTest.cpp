#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "game/RavelleDoc.h"
#include "game/ScoreboardGame.h"
#include "tests/game/FormLog.h"
#include "tests/support/FixedClock.h"
#include "tests/support/SignPackets.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kEntryRequired = "message Enter Team Abbreviations / Entry Required";
const std::string kNewGameQuestion =
    "question Start a new game? The scores and the scoring history of this game will be "
    "cleared. / Ravelle";

const std::string kNewGameStatus =
    "HOM/VIS 0-0 boxes HOM/VIS 0-0 showing 'HOM 0  VIS 0' mode 1 spacer '  ' enabled 11 history ";

class ScoreboardGameTest : public ::testing::Test {
 protected:
  ScoreboardGameTest() : game(doc, sink, form, form) {
    doc.SetClock(FixedClock(9, 5, 3));
    game.ResetForm();
  }

  // Everything the operator sees and the sign holds, in one line.
  std::string Status() const {
    return doc.team1Abbrev + "/" + doc.team2Abbrev + " " + std::to_string(doc.team1Score) + "-" +
           std::to_string(doc.team2Score) + " boxes " + state.team1Box + "/" + state.team2Box +
           " " + state.team1ScoreBox + "-" + state.team2ScoreBox + " showing '" + state.nowShowing +
           "' mode " + std::to_string(game.GetScoreMode()) + " spacer '" + game.GetLastSpacer() +
           "' enabled " + std::to_string(state.gameControlsEnabled) +
           std::to_string(state.abbreviationBoxesEnabled) + " history " + doc.history;
  }

  // Types the abbreviations and starts a game; forgets what was sent.
  void StartGame() {
    game.TypeTeam1("HOM");
    game.TypeTeam2("VIS");
    game.NewGame();
    EXPECT_EQ(sink.Bytes(), HomVisScoreboard("  ", " 0", " 0")) << HexPackets(sink.Bytes());
    EXPECT_EQ(Status(), kNewGameStatus);
    sink.packets.clear();
  }

  CRavelleDoc doc;
  CRecordingSink sink;
  CFormLog form;
  CScoreboardGame game;
  const CFormState& state = game.State();
};

// Start-up selects the first note list entry that begins with the
// document's value, whatever its case, and leaves the selection alone when
// none does. Every game control is disabled: using any of them does nothing.
TEST_F(ScoreboardGameTest, StartUpLeavesOnlyAbbreviationsAndNewGameUsable) {
  doc.history = "  01:00:00 -- OLD ::  3\n";
  doc.noteColor = "dim";
  doc.noteSize = "g";
  game.ResetForm();
  EXPECT_EQ(state.noteColorSelection + "/" + state.noteSizeSelection, "Dim Green/Giant");
  doc.noteColor = "Purple";
  doc.noteSize = "Huge";
  game.ResetForm();
  game.PressAdd(1, 6);
  game.SendScore();
  game.TypeNote("Half time");
  game.SelectNoteColor("Green");
  game.ClearNote();
  EXPECT_EQ(
      Status() + "|" + state.noteBox + "|" + state.noteColorSelection + "/" +
          state.noteSizeSelection + "/" + doc.noteColor,
      "/ 0-0 boxes / - showing '' mode 0 spacer '' enabled 01 history ||Dim Green/Giant/Purple")
      << "score boxes start blank, not at 0";
  EXPECT_TRUE(sink.packets.empty() && form.events.empty());
}

// A press that would leave 0-999 changes nothing and writes no history, but
// the score is sent again. A note on the sign stays in Now Showing.
TEST_F(ScoreboardGameTest, PressesAtTheLimits) {
  const struct {
    int team, start, amount;  // amount < 0: the "-1" button
    std::string scoreAndHistory;
    Bytes lastPacket;
  } rows[] = {
      {1, 998, 2, "998 ", StringPacket('1', "998")},
      {1, 997, 2, "999   09:05:03 -- HOM ::  2\n", StringPacket('1', "999")},
      {2, 0, -1, "0 ", StringPacket('2', " 0")},
      {1, 1, -1, "0   09:05:03 -- HOM :: -1\n", StringPacket('1', " 0")},
  };
  StartGame();
  game.TypeNote("Half time");
  game.SendNote();
  game.TypeTeam1("NEW");  // history names the abbreviation last sent, not the box
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.start) + " " + std::to_string(row.amount));
    int& score = row.team == 1 ? doc.team1Score : doc.team2Score;
    score = row.start;
    doc.history.clear();
    row.amount > 0 ? game.PressAdd(row.team, row.amount) : game.PressSubtract(row.team, 1);
    EXPECT_EQ(std::to_string(score) + " " + doc.history, row.scoreAndHistory);
    ASSERT_FALSE(sink.packets.empty());
    EXPECT_EQ(sink.packets.back().bytes, row.lastPacket) << HexBytes(sink.packets.back().bytes);
  }
  EXPECT_EQ(state.nowShowing, "Half time");
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
    SCOPED_TRACE(row.action);
    game.TypeTeam1("HOM");
    sink.packets.clear();
    sink.onPacket = [&] {
      EXPECT_EQ(std::make_pair(state.gameControlsEnabled, state.abbreviationBoxesEnabled),
                std::make_pair(row.gameDuring, row.boxesDuring));
      if (!row.gameDuring) {
        game.PressAdd(1, 6);
        game.PressSubtract(2, 1);
        game.SendNote();
      }
      game.TypeTeam1("XXX");
    };
    row.run();
    sink.onPacket = nullptr;
    EXPECT_EQ(std::to_string(sink.packets.empty()) + std::to_string(state.gameControlsEnabled) +
                  std::to_string(state.abbreviationBoxesEnabled) + std::to_string(doc.team1Score) +
                  state.team1Box,
              std::string("0110") + (row.boxesDuring ? "XXX" : "HOM"));
  }
}

// New Game and Send Score refuse with an empty box (its team gets the
// focus); New Game asks before it discards a score. A refused action leaves
// the game under way exactly as it was, on the form and the sign (a note
// showing stays in Now Showing). A new game's scoreboard goes out before the
// history is emptied.
TEST_F(ScoreboardGameTest, RefusedActionsChangeNothingAndNewGameStartsEmpty) {
  const Texts noHome{kEntryRequired, "focus team 1"}, noVisitor{kEntryRequired, "focus team 2"};
  const struct {
    const char *team1, *team2;
    int score1, score2;
    bool newGame, yes, started;
    Texts events;
  } rows[] = {
      {"HOM", "", 12, 3, true, true, false, noVisitor},
      {"", "VIS", 12, 3, true, true, false, noHome},
      {"", "", 12, 3, true, true, false, noHome},
      {"HOM", "", 12, 3, false, true, false, noVisitor},
      {"", "VIS", 12, 3, false, true, false, noHome},
      {"HOM", "VIS", 3, 0, true, false, false, {kNewGameQuestion}},
      {"HOM", "VIS", 0, 1, true, false, false, {kNewGameQuestion}},
      {"HOM", "VIS", 0, 0, true, false, true, {}},
      {"HOM", "VIS", 12, 3, true, true, true, {kNewGameQuestion}},
  };
  StartGame();
  game.TypeNote("Half time");
  game.SendNote();
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    doc.team1Score = row.score1;
    doc.team2Score = row.score2;
    doc.history = "  earlier\n";
    game.TypeTeam1(row.team1);
    game.TypeTeam2(row.team2);
    form.answerYes = row.yes;
    form.events.clear();
    sink.packets.clear();
    const std::string before = Status();
    sink.onPacket = [&] { EXPECT_EQ(doc.history, "  earlier\n") << "kept until sent"; };
    row.newGame ? game.NewGame() : game.SendScore();
    sink.onPacket = nullptr;
    EXPECT_EQ(form.events, row.events);
    EXPECT_EQ(sink.packets.size(), row.started ? 9u : 0u);
    EXPECT_EQ(Status(), row.started ? kNewGameStatus : before);
  }
}

// The blank sign shows no score: Now Showing stays empty through score
// presses, over USB too (no progress text), until a full send. The notice of
// what the sign does not show of a note goes when the note leaves the sign.
TEST_F(ScoreboardGameTest, NotesTheirNoticeAndClearSign) {
  StartGame();
  game.TypeNote("Go \x80", 1);  // one character the box held that the code page lacks
  game.SendNote();
  game.PressAdd(1, 6);
  EXPECT_EQ(state.noteNotice + "|" + state.nowShowing,
            "2 characters the sign cannot show were left out|Go \x80");
  game.SendScore();
  EXPECT_EQ(state.noteNotice + "|" + state.nowShowing, "|HOM 6  VIS 0");
  game.SendNote();
  game.ClearSign();
  game.PressAdd(1, 1);
  game.PressSubtract(2, 1);
  EXPECT_EQ(state.noteNotice + "|" + state.nowShowing + std::to_string(game.GetScoreMode()), "|0");
  // Only list entries are taken; the note box holds 8000 characters; Clear
  // Note empties the note itself, so the next Send Note sends no text.
  game.SelectNoteColor("Dim Green");
  game.SelectNoteSize("Giant");
  game.SelectNoteColor("Purple");
  game.SelectNoteSize("Huge");
  EXPECT_EQ(state.noteColorSelection + "/" + state.noteSizeSelection, "Dim Green/Giant");
  game.TypeNote(std::string(8001, 'x'));
  EXPECT_EQ(doc.noteText + "|" + state.noteBox, std::string(8000, 'x') + "|" + doc.noteText);
  game.ClearNote();
  EXPECT_EQ(state.noteBox + doc.noteText, "");
  EXPECT_EQ(form.events, Texts{"focus note"});
  sink.packets.clear();
  doc.history.clear();
  game.SendNote();
  EXPECT_EQ(sink.packets.at(1).bytes, NotePacket('5', "\x12\x11"));
  EXPECT_EQ(doc.history + state.noteNotice, "  09:05:03 -- Note :: \n")
      << "Clear Note forgets the lost characters";
}

// An action that sends, arriving while another sends (the USB road lets
// clicks and menu commands through between packets), waits for the first to
// end and then runs in order of arrival: sequences never interleave.
TEST_F(ScoreboardGameTest, ActionsArrivingDuringASendRunAfterItInOrder) {
  StartGame();
  doc.team1Score = 12;
  Texts actions;
  game.onActionBegin = [&] { actions.push_back("begin"); };
  game.onActionEnd = [&] { actions.push_back("end"); };
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
  std::vector<Bytes> expected = {StringPacket('3', " "), StringPacket('1', " 13"),
                                 MemoryConfig("001C"),   EmptyText(),
                                 RunSequence(),          StringPacket('2', " 6")};
  for (const Bytes& packet : HomVisScoreboard("  ", " 0", " 0")) expected.push_back(packet);
  EXPECT_EQ(sink.Bytes(), expected) << HexPackets(sink.Bytes());
  EXPECT_EQ(actions, (Texts{"begin", "end", "begin", "end", "begin", "end", "begin", "end"}));
  EXPECT_EQ(form.events, Texts{kNewGameQuestion});
  EXPECT_EQ(doc.history + state.nowShowing, "HOM 0  VIS 0") << "New Game ran last";
}

// Typed text with a character the sign cannot show never reaches an
// abbreviation box; the box keeps what it had. The box holds three
// characters: the euro after "HOME" never gets in.
TEST_F(ScoreboardGameTest, AbbreviationBoxesRefuseWhatTheSignCannotShow) {
  const struct {
    const char* typed;
    bool taken;
  } rows[] = {{"\x80\x80\x80", false}, {"A\x99", false}, {"\x8C", false},     {"\xC8", false},
              {"A\t", false},          {"\x7F", false},  {"\xC9T\xC9", true}, {"\xCA", true},
              {"a~}", true},           {"", true},       {"HOME\x80", true}};
  for (const auto& row : rows) {
    game.TypeTeam2("OLD");
    EXPECT_EQ(game.TypeTeam2(row.typed), row.taken) << row.typed;
    EXPECT_EQ(state.team2Box, row.taken ? std::string(row.typed).substr(0, 3) : "OLD") << row.typed;
  }
}

TEST(RavelleDocTest, NewDocumentResetsTheGameToItsStartAndKeepsTheConnection) {
  CRavelleDoc doc;
  const auto connection = [&doc] {
    return std::make_tuple(doc.protocol, doc.connection, doc.comPort, doc.baudRate, doc.byteSize,
                           doc.parity, doc.stopBits);
  };
  EXPECT_EQ(connection(), std::make_tuple("alpha", "", 1, 9600, 7, "even", 1));
  static_cast<CGameFields&>(doc) = {12,       "HOM",   "Green",     "Amber",  999,     "VIS",
                                    "Yellow", "Brown", "Half time", "Orange", "Giant", "history"};
  doc.baudRate = 19200;
  EXPECT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(static_cast<CGameFields&>(doc), CGameFields{});
  EXPECT_EQ(connection(), std::make_tuple("alpha", "", 1, 19200, 7, "even", 1));
}

// A history line is appended and names at most three characters of the
// abbreviation.
TEST(RavelleDocTest, ScoreHistoryLineCutsTheAbbreviation) {
  CRavelleDoc doc;
  doc.history = "first\n";
  doc.SetClock(FixedClock(0, 0, 0));
  doc.AppendScoreHistory("ABCD", 2);
  EXPECT_EQ(doc.history, "first\n  00:00:00 -- ABC ::  2\n");
}

}  // namespace
