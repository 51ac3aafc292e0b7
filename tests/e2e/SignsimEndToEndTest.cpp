#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <filesystem>

#include "sign/Packets.h"
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
                                " --port 1 " + arguments + " 2>&1 <<'END'\n" + input + "END\n";
    FILE* cli = popen(command.c_str(), "r");
    ASSERT_NE(cli, nullptr);
    std::string output;
    for (int c; (c = fgetc(cli)) != EOF;) output += static_cast<char>(c);
    const int status = pclose(cli);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << arguments << "\n" << output;
  }

  std::string configHome_ = [] {
    char pattern[] = "/tmp/ravelle-e2e-XXXXXX";
    return std::string(mkdtemp(pattern));
  }();
  CSignsimProcess sign_;
};

TEST_F(SignsimEndToEnd, ScoreboardAndTwoScorePressesLightUpInTheirColours) {
  RunCli(
      "session",
      "team1 HOM\nteam2 VIS\ncolors Red Green Amber Yellow\nnewgame\nadd 1 6\nadd 1 1\nadd 2 3\n");
  EXPECT_NE(sign_.WaitForLine("sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"), "");
  EXPECT_EQ(sign_.Reports(), Lines{});
  // The line settings the program applied came along with its first packet.
  EXPECT_EQ(sign_.lines.at(1).rfind("line: 9600 ", 0), 0u) << sign_.lines.at(1);
}

TEST_F(SignsimEndToEnd, ANoteRotatesAndClearingBlanksTheSignOnTheLineSettingsApplied) {
  RunCli("note 'Half  time\nCafé' --color Orange --size Giant");
  EXPECT_NE(sign_.WaitForLine("sign: {rotate}{orange}{wide}Half time Café{/wide}"), "");
  RunCli("--baud 19200 --bits 8 --parity none --stop-bits 2 clear");
  EXPECT_NE(sign_.WaitForLine("line: 19200 8N2 flow none"), "");
  EXPECT_NE(sign_.WaitForLine("sign: {blank}"), "");
  EXPECT_EQ(sign_.Reports(), Lines{});
}

TEST(SignsimTcp, TakesPacketsOnItsTcpPortAndResynchronisesAfterGarbage) {
  CSignsimProcess sign("--tcp 0");
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(std::stoi(tcp.substr(tcp.rfind(':') + 1))));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::vector<unsigned char> stream = {'x', 'y'};
  for (const auto& packet : {*MakeMemoryConfigPacket(60), MakeStringPacket('1', " 4"),
                             MakeNotePacket("\x10"
                                            "1 up",
                                            '3', false),
                             MakeRunSequencePacket()}) {
    stream.insert(stream.end(), packet.begin(), packet.end());
  }
  stream.insert(stream.end(),
                {1, 'Z', '0', '0', 2, 'G', '2'});  // cut short by the end of the stream
  ASSERT_EQ(write(fd, stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
  close(fd);
  EXPECT_NE(sign.WaitForLine("error: bytes outside a frame (no SOH): 78 79"), "");
  EXPECT_NE(sign.WaitForLine("sign: {rotate}{amber} 4 up"), "");
  EXPECT_NE(
      sign.WaitForLine("error: frame cut short: the stream ended before EOT: 01 5A 30 30 02 47 32"),
      "");
}

}  // namespace
