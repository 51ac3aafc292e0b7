#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "dialogs/RegistryAccess.h"
#include "dialogs/SavedSettings.h"
#include "game/RavelleDoc.h"
#include "tests/cli/CliFixture.h"

namespace {

// The bytes of every "packet" line of a --dump run, in order.
std::string BytesOfDump(const std::string& dump) {
  std::istringstream lines(dump);
  std::string line, bytes;
  while (std::getline(lines, line)) {
    if (line.rfind("packet ", 0) != 0) continue;
    std::istringstream pairs(line.substr(7));
    std::string pair;
    while (pairs >> pair) bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
  }
  return bytes;
}

// A pseudo-terminal stands in for the sign's serial line: the program opens
// the slave through RAVELLE_COM1, the test reads the master. The fixture
// keeps a slave descriptor open so the line stays up between packets.
class CliSendTest : public CliFixture {
 protected:
  CliSendTest() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
      return;
    }
    slavePath_ = ptsname(master_);
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
    // The store is read in this process too, when a test saves settings.
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  }
  ~CliSendTest() override {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }

  CProgramRun CliOnPty(const std::vector<std::string>& args, const std::string& input = "") {
    return Cli(args, input, {{"RAVELLE_COM1", slavePath_}}, master_);
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

TEST_F(CliSendTest, SerialSendDeliversExactlyThePacketsOfTheDump) {
  CProgramRun dump = Cli({"--dump", "scoreboard", "HOM", "VIS"});
  ASSERT_EQ(dump.exitStatus, 0) << dump.err;
  const std::string packets = BytesOfDump(dump.out);
  ASSERT_EQ(packets.size(), 72u + 28 + 31 + 72 + 30 + 30 + 30 + 53 + 31);

  CProgramRun sent = CliOnPty({"--port", "1", "scoreboard", "HOM", "VIS"});
  EXPECT_EQ(sent.exitStatus, 0) << sent.err;
  EXPECT_EQ(sent.out, "");
  EXPECT_EQ(sent.err, "");
  EXPECT_EQ(sent.alsoRead, packets);
}

TEST_F(CliSendTest, ASessionSendsWhatItsDumpShows) {
  const std::string script = "team1 HOM\nteam2 VIS\nnewgame\nadd 1 6\nnote Hi\nsendnote\nshowing\n";
  CProgramRun dump = Cli({"--dump", "session"}, script);
  ASSERT_EQ(dump.exitStatus, 0) << dump.err;

  CProgramRun sent = CliOnPty({"--port", "1", "session"}, script);
  EXPECT_EQ(sent.exitStatus, 0) << sent.err;
  EXPECT_EQ(sent.out, "showing Hi\n");
  EXPECT_EQ(sent.alsoRead, BytesOfDump(dump.out));
}

// Without --port the saved connection chooses the road and its settings.
TEST_F(CliSendTest, SavedSettingsChooseTheRoad) {
  CCommSettings settings{"alpha", kConnectionSerialCustom, 1, 19200, 8, "none", 2};
  CRegistryAccess registry;
  SaveCommSettings(settings, registry);

  CProgramRun sent = CliOnPty({"clear"});
  EXPECT_EQ(sent.exitStatus, 0) << sent.err;
  EXPECT_EQ(sent.alsoRead, BytesOfDump(Cli({"--dump", "clear"}).out));

  termios line{};
  ASSERT_EQ(tcgetattr(slave_, &line), 0);
  EXPECT_EQ(cfgetospeed(&line), B19200);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & PARENB, 0u);
  EXPECT_NE(line.c_cflag & CSTOPB, 0u);
}

TEST_F(CliSendTest, AFailedSerialSendSaysWhyAndExitsOne) {
  CProgramRun run =
      Cli({"--port", "1", "--baud", "9600", "clear"}, "", {{"RAVELLE_COM1", "/nonexistent"}});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, "");
  const std::string line =
      "ravelle-cli: packet not sent to COM1 (/nonexistent): " + std::string(std::strerror(ENOENT));
  EXPECT_EQ(run.err.find(line), 0u) << run.err;
  EXPECT_EQ(run.err.rfind(line), run.err.size() - line.size() - 1) << "one line per packet";
}

TEST_F(CliSendTest, NothingSavedAndNoRoadGivenSendsNothing) {
  CProgramRun run = CliOnPty({"clear"});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err,
            "ravelle-cli: no connection settings are saved; choose the road with --port N or "
            "--usb, or save the settings in Ravelle's Communication Settings\n");
  EXPECT_EQ(run.alsoRead, "");
}

// Whether or not a USB library is installed, no sign is attached here: each
// packet's trouble shows as a message line and the run fails.
TEST_F(CliSendTest, UsbWithoutASignPrintsTheMessagesAndExitsOne) {
  CProgramRun run = Cli({"--usb", "clear"});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out.rfind("message ", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
}

}  // namespace
