// The kept game: its file, the question at start-up, what Yes and No do, and
// files that cannot be used.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "game/KeptGame.h"
#include "game/ScoreboardGame.h"
#include "tests/game/FormLog.h"
#include "tests/support/SignPackets.h"

namespace {

namespace fs = std::filesystem;

// Saturday, 5 December 2026, 20:15:07.
std::tm LastChange() {
  std::tm t{};
  t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 5, t.tm_hour = 20, t.tm_min = 15, t.tm_sec = 7;
  return t;
}

// One run of the desktop program's start-up over the kept file: the form
// reset, the offer, and, when nothing was resumed, the sign blanked.
struct CRun {
  CRun(const CKeptGame& kept, bool answerYes) {
    form.answerYes = answerYes;
    game.KeepGameIn(&kept, LastChange);
    game.ResetForm();
    resumed = game.OfferKeptGame();
    if (!resumed) game.ClearSign();
  }
  // A start as with no kept game: nothing resumed, an empty game, a blank
  // sign, the game controls disabled.
  bool StartedAfresh() const {
    return !resumed && static_cast<const CGameFields&>(doc) == CGameFields{} &&
           sink.Bytes() == ClearSignPackets() && !game.State().gameControlsEnabled;
  }
  CRavelleDoc doc;
  CRecordingSink sink;
  CFormLog form;
  CScoreboardGame game{doc, sink, form, form};
  bool resumed = false;
};

std::string FileText(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

class KeptGameTest : public ::testing::Test {
 protected:
  ~KeptGameTest() override { fs::remove_all(folder_); }

  // Plays HOM 9 - VIS 3; the note "Half time" goes to the sign when asked,
  // and another is typed but not sent.
  CGameFields Play(CShowing showing) {
    CRun run(kept, true);
    CScoreboardGame& game = run.game;
    game.TypeTeam1("HOM");
    game.TypeTeam2("VIS");
    game.NewGame();
    // Every change is on disk before its first packet leaves.
    run.sink.onPacket = [&] {
      EXPECT_EQ(kept.Load().game->fields, static_cast<CGameFields&>(run.doc));
      run.sink.onPacket = nullptr;
    };
    game.PressAdd(1, 6);
    game.PressAdd(1, 3);
    game.PressAdd(2, 3);
    if (showing == CShowing::Note) {
      game.TypeNote("Half\ntime");
      game.SendNote();
      game.TypeNote("Not yet sent");
      game.SelectNoteColor("Green");
      game.PressSubtract(2, 1);
      game.PressAdd(2, 1);
    }
    if (showing == CShowing::Nothing) game.ClearSign();
    return run.doc;
  }

  std::string pattern_ = (fs::temp_directory_path() / "ravelle-kept-XXXXXX").string();
  fs::path folder_ = mkdtemp(pattern_.data());
  CKeptGame kept{folder_ / "ravelle" / "game"};
};

TEST_F(KeptGameTest, EveryFieldAndALongHistoryComeBackExactly) {
  CKeptGameRecord game{{7, "H\xC9M", "Green", "Amber", 999, "V S", "Dim Red", "Brown",
                        "Two\r\nlines\n\n\t\x96 end\n", "Yellow", "Giant", ""},
                       CShowing::Note,
                       {"Shown\n\x93note\x94", "Amber", "Giant"},
                       LastChange()};
  for (int i = 0; i < 1000; ++i) game.fields.history += "  20:15:07 -- H\xC9M ::  6\n";
  game.fields.history += "  20:15:09 -- Note :: \"quoted\" \\ back\\slash\n";
  std::string problem;
  ASSERT_TRUE(kept.Keep(game, problem)) << problem;
  const CKeptGameRecord found = kept.Load().game.value();
  EXPECT_EQ(std::tie(found.fields, found.showing, found.shownNote),
            std::tie(game.fields, game.showing, game.shownNote));
  EXPECT_EQ(FormatKeptGame(found), FileText(kept.File())) << "the last change comes back too";
  // A person reads the history a line at a time.
  EXPECT_NE(FileText(kept.File()).find("\"1001\"=\"  20:15:09 -- Note :: \\\"quoted\\\" \\\\ "),
            std::string::npos);
}

// The question names the game and the day and time of its last change. Yes
// puts the whole game back on the form and sends what the sign showed: the
// scoreboard, the note that was sent (not the one typed since), or nothing
// after Clear LED Sign. The history gains no line by it. No starts afresh
// and forgets the game: the next start asks nothing.
TEST_F(KeptGameTest, YesRestoresTheGameAndSendsWhatWasOnTheSignNoForgetsIt) {
  std::vector<Bytes> note = {MemoryConfig("002A"), NotePacket('1', "Half time"), RunSequence()};
  for (auto [showing, sent, shown] :
       {std::tuple(CShowing::Scoreboard, HomVisScoreboard("  ", " 9", " 3"), "HOM 9  VIS 3"),
        std::tuple(CShowing::Note, note, "Half time"),
        std::tuple(CShowing::Nothing, ClearSignPackets(), "")}) {
    SCOPED_TRACE(shown);
    const CGameFields played = Play(showing);
    CRun run(kept, true);
    EXPECT_EQ(run.form.events, std::vector<std::string>{"question (Yes) Resume the game HOM 9 "
                                                        "\x96 VIS 3 (last change Saturday 20:15)? "
                                                        "/ Ravelle"});
    EXPECT_EQ(static_cast<CGameFields&>(run.doc), played);
    const CFormState& state = run.game.State();
    EXPECT_EQ(state.team1Box + state.team2Box + state.team1ScoreBox + state.team2ScoreBox + "|" +
                  state.noteBox + "|" + state.noteColorSelection + "|" + state.nowShowing,
              "HOMVIS93|" + played.noteText + "|" + played.noteColor + "|" + shown);
    EXPECT_TRUE(run.resumed && state.gameControlsEnabled && state.abbreviationBoxesEnabled);
    EXPECT_EQ(run.sink.Bytes(), sent) << HexPackets(run.sink.Bytes());
  }
  Play(CShowing::Scoreboard);
  EXPECT_TRUE(CRun(kept, false).StartedAfresh());
  CRun next(kept, true);
  EXPECT_TRUE(next.StartedAfresh() && next.form.events.empty()) << "No forgot the game";
}

// Whatever is wrong with the file, nothing of it reaches the game: the
// program starts as with no kept game, says so naming the file, and the
// file is kept aside as it was.
TEST_F(KeptGameTest, AFileThatCannotBeUsedIsMovedAsideAndNeverApplied) {
  Play(CShowing::Scoreboard);
  const std::string good = FileText(kept.File());
  auto with = [&](const std::string& from, const std::string& to) {
    return std::string(good).replace(good.find(from), from.size(), to);
  };
  const struct {
    std::string text;
    const char* why;
  } rows[] = {
      {"Score: 9 to 3\n", "line 1: the first line is not"},
      {with("dword:00000009", "dword:000003e8"), "\"Team 1 score\" is out of range"},
      {with("\"HOM\"", "\"HOMES\""), "\"Team 1\" is not an abbreviation"},
      {with("colour\"=\"Red\"", "colour\"=\"Purple\""), "is not a colour"},
      {with("size\"=\"Normal\"", "size\"=\"Huge\""), "is not a note size"},
      {with("[Game\\History]", "[Game\\Story]"), "[Game\\Story]"},
      {"", "larger than 8 MiB"},
      {"a folder", "Is a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    fs::remove_all(kept.File());
    fs::remove_all(kept.AsideFile());
    if (row.text == "a folder") fs::create_directory(kept.File());
    std::ofstream(kept.File(), std::ios::binary) << (row.text.empty() ? good : row.text);
    if (row.text.empty()) fs::resize_file(kept.File(), CKeptGame::kMaxFileSize + 1);
    const std::string before = FileText(kept.File());
    CRun run(kept, true);
    EXPECT_TRUE(run.StartedAfresh() && run.form.events.empty());
    const std::string& notice = run.game.State().keptGameNotice;
    const std::string head = "The kept game could not be read: " + kept.File().string() + ": ";
    EXPECT_TRUE(notice.rfind(head, 0) == 0 && notice.find(row.why) != std::string::npos &&
                notice.find("; it was moved aside as game.unreadable") != std::string::npos)
        << notice;
    EXPECT_EQ(FileText(kept.AsideFile()), before);
  }
}

// A folder that cannot be made is told once, and the game goes on; once the
// game can be kept again the line goes.
TEST_F(KeptGameTest, AFolderThatCannotBeWrittenIsToldOnceAndTheGameGoesOn) {
  std::ofstream(folder_ / "ravelle") << "a file where the folder belongs";
  CRun run(kept, true);
  const std::string told = run.game.State().keptGameNotice;
  EXPECT_EQ(told, "The game is not being kept: " + kept.File().string() +
                      " cannot be written: its folder cannot be made: File exists");
  run.game.TypeTeam1("HOM");
  run.game.TypeTeam2("VIS");
  run.game.NewGame();
  run.game.PressAdd(1, 6);
  EXPECT_EQ(run.game.State().keptGameNotice, told);
  EXPECT_EQ(run.sink.packets.size(), 3u + 9u + 1u) << "blank sign, scoreboard, score";
  fs::remove(folder_ / "ravelle");
  run.game.PressAdd(1, 3);
  EXPECT_EQ(run.game.State().keptGameNotice, "");
  EXPECT_EQ(kept.Load().game->fields.team1Score, 9);
}

}  // namespace
