#include "app/StartOptions.h"

#include <string_view>

#include "res/Version.h"

namespace {

constexpr const char* kHelp =
    "Usage: ravelle [--help | --version] [Qt options]\n"
    "\n"
    "Ravelle turns an Alpha-protocol LED message sign (BetaBrite Classic on a\n"
    "serial line, BetaBrite Prism on USB) into a two-team scoreboard. It opens\n"
    "the scoreboard window; with no saved settings the Communication Settings\n"
    "dialog comes first.\n"
    "\n"
    "Options:\n"
    "  --help      show this text and exit\n"
    "  --version   print the version and exit\n"
    "Qt's own options, such as -platform NAME or -style NAME, are passed to Qt.\n"
    "\n"
    "Files:\n"
    "  $XDG_CONFIG_HOME/ravelle/settings.reg (~/.config/ravelle/settings.reg)\n"
    "              the connection settings and the COM port device map\n"
    "  $XDG_STATE_HOME/ravelle/game (~/.local/state/ravelle/game)\n"
    "              the game in progress, offered back at the next start\n"
    "\n"
    "Environment:\n"
    "  RAVELLE_COMn      the device of COM port n, ahead of the saved map\n"
    "                    (else /dev/ttyS<n-1>)\n"
    "  XDG_CONFIG_HOME   where the settings file lives\n"
    "  XDG_STATE_HOME    where the game in progress is kept\n"
    "\n"
    "See ravelle(1), ravelle-cli(1) and ravelle-signsim(1).\n";

}  // namespace

CStartRequest StartRequestFromArguments(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--version") return CStartRequest::PrintVersion;
    if (word == "--help" || word == "-h") return CStartRequest::PrintHelp;
  }
  return CStartRequest::RunProgram;
}

void PrintStartInformation(CStartRequest request, std::ostream& out) {
  if (request == CStartRequest::PrintVersion) out << "ravelle " << kRavelleVersion << '\n';
  if (request == CStartRequest::PrintHelp) out << kHelp;
}
