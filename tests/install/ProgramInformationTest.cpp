#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct CProgramRun {
  int exitStatus = -1;
  std::string out;
};

// Runs one of the built programs through the shell with the given
// environment words in front; standard error is dropped.
CProgramRun RunProgram(const std::string& environment, const std::string& program,
                       const std::string& arguments) {
  const std::string command = "exec env " + environment + " " RAVELLE_PROGRAM_FOLDER "/" + program +
                              " " + arguments + " 2>/dev/null </dev/null";
  CProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.out.append(buffer.data(), got);
  const int status = pclose(pipe);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string ManPage(const std::string& program) {
  return FileText(RAVELLE_MAN_FOLDER "/" + program + ".1");
}

// The README's section on the command line, up to the next heading.
std::string ReadmeCommandLineSection() {
  const std::string readme = FileText(RAVELLE_SOURCE_FOLDER "/README.md");
  const std::size_t start = readme.find("## Command line");
  if (start == std::string::npos) return {};
  return readme.substr(start, readme.find("\n## ", start + 1) - start);
}

// The long options a help text lists.
std::set<std::string> LongOptions(const std::string& text) {
  std::set<std::string> options;
  const std::regex option("--[a-z][a-z-]*");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it)
    options.insert(it->str());
  return options;
}

std::vector<std::string> Programs() {
  std::vector<std::string> programs{"ravelle-cli", "ravelle-signsim"};
#ifdef RAVELLE_HAS_DESKTOP_PROGRAM
  programs.push_back("ravelle");
#endif
  return programs;
}

class ProgramInformationTest : public ::testing::TestWithParam<std::string> {};

// The version is answered before anything else starts: a display that cannot
// be reached, a COM port that leads nowhere and a settings folder that cannot
// be made change nothing.
TEST_P(ProgramInformationTest, VersionNeedsNoDisplayPortOrSettings) {
  const CProgramRun run = RunProgram(
      "QT_QPA_PLATFORM=no-such-platform DISPLAY= WAYLAND_DISPLAY= "
      "RAVELLE_COM1=/nonexistent-ravelle-port XDG_CONFIG_HOME=/proc/ravelle",
      GetParam(), "--version");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, GetParam() + " " RAVELLE_VERSION "\n");
}

// Whatever --help offers, the man page explains too.
TEST_P(ProgramInformationTest, TheManPageCoversEveryOptionOfTheHelp) {
  const CProgramRun run = RunProgram("QT_QPA_PLATFORM=no-such-platform", GetParam(), "--help");
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.out.rfind("Usage: " + GetParam(), 0), 0u) << run.out;
  const std::string page = ManPage(GetParam());
  ASSERT_FALSE(page.empty()) << "no man page for " << GetParam();
  // mdoc writes an option as "Fl -name" (the page's own "--" is "Fl -").
  for (const std::string& option : LongOptions(run.out)) {
    const std::string asWritten = "Fl " + option.substr(1);
    EXPECT_NE(page.find(asWritten), std::string::npos) << GetParam() << ": " << option;
  }
  EXPECT_NE(page.find(".Sh EXIT STATUS"), std::string::npos);
  EXPECT_NE(page.find(RAVELLE_VERSION), std::string::npos) << "the page's version";
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramInformationTest, ::testing::ValuesIn(Programs()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

// The session actions the command line's help lists are those of the man
// page and of the README.
TEST(ManPages, TheCommandLinePageAndTheReadmeListEverySessionAction) {
  const std::string help = RunProgram("", "ravelle-cli", "--help").out;
  const std::size_t heading = help.find("Session actions");
  ASSERT_NE(heading, std::string::npos);
  const std::size_t first = help.find('\n', heading) + 1;
  const std::string actions = help.substr(first, help.find("\n\n", first) - first);
  const std::string page = ManPage("ravelle-cli");
  const std::string readme = ReadmeCommandLineSection();
  const std::regex action("(^|[ ,])([a-z][a-z0-9]+)( [A-Z]|,|$)");
  int checked = 0;
  for (auto it = std::sregex_iterator(actions.begin(), actions.end(), action);
       it != std::sregex_iterator(); ++it) {
    const std::string name = (*it)[2].str();
    EXPECT_NE(page.find(".It Ic " + name), std::string::npos) << name;
    EXPECT_NE(readme.find("`" + name), std::string::npos) << name;
    ++checked;
  }
  EXPECT_GE(checked, 15);
  for (const std::string& option : LongOptions(help))
    EXPECT_NE(readme.find(option), std::string::npos) << "README lacks " << option;
}

}  // namespace
