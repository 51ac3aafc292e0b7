#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "link/ComPortMap.h"
#include "link/TermiosMapping.h"
#include "link/linux/LineSpeed.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/PortHolder.h"

namespace {

using SerialPortTest = CPseudoTerminalTest;

// Linux has no 1.5 stop bits: the open says so instead of sending 2. The
// failure's text is the system's, cut to the caller's buffer.
TEST_F(SerialPortTest, OneAndAHalfStopBitsFailTheOpenWithTheSystemsText) {
  CSerialPort port;
  try {
    port.Open(1, 9600, ParityEven, 7, StopBitsOneAndHalf, FlowNone, false);
    ADD_FAILURE() << "1.5 stop bits accepted";
  } catch (CSerialException* failure) {
    EXPECT_EQ(failure->errorCode, static_cast<unsigned long>(ENOTSUP));
    char text[10];
    EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "Operation");  // nine characters and the terminator
    failure->Delete();
  }
  char text[64];
  EXPECT_FALSE(CSerialException(100000).GetErrorMessage(text, sizeof text));
  EXPECT_STREQ(text, "");
}

// What a pseudo-terminal cannot hold (CS7, parity, flow control) is checked
// on the mapping, there and back, and in judging what a tty applied. Values
// without a tty counterpart are refused and change nothing: 1.5 stop bits
// must never quietly become 2.
TEST(TermiosMappingTest, FramingAndFlowReachTheFlagsAndBackOrAreRefused) {
  struct Row {
    DCB dcb;
    tcflag_t controlFlags, inputFlags;
    int error;
  };
  // At 9600 baud where a row names no speed.
  const std::vector<Row> rows = {
      {{.ByteSize = 7, .Parity = EVENPARITY}, CS7 | PARENB, 0, 0},
      {{.ByteSize = 7, .Parity = ODDPARITY}, CS7 | PARENB | PARODD, 0, 0},
      {{.ByteSize = 8, .StopBits = TWOSTOPBITS}, CS8 | CSTOPB, 0, 0},
      {{.ByteSize = 7, .Parity = MARKPARITY}, CS7 | PARENB | CMSPAR | PARODD, 0, 0},
      {{.ByteSize = 7, .Parity = SPACEPARITY, .StopBits = 2}, CS7 | PARENB | CMSPAR | CSTOPB, 0, 0},
      {{.fOutxCtsFlow = true, .fOutX = true, .fInX = true}, CS8 | CRTSCTS, IXON | IXOFF, 0},
      // An RTS handshake read back from a port, with no CTS flow asked for.
      {{.fRtsControl = RTS_CONTROL_HANDSHAKE}, CS8, 0, 0},
      {{.StopBits = ONE5STOPBITS}, 0, 0, ENOTSUP},
      {{.fOutxDsrFlow = true}, 0, 0, ENOTSUP},
      {{.fDtrControl = DTR_CONTROL_HANDSHAKE}, 0, 0, ENOTSUP},
      {{.fDsrSensitivity = true}, 0, 0, ENOTSUP},
      {{.fRtsControl = RTS_CONTROL_TOGGLE}, 0, 0, ENOTSUP},
      {{.ByteSize = 9}, 0, 0, EINVAL},
      {{.Parity = 5}, 0, 0, EINVAL},
      {{.StopBits = 3}, 0, 0, EINVAL}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows.data());
    termios tty{};
    tty.c_cflag = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;  // all to be replaced
    tty.c_iflag = IXON | IXOFF | ICRNL;
    const termios before = tty;
    DCB dcb = row.dcb;
    if (dcb.BaudRate == 0) dcb.BaudRate = 9600;
    ASSERT_EQ(DcbToTermios(dcb, tty), row.error);
    if (row.error != 0) {
      EXPECT_EQ(std::memcmp(&tty, &before, sizeof tty), 0);
      continue;
    }
    const tcflag_t control = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CLOCAL | CREAD;
    EXPECT_EQ(tty.c_cflag & control, row.controlFlags | CLOCAL | CREAD);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF | ICRNL), row.inputFlags);
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B9600));
    // A rate the table lacks is the port layer's: the speed stays.
    termios typed = tty;
    dcb.BaudRate = 12345;
    ASSERT_EQ(DcbToTermios(dcb, typed), 0);
    EXPECT_EQ(std::memcmp(&typed, &tty, sizeof tty), 0);
    // A pty keeps eight bits without parity and tcsetattr then reports
    // EINVAL: judged apart from the framing, that still counts as applied;
    // another speed or stop bits never do.
    termios eightBits = tty, slower = tty, stops = tty;
    eightBits.c_cflag = (tty.c_cflag & ~(CSIZE | PARENB | PARODD | CMSPAR)) | CS8;
    cfsetospeed(&slower, B4800);
    stops.c_cflag ^= CSTOPB;
    EXPECT_TRUE(TermiosApplied(tty, eightBits, true));
    EXPECT_EQ(TermiosApplied(tty, eightBits, false), eightBits.c_cflag == tty.c_cflag);
    EXPECT_FALSE(TermiosApplied(tty, slower, true) || TermiosApplied(tty, stops, true));
    DCB back;
    TermiosToDcb(tty, back);
    EXPECT_EQ(
        std::tie(back.ByteSize, back.Parity, back.StopBits, back.fOutX, back.fInX),
        std::tie(row.dcb.ByteSize, row.dcb.Parity, row.dcb.StopBits, row.dcb.fOutX, row.dcb.fInX));
  }
}

