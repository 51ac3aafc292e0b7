// How the programs meet an installed system. Their information and their
// documents agree: --version is answered before anything starts (a display
// that cannot be reached, a COM port that leads nowhere and a settings
// folder that cannot be made change nothing), the man page explains every
// option --help offers, and the command line's session actions and options
// are in its man page and the README. The USB library is found by plain name.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/link/LinkFakes.h"

namespace {

// A built program's standard output, then "exit N".
std::string RunProgram(const std::string& program, const std::string& arguments) {
  const std::string command =
      "exec env QT_QPA_PLATFORM=no-such-platform DISPLAY= WAYLAND_DISPLAY= "
      "RAVELLE_COM1=/nonexistent-ravelle-port XDG_CONFIG_HOME=/proc/ravelle " RAVELLE_PROGRAM_FOLDER
      "/" +
      program + " " + arguments + " 2>/dev/null </dev/null";
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  const int status = pipe != nullptr ? pclose(pipe) : -1;
  return out + "exit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every match of group in text.
std::vector<std::string> Matches(const std::string& text, const char* pattern, int group = 0) {
  const std::regex expression(pattern);
  return {std::sregex_token_iterator(text.begin(), text.end(), expression, group), {}};
}

constexpr const char* kLongOption = "--[a-z][a-z-]*";

// Each program answers --version without a display, a port or a settings
// folder, and its man page explains every option its --help offers; the
// command line's session actions and options are in its page and the
// README.
TEST(Programs, VersionNeedsNothingAndThePagesExplainTheHelp) {
  std::vector<std::string> programs = {"ravelle-cli", "ravelle-signsim"};
#ifdef RAVELLE_HAS_DESKTOP_PROGRAM
  programs.push_back("ravelle");
#endif
  const std::string readme = FileText(RAVELLE_SOURCE_FOLDER "/README.md");
  const std::size_t section = readme.find("## Command line");
  ASSERT_NE(section, std::string::npos);
  const std::string commandLine =
      readme.substr(section, readme.find("\n## ", section + 1) - section);
  for (const std::string& program : programs) {
    SCOPED_TRACE(program);
    EXPECT_EQ(RunProgram(program, "--version"), program + " " RAVELLE_VERSION "\nexit 0");
    const std::string help = RunProgram(program, "--help");
    EXPECT_TRUE(help.starts_with("Usage: " + program) && help.ends_with("\nexit 0")) << help;
    const std::string page = FileText(RAVELLE_MAN_FOLDER "/" + program + ".1");
    EXPECT_NE(page.find(".Sh EXIT STATUS"), std::string::npos);
    EXPECT_NE(page.find(RAVELLE_VERSION), std::string::npos) << "the page's version";
    // mdoc writes an option as "Fl -name" (the page's own "--" is "Fl -").
    for (const std::string& option : Matches(help, kLongOption)) {
      EXPECT_NE(page.find("Fl " + option.substr(1)), std::string::npos) << option;
      EXPECT_TRUE(program != "ravelle-cli" || commandLine.find(option) != std::string::npos)
          << "README lacks " << option;
    }
    if (program != "ravelle-cli") continue;
    const std::size_t first = help.find('\n', help.find("Session actions")) + 1;
    const std::string actions = help.substr(first, help.find("\n\n", first) - first);
    const auto names = Matches(actions, "(^|[ ,])([a-z][a-z0-9]+)( [A-Z]|,|$)", 2);
    EXPECT_GE(names.size(), 15u);
    for (const std::string& name : names) {
      EXPECT_NE(page.find(".It Ic " + name), std::string::npos) << name;
      EXPECT_NE(commandLine.find("`" + name), std::string::npos) << name;
    }
  }
}

// The USB library by plain name: a copy the user put on the library path
// wins over the package's own (which here lacks USBBULK_Open and would say
// so), then the package's private folder is tried; a path is taken as it
// stands. A failure names every place searched and the loader's reason for
// the last one. An installed program looks beside itself, never in the
// current folder.

using UsbLibraryLookupTest = CPseudoTerminalTest;

TEST_F(UsbLibraryLookupTest, PathThenPrivateFolderAndTheFailureNamesWhereItLooked) {
  const std::string folder = FAKE_USB_PRIVATE_FOLDER;
  const std::string reason = ": cannot open shared object file: No such file or directory)";
  const std::string advice =
      ". Reinstall Ravelle, or put the library in one of those places, and re-run this program.";
  const std::string privateOnly = "libprismprivate.so",
                    missing = "/nonexistent-ravelle/" + privateOnly;
  // A whole fake, once found, is asked to open a sign there is none of.
  const std::string whole =
      "Failed to Open the USB connection to the LED sign -- some other program may be using the "
      "LED "
      "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";
  const struct {
    std::string name, folder, message;
  } rows[] = {
      {"libprismfake.so", folder, whole},
      {privateOnly, folder, whole},
      {privateOnly, folder + "/elsewhere",
       "Error opening libprismprivate.so -- looked in the system's library path and " + folder +
           "/elsewhere (" + folder + "/elsewhere/" + privateOnly + reason + advice},
      // Where the running program's folder could not be worked out.
      {privateOnly, "",
       "Error opening libprismprivate.so -- looked in the system's library path (" + privateOnly +
           reason + advice},
      {missing, folder,
       "Error opening " + missing + " -- looked in " + missing + " (" + missing + reason + advice},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name + " in " + row.folder);
    messages_.texts.clear();
    link_.SetUsbLibraryName(row.name);
    link_.SetUsbLibraryFolder(row.folder);
    link_.SendViaUsb(Packet(10).data(), 10);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{row.message});
  }
  const std::string installed = InstalledUsbLibraryFolder();
  EXPECT_TRUE(installed.starts_with('/') && installed.find("/ravelle") != std::string::npos)
      << installed;
}

}  // namespace
