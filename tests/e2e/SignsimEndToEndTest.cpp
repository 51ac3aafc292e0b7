#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/SignsimProcess.h"
#include "tests/support/PortHolder.h"

namespace {

using Lines = std::vector<std::string>;

// A TCP connection to the virtual sign; -1 when it could not be made.
int ConnectTo(std::uint16_t port) {
  sockaddr_in address{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::uint16_t TcpPort(CSignsimProcess& sign) {
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  return static_cast<std::uint16_t>(std::stoi(tcp.substr(tcp.rfind(':') + 1)));
}

// A note frame whose text the sign then shows, and the line that says so.
std::string NoteFrame(const std::string& text) { return "\1Z00\2AA\033 a" + text + "\4"; }
auto Shows(const std::string& text) {
  return [text](const std::string& line) {
    return line.rfind("sign: ", 0) == 0 && line.ends_with(text);
  };
}

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

TEST_F(SignsimEndToEnd, AGameAndClearingShowOnTheSignOnTheLineSettingsApplied) {
  RunCli(
      "session",
      "team1 HOM\nteam2 VIS\ncolors Red Green Amber Yellow\nnewgame\nadd 1 6\nadd 1 1\nadd 2 3\n");
  EXPECT_NE(sign_.WaitForLine("sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"), "");
  RunCli("--baud 19200 --bits 8 --parity none --stop-bits 2 clear");
  EXPECT_NE(sign_.WaitForLine("line: 19200 baud, 2 stop bits, flow none (data bits and parity not "
                              "visible on a pseudo-terminal)"),
            "");
  EXPECT_NE(sign_.WaitForLine("sign: {blank}"), "");
  // A rate the termios table lacks, typed in the custom settings.
  RunCli("--baud 12345 note typed");
  EXPECT_NE(sign_.WaitForLine("line: 12345 baud, 1 stop bit, flow none (data bits and parity not "
                              "visible on a pseudo-terminal)"),
            "");
  EXPECT_NE(sign_.WaitForLine("sign: {rotate}{red}typed"), "");
  EXPECT_EQ(sign_.Reports(), Lines{});
}

// A flood of TCP connections on a process with few descriptors: accepting
// rests and says why, the serial link goes on decoding, and once the flood
// is gone new connections are served again; a frame the end of a
// connection cuts short is reported.
TEST(SignsimTcp, SurvivesRunningOutOfDescriptors) {
  CSignsimProcess sign("--tcp 0", "prlimit --nofile=24:24");
  const std::uint16_t port = TcpPort(sign);
  std::vector<int> flood;
  for (int i = 0; i < 40; ++i) {
    const int fd = ConnectTo(port);
    ASSERT_GE(fd, 0) << "connection " << i << " not even queued";
    flood.push_back(fd);
  }
  EXPECT_NE(
      sign.WaitForLine("link: accept: Too many open files; new TCP connections wait a second"), "");

  const int serial = open(sign.serialPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(serial, 0);
  const std::string frame = std::string(20, '\0') + NoteFrame("serial");
  ASSERT_EQ(write(serial, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
  close(serial);
  EXPECT_NE(sign.WaitForLine(Shows("serial")), "");

  for (int fd : flood) close(fd);
  const int fd = ConnectTo(port);
  ASSERT_GE(fd, 0);
  const std::string tcpFrames = NoteFrame("tcp") + "\1Z00\2G2";
  ASSERT_EQ(write(fd, tcpFrames.data(), tcpFrames.size()), static_cast<ssize_t>(tcpFrames.size()));
  close(fd);
  EXPECT_NE(sign.WaitForLine(Shows("tcp")), "");
  EXPECT_NE(
      sign.WaitForLine("error: frame cut short: the stream ended before EOT: 01 5A 30 30 02 47 32"),
      "");
}

// A sender killed while it held the port leaves the pty's exclusive flag
// set, which would refuse every later sender that is not root: the virtual
// sign sees that no living sender holds the port's lock and clears it.
TEST(SignsimSerial, ClearsTheExclusiveFlagOfASenderThatDied) {
  CSignsimProcess sign;
  setenv("RAVELLE_COM1", sign.serialPath.c_str(), 1);
  CPortHolder holder(60000);
  ASSERT_TRUE(holder.Holding()) << "the holder could not open the port";
  holder.Kill();

  EXPECT_NE(sign.WaitForLine("link: cleared the exclusive flag a sender that died left on " +
                             sign.serialPath),
            "");
  const int fd = open(sign.serialPath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  int exclusive = 1;
  EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  close(fd);
}

}  // namespace
