#include <termios.h>

#include <fstream>

#include "link/ComPortMap.h"
#include "tests/link/LinkFakes.h"

namespace {

// The serial road's steps, in order, for one packet.
std::string Steps(const std::string& open, int baud, std::size_t length) {
  const std::string speed = std::to_string(baud);
  return open + " Detach Attach(0) GetModemStatus GetState SetState(" + speed +
         ") ClearError SetBreak ClearBreak GetStatus InputQueueCount GetTimeouts "
         "Setup(10000,10000) GetConfig SetConfig(" +
         speed + ") ClearWriteTimeouts SetImmediateReads Write(" + std::to_string(length) +
         ") GetMask SetMask(4) AbortWrites SetImmediateTimeouts PurgeOutput PurgeInput Flush Close";
}

class SerialRoadTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    link_.SetSerialPortFactory([this] { return std::make_unique<CRecordingSerialPort>(calls_); });
  }

  std::string calls_;
};

// Each packet arrives whole after the break, through the steps in order,
// with the document's settings repaired first and a port below 1 taken as 1;
// the purges after the write lose nothing.
TEST_F(SerialRoadTest, PacketsArriveWholeThroughEveryStepWithTheSettingsRepaired) {
  // The row's port, speed, data bits, parity, stop bits and packet length,
  // and the open the road makes with the repaired speed and data bits.
  for (const auto& [comPort, baudRate, byteSize, parity, stopBits, length, open] :
       std::vector<std::tuple<int, int, int, const char*, int, std::size_t, std::string>>{
           {1, 9600, 7, "even", 1, 600, "Open(1,9600,0,7,0,0,0)"},
           {1, 0, 6, " ", 0, 1, "Open(1,9600,0,7,0,0,0)"},
           {0, -5, 0, "", 3, 5, "Open(1,9600,0,7,0,0,0)"},
           {1, 19200, 7, "odd", 1, 5, "Open(1,19200,3,7,0,0,0)"},
           {1, 9600, 9, "NONE", 2, 5, "Open(1,9600,0,7,2,0,0)"},
           {-3, 2400, 8, "none", 2, 5, "Open(1,2400,2,8,2,0,0)"}}) {
    SCOPED_TRACE(open);
    std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits) =
        std::tie(comPort, baudRate, byteSize, parity, stopBits);
    calls_.clear();
    EXPECT_EQ(Send(Packet(length), comPort), Packet(length));
    // The repairs stay in the document; the rest of it is left alone.
    EXPECT_EQ(calls_, Steps(open, doc_.baudRate, length));
    EXPECT_EQ(std::tie(doc_.comPort, doc_.parity, doc_.stopBits),
              std::tie(comPort, parity, stopBits));
  }
  // The last row's line: raw, at its speed, the immediate timeouts last.
  const termios tty = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B2400));
  EXPECT_FALSE((tty.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP)) ||
               (tty.c_lflag & (ICANON | ECHO | ISIG)) || (tty.c_oflag & OPOST) ||
               tty.c_cc[VMIN] + tty.c_cc[VTIME] != 0);
  // Nobody reads while this send runs: the purges must not throw away what
  // the far end has not read yet.
  link_.SendToSign(1, Packet(4000).data(), 4000);
  EXPECT_EQ(FailureCode(), 0);
  EXPECT_EQ(pty_.Read(4000), Packet(4000));
}

// A missing device, a plain file and the far end going away mid-send: each
// fails quietly with its reason, and nothing hangs. (A port another sender
// holds: LineSafetyTest.)
TEST_F(SerialRoadTest, FailuresAreQuietAndCarryTheirReason) {
  std::filesystem::path file = home_ / "not-a-tty";
  std::ofstream(file) << "contents";
  setenv("RAVELLE_COM2", file.c_str(), 1);
  setenv("RAVELLE_COM3", (home_ / "no-such-device").c_str(), 1);
  doc_.baudRate = 0;
  link_.SendToSign(3, Packet(10).data(), 10);
  // A missing device ends the send before the repairs.
  EXPECT_EQ(
      std::make_tuple(FailureCode(), link_.LastSerialFailure()->device, calls_, doc_.baudRate),
      std::make_tuple(ENOENT, (home_ / "no-such-device").string(), "", 0));
  link_.SendToSign(2, Packet(10).data(), 10);
  EXPECT_EQ(std::make_tuple(FailureCode(), calls_, doc_.baudRate),
            std::make_tuple(ENOTTY, "Open(2,9600,0,7,0,0,0)", 9600));
  EXPECT_EQ(std::filesystem::file_size(file), 8u);
  // More than the pseudo-terminal buffers, so the write is still going.
  Send(Packet(256 * 1024), 1, 1000);
  EXPECT_EQ(FailureCode(), EIO);
  EXPECT_TRUE(calls_.ends_with(" Write(262144)")) << calls_;
  EXPECT_EQ(outcomes_, 3);
  EXPECT_TRUE(messages_.texts.empty());
}

