#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <chrono>

#include "link/linux/LineSpeed.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/PortHolder.h"

// Lines that misbehave as real ones do: a far end that stops reading, flow
// control another program left on, a sender that died holding the port, a
// port busy for a moment, a typed baud rate.

namespace {

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
