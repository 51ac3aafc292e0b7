#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "link/TermiosMapping.h"
#include "link/linux/LineSpeed.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/PortHolder.h"

namespace {

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
  const tcflag_t control = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CLOCAL | CREAD;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows.data());
    termios tty{};
    tty.c_cflag = control & ~(CLOCAL | CREAD);  // all to be replaced
    tty.c_iflag = IXON | IXOFF | ICRNL;
    const termios before = tty;
    DCB dcb = row.dcb;
    dcb.BaudRate = 9600;
    ASSERT_EQ(DcbToTermios(dcb, tty), row.error);
    if (row.error != 0) {
      EXPECT_EQ(std::memcmp(&tty, &before, sizeof tty), 0);
      continue;
    }
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
    EXPECT_EQ(std::tie(back.ByteSize, back.Parity, back.StopBits, back.fOutxCtsFlow, back.fOutX,
                       back.fInX),
              std::tie(row.dcb.ByteSize, row.dcb.Parity, row.dcb.StopBits, row.dcb.fOutxCtsFlow,
                       row.dcb.fOutX, row.dcb.fInX));
  }
}

// The wait after a write looks first when the queued bytes can all be out,
// then every character time (a slow line still every 20 ms).
TEST(DrainPacing, FirstLookAtTheLineTimeThenEveryCharacterTime) {
  for (const auto& [dcb, firstWait, step] : std::vector<std::tuple<DCB, long, long>>{
           {{.BaudRate = 9600, .ByteSize = 7, .Parity = EVENPARITY}, 33333, 1041},
           {{.BaudRate = 9600, .StopBits = TWOSTOPBITS}, 36666, 1145},
           {{.BaudRate = 50}, 6400000, 20000},
           {{.BaudRate = 921600}, 347, 10}}) {
    const CDrainPacing pacing = DrainPacing(dcb, 32);
    EXPECT_EQ(std::make_pair(pacing.firstWait.count(), pacing.step.count()),
              std::make_pair(firstWait, step))
        << dcb.BaudRate;
  }
}

// Lines that misbehave as real ones do: a far end that stops reading,
// another sender on the port, settings another program left on it.

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
};

// Nobody reads: the send gives up at its deadline (twice the line time and
// a second) with the system's time-out, and what it left queued is gone, so
// the next packet arrives whole, and alone, once the far end reads again.
TEST_F(LineSafetyTest, AStalledFarEndCostsAPacketItsDeadlineAndSpoilsNoOther) {
  // A short line time: the deadline is about 1.5 s.
  std::tie(doc_.baudRate, doc_.byteSize, doc_.parity) = std::make_tuple(4000000, 8, "none");
  const std::vector<unsigned char> big = Packet(200000);  // far more than a pty buffers
  const auto start = Clock::now();
  link_.SendToSign(1, big.data(), static_cast<int>(big.size()));
  EXPECT_LT(SecondsSince(start), 10.0) << "the send must end on its own";
  EXPECT_EQ(FailureCode(), ETIMEDOUT);
  // What had already reached the far end's own input (a pty's reader holds
  // 4 KiB) stays there, a cut-off start of the packet; what was still queued
  // at our end is discarded instead of trickling out later.
  const std::vector<unsigned char> delivered = pty_.Read(big.size(), 0, 300);
  EXPECT_LE(delivered.size(), 4096u);
  EXPECT_TRUE(std::equal(delivered.begin(), delivered.end(), big.begin()));
  EXPECT_TRUE(SentWhole(3000));
}

// Another sender on the port. One killed while it held the port leaves the
// tty's exclusive flag set (the pty stays open at our end); its lock died
// with it, and the port is not refused. One that holds the port for 300 ms
// is waited for; one that keeps it gets the port refused as busy after a
// bounded wait.
TEST_F(LineSafetyTest, AnotherSenderKilledOrBrieflyBusyIsWaitedOutAndALongBusyOneRefused) {
  {
    CPortHolder killed(60000);
    ASSERT_TRUE(killed.Holding());
    killed.Kill();
    int exclusive = 0;
    ASSERT_EQ(ioctl(pty_.Slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0) << "the dead sender's flag is expected to stay";
    EXPECT_TRUE(SentWhole(50));
    ASSERT_EQ(ioctl(pty_.Slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "our own flag is cleared at close";
    CPortHolder brief(300);
    ASSERT_TRUE(brief.Holding());
    EXPECT_TRUE(SentWhole(50));
  }
  CPortHolder holder(60000);
  ASSERT_TRUE(holder.Holding());
  const auto start = Clock::now();
  link_.SendToSign(1, Packet(50).data(), 50);
  EXPECT_EQ(FailureCode(), EBUSY);
  EXPECT_LT(SecondsSince(start), 10.0);
  EXPECT_TRUE(pty_.Read(1, 0, 200).empty());
}

// What another program or the operator leaves the port: flow control
// (hardware and software) left on is turned off by the send, and kept when
// asked for; a rate outside the termios table reaches the line as typed,
// and a table rate after it is a standard speed again; 1.5 stop bits, which
// Linux lacks, fail the open with the system's text (cut to the caller's
// buffer) instead of sending 2.
TEST_F(LineSafetyTest, WhatIsLeftOnThePortOrTypedIsSetOrRefused) {
  termios tty = pty_.LineSettings();
  tty.c_cflag |= CRTSCTS;
  tty.c_iflag |= IXON | IXOFF | IXANY;
  ASSERT_EQ(tcsetattr(pty_.Slave(), TCSANOW, &tty), 0);
  ASSERT_TRUE(pty_.LineSettings().c_cflag & CRTSCTS) << "this pty cannot hold CRTSCTS";
  EXPECT_TRUE(SentWhole(100));
  tty = pty_.LineSettings();
  EXPECT_FALSE((tty.c_cflag & CRTSCTS) || (tty.c_iflag & (IXON | IXOFF | IXANY)));
  doc_.baudRate = 12345;
  EXPECT_TRUE(SentWhole(100));
  EXPECT_EQ(LineSpeed(pty_.Slave()), 12345u);

  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowCtsRts, false);
  EXPECT_TRUE(pty_.LineSettings().c_cflag & CRTSCTS);
  // Left with CRTSCTS by the open before: no flow of any kind is reported.
  port.Open(1, 31250, ParityNone, 8, StopBitsOne, FlowNone, false);
  DCB dcb;
  port.GetState(dcb);
  EXPECT_EQ(std::make_pair(dcb.BaudRate, dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX ||
                                             dcb.fRtsControl == RTS_CONTROL_HANDSHAKE),
            std::make_pair(31250u, false));
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  const termios standard = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&standard), static_cast<speed_t>(B9600));
  char text[10] = "", unknown[64] = "x";
  try {
    port.Open(1, 9600, ParityEven, 7, StopBitsOneAndHalf, FlowNone, false);
    ADD_FAILURE() << "1.5 stop bits accepted";
  } catch (CSerialException* failure) {
    EXPECT_EQ(failure->errorCode, static_cast<unsigned long>(ENOTSUP));
    EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text));
    failure->Delete();
  }
  EXPECT_STREQ(text, "Operation");  // nine characters and the terminator
  EXPECT_FALSE(CSerialException(100000).GetErrorMessage(unknown, sizeof unknown));
  EXPECT_STREQ(unknown, "");
}

}  // namespace
