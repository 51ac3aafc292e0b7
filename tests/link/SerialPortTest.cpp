#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "link/SerialPort.h"
#include "link/TermiosMapping.h"
#include "tests/link/PtyFixture.h"

namespace {

// Runs operation and returns the errno of the CSerialException it threw,
// or 0 when it threw none.
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

class SerialPortTest : public PtyFixture {};

TEST_F(SerialPortTest, RunTimeClassesAndMessages) {
  CSerialPort port;
  EXPECT_STREQ(port.GetRuntimeClass()->className, "CSerialPort");
  EXPECT_TRUE(port.IsKindOf(&CObject::classCObject));
  EXPECT_FALSE(port.IsKindOf(&CException::classCException));

  auto* failure = new CSerialException(ENOENT);
  EXPECT_STREQ(failure->GetRuntimeClass()->className, "CSerialException");
  EXPECT_TRUE(failure->IsKindOf(&CException::classCException));

  char text[64];
  unsigned helpContext = 99;
  EXPECT_TRUE(failure->GetErrorMessage(text, sizeof text, &helpContext));
  EXPECT_STREQ(text, "No such file or directory");
  EXPECT_EQ(helpContext, 0u);
  // Capacity 10: the first nine characters and the terminator.
  std::memset(text, 'x', sizeof text);
  EXPECT_TRUE(failure->GetErrorMessage(text, 10));
  EXPECT_STREQ(text, "No such f");
  failure->Delete();

  CSerialException unknown(100000);
  std::strcpy(text, "old");
  EXPECT_FALSE(unknown.GetErrorMessage(text, sizeof text));
  EXPECT_STREQ(text, "");
}

TEST_F(SerialPortTest, RaiseSerialErrorTakesErrnoWhenGivenZero) {
  errno = EACCES;
  EXPECT_EQ(ErrorOf([] { RaiseSerialError(0); }), static_cast<unsigned long>(EACCES));
  EXPECT_EQ(ErrorOf([] { RaiseSerialError(EPIPE); }), static_cast<unsigned long>(EPIPE));
}

TEST_F(SerialPortTest, EveryOperationOnAClosedPortFailsOnTheInvalidHandle) {
  CSerialPort port;
  COMMCONFIG config;
  DCB dcb;
  COMMTIMEOUTS timeouts;
  COMSTAT status;
  std::uint32_t value = 0;
  unsigned char byte = 0;
  const std::vector<std::pair<const char*, std::function<void()>>> operations = {
      {"GetConfig", [&] { port.GetConfig(config); }},
      {"SetConfig", [&] { port.SetConfig(config); }},
      {"GetState", [&] { port.GetState(dcb); }},
      {"SetState", [&] { port.SetState(dcb); }},
      {"GetModemStatus", [&] { port.GetModemStatus(value); }},
      {"GetMask", [&] { port.GetMask(value); }},
      {"SetMask", [&] { port.SetMask(EV_TXEMPTY); }},
      {"GetTimeouts", [&] { port.GetTimeouts(timeouts); }},
      {"SetTimeouts", [&] { port.SetTimeouts(timeouts); }},
      {"SetBreak", [&] { port.SetBreak(); }},
      {"ClearBreak", [&] { port.ClearBreak(); }},
      {"ClearError", [&] { port.ClearError(value); }},
      {"GetStatus", [&] { port.GetStatus(status); }},
      {"InputQueueCount", [&] { port.InputQueueCount(); }},
      {"Setup", [&] { port.Setup(10000, 10000); }},
      {"Purge", [&] { port.Purge(PURGE_RXCLEAR); }},
      {"AbortWrites", [&] { port.AbortWrites(); }},
      {"PurgeOutput", [&] { port.PurgeOutput(); }},
      {"PurgeInput", [&] { port.PurgeInput(); }},
      {"Flush", [&] { port.Flush(); }},
      {"Write", [&] { port.Write(&byte, 1); }},
      {"ClearWriteTimeouts", [&] { port.ClearWriteTimeouts(); }},
      {"SetImmediateReads", [&] { port.SetImmediateReads(); }},
      {"SetImmediateTimeouts", [&] { port.SetImmediateTimeouts(); }},
  };
  for (const auto& [name, operation] : operations) {
    EXPECT_EQ(ErrorOf(operation), static_cast<unsigned long>(EBADF)) << name;
  }
  // Closing a closed port does nothing, twice over.
  port.Close();
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortTest, OpenFailuresLeaveThePortClosed) {
  std::filesystem::path file = home_ / "plain-file";
  { std::ofstream(file) << "x"; }
  setenv("RAVELLE_COM2", (home_ / "missing").c_str(), 1);
  setenv("RAVELLE_COM3", file.c_str(), 1);
  CSerialPort port;
  EXPECT_EQ(ErrorOf([&] { port.Open(2, 9600, ParityEven, 7, StopBitsOne, FlowNone, false); }),
            static_cast<unsigned long>(ENOENT));
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(ErrorOf([&] { port.Open(3, 9600, ParityEven, 7, StopBitsOne, FlowNone, false); }),
            static_cast<unsigned long>(ENOTTY));
  EXPECT_FALSE(port.IsOpen());
  COMMCONFIG config;
  EXPECT_EQ(ErrorOf([&] { CSerialPort::GetDefaultConfig(2, config); }),
            static_cast<unsigned long>(ENOENT));
  EXPECT_EQ(ErrorOf([&] { CSerialPort::GetDefaultConfig(3, config); }), 0u);
  unsetenv("RAVELLE_COM2");
  unsetenv("RAVELLE_COM3");
}

TEST_F(SerialPortTest, SettingsLinuxCannotCarryFailWithThePortStillOpen) {
  CSerialPort port;
  EXPECT_EQ(
      ErrorOf([&] { port.Open(1, 9600, ParityEven, 7, StopBitsOneAndHalf, FlowNone, false); }),
      static_cast<unsigned long>(ENOTSUP));
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(ErrorOf([&] { port.Open(1, 9600, ParityEven, 7, StopBitsOne, FlowDsrDtr, false); }),
            static_cast<unsigned long>(ENOTSUP));
  EXPECT_EQ(ErrorOf([&] { port.Open(1, 12345, ParityEven, 7, StopBitsOne, FlowNone, false); }),
            static_cast<unsigned long>(EINVAL));
  // A pseudo-terminal holds eight data bits without parity only; that is
  // no failure.
  EXPECT_EQ(ErrorOf([&] { port.Open(1, 9600, ParityEven, 7, StopBitsOne, FlowNone, false); }), 0u);
}

TEST_F(SerialPortTest, OpenIsExclusiveUntilClosed) {
  CSerialPort first;
  first.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  CSerialPort second;
  EXPECT_EQ(ErrorOf([&] { second.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false); }),
            static_cast<unsigned long>(EBUSY));
  EXPECT_FALSE(second.IsOpen());
  first.Close();
  EXPECT_EQ(ErrorOf([&] { second.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false); }),
            0u);
}