// Its standard device (/dev/ttyS199) is not on the machine, so even a send
// that wrongly fell back could not reach a real port.
constexpr int kMappedPort = 200;

// The port map when the settings file is not what it should be: a file that
// cannot be read is never taken for one without a map, so a send fails
// before any device is opened; a value of the wrong type reads as missing.
using ComPortMapTest = SerialRoadTest;

// A file the store cannot parse and one it cannot open; every other way a
// file cannot be read is the store's own case (SettingsStoreTest).
TEST_F(ComPortMapTest, UnreadableSettingsFailTheSendBeforeAnyDeviceIsOpened) {
  // The store's head, then `middle`, then the map sending COM200 to the pty.
  const auto storeWithMap = [this](const std::string& middle) {
    return kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n" + middle +
           "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n\"COM200\"=\"" +
           pty_.SlavePath() + "\"\n";
  };
  const struct {
    std::string text;  // empty: the store's name is taken by a folder
    int errorCode;
    std::string reason;
  } rows[] = {{storeWithMap("\"ComPort\"=dword:3\n"), EINVAL,
               "line 5: the value \"ComPort\" is not well formed"},
              {"", EISDIR, "Is a directory"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.reason);
    std::filesystem::remove_all(StoreFile());
    row.text.empty() ? void(std::filesystem::create_directories(StoreFile()))
                     : PutStoreText(row.text);
    calls_.clear();
    link_.SendToSign(kMappedPort, Packet(30).data(), 30);
    ASSERT_TRUE(link_.LastSerialFailure());
    const CSendFailure& failure = *link_.LastSerialFailure();
    EXPECT_EQ(std::tie(failure.errorCode, failure.device, failure.systemText),
              std::make_tuple(static_cast<unsigned long>(row.errorCode), "device unknown",
                              StoreFile().string() + " cannot be read: " + row.reason));
    EXPECT_EQ(calls_, "") << "no port was opened";
    EXPECT_EQ(pty_.Read(1, 0, 200), std::vector<unsigned char>());
    EXPECT_EQ(FindComPortDevice(kMappedPort).path, "") << "nor is the standard device offered";
  }
  // Mended by hand between two games: the next send reads the file anew.
  std::filesystem::remove_all(StoreFile());
  PutStoreText(storeWithMap(""));
  EXPECT_TRUE(SentWhole(30, kMappedPort));
  EXPECT_TRUE(calls_.starts_with("Open(200,")) << calls_;
}

// The environment names a device without the file, so an unreadable file
// does not stand in its way, and an empty name is as good as none. Then the
// file's map, where a value stored as something other than text is missing,
// never a path made of its bytes; then the port's standard device.
TEST_F(ComPortMapTest, EnvironmentThenTheFileThenTheStandardDevice) {
  PutStoreText("garbage\n");
  EXPECT_EQ(DevicePathForComPort(1), pty_.SlavePath());
  std::filesystem::remove(StoreFile());
  ASSERT_TRUE(SaveComPortDevice(kMappedPort, "/dev/serial/by-id/usb-FTDI_sign"));
  EXPECT_EQ(StoreText(),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\"
            "Norvane\\Ravelle\\Ports]\n\"COM200\"=\"/dev/serial/by-id/usb-FTDI_sign\"\n\n");
  setenv("RAVELLE_COM200", "/dev/pts/77", 1);
  EXPECT_EQ(DevicePathForComPort(kMappedPort), "/dev/pts/77");
  setenv("RAVELLE_COM200", "", 1);
  EXPECT_EQ(DevicePathForComPort(kMappedPort), "/dev/serial/by-id/usb-FTDI_sign");
  unsetenv("RAVELLE_COM200");
  for (const char* stored : {"dword:00000007", "hex(2):41,00", "\"\""}) {
    SCOPED_TRACE(stored);
    PutStoreText(kStoreHead + "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n" +
                 "\"COM200\"=" + stored + "\n");
    EXPECT_EQ(DevicePathForComPort(kMappedPort), "/dev/ttyS199");
  }
}

}  // namespace
