#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/SerialPort.h"
#include "link/SignLink.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/SeamFakes.h"

namespace {

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorTimeout = 1460;

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

// An unmapped port (Wine maps only the machine's serial devices, hidden by
// the test run, and the ports the test run maps itself) fails to open with
// the system's code. No wrapper first tests whether the port is open: the
// system refuses the invalid handle, and that is raised like any other
// failure; closing a closed port does nothing.
TEST(SerialPortWin32, AClosedPortRaisesTheSystemsCodeForEveryOperation) {
  CSerialPort port;
  EXPECT_EQ(FailureCode([&] { port.Open(200, 9600, ParityEven, 7, StopBitsOne, FlowNone, false); }),
            kErrorFileNotFound);
  EXPECT_FALSE(port.IsOpen());
  DCB dcb;
  COMMTIMEOUTS timeouts;
  COMSTAT status;
  std::uint32_t value = 0;
  const unsigned char byte = 0;
  const std::vector<std::function<void()>> operations = {
      [&] { port.GetState(dcb); },         [&] { port.SetState(dcb); },
      [&] { port.GetModemStatus(value); }, [&] { port.GetMask(value); },
      [&] { port.SetMask(EV_TXEMPTY); },   [&] { port.GetTimeouts(timeouts); },
      [&] { port.SetTimeouts(timeouts); }, [&] { port.SetBreak(); },
      [&] { port.ClearBreak(); },          [&] { port.ClearError(value); },
      [&] { port.GetStatus(status); },     [&] { port.Setup(10000, 10000); },
      [&] { port.PurgeInput(); },          [&] { port.Flush(); },
      [&] { port.Write(&byte, 1); }};
  for (std::size_t i = 0; i < operations.size(); ++i) {
    EXPECT_EQ(FailureCode(operations[i]), kErrorInvalidHandle) << "operation " << i;
  }
  port.Close();
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

// The system's text for a code, cut to the buffer; none for an unknown code.
TEST(SerialPortWin32, ErrorTextsComeFromTheSystemCutToTheBuffer) {
  char whole[256];
  char cut[10];
  unsigned helpContext = 5;
  ASSERT_TRUE(CSerialException(kErrorFileNotFound).GetErrorMessage(whole, sizeof whole));
  EXPECT_TRUE(CSerialException(kErrorFileNotFound).GetErrorMessage(cut, sizeof cut, &helpContext));
  EXPECT_GT(std::strlen(whole), 9u);
  EXPECT_EQ(std::string(cut) + "|" + std::to_string(helpContext), std::string(whole, 9) + "|0");
  EXPECT_FALSE(CSerialException(0x2FFFFFFF).GetErrorMessage(whole, sizeof whole));
  EXPECT_STREQ(whole, "");
}

// The COM ports tests/windows/run-tests.sh mapped for this run, to
// pseudo-terminals whose far end reads everything or never reads; skipped
// when the run mapped none.
class SerialPortWin32OnMappedPorts : public testing::Test {
 protected:
  static int MappedPort(const char* variable) {
    return std::atoi(std::getenv(variable) != nullptr ? std::getenv(variable) : "0");
  }
  void SetUp() override {
    if (readingPort_ == 0 || stalledPort_ == 0) GTEST_SKIP() << "no COM ports mapped";
  }
  const int readingPort_ = MappedPort("RAVELLE_WINE_READING_COM");
  const int stalledPort_ = MappedPort("RAVELLE_WINE_STALLED_COM");

  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
};

// The whole serial road of a send, on the line settings the settings
// dialog offers, and the repairs of a document without them. (Odd parity is
// left out: Wine reads a pseudo-terminal's forced eight bits back as a
// parity no DCB names, and then refuses to set it again.)
TEST_F(SerialPortWin32OnMappedPorts, TheSerialRoadSendsOnTheOfferedLineSettings) {
  const unsigned char packet[] = {0, 0, 0, 0, 0, 1, 'Z', '0', '0', 2, 'A', 'A', 'H', 'i', 4};
  for (const auto& [settings, sentBaudRate, sentByteSize] :
       std::vector<std::tuple<CCommSettings, int, int>>{
           {{"alpha", kConnectionSerialCustom, 0, 9600, 7, "even", 1}, 9600, 7},
           {{"alpha", kConnectionSerialCustom, 0, 19200, 8, "none", 2}, 19200, 8},
           {{"alpha", kConnectionSerialCustom, 0, 115200, 7, "even", 1}, 115200, 7},
           {{"alpha", kConnectionSerialCustom, 0, 0, 6, " ", 0}, 9600, 7}}) {
    static_cast<CCommSettings&>(doc_) = settings;
    link_.SendToSign(readingPort_, packet, sizeof packet);
    EXPECT_FALSE(link_.LastSerialFailure())
        << settings.baudRate << " " << link_.LastSerialFailure()->systemText;
    EXPECT_EQ(std::tie(doc_.baudRate, doc_.byteSize), std::tie(sentBaudRate, sentByteSize));
  }
  EXPECT_TRUE(messages_.texts.empty());
}

// A far end that stops reading: with no write time-out asked for, the write
// still ends, after twice the packet's line time and a second, and fails;
// the caller's time-outs are back.
TEST_F(SerialPortWin32OnMappedPorts, AWriteToAFarEndThatStopsReadingEndsInBoundedTime) {
  CSerialPort port;
  port.Open(stalledPort_, 921600, ParityEven, 7, StopBitsOne, FlowNone, false);
  port.ClearWriteTimeouts();
  std::vector<unsigned char> packet(200000, 'x');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(
      FailureCode([&] { port.Write(packet.data(), static_cast<std::uint32_t>(packet.size())); }),
      kErrorTimeout);
  // 200000 characters of 10 bits at 921600 baud: 2.2 s on the line.
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(waited >= std::chrono::seconds(4) && waited < std::chrono::seconds(20))
      << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() << " ms";
  COMMTIMEOUTS after;
  port.GetTimeouts(after);
  EXPECT_EQ(std::tie(after.WriteTotalTimeoutMultiplier, after.WriteTotalTimeoutConstant),
            std::make_tuple(0u, 0u));
}

}  // namespace
