#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "sign/Packets.h"
#include "tests/e2e/SignsimProcess.h"

namespace {

bool IsReport(const std::string& line) {
  return line.rfind("error: ", 0) == 0 || line.rfind("warning: ", 0) == 0;
}

class SignsimEndToEnd : public testing::Test {
 protected:
  SignsimEndToEnd() {
    char pattern[] = "/tmp/ravelle-e2e-XXXXXX";
    configHome_ = mkdtemp(pattern);
  }
  ~SignsimEndToEnd() override { std::filesystem::remove_all(configHome_); }

  // Nothing the program sent drew an error or a warning from the sign.
  void ExpectNoReports() {
    ASSERT_TRUE(sign_.Settle());
    for (const std::string& line : sign_.Lines()) EXPECT_FALSE(IsReport(line)) << line;
  }

  CSignsimProcess sign_;
  std::string configHome_;
};

TEST_F(SignsimEndToEnd, ScoreboardAndTwoScorePressesLightUpInTheirColours) {
  const CCliRun run = RunCli({"--port", "1", "session"}, sign_.SerialPath(), configHome_,
                             "team1 HOM\n"
                             "team2 VIS\n"
                             "colors Red Green Amber Yellow\n"
                             "newgame\n"
                             "add 1 6\n"
                             "add 1 1\n"
                             "add 2 3\n");
  ASSERT_EQ(run.exitStatus, 0) << run.output;
  EXPECT_NE(sign_.WaitForLine("sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"), "");
  ExpectNoReports();
  // The line settings came along with the first packet.
  bool lineReported = false;
  for (const std::string& line : sign_.Lines()) lineReported |= line.rfind("line: 9600 ", 0) == 0;
  EXPECT_TRUE(lineReported);
}

TEST_F(SignsimEndToEnd, GiantNoteRotatesWideWithItsAccents) {
  const CCliRun run =
      RunCli({"--port", "1", "note", "Half  time\nCafé", "--color", "Orange", "--size", "Giant"},
             sign_.SerialPath(), configHome_);
  ASSERT_EQ(run.exitStatus, 0) << run.output;
  EXPECT_NE(sign_.WaitForLine("sign: {rotate}{orange}{wide}Half time Café{/wide}"), "");
  ExpectNoReports();
}

TEST_F(SignsimEndToEnd, ClearingTheSignBlanksIt) {
  ASSERT_EQ(RunCli({"--port", "1", "scoreboard", "ABC", "XYZ", "--scores", "100", "5"},
                   sign_.SerialPath(), configHome_)
                .exitStatus,
            0);
  EXPECT_NE(sign_.WaitForLine("sign: {hold}{fixed}{red}ABC{red}100 {red}XYZ{red} 5"), "");
  ASSERT_EQ(RunCli({"--port", "1", "clear"}, sign_.SerialPath(), configHome_).exitStatus, 0);
  EXPECT_NE(sign_.WaitForLine("sign: {blank}"), "");
  ExpectNoReports();
}

TEST_F(SignsimEndToEnd, ReportsTheLineSettingsTheSenderApplied) {
  ASSERT_EQ(RunCli({"--port", "1", "--baud", "19200", "--bits", "8", "--parity", "none",
                    "--stop-bits", "2", "clear"},
                   sign_.SerialPath(), configHome_)
                .exitStatus,
            0);
  EXPECT_NE(sign_.WaitForLine("line: 19200 8N2 flow none"), "");
}

TEST(SignsimTcp, TakesPacketsOnItsTcpPortAndResynchronisesAfterGarbage) {
  CSignsimProcess sign({"--tcp", "0"});
  const std::string tcpLine =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  ASSERT_NE(tcpLine, "");
  const int port = std::atoi(tcpLine.substr(tcpLine.rfind(':') + 1).c_str());

  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::vector<unsigned char> stream = {'x', 'y'};
  for (const auto& packet : {*MakeMemoryConfigPacket(60), MakeStringPacket('1', " 4"),
                             MakeNotePacket("\x10"
                                            "1 up",
                                            '3', false),
                             MakeRunSequencePacket()}) {
    stream.insert(stream.end(), packet.begin(), packet.end());
  }
  const std::string cutShort = "\x01Z00\x02G2";
  stream.insert(stream.end(), cutShort.begin(), cutShort.end());
  ASSERT_EQ(write(fd, stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
  close(fd);

  EXPECT_NE(sign.WaitForLine("error: bytes outside a frame (no SOH): 78 79"), "");
  EXPECT_NE(sign.WaitForLine("sign: {rotate}{amber} 4 up"), "");
  EXPECT_NE(sign.WaitForLine("error: frame cut short: the stream ended before EOT: 01 5A 30 30 "
                             "02 47 32"),
            "");
}

}  // namespace
