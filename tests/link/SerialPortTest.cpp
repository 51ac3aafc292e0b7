#include <termios.h>

#include <cstring>
#include <tuple>

#include "link/ComPortMap.h"
#include "link/TermiosMapping.h"
#include "tests/link/LinkFakes.h"

namespace {

// The errno of the CSerialException that operation threw, or 0.
unsigned long ErrorOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (CSerialException* failure) {
    unsigned long code = failure->errorCode;
    failure->Delete();
    return code;
  }
  return 0;
}

using SerialPortTest = CPseudoTerminalTest;

TEST(SerialExceptionTest, CarriesErrnoAndTheSystemTextCutToTheBuffer) {
  errno = EACCES;
  EXPECT_EQ(ErrorOf([] { RaiseSerialError(0); }), static_cast<unsigned long>(EACCES));
  CSerialException failure(ENOENT);
  EXPECT_STREQ(failure.GetRuntimeClass()->className, "CSerialException");
  char text[64];
  unsigned helpContext = 99;
  EXPECT_TRUE(failure.GetErrorMessage(text, 10, &helpContext));
  EXPECT_STREQ(text, "No such f");  // nine characters and the terminator
  EXPECT_EQ(helpContext, 0u);
  EXPECT_FALSE(CSerialException(100000).GetErrorMessage(text, sizeof text));
  EXPECT_STREQ(text, "");
}

// Linux has no 1.5 stop bits: the open says so instead of sending 2.
TEST_F(SerialPortTest, OneAndAHalfStopBitsFailTheOpen) {
  CSerialPort port;
  EXPECT_EQ(
      ErrorOf([&] { port.Open(1, 9600, ParityEven, 7, StopBitsOneAndHalf, FlowNone, false); }),
      static_cast<unsigned long>(ENOTSUP));
}

// What a pseudo-terminal cannot hold (CS7, parity) is checked on the mapping.
TEST(TermiosMappingTest, CharacterFramingReachesTheControlFlagsAndBack) {
  for (auto [byteSize, parity, stopBits, expected] :
       std::vector<std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, tcflag_t>>{
           {7, EVENPARITY, ONESTOPBIT, CS7 | PARENB},
           {7, ODDPARITY, ONESTOPBIT, CS7 | PARENB | PARODD},
           {8, NOPARITY, TWOSTOPBITS, CS8 | CSTOPB},
           {7, MARKPARITY, ONESTOPBIT, CS7 | PARENB | CMSPAR | PARODD},
           {7, SPACEPARITY, TWOSTOPBITS, CS7 | PARENB | CMSPAR | CSTOPB}}) {
    SCOPED_TRACE(expected);
    DCB dcb;
    dcb.BaudRate = 9600;
    std::tie(dcb.ByteSize, dcb.Parity, dcb.StopBits) = std::tie(byteSize, parity, stopBits);
    termios tty{};
    tty.c_cflag = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;  // all to be replaced
    tty.c_iflag = IXON | ICRNL;
    ASSERT_EQ(DcbToTermios(dcb, tty), 0);
    EXPECT_EQ(tty.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), expected);
    EXPECT_EQ(tty.c_cflag & (CLOCAL | CREAD | CRTSCTS), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_FALSE(tty.c_iflag & (IXON | ICRNL));
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B9600));
    DCB back;
    TermiosToDcb(tty, back);
    EXPECT_EQ(std::tie(back.ByteSize, back.Parity, back.StopBits, back.BaudRate),
              std::tie(byteSize, parity, stopBits, dcb.BaudRate));
  }
}

// Never something near: 1.5 stop bits must not quietly become 2.
TEST(TermiosMappingTest, ValuesWithoutATtyCounterpartAreRefused) {
  const std::vector<std::pair<std::function<void(DCB&)>, int>> rows = {
      {[](DCB& d) { d.StopBits = ONE5STOPBITS; }, ENOTSUP},
      {[](DCB& d) { d.fOutxDsrFlow = true; }, ENOTSUP},
      {[](DCB& d) { d.fDtrControl = DTR_CONTROL_HANDSHAKE; }, ENOTSUP},
      {[](DCB& d) { d.fDsrSensitivity = true; }, ENOTSUP},
      {[](DCB& d) { d.fRtsControl = RTS_CONTROL_TOGGLE; }, ENOTSUP},
      {[](DCB& d) { d.BaudRate = 12345; }, EINVAL},
      {[](DCB& d) { d.ByteSize = 9; }, EINVAL},
      {[](DCB& d) { d.Parity = 5; }, EINVAL},
      {[](DCB& d) { d.StopBits = 3; }, EINVAL}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    DCB dcb;
    dcb.BaudRate = 9600;
    rows[i].first(dcb);
    termios tty{}, untouched{};
    EXPECT_EQ(DcbToTermios(dcb, tty), rows[i].second) << "row " << i;
    EXPECT_EQ(std::memcmp(&tty, &untouched, sizeof tty), 0) << "row " << i;
  }
}

// A pty keeps CS8 without parity and tcsetattr then reports EINVAL: what
// was applied is judged field by field instead.
TEST(TermiosMappingTest, AppliedSettingsAreJudgedFieldByField) {
  DCB dcb;
  dcb.BaudRate = 9600;
  dcb.ByteSize = 7;
  dcb.Parity = EVENPARITY;
  termios wanted{};
  ASSERT_EQ(DcbToTermios(dcb, wanted), 0);
  termios pseudoTerminal = wanted, slower = wanted, twoStops = wanted;
  pseudoTerminal.c_cflag = (pseudoTerminal.c_cflag & ~(CSIZE | PARENB)) | CS8;
  EXPECT_TRUE(TermiosApplied(wanted, pseudoTerminal, true));
  EXPECT_FALSE(TermiosApplied(wanted, pseudoTerminal, false));
  cfsetospeed(&slower, B4800);
  EXPECT_FALSE(TermiosApplied(wanted, slower, true));
  twoStops.c_cflag |= CSTOPB;
  EXPECT_FALSE(TermiosApplied(wanted, twoStops, true));
}

TEST_F(SerialPortTest, ComPortsMapThroughEnvironmentThenStoreThenTheStandardPort) {
  EXPECT_EQ(DevicePathForComPort(4), "/dev/ttyS3");
  ASSERT_TRUE(SaveComPortDevice(4, "/dev/serial/by-id/usb-FTDI_sign"));
  EXPECT_NE(StoreText().find("[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n"
                             "\"COM4\"=\"/dev/serial/by-id/usb-FTDI_sign\"\n"),
            std::string::npos);
  EXPECT_EQ(DevicePathForComPort(4), "/dev/serial/by-id/usb-FTDI_sign");
  setenv("RAVELLE_COM4", "/dev/pts/77", 1);
  EXPECT_EQ(DevicePathForComPort(4), "/dev/pts/77");
  setenv("RAVELLE_COM4", "", 1);  // as good as none
  EXPECT_EQ(DevicePathForComPort(4), "/dev/serial/by-id/usb-FTDI_sign");
  unsetenv("RAVELLE_COM4");
}

}  // namespace
