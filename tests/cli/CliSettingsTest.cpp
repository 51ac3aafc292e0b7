// The command line over a settings file it cannot read: it names the file
// and what is wrong in it, exits 1 and sends nothing, neither to the mapped
// device nor to the port's standard one.

#include <gtest/gtest.h>

#include <algorithm>

#include "game/RavelleDoc.h"
#include "link/ComPortMap.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/cli/CliRun.h"
#include "tests/settings/TemporaryConfigHome.h"
#include "tests/support/PseudoTerminal.h"

namespace {

// The saved connection and a port map send COM200 to a pseudo-terminal.
// COM200's standard device (/dev/ttyS199) is not on the machine, so even a
// run that wrongly fell back to it could not reach a real port.
class CliSettingsTest : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    ASSERT_TRUE(pty.IsOpen());
    pty.MakeRaw();
    CRegistryAccess registry;
    CCommSettings settings{"alpha", kConnectionSerialClassic, 200, 9600, 7, "even", 1};
    ASSERT_FALSE(SaveCommSettings(settings, registry));
    ASSERT_TRUE(SaveComPortDevice(200, pty.SlavePath()));
    saved = StoreText();
  }

  CPseudoTerminal pty;
  std::string saved;
};

TEST_F(CliSettingsTest, AnUnreadableFileIsReportedAndNothingIsSent) {
  const auto badLine = std::count(saved.begin(), saved.end(), '\n') + 1;
  PutStoreText(saved + "\"StopBits\"=dword:1\n");
  const std::string said =
      "ravelle-cli: the connection settings cannot be read: " + StoreFile().string() +
      " cannot be read: line " + std::to_string(badLine) +
      ": the value \"StopBits\" is not well formed\n";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"clear"},
        {"--port", "200", "clear"},
        {"--port", "200", "--baud", "9600", "--bits", "8", "--parity", "none", "--stop-bits", "1",
         "note", "x"}}) {
    SCOPED_TRACE(args.size());
    const CCliRun run = RunCliOn(args);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, said);
  }
  EXPECT_TRUE(pty.Read(1, 0, 200).empty()) << "nothing sent";
  EXPECT_EQ(RunCliOn({"--dump", "clear"}).exitStatus, 0) << "a dump needs no settings";

  // Mended by hand: the next run reads the file anew.
  PutStoreText(saved);
  Bytes expected;
  for (const Bytes& packet : ClearSignPackets()) {
    expected.insert(expected.end(), packet.begin(), packet.end());
  }
  pty.StartReading(expected.size());
  const CCliRun mended = RunCliOn({"clear"});
  EXPECT_EQ(HexBytes(pty.Collect()), HexBytes(expected));
  EXPECT_EQ(mended.exitStatus, 0) << mended.err;
}

}  // namespace
