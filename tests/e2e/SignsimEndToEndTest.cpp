// The command line and the sign link against real far ends, all on
// 127.0.0.1 or a pseudo-terminal: the virtual sign on each of its roads,
// Debian's ser2net (started here with a configuration of the test's own,
// leading to a pseudo-terminal), and small servers that misbehave on purpose.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "tests/cli/CliRun.h"
#include "tests/e2e/SignsimProcess.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/PortHolder.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using NetworkRoad = CPseudoTerminalTest;

int Listener(int backlog, int receiveBuffer = 0) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (receiveBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(int));
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
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
  const int fd = Listener(1), port = PortOf(fd);
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
  return std::string(std::istreambuf_iterator<char>(table), {}).find(wanted.str()) !=
         std::string::npos;
}

// A whole game arrives byte-exact through ser2net's raw and RFC 2217 ports,
// the line at the speed asked for over RFC 2217. ser2net serves one sender
// at a time and turns the next away ("Port already in use"): the packets
// wait for the holder to go, as for a busy port.
TEST_F(NetworkRoad, AWholeGameArrivesThroughSer2netWhichIsWaitedForWhenBusy) {
  pty_.MakeRaw();
  const int rawPort = ClosedPort(), rfc2217Port = ClosedPort();
  const std::string connector = "\n  connector: serialdev," + pty_.SlavePath() +
                                ",9600n81,local\n  options:\n    mdns: false\n";
  std::ofstream(home_ / "ser2net.yaml")
      << "%YAML 1.1\n---\nconnection: &raw\n  accepter: tcp,127.0.0.1," << rawPort << connector
      << "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << rfc2217Port
      << connector;
  CChildProcess server("ser2net -n -u -c " + (home_ / "ser2net.yaml").string() + " -P " +
                       (home_ / "pid").string());
  const auto started = [&] { return Listening(rawPort) && Listening(rfc2217Port); };
  for (int wait = 0; wait < 500 && !started(); ++wait) usleep(10000);
  ASSERT_TRUE(started()) << "ser2net did not start";
  const std::string game =
      "team1 HOM\nteam2 VIS\nnewgame\nadd 1 6\nadd 2 3\nadd 1 1\nsub 2 1\nnote \"Half time\"\n"
      "sendnote\nsendscore\nadd 2 6\nclearsign\n";
  // The bytes the session sends: its --dump, turned back into bytes.
  std::istringstream dump(RunCliOn({"--dump", "session"}, game).out);
  Bytes expected;
  for (std::string word; dump >> word;)
    if (word != "packet")
      expected.push_back(static_cast<unsigned char>(std::stoul(word, nullptr, 16)));
  for (const auto& [port, rfc2217, speed] : {std::make_tuple(rawPort, false, speed_t{B9600}),
                                             std::make_tuple(rfc2217Port, true, speed_t{B19200})}) {
    SCOPED_TRACE(rfc2217 ? "RFC 2217" : "raw");
    const int holder = ConnectTo(port);
    usleep(100000);  // served first
    std::thread leaves([holder] { usleep(600000), close(holder); });
    // The line speed is read when the first bytes came, while the sender is connected.
    auto arrival = std::async(std::launch::async, [&] {
      Bytes bytes = pty_.Read(1);
      const termios line = pty_.LineSettings();
      const Bytes rest = pty_.Read(expected.size() - bytes.size());
      bytes.insert(bytes.end(), rest.begin(), rest.end());
      return std::make_pair(bytes, cfgetospeed(&line));
    });
    std::vector<std::string> args{"--tcp", "127.0.0.1:" + std::to_string(port), "--baud", "19200",
                                  "session"};
    if (rfc2217) args.insert(args.begin(), "--rfc2217");
    const CCliRun run = RunCliOn(args, game);
    leaves.join();
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(arrival.get(), std::make_pair(expected, speed));
  }
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

// Each way a device server fails a send, named in the failure with the
// server: one refusing the baud rate over RFC 2217; a closed port (refused
// after the busy wait); a connection never accepted (backlog 0: one queued
// connection fills it, later ones are never answered) timing out at the
// connect bound; and one that stops reading (never accepted, so never read:
// its small buffer fills) failing at the write deadline.
TEST_F(NetworkRoad, EachFailureNamesTheServerAndItsReason) {
  const int refusing = Listener(1);
  // DO COM-PORT-OPTION, binary both ways, then a baud rate answer of 9600.
  auto server = ServeOnce(refusing,
                          "\xFF\xFD\x2C\xFF\xFD\x00\xFF\xFB\x00"
                          "\xFF\xFA\x2C\x65\x00\x00\x25\x80\xFF\xF0"s);
  const int unanswered = Listener(0);
  const int queued[] = {ConnectTo(PortOf(unanswered)), ConnectTo(PortOf(unanswered))};
  const int unread = Listener(1, 4096);
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

// The virtual sign as a program, with few descriptors, walked through what
// it meets: the command line on its pseudo-terminal at the line settings
// asked for (clearing shows only after a game was shown) and on its RFC 2217
// port with the framing and the break asked for; a sender killed holding the
// port, which would leave the exclusive flag set and refuse every later
// sender that is not root; a flood of TCP connections, during which
// accepting rests and says why while the serial link goes on decoding; and,
// the flood gone, a new connection served and the frame its end cuts short
// reported.
TEST_F(NetworkRoad, TheVirtualSignOnEachRoad) {
  CSignsimProcess sign("--tcp 0 --rfc2217", "prlimit --nofile=24:24");
  const std::string tcp =
      sign.WaitForLine([](const std::string& line) { return line.rfind("tcp: ", 0) == 0; });
  const int port = std::stoi(tcp.substr(tcp.rfind(':') + 1));
  setenv("RAVELLE_COM1", sign.serialPath.c_str(), 1);
  const std::string pty = " (data bits and parity not visible on a pseudo-terminal)";
  const struct {
    std::vector<std::string> args;
    std::string input;
    Lines shown;
  } runs[] = {
      {{"--port", "1", "session"},
       "team1 HOM\nteam2 VIS\ncolors Red Green Amber Yellow\nnewgame\nadd 1 6\nadd 1 1\nadd 2 3\n",
       {"sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3"}},
      {{"--port", "1", "--baud", "19200", "--bits", "8", "--parity", "none", "--stop-bits", "2",
        "clear"},
       "",
       {"line: 19200 baud, 2 stop bits, flow none" + pty, "sign: {blank}"}},
      // A rate the termios table lacks, typed in the custom settings.
      {{"--port", "1", "--baud", "12345", "note", "typed"},
       "",
       {"line: 12345 baud, 1 stop bit, flow none" + pty, "sign: {rotate}{red}typed"}},
      {{"--tcp", "127.0.0.1:" + std::to_string(port), "--rfc2217", "--baud", "9600", "--bits", "7",
        "--parity", "even", "scoreboard", "HOM", "VIS"},
       "",
       {"line: 9600 7E1 flow none", "line: break",
        "sign: {hold}{fixed}{red}HOM{red} 0  {red}VIS{red} 0"}},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.args.back());
    EXPECT_EQ(RunCliOn(run.args, run.input).exitStatus, 0);
    for (const std::string& line : run.shown) EXPECT_NE(sign.WaitForLine(line), "") << line;
  }
  EXPECT_EQ(sign.Reports(), Lines{});

  CPortHolder holder(60000);
  ASSERT_TRUE(holder.Holding()) << "the holder could not open the port";
  holder.Kill();
  EXPECT_NE(sign.WaitForLine("link: cleared the exclusive flag a sender that died left on " +
                             sign.serialPath),
            "");
  const int serial = open(sign.serialPath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  int exclusive = 1;
  EXPECT_TRUE(ioctl(serial, TIOCGEXCL, &exclusive) == 0 && exclusive == 0);
  close(serial);

  std::vector<int> flood;
  for (int i = 0; i < 40; ++i) flood.push_back(ConnectTo(port, true));
  EXPECT_NE(
      sign.WaitForLine("link: accept: Too many open files; new TCP connections wait a second"), "");
  EXPECT_EQ(RunCliOn({"--port", "1", "note", "serial"}).exitStatus, 0);
  EXPECT_NE(sign.WaitForLine("sign: {rotate}{red}serial"), "");
  for (int fd : flood) close(fd);
  const int fd = ConnectTo(port, true);
  const std::string frames = "\1Z00\2AA\033 atcp\4\1Z00\2G2";
  ASSERT_EQ(write(fd, frames.data(), frames.size()), static_cast<ssize_t>(frames.size()));
  close(fd);
  EXPECT_NE(sign.WaitForLine("sign: {rotate}tcp"), "");
  EXPECT_NE(
      sign.WaitForLine("error: frame cut short: the stream ended before EOT: 01 5A 30 30 02 47 32"),
      "");
}

}  // namespace