TEST_F(SerialPortTest, ComPortsMapThroughEnvironmentThenStoreThenTheStandardPort) {
  EXPECT_EQ(DevicePathForComPort(4), "/dev/ttyS3");
  ASSERT_TRUE(SaveComPortDevice(4, "/dev/serial/by-id/usb-FTDI_sign"));
  EXPECT_NE(StoreText().find("[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n"
                             "\"COM4\"=\"/dev/serial/by-id/usb-FTDI_sign\"\n"),
            std::string::npos);
  setenv("RAVELLE_COM4", "/dev/pts/77", 1);
  EXPECT_EQ(DevicePathForComPort(4), "/dev/pts/77");
  setenv("RAVELLE_COM4", "", 1);  // as good as none
  EXPECT_EQ(DevicePathForComPort(4), "/dev/serial/by-id/usb-FTDI_sign");
  unsetenv("RAVELLE_COM4");
}

// The wait after a write looks first when the queued bytes can all be out,
// then at least every character time, on slow lines and fast ones.
TEST(DrainPacing, FirstLookAtTheLineTimeThenEveryCharacterTime) {
  for (const DCB& dcb : {DCB{.BaudRate = 9600, .ByteSize = 7, .Parity = EVENPARITY},
                         DCB{.BaudRate = 9600, .StopBits = TWOSTOPBITS}, DCB{.BaudRate = 50},
                         DCB{.BaudRate = 921600}}) {
    const auto character = std::chrono::duration<double, std::micro>(CharacterSeconds(dcb) * 1e6);
    for (std::uint32_t queued : {1u, 32u, 1000u}) {
      SCOPED_TRACE(testing::Message() << dcb.BaudRate << " baud, " << queued << " queued");
      const CDrainPacing pacing = DrainPacing(dcb, queued);
      EXPECT_NEAR(pacing.firstWait.count(), (character * queued).count(), 1);
      EXPECT_GT(pacing.step.count(), 0);
      EXPECT_LE(pacing.step, character);
    }
  }
}

// Lines that misbehave as real ones do: a far end that stops reading, flow
// control another program left on, a sender that died holding the port, a
// port busy for a moment, a typed baud rate.

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class LineSafetyTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    pty_.MakeRaw();
  }
  std::vector<unsigned char> Send(const std::vector<unsigned char>& packet) {
    pty_.StartReading(packet.size());
    link_.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
    return pty_.Collect();
  }
};

// Nobody reads: the send gives up at its deadline (twice the line time and
// a second) with the system's time-out, and what it left queued is gone, so
// the next packet arrives whole, and alone, once the far end reads again.
TEST_F(LineSafetyTest, AStalledFarEndCostsAPacketItsDeadlineAndSpoilsNoOther) {
  doc_.baudRate = 4000000;  // a short line time: the deadline is about 1.5 s
  doc_.byteSize = 8;
  doc_.parity = "none";
  const std::vector<unsigned char> big = Packet(200000);  // far more than a pty buffers
  const auto start = Clock::now();
  link_.SendToSign(1, big.data(), static_cast<int>(big.size()));
  EXPECT_LT(SecondsSince(start), 10.0) << "the send must end on its own";
  EXPECT_EQ(FailureCode(), ETIMEDOUT);
  EXPECT_EQ(link_.LastSerialFailure()->systemText, "Connection timed out");
  // What had already reached the far end's own input (a pty's reader holds
  // 4 KiB) stays there, a cut-off start of the packet; what was still queued
  // at our end is discarded instead of trickling out later.
  const std::vector<unsigned char> delivered = pty_.Read(big.size(), 0, 300);
  EXPECT_LE(delivered.size(), 4096u);
  EXPECT_TRUE(std::equal(delivered.begin(), delivered.end(), big.begin()));
  EXPECT_EQ(Send(Packet(3000)), Packet(3000));
  EXPECT_EQ(FailureCode(), 0);
}

