// The kept game: its file, the question at start-up, what Yes and No do, and
// files that cannot be used.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <tuple>

#include "game/KeptGame.h"
#include "game/ScoreboardGame.h"
#include "link/MessageBoxSeam.h"
#include "tests/support/SignPackets.h"

namespace {

namespace fs = std::filesystem;

// Saturday, 5 December 2026, 20:15:07.
std::tm LastChange() {
  std::tm t{};
  std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec) =
      std::make_tuple(126, 11, 5, 20, 15, 7);
  return t;
}

struct CAnsweringForm : CMessageBoxSeam, CFormView {
  void Show(const std::string& text, const std::string&, Icon) override { shown.push_back(text); }
  bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    return answerYes;
  }
  void RefreshControls() override {}
  void FocusAbbreviation(int) override {}
  void FocusNoteBox() override {}
  std::vector<std::string> shown, questions;
  bool answerYes = true;
};

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
  CRavelleDoc doc;
  CRecordingSink sink;
  CAnsweringForm form;
  CScoreboardGame game{doc, sink, form, form};
  bool resumed = false;
};

std::string FileText(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

bool Contains(const std::vector<Bytes>& packets, const std::string& text) {
  for (const Bytes& packet : packets) {
    if (std::string(packet.begin(), packet.end()).find(text) != std::string::npos) return true;
  }
  return false;
}

class KeptGameTest : public ::testing::Test {
 protected:
  static fs::path MakeFolder() {
    std::string pattern = (fs::temp_directory_path() / "ravelle-kept-XXXXXX").string();
    return mkdtemp(pattern.data());
  }
  ~KeptGameTest() override { fs::remove_all(folder_); }

  // Plays HOM 9 - VIS 3; the note "Half time" goes to the sign when asked,
  // and another is typed but not sent.
  std::unique_ptr<CRun> Play(CShowing showing) {
    auto run = std::make_unique<CRun>(kept, true);
    CScoreboardGame& game = run->game;
    game.TypeTeam1("HOM");
    game.TypeTeam2("VIS");
    game.NewGame();
    // Every change is on disk before its first packet leaves.
    run->sink.onPacket = [&] {
      EXPECT_EQ(kept.Load().game->fields, static_cast<CGameFields&>(run->doc));
      run->sink.onPacket = nullptr;
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
    return run;
  }

  fs::path folder_ = MakeFolder();
  CKeptGame kept{folder_ / "ravelle" / "game"};
};

TEST_F(KeptGameTest, EveryFieldAndALongHistoryComeBackExactly) {
  CKeptGameRecord game{{}, CShowing::Note, {"Shown\n\x93note\x94", "Amber", "Giant"}, LastChange()};
  game.fields = {7,         "H\xC9M", "Green",
                 "Amber",   999,      "V S",
                 "Dim Red", "Brown",  "Two\r\nlines\n\n\t\x96 end\n",
                 "Yellow",  "Giant",  ""};
  for (int i = 0; i < 1000; ++i) game.fields.history += "  20:15:07 -- H\xC9M ::  6\n";
  game.fields.history += "  20:15:09 -- Note :: \"quoted\" \\ back\\slash\n";
  std::string problem;
  ASSERT_TRUE(kept.Keep(game, problem)) << problem;
  const CKeptGame::CFound found = kept.Load();
  ASSERT_TRUE(found.game) << found.problem;
  EXPECT_EQ(std::tie(found.game->fields, found.game->showing, found.game->shownNote),
            std::tie(game.fields, game.showing, game.shownNote));
  EXPECT_EQ(FormatKeptGame(*found.game), FileText(kept.File()));
  // A person reads the history a line at a time.
  EXPECT_NE(FileText(kept.File()).find("\"1001\"=\"  20:15:09 -- Note :: \\\"quoted\\\" \\\\ "),
            std::string::npos);
}

// The question names the game and the day and time of its last change. Yes
// puts the whole game back on the form and sends what the sign showed: the
// scoreboard, the note that was sent (not the one typed since), or nothing
// after Clear LED Sign. The history gains no line by it.
TEST_F(KeptGameTest, YesRestoresTheGameAndSendsWhatWasOnTheSign) {
  for (CShowing showing : {CShowing::Scoreboard, CShowing::Note, CShowing::Nothing}) {
    SCOPED_TRACE(static_cast<int>(showing));
    const CGameFields played = Play(showing)->doc;
    CRun run(kept, true);
    ASSERT_TRUE(run.resumed);
    EXPECT_EQ(run.form.questions,
              std::vector<std::string>{"Ravelle: Resume the game HOM 9 \x96 VIS 3 "
                                       "(last change Saturday 20:15)?"});
    EXPECT_EQ(static_cast<CGameFields&>(run.doc), played);
    const CFormState& state = run.game.State();
    EXPECT_EQ(state.team1Box + state.team2Box + state.team1ScoreBox + state.team2ScoreBox + "|" +
                  state.noteBox + "|" + state.noteColorSelection,
              "HOMVIS93|" + played.noteText + "|" + played.noteColor);
    EXPECT_TRUE(state.gameControlsEnabled && state.abbreviationBoxesEnabled);
    const std::vector<Bytes> sent = run.sink.Bytes();
    if (showing == CShowing::Scoreboard) {
      EXPECT_EQ(sent, HomVisScoreboard("  ", " 9", " 3")) << HexPackets(sent);
      EXPECT_EQ(state.nowShowing, "HOM 9  VIS 3");
    } else if (showing == CShowing::Note) {
      EXPECT_TRUE(Contains(sent, std::string("\x1C") + "1Half time\x04")) << HexPackets(sent);
      EXPECT_FALSE(Contains(sent, "Not yet sent"));
      EXPECT_EQ(state.nowShowing, "Half time");
    } else {
      EXPECT_EQ(sent, ClearSignPackets());
    }
  }
}

// No starts as before and forgets the game: the next start asks nothing.
TEST_F(KeptGameTest, NoDiscardsTheGame) {
  Play(CShowing::Scoreboard);
  {
    CRun run(kept, false);
    EXPECT_EQ(run.form.questions.size(), 1u);
    EXPECT_EQ(static_cast<CGameFields&>(run.doc), CGameFields{});
    EXPECT_FALSE(run.game.State().gameControlsEnabled);
    EXPECT_EQ(run.sink.Bytes(), ClearSignPackets());
  }
  CRun next(kept, true);
  EXPECT_FALSE(next.resumed);
  EXPECT_TRUE(next.form.questions.empty());
}

// Whatever is wrong with the file, nothing of it reaches the game: the
// program starts as with no kept game, says so naming the file, and the
// file is kept aside as it was.
TEST_F(KeptGameTest, AFileThatCannotBeUsedIsMovedAsideAndNeverApplied) {
  Play(CShowing::Scoreboard);
  const std::string good = FileText(kept.File());
  auto with = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const struct {
    const char* name;
    std::string text;
    const char* why;
  } rows[] = {
      {"not the format", "Score: 9 to 3\n", "line 1: the first line is not"},
      {"score 1000", with("dword:00000009", "dword:000003e8"), "\"Team 1 score\" is out of range"},
      {"five characters", with("\"HOM\"", "\"HOMES\""), "\"Team 1\" is not an abbreviation"},
      {"unknown colour", with("colour\"=\"Red\"", "colour\"=\"Purple\""), "is not a colour"},
      {"note size", with("size\"=\"Normal\"", "size\"=\"Huge\""), "is not a note size"},
      {"no history", with("[Game\\History]", "[Game\\Story]"), "[Game\\Story]"},
      {"too large", "", "larger than 8 MiB"},
      {"a folder", "", "Is a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(kept.File());
    fs::remove_all(kept.AsideFile());
    if (std::string(row.name) == "a folder") {
      fs::create_directory(kept.File());
    } else {
      std::ofstream(kept.File(), std::ios::binary) << (row.text.empty() ? good : row.text);
      if (row.text.empty()) fs::resize_file(kept.File(), CKeptGame::kMaxFileSize + 1);
    }
    const std::string before = fs::is_directory(kept.File()) ? "" : FileText(kept.File());
    CRun run(kept, true);
    EXPECT_FALSE(run.resumed);
    EXPECT_TRUE(run.form.questions.empty());
    EXPECT_EQ(static_cast<CGameFields&>(run.doc), CGameFields{});
    EXPECT_EQ(run.sink.Bytes(), ClearSignPackets());
    const std::string& notice = run.game.State().keptGameNotice;
    const std::string head = "The kept game could not be read: " + kept.File().string() + ": ";
    EXPECT_TRUE(notice.rfind(head, 0) == 0 && notice.find(row.why) != std::string::npos &&
                notice.find("; it was moved aside as game.unreadable") != std::string::npos)
        << notice;
    EXPECT_EQ(fs::is_directory(kept.AsideFile()) ? "" : FileText(kept.AsideFile()), before);
  }
}

// A folder that cannot be made is told once, and the game goes on; once the
// game can be kept again the line goes.
TEST_F(KeptGameTest, AFolderThatCannotBeWrittenIsToldOnceAndTheGameGoesOn) {
  std::ofstream(folder_ / "ravelle") << "a file where the folder belongs";
  auto run = std::make_unique<CRun>(kept, true);
  CScoreboardGame& game = run->game;
  const std::string told = game.State().keptGameNotice;
  EXPECT_EQ(told, "The game is not being kept: " + kept.File().string() +
                      " cannot be written: its folder cannot be made: File exists");
  game.TypeTeam1("HOM");
  game.TypeTeam2("VIS");
  game.NewGame();
  game.PressAdd(1, 6);
  EXPECT_EQ(game.State().keptGameNotice, told);
  EXPECT_EQ(run->sink.packets.size(), 3u + 9u + 1u) << "blank sign, scoreboard, score";
  fs::remove(folder_ / "ravelle");
  game.PressAdd(1, 3);
  EXPECT_EQ(game.State().keptGameNotice, "");
  EXPECT_EQ(kept.Load().game->fields.team1Score, 9);
}

}  // namespace
