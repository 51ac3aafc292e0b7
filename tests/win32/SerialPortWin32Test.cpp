#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/EventPump.h"
#include "link/MessageBoxSeam.h"
#include "link/SerialPort.h"
#include "link/SignLink.h"
#include "tests/support/FakeViewStatus.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorTimeout = 1460;

// No COM port this high is mapped: Wine maps only the machine's serial
// devices (hidden by the test run) and the ports the test run maps itself.
constexpr int kUnmappedPort = 200;

// The COM port numbers tests/windows/run-tests.sh mapped for this run: to a
// pseudo-terminal whose far end reads everything, and to one whose far end
// never reads. 0 when the run mapped none; those cases are then skipped.
int MappedPort(const char* variable) {
  const char* value = std::getenv(variable);
  return value == nullptr ? 0 : std::atoi(value);
}

// Runs action and returns the error code of the CSerialException it throws;
// 0 when it throws none.
std::uint32_t FailureCode(const std::function<void()>& action) {
  try {
    action();
  } catch (CSerialException* failure) {
    std::uint32_t code = failure->errorCode;
    failure->Delete();
    return code;
  }
  return 0;
}

void OpenPort(CSerialPort& port, int number, std::uint32_t baudRate = 9600) {
  port.Open(number, baudRate, ParityEven, 7, StopBitsOne, FlowNone, false);
}

TEST(SerialPortWin32, AnUnmappedPortFailsToOpenWithTheSystemsCodeAndStaysClosed) {
  CSerialPort port;
  EXPECT_EQ(FailureCode([&] { OpenPort(port, kUnmappedPort); }), kErrorFileNotFound);
  EXPECT_FALSE(port.IsOpen());
}

// No wrapper first tests whether the port is open: the system refuses the
// invalid handle, and that is raised like any other failure.
TEST(SerialPortWin32, EveryOperationOnAClosedPortRaisesTheInvalidHandleError) {
  CSerialPort port;
  DCB dcb;
  COMMTIMEOUTS timeouts;
  COMSTAT status;
  std::uint32_t value = 0;
  const unsigned char byte = 0;
  const std::vector<std::pair<const char*, std::function<void()>>> operations = {
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
      {"Setup", [&] { port.Setup(10000, 10000); }},
      {"Purge", [&] { port.PurgeInput(); }},
      {"Flush", [&] { port.Flush(); }},
      {"Write", [&] { port.Write(&byte, 1); }}};
  for (const auto& [name, operation] : operations) {
    EXPECT_EQ(FailureCode(operation), kErrorInvalidHandle) << name;
  }
  port.Close();
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortWin32, ErrorTextsComeFromTheSystemCutToTheBuffer) {
  CSerialException notFound(kErrorFileNotFound);
  char whole[256];
  ASSERT_TRUE(notFound.GetErrorMessage(whole, sizeof whole));
  ASSERT_GT(std::strlen(whole), 9u);
  char cut[10];
  unsigned helpContext = 5;
  EXPECT_TRUE(notFound.GetErrorMessage(cut, sizeof cut, &helpContext));
  EXPECT_EQ(std::string(cut), std::string(whole, 9));
  EXPECT_EQ(helpContext, 0u);

  CSerialException unknown(0x2FFFFFFF);
  EXPECT_FALSE(unknown.GetErrorMessage(whole, sizeof whole));
  EXPECT_STREQ(whole, "");
}

class CNoMessages : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string&, Icon) override { ADD_FAILURE() << text; }
};

class CNoEventLoop : public CEventPump {
 public:
  void PumpOnce() override {}
};

class SerialPortWin32OnMappedPorts : public testing::Test {
 protected:
  void SetUp() override {
    if (readingPort_ == 0 || stalledPort_ == 0) {
      GTEST_SKIP() << "no COM ports mapped for this run";
    }
  }
  const int readingPort_ = MappedPort("RAVELLE_WINE_READING_COM");
  const int stalledPort_ = MappedPort("RAVELLE_WINE_STALLED_COM");

  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CNoMessages messages_;
  CNoEventLoop pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
};

// The whole serial road of a send, on the line settings the settings
// dialog offers, and the repairs of a document without them. (Odd parity is
// left out: Wine reads a pseudo-terminal's forced eight bits back as a
// parity no DCB names, and then refuses to set it again.)
TEST_F(SerialPortWin32OnMappedPorts, TheSerialRoadSendsOnTheOfferedLineSettings) {
  doc_.connection = kConnectionSerialCustom;
  const unsigned char packet[] = {0, 0, 0, 0, 0, 1, 'Z', '0', '0', 2, 'A', 'A', 'H', 'i', 4};
  for (const auto& [baudRate, byteSize, parity, stopBits, sentBaudRate, sentByteSize] :
       std::vector<std::tuple<int, int, std::string, int, int, int>>{
           {9600, 7, "even", 1, 9600, 7},
           {19200, 8, "none", 2, 19200, 8},
           {115200, 7, "even", 1, 115200, 7},
           {0, 6, " ", 0, 9600, 7}}) {
    doc_.baudRate = baudRate;
    doc_.byteSize = byteSize;
    doc_.parity = parity;
    doc_.stopBits = stopBits;
    link_.SendToSign(readingPort_, packet, sizeof packet);
    EXPECT_FALSE(link_.LastSerialFailure())
        << baudRate << " " << link_.LastSerialFailure()->systemText;
    EXPECT_EQ(std::tie(doc_.baudRate, doc_.byteSize), std::tie(sentBaudRate, sentByteSize));
  }
}

// A far end that stops reading: with no write time-out asked for, the write
// still ends, after twice the packet's line time and a second, and fails.
TEST_F(SerialPortWin32OnMappedPorts, AWriteToAFarEndThatStopsReadingEndsInBoundedTime) {
  CSerialPort port;
  OpenPort(port, stalledPort_, 921600);
  port.ClearWriteTimeouts();
  std::vector<unsigned char> packet(200000, 'x');
  auto start = Clock::now();
  EXPECT_EQ(
      FailureCode([&] { port.Write(packet.data(), static_cast<std::uint32_t>(packet.size())); }),
      kErrorTimeout);
  auto waited = Clock::now() - start;
  // 200000 characters of 10 bits at 921600 baud: 2.2 s on the line.
  EXPECT_GE(waited, std::chrono::milliseconds(4000));
  EXPECT_LT(waited, std::chrono::seconds(20));
  COMMTIMEOUTS after;
  port.GetTimeouts(after);
  EXPECT_EQ(std::tie(after.WriteTotalTimeoutMultiplier, after.WriteTotalTimeoutConstant),
            std::make_tuple(0u, 0u))
      << "the caller's time-outs are back";
}

}  // namespace
