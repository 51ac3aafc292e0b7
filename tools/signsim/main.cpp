// ravelle-signsim: a virtual Alpha-protocol sign on a pseudo-terminal (and,
// when asked, a TCP port), for rehearsals without a sign and for tests.

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <string>

#include "res/Version.h"
#include "tools/signsim/SignLinks.h"
#include "tools/signsim/VirtualSign.h"
#ifdef RAVELLE_SIGNSIM_WINDOW
#include "tools/signsim/SignWindowMain.h"
#endif

namespace {

constexpr const char* kHelp = R"(Usage: ravelle-signsim [--text] [--tcp PORT [--rfc2217]]

A virtual Alpha-protocol LED sign. It opens a pseudo-terminal and prints its
path (e.g. /dev/pts/7) on the first line of its output: point the program's
COM port at it, e.g. RAVELLE_COM1=/dev/pts/7. It shows what a real sign would
show and reports what a real sign would reject.

  --text        print the display as text instead of opening a window
  --tcp PORT    also take transmissions on 127.0.0.1:PORT (0: a free port)
  --rfc2217     the TCP port speaks Telnet COM Port Control (RFC 2217), as a
                serial device server does, and reports the line and breaks
                each sender asks for
  --help        this text
  --version     print the version

Output, one line each (also in window mode, without the sign: lines):
  /dev/pts/N                     the pseudo-terminal, always the first line
  tcp: 127.0.0.1:PORT            the TCP port, with --tcp
  line: <settings>               the line settings the sender applied, as far
                                 as a pseudo-terminal shows them: the speed,
                                 the stop bits and the flow control
  line: 9600 7E1 flow none       with --rfc2217, the settings a TCP sender
                                 asked for
  line: break                    a break an RFC 2217 sender asked for
  sign: <markup>                 every change of what the sign shows
  error: <what>: <bytes in hex>  a transmission the sign cannot take
  warning: <what>                something a real sign would reject or mangle

Markup of sign: lines; everything outside braces is the text shown, STRING
files already filled in:
  {hold} {rotate} {mode X}       the mode field; a position other than the
                                 middle line follows: {hold top}, {rotate fill}
  {red} {green} {amber} {dim red} {dim green} {brown} {orange} {yellow}
  {rainbow 1} {rainbow 2} {colour mix} {autocolour}   colour selections
  {fixed} {proportional}         character spacing
  {wide} ... {/wide}             wide characters on and off
  {char XX}                      a sign character with no Unicode counterpart
  {code XX}                      a control byte the sign does not show
  {next}                         the next TEXT file of the run sequence
  {blank}                        the sign shows nothing
  {{ }}                          literal braces
Example: sign: {hold}{fixed}{red}HOM{green} 7  {amber}VIS{yellow} 3
)";

int stopPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 0;
  [[maybe_unused]] ssize_t written = write(stopPipe[1], &byte, 1);
}

std::mutex outputMutex;
// The window's share of the reports, in window mode.
std::function<void(const std::string&)> showLine;

void PrintLine(const std::string& line) {
  {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  if (showLine) showLine(line);
}

}  // namespace

int main(int argc, char** argv) {
  bool text = false;
  bool rfc2217 = false;
  int tcpPort = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--text") {
      text = true;
    } else if (arg == "--tcp" && i + 1 < argc) {
      char* end = nullptr;
      const long port = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || port < 0 || port > 65535) {
        std::fprintf(stderr, "ravelle-signsim: --tcp needs a port from 0 to 65535\n");
        return 2;
      }
      tcpPort = static_cast<int>(port);
    } else if (arg == "--rfc2217") {
      rfc2217 = true;
    } else if (arg == "--version") {
      std::printf("ravelle-signsim %s\n", kRavelleVersion);
      return 0;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "ravelle-signsim: unknown argument %s\n%s", arg.c_str(), kHelp);
      return 2;
    }
  }
  if (rfc2217 && tcpPort < 0) {
    std::fprintf(stderr, "ravelle-signsim: --rfc2217 needs --tcp PORT\n");
    return 2;
  }
#ifndef RAVELLE_SIGNSIM_WINDOW
  if (!text) {
    std::fprintf(stderr,
                 "ravelle-signsim: this build has no window (built without Qt); use --text\n");
    return 2;
  }
#endif

  if (pipe2(stopPipe, O_CLOEXEC) != 0) {
    std::perror("ravelle-signsim: pipe2");
    return 1;
  }
  std::signal(SIGPIPE, SIG_IGN);
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);

  try {
    std::function<void(const CSignDisplay&)> showDisplay;
    CVirtualSign sign(PrintLine, [&showDisplay](const CSignDisplay& display) {
      if (showDisplay) showDisplay(display);
    });
    CSignLinks links(sign, PrintLine);
    PrintLine(links.SerialPath());
    if (tcpPort >= 0)
      PrintLine("tcp: 127.0.0.1:" + std::to_string(links.ListenTcp(tcpPort, rfc2217)));
    if (text) {
      sign.Start();
      links.Run(stopPipe[0]);
      return 0;
    }
#ifdef RAVELLE_SIGNSIM_WINDOW
    return RunSignWindow(argc, argv, sign, links, showDisplay, showLine, stopPipe[0], stopPipe[1]);
#endif
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ravelle-signsim: %s\n", error.what());
    return 1;
  }
  return 0;
}
