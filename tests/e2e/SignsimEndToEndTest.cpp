// The command line driving the virtual sign over a pseudo-terminal, and the
// virtual sign's own links: its TCP port and its serial port's lock. The
// network road against real far ends, all on 127.0.0.1: Debian's ser2net
// (started here with a configuration of the test's own, leading to a
// pseudo-terminal), the virtual sign's RFC 2217 port, and small servers that
// misbehave on purpose.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "tests/cli/CliRun.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/PortHolder.h"

namespace {

using namespace std::string_literals;

int LoopbackListener(int backlog, int receiveBuffer = 0) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (receiveBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(int));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(fd, backlog);
  return fd;
}

int PortOf(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A port on 127.0.0.1 that nothing listens on (the test's own, released).
int ClosedPort() {
  const int fd = LoopbackListener(1);
  const int port = PortOf(fd);
  close(fd);
  return port;
}

// A connection to 127.0.0.1:port, left to complete on its own unless wait
// is set; -1 when a connection waited for could not be made.
int ConnectTo(int port, bool wait = false) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0);
  sockaddr_in address{
      AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && wait) {
    close(fd);
    return -1;
  }
  return fd;
}

bool Listening(int port) {
  std::ifstream table("/proc/net/tcp");
  std::ostringstream wanted;
  wanted << "0100007F:" << std::uppercase << std::hex << port << " 00000000:0000 0A";
  for (std::string line; std::getline(table, line);) {
    if (line.find(wanted.str()) != std::string::npos) return true;
  }
  return false;
}

// ser2net with a raw and an RFC 2217 port on 127.0.0.1, both leading to the
// given device; never its own configuration or service.
class CSer2net {
 public:
  explicit CSer2net(const std::string& device) : rawPort(ClosedPort()), rfc2217Port(ClosedPort()) {
    char folder[] = "/tmp/ravelle-ser2net-XXXXXX";
    folder_ = mkdtemp(folder);
    std::ofstream(folder_ + "/ser2net.yaml")
        << "%YAML 1.1\n---\n"
        << "connection: &raw\n  accepter: tcp,127.0.0.1," << rawPort << "\n  connector: serialdev,"
        << device << ",9600n81,local\n  options:\n    mdns: false\n"
        << "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << rfc2217Port
        << "\n  connector: serialdev," << device << ",9600n81,local\n  options:\n    mdns: false\n";
    pid_ = fork();
    if (pid_ == 0) {
      execlp("ser2net", "ser2net", "-n", "-u", "-c", (folder_ + "/ser2net.yaml").c_str(), "-P",
             (folder_ + "/pid").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int wait = 0; wait < 500 && !(Listening(rawPort) && Listening(rfc2217Port)); ++wait) {
      usleep(10000);
    }
  }
  ~CSer2net() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    std::filesystem::remove_all(folder_);
  }
  bool Running() const { return Listening(rawPort) && Listening(rfc2217Port); }