TEST_F(SerialPortTest, OpenOnAnOpenPortClosesTheFirst) {
  int otherMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(otherMaster, 0);
  ASSERT_EQ(grantpt(otherMaster), 0);
  ASSERT_EQ(unlockpt(otherMaster), 0);
  setenv("RAVELLE_COM2", ptsname(otherMaster), 1);

  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  port.Open(2, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  CSerialPort again;
  EXPECT_EQ(ErrorOf([&] { again.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false); }), 0u);
  unsetenv("RAVELLE_COM2");
  port.Close();
  close(otherMaster);
}

TEST_F(SerialPortTest, DetachHandsOverTheOpenHandleAndAttachTakesItBack) {
  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, true);
  EXPECT_TRUE(port.IsOverlapped());
  CSerialPort::Handle handle = port.Detach();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(port.IsOverlapped());
  port.Close();
  EXPECT_NE(fcntl(handle, F_GETFD), -1);

  port.Attach(handle, false);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_FALSE(port.IsOverlapped());
  unsigned char byte = 'Z';
  StartReader(1);
  EXPECT_EQ(port.Write(&byte, 1), 1u);
  EXPECT_EQ(StopReader(), std::vector<unsigned char>{'Z'});
  port.Close();
  EXPECT_EQ(fcntl(handle, F_GETFD), -1);
}

