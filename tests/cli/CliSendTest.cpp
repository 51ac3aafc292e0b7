// The command line sending: over a pseudo-terminal standing in for the
// sign's serial line, through the fake USB library under the real one's
// name, and over a settings file it cannot read. The settings store lives
// in a folder of the test's own.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "link/ComPortMap.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/cli/CliRun.h"
#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"

namespace {

class CliSendTest : public CPseudoTerminalTest {
 protected:
  static void Save(CCommSettings settings) {
    CRegistryAccess registry;
    ASSERT_FALSE(SaveCommSettings(settings, registry));
  }

  // Runs the command line while the master is read: exactly `packets`, in
  // order, must arrive.
  CCliRun SendExpecting(const std::vector<std::string>& args, const std::vector<Bytes>& packets) {
    Bytes expected;
    for (const Bytes& packet : packets)
      expected.insert(expected.end(), packet.begin(), packet.end());
    pty_.MakeRaw();
    pty_.StartReading(expected.size());
    CCliRun run = RunCliOn(args);
    EXPECT_EQ(HexBytes(pty_.Collect()), HexBytes(expected));
    return run;
  }
};

// The exit status and both whole outputs.
std::string Outcome(const CCliRun& run) {
  return std::to_string(run.exitStatus) + "|" + run.out + "|" + run.err;
}

// --port sends at the line settings given; without it the saved connection
// chooses the road and its settings.
TEST_F(CliSendTest, SerialSendsDeliverExactlyThePacketsOfTheDump) {
  EXPECT_EQ(Outcome(SendExpecting({"--port", "1", "scoreboard", "HOM", "VIS"},
                                  HomVisScoreboard("  ", " 0", " 0"))),
            "0||");
  EXPECT_EQ(Outcome(RunCliOn({"clear"})),
            "1||ravelle-cli: no connection settings are saved; choose the road with --port N or "
            "--usb or --tcp HOST:PORT, or save the settings in Ravelle's Communication Settings\n");
  EXPECT_TRUE(pty_.Read(1, 0, 100).empty()) << "nothing sent";

  Save({"alpha", kConnectionSerialCustom, 1, 19200, 8, "none", 2});
  EXPECT_EQ(Outcome(SendExpecting({"clear"}, ClearSignPackets())), "0||");
  const termios line = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&line), B19200);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8 | CSTOPB));
}

TEST_F(CliSendTest, AFailedSendSaysWhyAndExitsOne) {
  setenv("RAVELLE_COM1", "/nonexistent", 1);
  // One line for each of the three packets.
  const std::string line =
      "ravelle-cli: packet not sent to COM1 (/nonexistent): " + std::string(std::strerror(ENOENT)) +
      "\n";
  EXPECT_EQ(Outcome(RunCliOn({"--port", "1", "--baud", "9600", "clear"})),
            "1||" + line + line + line);

  // No USB library is found here: each packet's trouble shows as a message,
  // on standard error too.
  const CCliRun usb = RunCliOn({"--usb", "clear"});
  EXPECT_EQ(usb.exitStatus, 1);
  EXPECT_EQ(usb.out.rfind("message Error opening libbetabriteusb.so", 0), 0u) << usb.out;
  EXPECT_EQ(usb.err.rfind("ravelle-cli: Error opening libbetabriteusb.so", 0), 0u) << usb.err;
}

// The library takes the first chunk of every packet but refuses one: no
// message box says so, and yet the run fails and says which packet.
TEST_F(CliSendTest, AUsbChunkRefusedFailsTheRun) {
  std::unique_ptr<void, int (*)(void*)> library(dlopen(FAKE_USB_AS_BETABRITE, RTLD_NOW), dlclose);
  ASSERT_NE(library, nullptr) << dlerror();
  FakeUsbControl* control =
      reinterpret_cast<FakeUsbControlFn>(dlsym(library.get(), "FakeUsb_Control"))();
  *control = FakeUsbControl{};
  control->openResult = 1;
  EXPECT_EQ(Outcome(RunCliOn({"--usb", "clear"})), "0||");

  control->writes = 0;
  control->refuseWrite = 2;
  control->refuseResult = -7;
  EXPECT_EQ(Outcome(RunCliOn({"--usb", "clear"})),
            "1||ravelle-cli: packet not sent over USB: the sign did not take all of it (write "
            "result -7)\n");
}

// Nobody reads the line: every packet costs at most its deadline, the
// session ends on its own, and each lost packet is reported.
TEST_F(CliSendTest, ASessionOnAStalledLineEndsOnItsOwn) {
  std::string session = "team1 HOM\nteam2 VIS\nnewgame\nnote \"" + std::string(8000, 'x') + "\"\n";
  for (int i = 0; i < 12; ++i) session += "sendnote\n";  // far more than a pty buffers
  for (int i = 0; i < 3; ++i) session += "add 1 6\n";
  const auto start = std::chrono::steady_clock::now();
  const CCliRun run = RunCliOn({"--port", "1", "--baud", "4000000", "session"}, session);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
  EXPECT_EQ(run.exitStatus, 1);
  const std::string timedOut = "ravelle-cli: packet not sent to COM1 (" + pty_.SlavePath() +
                               "): " + std::strerror(ETIMEDOUT) + "\n";
  EXPECT_NE(run.err.find(timedOut), std::string::npos) << run.err;
  EXPECT_TRUE(run.err.ends_with(timedOut)) << "the last presses are lost too";
}

// A settings file spoilt by hand: the run names the file and what is wrong
// in it, exits 1 and sends nothing, neither to the mapped device nor to the
// port's standard one (COM200's, /dev/ttyS199, is not on the machine); a
// dump needs no settings. Mended, the next run reads the file anew.
TEST_F(CliSendTest, AnUnreadableSettingsFileIsReportedAndNothingIsSent) {
  Save({"alpha", kConnectionSerialClassic, 200, 9600, 7, "even", 1});
  ASSERT_TRUE(SaveComPortDevice(200, pty_.SlavePath()));
  const std::string saved = StoreText();
  PutStoreText(saved + "\"StopBits\"=dword:1\n");
  const std::string said =
      "ravelle-cli: the connection settings cannot be read: " + StoreFile().string() +
      " cannot be read: line " + std::to_string(std::count(saved.begin(), saved.end(), '\n') + 1) +
      ": the value \"StopBits\" is not well formed\n";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"clear"},
        {"--port", "200", "--baud", "9600", "--bits", "8", "--parity", "none", "--stop-bits", "1",
         "note", "x"}}) {
    EXPECT_EQ(Outcome(RunCliOn(args)), "1||" + said);
  }
  EXPECT_TRUE(pty_.Read(1, 0, 200).empty()) << "nothing sent";
  EXPECT_EQ(RunCliOn({"--dump", "clear"}).exitStatus, 0) << "a dump needs no settings";

  PutStoreText(saved);
  EXPECT_EQ(SendExpecting({"clear"}, ClearSignPackets()).exitStatus, 0);
}

}  // namespace