  const int rawPort;
  const int rfc2217Port;

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

// The bytes a session sends: its --dump, turned back into bytes.
std::vector<unsigned char> DumpedBytes(const std::string& script) {
  std::istringstream dump(RunCliOn({"--dump", "session"}, script).out);
  std::vector<unsigned char> bytes;
  for (std::string word; dump >> word;) {
    if (word != "packet")
      bytes.push_back(static_cast<unsigned char>(std::stoul(word, nullptr, 16)));
  }
  return bytes;
}

// Reads the pseudo-terminal until count bytes came (or 20 s of quiet),
// noting the line speed while the first bytes arrive, that is while the
// sender is connected.
struct CArrival {
  std::vector<unsigned char> bytes;
  speed_t speedWhileConnected = 0;
};
CArrival ReadArrival(CPseudoTerminal& pty, std::size_t count) {
  CArrival arrival;
  unsigned char buffer[4096];
  pollfd ready{pty.Master(), POLLIN, 0};
  while (arrival.bytes.size() < count && poll(&ready, 1, 20000) > 0) {
    if (arrival.bytes.empty()) {
      const termios line = pty.LineSettings();
      arrival.speedWhileConnected = cfgetospeed(&line);
    }
    const ssize_t got = read(pty.Master(), buffer, sizeof buffer);
    if (got <= 0) break;
    arrival.bytes.insert(arrival.bytes.end(), buffer, buffer + got);
  }
  return arrival;
}

constexpr const char* kGame =
    "team1 HOM\nteam2 VIS\nnewgame\nadd 1 6\nadd 2 3\nadd 1 1\nsub 2 1\nnote \"Half time\"\n"
    "sendnote\nsendscore\nadd 2 6\nclearsign\n";

class NetworkRoad : public TemporaryConfigHome {};

// A whole game arrives byte-exact through ser2net's raw and RFC 2217 ports,
// the line at the speed asked for over RFC 2217. ser2net serves one sender
// at a time and turns the next away ("Port already in use"): the packets
// wait for the holder to go, as for a busy port.
TEST_F(NetworkRoad, AWholeGameArrivesThroughSer2netWhichIsWaitedForWhenBusy) {
  CPseudoTerminal pty;
  pty.MakeRaw();
  CSer2net server(pty.SlavePath());
  ASSERT_TRUE(server.Running()) << "ser2net did not start";
  const std::string opening = "team1 HOM\nteam2 VIS\nnewgame\n";
  struct Road {
    int port;
    std::vector<std::string> options;
    speed_t speed;  // 0: the server's own
  };
  for (const Road& road : {Road{server.rawPort, {}, 0},
                           Road{server.rfc2217Port, {"--rfc2217", "--baud", "19200"}, B19200}}) {
    std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(road.port)};
    args.insert(args.end(), road.options.begin(), road.options.end());
    args.push_back("session");
    for (const std::string& script : {std::string(kGame), opening}) {
      const bool busy = script == opening;
      const int holder = busy ? ConnectTo(road.port) : -1;
      if (busy) usleep(100000);  // served first
      auto leaves = std::async(std::launch::async, [holder] {
        if (holder < 0) return;
        usleep(600000);
        close(holder);
      });
      const std::vector<unsigned char> expected = DumpedBytes(script);
      auto arrival = std::async(std::launch::async, ReadArrival, std::ref(pty), expected.size());
      const CCliRun run = RunCliOn(args, script);
      EXPECT_EQ(run.exitStatus, 0) << args[1] << ": " << run.err;
      const CArrival got = arrival.get();
      EXPECT_EQ(got.bytes, expected) << args[1] << (busy ? " busy" : "");
      if (road.speed != 0 && !busy) {
        EXPECT_EQ(got.speedWhileConnected, road.speed);
      }
    }
  }
}

// The virtual sign's TCP port, from its "tcp: " line.
std::uint16_t TcpPort(CSignsimProcess& sign) {
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  return static_cast<std::uint16_t>(std::stoi(tcp.substr(tcp.rfind(':') + 1)));
}

