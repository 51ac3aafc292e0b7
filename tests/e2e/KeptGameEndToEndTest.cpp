// A game survives a crash: played in the desktop program, which is killed
// with SIGKILL, then `ravelle` itself is started again and the operator's
// Yes brings the game back onto the virtual sign.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/e2e/SignsimProcess.h"

namespace {

namespace fs = std::filesystem;

TEST(KeptGameEndToEnd, AGameKilledMidwayIsBackOnTheSignAfterYes) {
  std::string pattern = (fs::temp_directory_path() / "ravelle-e2e-XXXXXX").string();
  const fs::path home = mkdtemp(pattern.data());
  // Removed however the test ends.
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> removeHome(
      &home, [](const fs::path* folder) { fs::remove_all(*folder); });
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  CRegistryAccess registry;
  CCommSettings serial{"alpha", "serial port - betabrite classic", 1, 9600, 7, "even", 1};
  SaveCommSettings(serial, registry);

  CSignsimProcess sign;
  const std::string environment =
      "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + (home / "config").string() +
      " XDG_STATE_HOME=" + (home / "state").string() + " RAVELLE_COM1=" + sign.serialPath;
  const std::string scoreboard = "sign: {hold}{fixed}{red}HOM{red} 21 {red}VIS{red} 14";
  {
    CChildProcess player("env " + environment + " " KEPT_GAME_PLAYER_PATH " 2>&1");
    ASSERT_EQ(player.WaitForLine("played"), "played");
    ASSERT_NE(sign.WaitForLine(scoreboard), "") << testing::PrintToString(sign.lines);
    player.Kill(SIGKILL);
  }
  ASSERT_TRUE(fs::exists(home / "state" / "ravelle" / "game"));

  sign.lines.clear();
  // Its output and Qt's own warnings, read a line at a time.
  CChildProcess ravelle("env " + environment + " RAVELLE_TEST_ANSWER=yes " RAVELLE_PATH " 2>&1");
  EXPECT_TRUE(std::regex_match(
      ravelle.WaitForLine([](const std::string& line) { return line.starts_with("question: "); }),
      std::regex("question: Resume the game HOM 21 \u2013 VIS 14 \\(last change "
                 "(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day [0-2][0-9]:[0-5][0-9]\\)\\?")));
  EXPECT_NE(sign.WaitForLine(scoreboard), "") << testing::PrintToString(sign.lines);
  EXPECT_EQ(sign.Reports(), std::vector<std::string>{});
}

}  // namespace
