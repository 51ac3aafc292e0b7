// The network road against real far ends, all on 127.0.0.1: Debian's
// ser2net (started here with a configuration of the test's own, leading to a
// pseudo-terminal), the virtual sign's RFC 2217 port, and small servers that
// misbehave on purpose.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "tests/cli/CliRun.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/link/LinkFakes.h"
#include "tools/cli/CommandLine.h"

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

int ConnectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
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

TEST_F(NetworkRoad, AWholeGameArrivesByteExactThroughSer2netRawAndRfc2217) {
  CPseudoTerminal pty;
  pty.MakeRaw();
  CSer2net server(pty.SlavePath());
  ASSERT_TRUE(server.Running()) << "ser2net did not start";
  const std::vector<unsigned char> expected = DumpedBytes(kGame);
  struct Road {
    std::vector<std::string> options;
    speed_t speed;  // 0: the server's own
  };
  for (const Road& road : {Road{{"--tcp", "127.0.0.1:" + std::to_string(server.rawPort)}, 0},
                           Road{{"--tcp", "127.0.0.1:" + std::to_string(server.rfc2217Port),
                                 "--rfc2217", "--baud", "19200"},
                                B19200}}) {
    auto arrival = std::async(std::launch::async, ReadArrival, std::ref(pty), expected.size());
    std::vector<std::string> args = road.options;
    args.push_back("session");
    const CCliRun run = RunCliOn(args, kGame);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const CArrival got = arrival.get();
    EXPECT_EQ(got.bytes, expected) << args[1];
    if (road.speed != 0) {
      EXPECT_EQ(got.speedWhileConnected, road.speed);
    }
  }
}

// ser2net serves one sender at a time and turns the next away ("Port
// already in use"): the packets wait for the holder to go, as for a busy port.
TEST_F(NetworkRoad, Ser2netServingAnotherSenderIsWaitedFor) {
  CPseudoTerminal pty;
  pty.MakeRaw();
  CSer2net server(pty.SlavePath());
  ASSERT_TRUE(server.Running()) << "ser2net did not start";
  const std::vector<unsigned char> expected = DumpedBytes("team1 HOM\nteam2 VIS\nnewgame\n");
  for (int port : {server.rawPort, server.rfc2217Port}) {
    const int holder = ConnectTo(port);
    usleep(100000);  // served first
    auto leaves = std::async(std::launch::async, [holder] {
      usleep(600000);
      close(holder);
    });
    auto arrival = std::async(std::launch::async, ReadArrival, std::ref(pty), expected.size());
    std::vector<std::string> args = {"--tcp", "127.0.0.1:" + std::to_string(port), "session"};
    if (port == server.rfc2217Port) args.insert(args.begin() + 2, "--rfc2217");
    const CCliRun run = RunCliOn(args, "team1 HOM\nteam2 VIS\nnewgame\n");
    EXPECT_EQ(run.exitStatus, 0) << args[1] << ": " << run.err;
    EXPECT_EQ(arrival.get().bytes, expected) << args[1];
  }
}

