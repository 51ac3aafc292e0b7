// The port map when the settings file is not what it should be: a file that
// cannot be read is never taken for one without a map, so a send fails
// before any device is opened; a value of the wrong type reads as missing.

#include <fstream>

#include "link/ComPortMap.h"
#include "tests/link/LinkFakes.h"

namespace {

// Its standard device (/dev/ttyS199) is not on the machine, so even a send
// that wrongly fell back could not reach a real port.
constexpr int kMappedPort = 200;

class ComPortMapTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    link_.SetSerialPortFactory([this] { return std::make_unique<CRecordingSerialPort>(calls_); });
  }
  // The store's head, then `middle`, then the port map sending COM200 to the
  // pseudo-terminal.
  std::string StoreWithMap(const std::string& middle) const {
    return kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n" + middle +
           "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n\"COM200\"=\"" +
           pty_.SlavePath() + "\"\n";
  }

  std::string calls_;
};

// A file the store cannot parse and one it cannot open; every other way a
// file cannot be read is the store's own case (SettingsStoreTest).
TEST_F(ComPortMapTest, UnreadableSettingsFailTheSendBeforeAnyDeviceIsOpened) {
  const std::string file = StoreFile().string();
  const struct {
    const char* name;
    std::string text;  // empty: the store's name is taken by a folder
    int errorCode;
    std::string reason;
  } rows[] = {{"malformed line", StoreWithMap("\"ComPort\"=dword:3\n"), EINVAL,
               "line 5: the value \"ComPort\" is not well formed"},
              {"a folder", "", EISDIR, "Is a directory"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(StoreFile());
    if (row.text.empty()) {
      std::filesystem::create_directories(StoreFile());
    } else {
      PutStoreText(row.text);
    }
    calls_.clear();
    link_.SendToSign(kMappedPort, Packet(30).data(), 30);
    ASSERT_TRUE(link_.LastSerialFailure());
    const CSendFailure& failure = *link_.LastSerialFailure();
    EXPECT_EQ(failure.errorCode, static_cast<unsigned long>(row.errorCode));
    EXPECT_EQ(failure.device, "device unknown");
    EXPECT_EQ(failure.systemText, file + " cannot be read: " + row.reason);
    EXPECT_EQ(calls_, "") << "no port was opened";
    EXPECT_EQ(pty_.Read(1, 0, 200), std::vector<unsigned char>());
    const CComPortDevice device = FindComPortDevice(kMappedPort);
    EXPECT_EQ(std::tie(device.path, device.errorCode, device.problem),
              std::tie("", row.errorCode, failure.systemText));
  }

  // Mended by hand between two games: the next send reads the file anew.
  std::filesystem::remove_all(StoreFile());
  PutStoreText(StoreWithMap(""));
  pty_.StartReading(30);
  link_.SendToSign(kMappedPort, Packet(30).data(), 30);
  EXPECT_EQ(pty_.Collect(), Packet(30));
  EXPECT_EQ(FailureCode(), 0);
  EXPECT_TRUE(calls_.starts_with("Open(200,")) << calls_;
  EXPECT_TRUE(messages_.texts.empty());
}

// The environment names a device without the file, so an unreadable file
// does not stand in its way. A map entry stored as something other than
// text is read as missing, never as a path made of its bytes.
TEST_F(ComPortMapTest, EnvironmentNeedsNoFileAndOnlyTextMapsAPort) {
  PutStoreText("garbage\n");
  EXPECT_EQ(DevicePathForComPort(1), pty_.SlavePath());
  try {
    DevicePathForComPort(kMappedPort);
    ADD_FAILURE() << "an unreadable map gave a device";
  } catch (CSerialException* failure) {
    char text[300];
    EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text));
    EXPECT_EQ(text, StoreFile().string() +
                        " cannot be read: line 1: the first line is not \"Windows Registry "
                        "Editor Version 5.00\"");
    failure->Delete();
  }
  EXPECT_EQ(ComPortDeviceForReport(kMappedPort), "device unknown");

  for (const char* stored : {"dword:00000007", "hex(2):41,00", "\"\""}) {
    SCOPED_TRACE(stored);
    PutStoreText(kStoreHead + "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n" +
                 "\"COM200\"=" + stored + "\n");
    EXPECT_EQ(DevicePathForComPort(kMappedPort), "/dev/ttyS199");
  }
}

}  // namespace
