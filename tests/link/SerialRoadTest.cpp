#include <fcntl.h>
#include <termios.h>

#include <fstream>
#include <memory>
#include <numeric>

#include "game/RavelleDoc.h"
#include "link/SerialPort.h"
#include "link/SignLink.h"
#include "tests/link/LinkFakes.h"
#include "tests/link/PtyFixture.h"
#include "tests/link/RecordingSerialPort.h"
#include "tests/support/FakeViewStatus.h"

namespace {

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  // Every byte value, the flow-control and line-end characters among them.
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i * 7 + 3);
  return packet;
}

class SerialRoadTest : public PtyFixture {
 protected:
  void SetUp() override {
    PtyFixture::SetUp();
    doc_.connection = kConnectionSerialClassic;
    link_.SetSerialPortFactory([this] { return std::make_unique<CRecordingSerialPort>(calls_); });
    link_.onSerialOutcome = [this] { ++outcomes_; };
  }

  void Send(const std::vector<unsigned char>& packet, int comPort = 1) {
    link_.SendToSign(comPort, packet.data(), static_cast<int>(packet.size()));
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

TEST_F(SerialRoadTest, PacketArrivesByteForByteAfterTheBreakInTheDocumentedOrder) {
  auto packet = Packet(600);
  StartReader(packet.size());
  Send(packet);
  EXPECT_EQ(StopReader(), packet);
  EXPECT_FALSE(link_.LastSerialFailure());
  EXPECT_EQ(outcomes_, 1);
  EXPECT_TRUE(messages_.boxes.empty());
  EXPECT_EQ(pump_.passes, 0);

  const std::vector<std::string> expected = {"Open(1,9600,0,7,0,0,0)",
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
  EXPECT_EQ(calls_, expected);
}

TEST_F(SerialRoadTest, SeveralPacketsArriveWholeAndInOrder) {
  std::vector<unsigned char> all;
  std::vector<std::vector<unsigned char>> packets = {Packet(40), Packet(300), Packet(1)};
  for (const auto& p : packets) all.insert(all.end(), p.begin(), p.end());
  StartReader(all.size());
  for (const auto& p : packets) Send(p);
  EXPECT_EQ(StopReader(), all);
  EXPECT_EQ(outcomes_, 3);
}

TEST_F(SerialRoadTest, LineIsRawWithTheDocumentsSpeedAndStopBitsAndNoFlowControl) {
  doc_.baudRate = 2400;
  doc_.byteSize = 8;
  doc_.parity = "none";
  doc_.stopBits = 2;
  StartReader(10);
  Send(Packet(10));
  StopReader();
  termios tty = LineSettings();
  EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B2400));
  EXPECT_TRUE(tty.c_cflag & CSTOPB);
  EXPECT_EQ(tty.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_FALSE(tty.c_cflag & CRTSCTS);
  EXPECT_FALSE(tty.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));
  EXPECT_FALSE(tty.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(tty.c_oflag & OPOST);
  // Reads return at once: the last timeouts set were the immediate ones.
  EXPECT_EQ(tty.c_cc[VMIN], 0);
  EXPECT_EQ(tty.c_cc[VTIME], 0);
}

struct RepairRow {
  int baudRate;
  int byteSize;
  const char* parity;
  int stopBits;
  std::string expectedOpen;
  int repairedBaud;
  int repairedByteSize;
};

TEST_F(SerialRoadTest, DocumentRepairsAndSettingsMapping) {
  const std::vector<RepairRow> rows = {
      {0, 6, " ", 0, "Open(1,9600,0,7,0,0,0)", 9600, 7},
      {-5, 0, "", 3, "Open(1,9600,0,7,0,0,0)", 9600, 7},
      {2400, 8, "none", 2, "Open(1,2400,2,8,2,0,0)", 2400, 8},
      {19200, 7, "odd", 1, "Open(1,19200,3,7,0,0,0)", 19200, 7},
      {9600, 7, "NONE", 1, "Open(1,9600,0,7,0,0,0)", 9600, 7},
      {9600, 9, "Odd", 2, "Open(1,9600,0,7,2,0,0)", 9600, 7},
  };
  for (const RepairRow& row : rows) {
    SCOPED_TRACE(row.expectedOpen);
    doc_.baudRate = row.baudRate;
    doc_.byteSize = row.byteSize;
    doc_.parity = row.parity;
    doc_.stopBits = row.stopBits;
    calls_.clear();
    StartReader(5);
    Send(Packet(5));
    StopReader();
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(calls_.front(), row.expectedOpen);
    EXPECT_EQ(doc_.baudRate, row.repairedBaud);
    EXPECT_EQ(doc_.byteSize, row.repairedByteSize);
    EXPECT_EQ(doc_.parity, row.parity);
    EXPECT_EQ(doc_.stopBits, row.stopBits);
  }
}

TEST_F(SerialRoadTest, PortBelowOneUsesPortOne) {
  for (int port : {0, -3}) {
    doc_.comPort = port;
    calls_.clear();
    auto packet = Packet(20);
    StartReader(packet.size());
    Send(packet, port);
    EXPECT_EQ(StopReader(), packet);
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(calls_.front().substr(0, 7), "Open(1,");
    EXPECT_EQ(doc_.comPort, port);
  }
}

TEST_F(SerialRoadTest, MissingDeviceEndsTheSendBeforeRepairsWithItsReason) {
  setenv("RAVELLE_COM3", (home_ / "no-such-device").c_str(), 1);
  doc_.baudRate = 0;
  doc_.byteSize = 0;
  Send(Packet(10), 3);
  unsetenv("RAVELLE_COM3");
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(doc_.baudRate, 0);
  EXPECT_EQ(doc_.byteSize, 0);
  ASSERT_TRUE(link_.LastSerialFailure());
  EXPECT_EQ(link_.LastSerialFailure()->comPort, 3);
  EXPECT_EQ(link_.LastSerialFailure()->device, (home_ / "no-such-device").string());
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(ENOENT));
  EXPECT_EQ(link_.LastSerialFailure()->systemText, "No such file or directory");
  EXPECT_EQ(outcomes_, 1);
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(SerialRoadTest, RegularFileIsNoPortAndIsLeftUntouched) {
  std::filesystem::path file = home_ / "not-a-tty";
  { std::ofstream(file) << "contents"; }
  setenv("RAVELLE_COM2", file.c_str(), 1);
  doc_.baudRate = 0;
  Send(Packet(10), 2);
  unsetenv("RAVELLE_COM2");
  // The device exists, so the repairs were made before the open failed.
  EXPECT_EQ(doc_.baudRate, 9600);
  EXPECT_EQ(calls_, std::vector<std::string>{"Open(2,9600,0,7,0,0,0)"});
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(ENOTTY));
  EXPECT_EQ(std::filesystem::file_size(file), 8u);
}

TEST_F(SerialRoadTest, PortHeldByAnotherHolderIsRefusedAndFreedAfterwards) {
  {
    CSerialPort holder;
    holder.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
    Send(Packet(10));
    EXPECT_EQ(FailureCode(), static_cast<unsigned long>(EBUSY));
    EXPECT_EQ(calls_, std::vector<std::string>{"Open(1,9600,0,7,0,0,0)"});
  }
  // The holder's close released the port: the next send gets through and
  // clears the failure.
  auto packet = Packet(10);
  StartReader(packet.size());
  Send(packet);
  EXPECT_EQ(StopReader(), packet);
  EXPECT_FALSE(link_.LastSerialFailure());
  EXPECT_EQ(outcomes_, 2);
}

TEST_F(SerialRoadTest, FarEndClosingMidSendFailsWithoutHanging) {
  // More than the pseudo-terminal buffers, so the write is still going
  // when the far end goes away.
  auto packet = Packet(256 * 1024);
  StartReader(packet.size(), 1000);
  Send(packet);
  StopReader();
  EXPECT_EQ(FailureCode(), static_cast<unsigned long>(EIO));
  EXPECT_EQ(calls_.back(), "Write(262144)");
  EXPECT_EQ(outcomes_, 1);
}

TEST_F(SerialRoadTest, PurgesAfterTheWriteLoseNothingTheFarEndHasNotRead) {
  // Nobody reads while the send runs: everything must still be there.
  auto packet = Packet(4000);
  Send(packet);
  EXPECT_FALSE(link_.LastSerialFailure());
  StartReader(packet.size());
  EXPECT_EQ(StopReader(), packet);
}

}  // namespace