TEST_F(NetworkRoad, TheVirtualSignSeesTheFramingAndTheBreakAskedForOverRfc2217) {
  CSignsimProcess sign("--tcp 0 --rfc2217");
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  const CCliRun run = RunCliOn({"--tcp", tcp.substr(5), "--rfc2217", "--baud", "9600", "--bits",
                                "7", "--parity", "even", "scoreboard", "HOM", "VIS"});
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

// --tcp HOST:PORT (an IPv6 address in brackets) and --rfc2217 with it;
// anything else is refused before a packet is built.
TEST(NetworkRoadCommandLine, TheServerIsHostColonPortAndRfc2217NeedsIt) {
  struct Row {
    std::vector<std::string> args;
    std::string host;  // empty: refused
    int port;
  };
  for (const Row& row : std::vector<Row>{
           {{"--tcp", "sign-server:4001"}, "sign-server", 4001},
           {{"--tcp", "[fe80::1]:23", "--rfc2217"}, "fe80::1", 23},
           {{"--tcp", "sign-server"}, "", 0},
           {{"--tcp", "sign-server:0"}, "", 0},
           {{"--tcp", ":4001"}, "", 0},
           {{"--rfc2217"}, "", 0},
           {{"--tcp", "h:1", "--port", "1"}, "", 0},
           {{"--tcp", "h:1", "--usb"}, "", 0},
       }) {
    std::vector<std::string> args = row.args;
    args.push_back("clear");
    std::string error;
    const std::optional<CCommandLine> line = ParseCommandLine(args, error);
    ASSERT_EQ(line.has_value(), !row.host.empty()) << args[0] << " " << args[1] << ": " << error;
    if (line) {
      EXPECT_EQ(std::tie(*line->road.tcpHost, line->road.tcpPort), std::tie(row.host, row.port));
    }
  }
}

class NetworkRoadFailure : public CPseudoTerminalTest {
 protected:
  // One packet through the device server on port; the failure's text.
  std::string SendFails(int port, const char* protocol, std::size_t size = 28) {
    doc_.connection = kConnectionNetwork;
    doc_.host = "127.0.0.1";
    doc_.tcpPort = port;
    doc_.tcpProtocol = protocol;
    const std::vector<unsigned char> packet(size, 0);
    link_.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
    if (!link_.LastSerialFailure()) return "sent";
    return link_.LastSerialFailure()->Where() + ": " + link_.LastSerialFailure()->systemText;
  }
};

TEST_F(NetworkRoadFailure, AClosedPortIsRefusedAfterTheBusyWait) {
  const int port = ClosedPort();
  EXPECT_EQ(SendFails(port, kTcpProtocolRaw),
            "device server 127.0.0.1:" + std::to_string(port) + ": Connection refused");
  EXPECT_EQ(outcomes_, 1);
}

TEST_F(NetworkRoadFailure, AConnectionNeverAcceptedTimesOutAtTheConnectBound) {
  // Backlog 0: one queued connection fills it, and later ones are never
  // answered.
  const int listener = LoopbackListener(0);
  const int queued[] = {ConnectTo(PortOf(listener)), ConnectTo(PortOf(listener))};
  usleep(100000);
  EXPECT_EQ(
      SendFails(PortOf(listener), kTcpProtocolRaw),
      "device server 127.0.0.1:" + std::to_string(PortOf(listener)) + ": Connection timed out");
  for (int fd : queued) close(fd);
  close(listener);
}

TEST_F(NetworkRoadFailure, AServerThatStopsReadingFailsAtTheWriteDeadline) {
  // Never accepted, so never read: the connection's small buffer fills and
  // the packet is never all acknowledged.
  const int listener = LoopbackListener(1, 4096);
  doc_.baudRate = 4000000;  // a deadline of a few seconds for a megabyte
  EXPECT_EQ(SendFails(PortOf(listener), kTcpProtocolRaw, 1 << 20),
            "device server 127.0.0.1:" + std::to_string(PortOf(listener)) +
                ": the device server did not take the packet: Connection timed out");
  close(listener);
}

TEST_F(NetworkRoadFailure, AServerThatRefusesTheBaudRateFailsTheSendNamingBoth) {
  const int listener = LoopbackListener(1);
  doc_.baudRate = 19200;
  // DO COM-PORT-OPTION, binary both ways, then a baud rate answer of 9600.
  const std::string says =
      "\xFF\xFD\x2C\xFF\xFD\x00\xFF\xFB\x00"
      "\xFF\xFA\x2C\x65\x00\x00\x25\x80\xFF\xF0"s;
  auto server = ServeOnce(listener, says);
  EXPECT_EQ(SendFails(PortOf(listener), kTcpProtocolRfc2217),
            "device server 127.0.0.1:" + std::to_string(PortOf(listener)) +
                ": the device server refused the baud rate 19200 (it answered baud rate 9600): "
                "Invalid argument");
  server.get();
  close(listener);
}

}  // namespace
