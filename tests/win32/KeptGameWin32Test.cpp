#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "game/KeptGame.h"

namespace {

namespace fs = std::filesystem;

// The kept game in %LOCALAPPDATA%\Ravelle\game on Windows' own file calls:
// the folder made, the game replaced whole and read back, and a file that
// does not parse moved aside rather than used.
TEST(KeptGameWin32, TheGameIsKeptUnderLocalAppDataAndABadFileIsMovedAside) {
  const fs::path localAppData = fs::temp_directory_path() / "ravelle-kept-game-test";
  fs::remove_all(localAppData);
  ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", localAppData.c_str()), 0);
  const CKeptGame kept(UserKeptGamePath().value());
  EXPECT_EQ(kept.File(), localAppData / "Ravelle" / "game");

  CKeptGameRecord game;
  game.fields.team1Abbrev = "HOM";
  game.fields.team1Score = 21;
  game.fields.history = "  20:15:07 -- HOM ::  6\n  20:15:09 -- Note :: Half \x96 time\n";
  game.lastChange.tm_mday = 5;
  std::string problem;
  for (int score : {20, 21}) {
    game.fields.team2Score = score;
    ASSERT_TRUE(kept.Keep(game, problem)) << problem;
  }
  const CKeptGame::CFound found = kept.Load();
  ASSERT_TRUE(found.game) << found.problem;
  EXPECT_EQ(found.game->fields, game.fields);

  std::ofstream(kept.File(), std::ios::binary | std::ios::trunc) << "not a kept game";
  const CKeptGame::CFound unreadable = kept.Load();
  EXPECT_FALSE(unreadable.game);
  EXPECT_NE(unreadable.problem.find("it was moved aside as game.unreadable"), std::string::npos)
      << unreadable.problem;
  EXPECT_TRUE(fs::exists(kept.AsideFile()));
  EXPECT_FALSE(fs::exists(kept.File()));
  fs::remove_all(localAppData);
}

}  // namespace
