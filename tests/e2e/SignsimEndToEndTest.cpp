#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/SignsimProcess.h"

namespace {

using Lines = std::vector<std::string>;

class SignsimEndToEnd : public testing::Test {
 protected:
  ~SignsimEndToEnd() override { std::filesystem::remove_all(configHome_); }

  // Runs ravelle-cli (arguments in shell syntax) on COM port 1 mapped to the
  // virtual sign, with its own settings folder; input is its standard input.
  // Fails the test unless it succeeds.
  void RunCli(const std::string& arguments, const std::string& input = "") {
    const std::string command = "RAVELLE_COM1=" + sign_.serialPath +
                                " XDG_CONFIG_HOME=" + configHome_ + " " + RAVELLE_CLI_PATH +
                                " --port 1 " + arguments + " <<'END'\n" + input + "END\n";
    ASSERT_EQ(std::system(command.c_str()), 0) << arguments;
  }

  std::string configHome_ = [] {
    char pattern[] = "/tmp/ravelle-e2e-XXXXXX";
    return std::string(mkdtemp(pattern));
  }();
  CSignsimProcess sign_;
};

TEST_F(SignsimEndToEnd, AGameANoteAndClearingShowOnTheSignOnTheLineSettingsApplied) {
  RunCli(
      "session",
      "team1 HOM\nteam2 VIS\ncolors Red Green Amber Yellow\nnewgame\nadd 1 6\nadd 1 1\nadd 2 3\n");
  EXPECT_NE(sign_.WaitForLine("sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"), "");
  RunCli("note 'Half  time\nCafé' --color Orange --size Giant");
  EXPECT_NE(sign_.WaitForLine("sign: {rotate}{orange}{wide}Half time Café{/wide}"), "");
  RunCli("--baud 19200 --bits 8 --parity none --stop-bits 2 clear");
  EXPECT_NE(sign_.WaitForLine("line: 19200 8N2 flow none"), "");
  EXPECT_NE(sign_.WaitForLine("sign: {blank}"), "");
  EXPECT_EQ(sign_.Reports(), Lines{});
}

// Garbage first, then a note, then a frame the end of the stream cuts short.
TEST(SignsimTcp, TakesPacketsOnItsTcpPortAndResynchronisesAfterGarbage) {
  CSignsimProcess sign("--tcp 0");
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  const auto port = static_cast<std::uint16_t>(std::stoi(tcp.substr(tcp.rfind(':') + 1)));
  sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string stream = "xy\1Z00\2AA\033 a\0343up\4\1Z00\2G2";
  ASSERT_EQ(write(fd, stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
  close(fd);
  EXPECT_NE(sign.WaitForLine("error: bytes outside a frame (no SOH): 78 79"), "");
  EXPECT_NE(sign.WaitForLine("sign: {rotate}{amber}up"), "");
  EXPECT_NE(
      sign.WaitForLine("error: frame cut short: the stream ended before EOT: 01 5A 30 30 02 47 32"),
      "");
}

}  // namespace
