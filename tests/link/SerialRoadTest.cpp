#include <termios.h>

#include <fstream>
#include <memory>

#include "game/RavelleDoc.h"
#include "link/SignLink.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/FakeViewStatus.h"

namespace {

// Every byte value, the flow-control and line-end characters among them.
std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i * 7 + 3);
  return packet;
}

class SerialRoadTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    doc_.connection = kConnectionSerialClassic;
    link_.SetSerialPortFactory([this] { return std::make_unique<CRecordingSerialPort>(calls_); });
    link_.onSerialOutcome = [this] { ++outcomes_; };
  }
  // Sends while the master is read; returns what arrived.
  std::vector<unsigned char> Send(const std::vector<unsigned char>& packet, int comPort = 1,
                                  std::size_t closeAfter = 0) {
    pty_.StartReading(packet.size(), closeAfter);
    link_.SendToSign(comPort, packet.data(), static_cast<int>(packet.size()));
    return pty_.Collect();
  }
  unsigned long FailureCode() const {
    return link_.LastSerialFailure() ? link_.LastSerialFailure()->errorCode : 0;
  }

  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
  std::vector<std::string> calls_;
  int outcomes_ = 0;
};

TEST_F(SerialRoadTest, PacketsArriveWholeAfterTheBreakInTheDocumentedOrder) {
  for (std::size_t length : {600, 1}) {
    auto packet = Packet(length);
    EXPECT_EQ(Send(packet), packet);
  }
  EXPECT_FALSE(link_.LastSerialFailure());
  EXPECT_EQ(outcomes_, 2);
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(pump_.passes, 0);
  const std::vector<std::string> once = {"Open(1,9600,0,7,0,0,0)",
                                         "Detach",
                                         "Attach(0)",
                                         "GetModemStatus",
                                         "GetState",
                                         "SetState(9600)",
                                         "ClearError",
                                         "SetBreak",
                                         "ClearBreak",
                                         "GetStatus",
                                         "InputQueueCount",
                                         "GetTimeouts",
                                         "Setup(10000,10000)",
                                         "GetConfig",
                                         "SetConfig(9600)",
                                         "ClearWriteTimeouts",
                                         "SetImmediateReads",
                                         "Write(600)",
                                         "GetMask",
                                         "SetMask(4)",
                                         "AbortWrites",
                                         "SetImmediateTimeouts",
                                         "PurgeOutput",
                                         "PurgeInput",
                                         "Flush",
                                         "Close"};
  ASSERT_EQ(calls_.size(), 2 * once.size());
  EXPECT_EQ(std::vector<std::string>(calls_.begin(), calls_.begin() + once.size()), once);
}

// Nobody reads while the send runs: the purges must not throw away what the
// far end has not read yet.
TEST_F(SerialRoadTest, PurgesAfterTheWriteLoseNothing) {
  auto packet = Packet(4000);
  link_.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
  EXPECT_FALSE(link_.LastSerialFailure());
  EXPECT_EQ(pty_.Read(packet.size()), packet);
}

TEST_F(SerialRoadTest, LineIsRawWithTheDocumentsSpeedAndStopBitsAndNoFlowControl) {
  doc_.baudRate = 2400;
  doc_.byteSize = 8;
  doc_.parity = "none";
  doc_.stopBits = 2;
  Send(Packet(10));
  termios tty = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B2400));
  EXPECT_EQ(tty.c_cflag & (CSTOPB | CLOCAL | CREAD | CRTSCTS),
            static_cast<tcflag_t>(CSTOPB | CLOCAL | CREAD));
  EXPECT_FALSE(tty.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
  EXPECT_FALSE(tty.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(tty.c_oflag & OPOST);
  EXPECT_EQ(tty.c_cc[VMIN] + tty.c_cc[VTIME], 0);  // the immediate timeouts came last
}

TEST_F(SerialRoadTest, DocumentRepairsSettingsMappingAndPortsBelowOne) {
  struct Row {
    int comPort, baudRate, byteSize;
    const char* parity;
    int stopBits;
    std::string expectedOpen;
    int repairedBaud, repairedByteSize;
  };
  for (const Row& row :
       std::vector<Row>{{1, 0, 6, " ", 0, "Open(1,9600,0,7,0,0,0)", 9600, 7},
                        {0, -5, 0, "", 3, "Open(1,9600,0,7,0,0,0)", 9600, 7},
                        {-3, 2400, 8, "none", 2, "Open(1,2400,2,8,2,0,0)", 2400, 8},
                        {1, 19200, 7, "odd", 1, "Open(1,19200,3,7,0,0,0)", 19200, 7},
                        {1, 9600, 7, "NONE", 1, "Open(1,9600,0,7,0,0,0)", 9600, 7},
                        {1, 9600, 9, "Odd", 2, "Open(1,9600,0,7,2,0,0)", 9600, 7}}) {
    SCOPED_TRACE(row.expectedOpen);
    doc_.comPort = row.comPort;
    doc_.baudRate = row.baudRate;
    doc_.byteSize = row.byteSize;
    doc_.parity = row.parity;
    doc_.stopBits = row.stopBits;
    calls_.clear();
    EXPECT_EQ(Send(Packet(5), row.comPort), Packet(5));
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(calls_.front(), row.expectedOpen);
    EXPECT_EQ(
        std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits),
        std::tie(row.comPort, row.repairedBaud, row.repairedByteSize, row.parity, row.stopBits));
  }
}

TEST_F(SerialRoadTest, MissingDeviceOrPlainFileFailsQuietlyWithItsReason) {
  std::filesystem::path file = home_ / "not-a-tty";
  std::ofstream(file) << "contents";
  setenv("RAVELLE_COM2", file.c_str(), 1);
  setenv("RAVELLE_COM3", (home_ / "no-such-device").c_str(), 1);
  doc_.baudRate = 0;
  link_.SendToSign(3, Packet(10).data(), 10);
  // A missing device ends the send before the repairs.
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(doc_.baudRate, 0);
  ASSERT_TRUE(link_.LastSerialFailure());
  EXPECT_EQ(link_.LastSerialFailure()->comPort, 3);
  EXPECT_EQ(link_.LastSerialFailure()->device, (home_ / "no-such-device").string());
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(ENOENT));
  EXPECT_EQ(link_.LastSerialFailure()->systemText, "No such file or directory");

  link_.SendToSign(2, Packet(10).data(), 10);
  EXPECT_EQ(doc_.baudRate, 9600);
  EXPECT_EQ(calls_, std::vector<std::string>{"Open(2,9600,0,7,0,0,0)"});
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(ENOTTY));
  EXPECT_EQ(std::filesystem::file_size(file), 8u);
  EXPECT_EQ(outcomes_, 2);
  EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(SerialRoadTest, PortHeldByAnotherHolderIsRefusedAndFreedAfterwards) {
  {
    CSerialPort holder;
    holder.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
    link_.SendToSign(1, Packet(10).data(), 10);
    EXPECT_EQ(FailureCode(), static_cast<unsigned long>(EBUSY));
  }
  EXPECT_EQ(Send(Packet(10)), Packet(10));
  EXPECT_FALSE(link_.LastSerialFailure());
}

TEST_F(SerialRoadTest, FarEndClosingMidSendFailsWithoutHanging) {
  // More than the pseudo-terminal buffers, so the write is still going.
  Send(Packet(256 * 1024), 1, 1000);
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(EIO));
  EXPECT_EQ(calls_.back(), "Write(262144)");
  EXPECT_EQ(outcomes_, 1);
}

}  // namespace
