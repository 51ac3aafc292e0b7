// A game survives a crash: played in the desktop program, which is killed
// with SIGKILL, then `ravelle` itself is started again and the operator's
// Yes brings the game back onto the virtual sign.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/e2e/SignsimProcess.h"

namespace {

namespace fs = std::filesystem;

// A program started through the shell, its standard output and error read a
// line at a time (Qt's own warnings among them), each wait bounded to 20
// seconds.
class CProgram {
 public:
  explicit CProgram(const std::string& command)
      : output_(popen(("echo $$; exec " + command + " 2>&1").c_str(), "r")) {
    setvbuf(output_, nullptr, _IONBF, 0);
    pid_ = std::atoi(NextLine().c_str());
  }
  ~CProgram() {
    Kill(SIGTERM);
    pclose(output_);
  }
  std::string NextLine() {
    pollfd ready{fileno(output_), POLLIN, 0};
    char line[4096];
    if (poll(&ready, 1, 20000) <= 0 || fgets(line, sizeof line, output_) == nullptr) return "";
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  // The first line that begins with prefix; "" when none comes.
  std::string LineStarting(const std::string& prefix) {
    for (std::string line = NextLine();; line = NextLine()) {
      if (line.empty() || line.rfind(prefix, 0) == 0) return line;
    }
  }
  void Kill(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }

 private:
  FILE* output_;
  pid_t pid_ = -1;
};

TEST(KeptGameEndToEnd, AGameKilledMidwayIsBackOnTheSignAfterYes) {
  std::string pattern = (fs::temp_directory_path() / "ravelle-e2e-XXXXXX").string();
  const fs::path home = mkdtemp(pattern.data());
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
    CProgram player("env " + environment + " " KEPT_GAME_PLAYER_PATH);
    ASSERT_EQ(player.LineStarting("played"), "played");
    ASSERT_NE(sign.WaitForLine(scoreboard), "") << testing::PrintToString(sign.lines);
    player.Kill(SIGKILL);
  }
  ASSERT_TRUE(fs::exists(home / "state" / "ravelle" / "game"));

  sign.lines.clear();
  CProgram ravelle("env " + environment + " RAVELLE_TEST_ANSWER=yes " RAVELLE_PATH);
  EXPECT_TRUE(std::regex_match(
      ravelle.LineStarting("question: "),
      std::regex("question: Resume the game HOM 21 \u2013 VIS 14 \\(last change "
                 "(Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day [0-2][0-9]:[0-5][0-9]\\)\\?")));
  EXPECT_NE(sign.WaitForLine(scoreboard), "") << testing::PrintToString(sign.lines);
  EXPECT_EQ(sign.Reports(), std::vector<std::string>{});
  fs::remove_all(home);
}

}  // namespace
