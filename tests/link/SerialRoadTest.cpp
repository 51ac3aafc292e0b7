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
  // Sends while the master is read; returns what arrived.
  std::vector<unsigned char> Send(const std::vector<unsigned char>& packet, int comPort = 1,
                                  std::size_t closeAfter = 0) {
    pty_.StartReading(packet.size(), closeAfter);
    link_.SendToSign(comPort, packet.data(), static_cast<int>(packet.size()));
    return pty_.Collect();
  }

  std::string calls_;
};

// Each packet arrives whole after the break, through the steps in order,
// with the document's settings repaired first and a port below 1 taken as 1;
// the purges after the write lose nothing.
TEST_F(SerialRoadTest, PacketsArriveWholeThroughEveryStepWithTheSettingsRepaired) {
  struct Row {
    int comPort, baudRate, byteSize;
    const char* parity;
    int stopBits;
    std::size_t length;
    std::string expectedOpen;  // with the repaired speed and data bits
  };
  const std::vector<Row> rows = {{1, 9600, 7, "even", 1, 600, "Open(1,9600,0,7,0,0,0)"},
                                 {1, 0, 6, " ", 0, 1, "Open(1,9600,0,7,0,0,0)"},
                                 {0, -5, 0, "", 3, 5, "Open(1,9600,0,7,0,0,0)"},
                                 {1, 19200, 7, "odd", 1, 5, "Open(1,19200,3,7,0,0,0)"},
                                 {1, 9600, 9, "NONE", 2, 5, "Open(1,9600,0,7,2,0,0)"},
                                 {-3, 2400, 8, "none", 2, 5, "Open(1,2400,2,8,2,0,0)"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expectedOpen);
    std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits) =
        std::tie(row.comPort, row.baudRate, row.byteSize, row.parity, row.stopBits);
    calls_.clear();
    EXPECT_EQ(Send(Packet(row.length), row.comPort), Packet(row.length));
    // The repairs stay in the document; the rest of it is left alone.
    EXPECT_EQ(calls_, Steps(row.expectedOpen, doc_.baudRate, row.length));
    EXPECT_EQ(std::tie(doc_.comPort, doc_.parity, doc_.stopBits),
              std::tie(row.comPort, row.parity, row.stopBits));
  }
  EXPECT_EQ(outcomes_, static_cast<int>(rows.size()));
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(pump_.passes, 0);
  // The last row's line: raw, its speed and stop bits, no flow control.
  termios tty = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B2400));
  EXPECT_EQ(tty.c_cflag & (CSTOPB | CLOCAL | CREAD | CRTSCTS),
            static_cast<tcflag_t>(CSTOPB | CLOCAL | CREAD));
  EXPECT_FALSE((tty.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP)) ||
               (tty.c_lflag & (ICANON | ECHO | ISIG)) || (tty.c_oflag & OPOST));
  EXPECT_EQ(tty.c_cc[VMIN] + tty.c_cc[VTIME], 0);  // the immediate timeouts came last
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
  EXPECT_EQ(FailureCode(), ENOENT);
  EXPECT_EQ(link_.LastSerialFailure()->device, (home_ / "no-such-device").string());
  // A missing device ends the send before the repairs.
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(doc_.baudRate, 0);

  link_.SendToSign(2, Packet(10).data(), 10);
  EXPECT_EQ(FailureCode(), ENOTTY);
  EXPECT_EQ(calls_, "Open(2,9600,0,7,0,0,0)");
  EXPECT_EQ(doc_.baudRate, 9600);
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
class ComPortMapTest : public SerialRoadTest {
 protected:
  // The store's head, then `middle`, then the port map sending COM200 to the
  // pseudo-terminal.
  std::string StoreWithMap(const std::string& middle) const {
    return kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n" + middle +
           "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n\"COM200\"=\"" +
           pty_.SlavePath() + "\"\n";
  }
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
    row.text.empty() ? void(std::filesystem::create_directories(StoreFile()))
                     : PutStoreText(row.text);
    calls_.clear();
    link_.SendToSign(kMappedPort, Packet(30).data(), 30);
    ASSERT_TRUE(link_.LastSerialFailure());
    const CSendFailure& failure = *link_.LastSerialFailure();
    EXPECT_EQ(std::tie(failure.errorCode, failure.device, failure.systemText),
              std::make_tuple(static_cast<unsigned long>(row.errorCode), "device unknown",
                              file + " cannot be read: " + row.reason));
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