TEST_F(SerialPortTest, TimeoutOperationsKeepTheFieldsTheyDoNotSet) {
  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  COMMTIMEOUTS timeouts{500, 1, 2, 3, 4};
  port.SetTimeouts(timeouts);
  EXPECT_EQ(LineSettings().c_cc[VMIN], 1);
  EXPECT_EQ(LineSettings().c_cc[VTIME], 5);

  port.ClearWriteTimeouts();
  COMMTIMEOUTS read;
  port.GetTimeouts(read);
  EXPECT_EQ(read.ReadIntervalTimeout, 500u);
  EXPECT_EQ(read.ReadTotalTimeoutConstant, 2u);
  EXPECT_EQ(read.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(read.WriteTotalTimeoutConstant, 0u);

  port.SetTimeouts(COMMTIMEOUTS{0, 0, 0, 7, 8});
  port.SetImmediateReads();
  port.GetTimeouts(read);
  EXPECT_EQ(read.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(read.WriteTotalTimeoutConstant, 8u);
  EXPECT_EQ(LineSettings().c_cc[VMIN], 0);

  port.SetTimeouts(COMMTIMEOUTS{1, 2, 3, 4, 5});
  port.SetImmediateTimeouts();
  port.GetTimeouts(read);
  EXPECT_EQ(read.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(read.ReadTotalTimeoutMultiplier + read.ReadTotalTimeoutConstant +
                read.WriteTotalTimeoutMultiplier + read.WriteTotalTimeoutConstant,
            0u);
}

TEST_F(SerialPortTest, StatusOfAPseudoTerminal) {
  CSerialPort port;
  port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
  const char answer[] = "ack";
  ASSERT_EQ(write(master_, answer, 3), 3);
  // What the far end sent waits in the input queue until purged.
  std::uint32_t queued = 0;
  for (int tries = 0; tries < 1000 && (queued = port.InputQueueCount()) < 3; ++tries) {
    pollfd ready{port.GetHandle(), POLLIN, 0};
    poll(&ready, 1, 10);
  }
  EXPECT_EQ(queued, 3u);
  port.PurgeInput();
  EXPECT_EQ(port.InputQueueCount(), 0u);

  std::uint32_t modem = 99, errors = 99, mask = 99;
  port.GetModemStatus(modem);
  port.ClearError(errors);
  EXPECT_EQ(modem, 0u);  // no modem lines on a pseudo-terminal
  EXPECT_EQ(errors, 0u);
  port.SetMask(EV_TXEMPTY);
  port.GetMask(mask);
  EXPECT_EQ(mask, EV_TXEMPTY);
  port.SetBreak();
  port.ClearBreak();
}

TEST(ApplyLineSettingsTest, OpenChangesOnlyWhatItsModeNames) {
  DCB before;
  before.Parity = MARKPARITY;
  before.StopBits = TWOSTOPBITS;
  before.fDtrControl = DTR_CONTROL_DISABLE;
  before.fRtsControl = RTS_CONTROL_DISABLE;
  before.fDsrSensitivity = true;
  before.fOutX = true;

  DCB dcb = before;
  ApplyLineSettings(dcb, 4800, static_cast<SerialParity>(7), 8, static_cast<SerialStopBits>(5),
                    static_cast<SerialFlowControl>(6));
  EXPECT_EQ(dcb.BaudRate, 4800u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, MARKPARITY);
  EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
  EXPECT_FALSE(dcb.fDsrSensitivity);
  EXPECT_TRUE(dcb.fOutX);

  dcb = before;
  ApplyLineSettings(dcb, 9600, ParityEven, 7, StopBitsOne, FlowNone);
  EXPECT_EQ(dcb.Parity, EVENPARITY);
  EXPECT_FALSE(dcb.fOutX || dcb.fInX || dcb.fOutxCtsFlow || dcb.fOutxDsrFlow);
  EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
  EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_DISABLE);

  dcb = before;
  ApplyLineSettings(dcb, 9600, ParityNone, 8, StopBitsOne, FlowXonXoff);
  EXPECT_EQ(dcb.XonChar, 0x11);
  EXPECT_EQ(dcb.XoffChar, 0x13);
  EXPECT_EQ(dcb.XonLim, 100);
  EXPECT_EQ(dcb.XoffLim, 100);
  EXPECT_TRUE(dcb.fOutX && dcb.fInX);

  dcb = before;
  ApplyLineSettings(dcb, 9600, ParityNone, 8, StopBitsOne, FlowCtsRts);
  EXPECT_TRUE(dcb.fOutxCtsFlow);
  EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_HANDSHAKE);
  EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_DISABLE);
}

struct FramingRow {
  const char* what;
  std::uint8_t byteSize, parity, stopBits;
  tcflag_t expected;  // CSIZE, PARENB, PARODD, CMSPAR and CSTOPB bits
};