TEST_F(NetworkRoad, TheVirtualSignSeesTheFramingAndTheBreakAskedForOverRfc2217) {
  CSignsimProcess sign("--tcp 0 --rfc2217");
  const CCliRun run =
      RunCliOn({"--tcp", "127.0.0.1:" + std::to_string(TcpPort(sign)), "--rfc2217", "--baud",
                "9600", "--bits", "7", "--parity", "even", "scoreboard", "HOM", "VIS"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(sign.WaitForLine("line: 9600 7E1 flow none"), "");
  EXPECT_NE(sign.WaitForLine("line: break"), "");
  EXPECT_NE(sign.WaitForLine([](const std::string& line) { return line.find("HOM") != line.npos; }),
            "");
}

// A server that accepts one connection, says its piece and reads
// everything until the sender goes.
std::future<void> ServeOnce(int listener, std::string says) {
  return std::async(std::launch::async, [listener, says] {
    pollfd ready{listener, POLLIN, 0};
    if (poll(&ready, 1, 20000) <= 0) return;
    const int fd = accept(listener, nullptr, nullptr);
    [[maybe_unused]] ssize_t sent = send(fd, says.data(), says.size(), MSG_NOSIGNAL);
    char buffer[4096];
    pollfd closed{fd, POLLIN, 0};
    while (poll(&closed, 1, 20000) > 0 && read(fd, buffer, sizeof buffer) > 0) {
    }
    close(fd);
  });
}

using NetworkRoadFailure = CPseudoTerminalTest;

// Each way a device server fails a send, named in the failure with the
// server: one refusing the baud rate over RFC 2217; a closed port (refused
// after the busy wait); a connection never accepted (backlog 0: one queued
// connection fills it, later ones are never answered) timing out at the
// connect bound; and one that stops reading (never accepted, so never read:
// its small buffer fills) failing at the write deadline.
TEST_F(NetworkRoadFailure, EachFailureNamesTheServerAndItsReason) {
  const int refusing = LoopbackListener(1);
  // DO COM-PORT-OPTION, binary both ways, then a baud rate answer of 9600.
  auto server = ServeOnce(refusing,
                          "\xFF\xFD\x2C\xFF\xFD\x00\xFF\xFB\x00"
                          "\xFF\xFA\x2C\x65\x00\x00\x25\x80\xFF\xF0"s);
  const int unanswered = LoopbackListener(0);
  const int queued[] = {ConnectTo(PortOf(unanswered)), ConnectTo(PortOf(unanswered))};
  const int unread = LoopbackListener(1, 4096);
  usleep(100000);
  const struct {
    int port;
    const char* protocol;
    int baudRate;  // 4000000: a write deadline of a few seconds for a megabyte
    std::size_t size;
    const char* reason;
  } rows[] = {{PortOf(refusing), kTcpProtocolRfc2217, 19200, 28,
               "the device server refused the baud rate 19200 (it answered baud rate 9600): "
               "Invalid argument"},
              {ClosedPort(), kTcpProtocolRaw, 9600, 28, "Connection refused"},
              {PortOf(unanswered), kTcpProtocolRaw, 9600, 28, "Connection timed out"},
              {PortOf(unread), kTcpProtocolRaw, 4000000, 1 << 20,
               "the device server did not take the packet: Connection timed out"}};
  doc_.connection = kConnectionNetwork;
  doc_.host = "127.0.0.1";
  for (const auto& row : rows) {
    std::tie(doc_.tcpPort, doc_.tcpProtocol, doc_.baudRate) =
        std::tie(row.port, row.protocol, row.baudRate);
    const std::vector<unsigned char> packet(row.size, 0);
    link_.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
    ASSERT_TRUE(link_.LastSerialFailure()) << row.reason;
    EXPECT_EQ(link_.LastSerialFailure()->Where() + ": " + link_.LastSerialFailure()->systemText,
              "device server 127.0.0.1:" + std::to_string(row.port) + ": " + row.reason);
  }
  EXPECT_EQ(outcomes_, 4);
  server.get();
  for (int fd : {queued[0], queued[1], refusing, unanswered, unread}) close(fd);
}

using Lines = std::vector<std::string>;

// A note frame whose text the sign then shows, and the line that says so.
std::string NoteFrame(const std::string& text) { return "\1Z00\2AA\033 a" + text + "\4"; }
auto Shows(const std::string& text) {
  return [text](const std::string& line) {
    return line.rfind("sign: ", 0) == 0 && line.ends_with(text);
  };
}

class SignsimEndToEnd : public TemporaryConfigHome {
 protected:
  // Runs ravelle-cli (arguments in shell syntax) on COM port 1 mapped to the
  // virtual sign, with the test's own settings folder; input is its standard
  // input. Fails the test unless it succeeds.
  void RunCli(const std::string& arguments, const std::string& input = "") {
    const std::string command = "RAVELLE_COM1=" + sign_.serialPath + " " + RAVELLE_CLI_PATH +
                                " --port 1 " + arguments + " <<'END'\n" + input + "END\n";
    ASSERT_EQ(std::system(command.c_str()), 0) << arguments;
  }

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
    const int fd = ConnectTo(port, true);
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
  const int fd = ConnectTo(port, true);
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