// Another program left hardware and software flow control on the port: the
// send turns all of it off, and the port's state says so.
TEST_F(LineSafetyTest, FlowControlLeftOnThePortIsTurnedOff) {
  termios tty = pty_.LineSettings();
  tty.c_cflag |= CRTSCTS;
  tty.c_iflag |= IXON | IXOFF | IXANY;
  ASSERT_EQ(tcsetattr(pty_.Slave(), TCSANOW, &tty), 0);
  ASSERT_TRUE(pty_.LineSettings().c_cflag & CRTSCTS) << "this pty cannot hold CRTSCTS";

  EXPECT_EQ(Send(Packet(100)), Packet(100));
  EXPECT_EQ(FailureCode(), 0);
  tty = pty_.LineSettings();
  EXPECT_FALSE(tty.c_cflag & CRTSCTS);
  EXPECT_FALSE(tty.c_iflag & (IXON | IXOFF | IXANY));

  tty.c_cflag |= CRTSCTS;
  ASSERT_EQ(tcsetattr(pty_.Slave(), TCSANOW, &tty), 0);
  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  DCB dcb;
  port.GetState(dcb);
  EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX);
  EXPECT_NE(dcb.fRtsControl, RTS_CONTROL_HANDSHAKE);
  // Asked for, it is still there.
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowCtsRts, false);
  EXPECT_TRUE(pty_.LineSettings().c_cflag & CRTSCTS);
}

// A sender killed while it held the port leaves the tty's exclusive flag set
// (the pty stays open at our end); its lock died with it, and the port is
// not refused.
TEST_F(LineSafetyTest, ASenderKilledHoldingThePortDoesNotLockItForGood) {
  CPortHolder holder(60000);
  ASSERT_TRUE(holder.Holding());
  holder.Kill();
  int exclusive = 0;
  ASSERT_EQ(ioctl(pty_.Slave(), TIOCGEXCL, &exclusive), 0);
  EXPECT_NE(exclusive, 0) << "the dead sender's flag is expected to stay";
  EXPECT_EQ(Send(Packet(50)), Packet(50));
  EXPECT_EQ(FailureCode(), 0);
  ASSERT_EQ(ioctl(pty_.Slave(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0) << "our own flag is cleared at close";
}

// A sender that holds the port for 300 ms is waited for; one that keeps it
// gets the port refused as busy after a bounded wait.
TEST_F(LineSafetyTest, ABrieflyBusyPortIsWaitedForAndALongBusyOneRefused) {
  {
    CPortHolder holder(300);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(Send(Packet(50)), Packet(50));
    EXPECT_EQ(FailureCode(), 0);
  }
  CPortHolder holder(60000);
  ASSERT_TRUE(holder.Holding());
  const auto start = Clock::now();
  link_.SendToSign(1, Packet(50).data(), 50);
  EXPECT_EQ(FailureCode(), EBUSY);
  EXPECT_LT(SecondsSince(start), 10.0);
  EXPECT_TRUE(pty_.Read(1, 0, 200).empty());
}

// A rate outside the termios table reaches the line as typed; one the
// driver will not run fails naming the rate.
TEST_F(LineSafetyTest, ATypedBaudRateIsSetAndARefusedOneNamed) {
  doc_.baudRate = 12345;
  EXPECT_EQ(Send(Packet(100)), Packet(100));
  EXPECT_EQ(FailureCode(), 0);
  EXPECT_EQ(LineSpeed(pty_.Slave()), 12345u);
  CSerialPort port;
  port.Open(1, 31250, ParityNone, 8, StopBitsOne, FlowNone, false);
  DCB dcb;
  port.GetState(dcb);
  EXPECT_EQ(dcb.BaudRate, 31250u);
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  const termios standard = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&standard), static_cast<speed_t>(B9600));
  port.Close();

  // A pseudo-terminal runs any rate; a driver's refusal is made here.
  class CRefusingPort : public CSerialPort {
   public:
    void SetState(const DCB& dcb) override {
      if (dcb.BaudRate == 12345) RaiseSerialError(EINVAL, "the port refused the baud rate 12345");
      CSerialPort::SetState(dcb);
    }
  };
  link_.SetSerialPortFactory([] { return std::make_unique<CRefusingPort>(); });
  link_.SendToSign(1, Packet(10).data(), 10);
  ASSERT_EQ(FailureCode(), EINVAL);
  EXPECT_EQ(link_.LastSerialFailure()->systemText,
            "the port refused the baud rate 12345: Invalid argument");
}

}  // namespace