// What a pseudo-terminal cannot hold is checked on the mapping itself.
TEST(TermiosMappingTest, CharacterFramingReachesTheControlFlags) {
  const std::vector<FramingRow> rows = {
      {"7E1", 7, EVENPARITY, ONESTOPBIT, CS7 | PARENB},
      {"7O1", 7, ODDPARITY, ONESTOPBIT, CS7 | PARENB | PARODD},
      {"8N1", 8, NOPARITY, ONESTOPBIT, CS8},
      {"8N2", 8, NOPARITY, TWOSTOPBITS, CS8 | CSTOPB},
      {"7M1", 7, MARKPARITY, ONESTOPBIT, CS7 | PARENB | CMSPAR | PARODD},
      {"7S2", 7, SPACEPARITY, TWOSTOPBITS, CS7 | PARENB | CMSPAR | CSTOPB},
      {"5N1", 5, NOPARITY, ONESTOPBIT, CS5},
      {"6E1", 6, EVENPARITY, ONESTOPBIT, CS6 | PARENB},
  };
  for (const FramingRow& row : rows) {
    SCOPED_TRACE(row.what);
    DCB dcb;
    dcb.BaudRate = 9600;
    dcb.ByteSize = row.byteSize;
    dcb.Parity = row.parity;
    dcb.StopBits = row.stopBits;
    termios tty{};
    tty.c_cflag = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;  // all to be replaced
    tty.c_iflag = IXON | ICRNL;
    ASSERT_EQ(DcbToTermios(dcb, tty), 0);
    EXPECT_EQ(tty.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), row.expected);
    EXPECT_EQ(tty.c_cflag & (CLOCAL | CREAD | CRTSCTS), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_FALSE(tty.c_iflag & (IXON | ICRNL));
    EXPECT_EQ(cfgetospeed(&tty), static_cast<speed_t>(B9600));

    DCB back;
    TermiosToDcb(tty, back);
    EXPECT_EQ(back.ByteSize, row.byteSize);
    EXPECT_EQ(back.Parity, row.parity);
    EXPECT_EQ(back.StopBits, row.stopBits);
    EXPECT_EQ(back.BaudRate, 9600u);
  }
}

TEST(TermiosMappingTest, ValuesWithoutATtyCounterpartAreRefused) {
  struct Row {
    const char* what;
    std::function<void(DCB&)> change;
    int expected;
  };
  const std::vector<Row> rows = {
      {"1.5 stop bits", [](DCB& d) { d.StopBits = ONE5STOPBITS; }, ENOTSUP},
      {"DSR flow", [](DCB& d) { d.fOutxDsrFlow = true; }, ENOTSUP},
      {"DTR handshake", [](DCB& d) { d.fDtrControl = DTR_CONTROL_HANDSHAKE; }, ENOTSUP},
      {"DSR sensitivity", [](DCB& d) { d.fDsrSensitivity = true; }, ENOTSUP},
      {"RTS toggle", [](DCB& d) { d.fRtsControl = RTS_CONTROL_TOGGLE; }, ENOTSUP},
      {"baud 0", [](DCB& d) { d.BaudRate = 0; }, EINVAL},
      {"baud 12345", [](DCB& d) { d.BaudRate = 12345; }, EINVAL},
      {"4 data bits", [](DCB& d) { d.ByteSize = 4; }, EINVAL},
      {"9 data bits", [](DCB& d) { d.ByteSize = 9; }, EINVAL},
      {"parity 5", [](DCB& d) { d.Parity = 5; }, EINVAL},
      {"stop bits 3", [](DCB& d) { d.StopBits = 3; }, EINVAL},
  };
  for (const Row& row : rows) {
    DCB dcb;
    dcb.BaudRate = 9600;
    row.change(dcb);
    termios tty{};
    termios untouched = tty;
    EXPECT_EQ(DcbToTermios(dcb, tty), row.expected) << row.what;
    EXPECT_EQ(std::memcmp(&tty, &untouched, sizeof tty), 0) << row.what;
  }
}

TEST(TermiosMappingTest, AppliedSettingsAreJudgedFieldByField) {
  DCB dcb;
  dcb.BaudRate = 9600;
  dcb.ByteSize = 7;
  dcb.Parity = EVENPARITY;
  termios wanted{};
  ASSERT_EQ(DcbToTermios(dcb, wanted), 0);

  termios pseudoTerminal = wanted;  // what a pty keeps
  pseudoTerminal.c_cflag = (pseudoTerminal.c_cflag & ~(CSIZE | PARENB)) | CS8;
  EXPECT_TRUE(TermiosApplied(wanted, pseudoTerminal, true));
  EXPECT_FALSE(TermiosApplied(wanted, pseudoTerminal, false));

  termios slower = wanted;
  cfsetospeed(&slower, B4800);
  EXPECT_FALSE(TermiosApplied(wanted, slower, true));
  termios twoStops = wanted;
  twoStops.c_cflag |= CSTOPB;
  EXPECT_FALSE(TermiosApplied(wanted, twoStops, true));
}

}  // namespace
