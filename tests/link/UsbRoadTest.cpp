// The USB road over the fake bulk library, one table for Linux and Windows.
// FAKE_USB_FULL is the whole fake under the real library's name, so the
// link's own load finds it; FAKE_USB_WITHOUT_* each lack one entry point;
// FAKE_USB_MISSING is nowhere and FAKE_USB_MISSING_MESSAGE what it shows
// (the build gives each system's names).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "link/SignLink.h"
#include "link/UsbLibrary.h"
#include "settings/CommSettings.h"
#include "tests/link/FakeUsbControl.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/SeamFakes.h"

namespace {

const std::string kM2 = "Error connecting to USB Open() function";
const std::string kM3 =
    "Failed to Open the USB connection to the LED sign -- some other program may be using the LED "
    "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";
const std::string kM4 = "Error connecting to USB Write() function";
const std::string kM5 = "Error connecting to USB Read() function";
const std::string kM6 = "Error connecting to USB Close() function";

// No COM port this high leads anywhere on either system.
constexpr int kUnmappedPort = 200;

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i + i / 256);
  return packet;
}

class UsbRoadTest : public testing::Test {
 protected:
  UsbRoadTest() { settings_.connection = kConnectionUsbPrism; }
  ~UsbRoadTest() override {
    if (library_ != nullptr) ReleaseUsbLibrary(library_);
  }
  // A fresh link on the library (the real name for the whole fake), which
  // the test keeps loaded so its record outlives the link's own loading.
  void UseFake(const char* library, int openResult = 1, int refuseWrite = 0, int refuseResult = 0) {
    if (library_ != nullptr) ReleaseUsbLibrary(library_);
    std::string failure;
    library_ = LoadUsbLibrary(library, "", failure);
    ASSERT_NE(library_, nullptr) << failure;
    control_ = reinterpret_cast<FakeUsbControlFn>(FindUsbEntryPoint(library_, "FakeUsb_Control"))();
    *control_ = FakeUsbControl{};
    std::tie(control_->openResult, control_->refuseWrite, control_->refuseResult) =
        std::tie(openResult, refuseWrite, refuseResult);
    link_.emplace(settings_, view_, messages_, pump_);
    if (std::string(library) != FAKE_USB_FULL) link_->SetUsbLibraryName(library);
    link_->onSerialOutcome = [this] { ++outcomes_; };
    // No call may reach the library after the pump's first pass.
    pump_.onPass = [this] {
      if (!callsAtFirstPass_) callsAtFirstPass_ = control_->calls;
    };
  }
  void Send(std::size_t length, int comPort = 1) {
    link_->SendToSign(comPort, Packet(length).data(), static_cast<int>(length));
  }

  CCommSettings settings_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  std::optional<CSignLink> link_;
  void* library_ = nullptr;
  FakeUsbControl* control_ = nullptr;
  std::optional<std::string> callsAtFirstPass_;
  int outcomes_ = 0;
};

// Chunks of at most 256 bytes with a read after each, until one is refused
// (refuseWrite: the 1-based chunk the fake refuses with refuseResult); what
// each failure shows and the result it gives.
TEST_F(UsbRoadTest, ChunksMessagesAndResults) {
  struct Row {
    const char* library;
    int openResult, refuseWrite, refuseResult;
    std::size_t length;
    std::vector<std::string> messages;
    std::string calls;
    int result;
    std::size_t written;
  };
  for (const Row& row :
       std::vector<Row>{{FAKE_USB_FULL, 1, 0, 0, 256, {}, "O W256 R1 C", 256, 256},
                        {FAKE_USB_FULL, 1, 0, 0, 257, {}, "O W256 R1 W1 R1 C", 1, 257},
                        {FAKE_USB_FULL, 1, 0, 0, 600, {}, "O W256 R1 W256 R1 W88 R1 C", 88, 600},
                        {FAKE_USB_FULL, 1, 0, 0, 0, {}, "O C", 0, 0},
                        {FAKE_USB_FULL, 1, 1, 0, 600, {}, "O W256 R1 C", 0, 0},
                        {FAKE_USB_FULL, 1, 2, 0, 600, {}, "O W256 R1 W256 R1 C", 0, 256},
                        {FAKE_USB_FULL, 1, 3, -5, 600, {}, "O W256 R1 W256 R1 W88 R1 C", -5, 512},
                        {FAKE_USB_WITHOUT_OPEN, 1, 0, 0, 10, {kM2}, "", 0, 0},
                        {FAKE_USB_FULL, 0, 0, 0, 10, {kM3}, "O C", 1, 0},
                        {FAKE_USB_WITHOUT_WRITE, 1, 0, 0, 10, {kM4}, "O C", 0, 0},
                        {FAKE_USB_WITHOUT_WRITE, 0, 0, 0, 10, {kM3, kM4}, "O C", 0, 0},
                        {FAKE_USB_WITHOUT_READ, 1, 0, 0, 10, {kM5}, "O C", 0, 0},
                        {FAKE_USB_WITHOUT_READ, 0, 0, 0, 10, {kM3, kM5}, "O C", 0, 0},
                        {FAKE_USB_WITHOUT_CLOSE, 1, 0, 0, 10, {kM6}, "O W10 R1", 0, 10}}) {
    SCOPED_TRACE(std::string(row.library) + " " + row.calls);
    UseFake(row.library, row.openResult, row.refuseWrite, row.refuseResult);
    EXPECT_EQ(link_->SendViaUsb(Packet(row.length).data(), static_cast<int>(row.length)),
              row.result);
    EXPECT_EQ(messages_.texts, row.messages);
    messages_.texts.clear();
    EXPECT_EQ(std::string(control_->calls), row.calls);
    EXPECT_EQ(
        std::vector<unsigned char>(control_->written, control_->written + control_->writtenLength),
        Packet(row.written));
  }
  link_->SetUsbLibraryName(FAKE_USB_MISSING);
  EXPECT_EQ(link_->SendViaUsb(Packet(10).data(), 10), 1);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{FAKE_USB_MISSING_MESSAGE});
}

// Ten pump passes follow every outcome of the USB road, once the library is
// done with; "Updating LED Sign" shows only while the scoreboard does. Any
// other connection text, however near, takes the serial road; a serial
// failure stands until a send goes over USB. Within one action each message
// shows once.
TEST_F(UsbRoadTest, OnlyTheExactConnectionTakesTheUsbRoadWithTenPumpPassesAfter) {
  UseFake(FAKE_USB_FULL);
  for (const char* connection :
       {"USB - betabrite prism", "usb - betabrite prism ", "serial port - betabrite classic", ""}) {
    settings_.connection = connection;
    Send(5, kUnmappedPort);
    EXPECT_TRUE(link_->LastSerialFailure()) << connection;
  }
  EXPECT_EQ(std::string(control_->calls), "");
  EXPECT_EQ(std::tie(pump_.passes, outcomes_), std::make_tuple(0, 4));

  settings_.connection = kConnectionUsbPrism;
  view_.scoreMode = 1;
  Send(300);
  EXPECT_FALSE(link_->LastSerialFailure());
  EXPECT_EQ(std::tie(pump_.passes, outcomes_), std::make_tuple(10, 5));
  EXPECT_EQ(callsAtFirstPass_, std::string(control_->calls));
  view_.scoreMode = 0;
  UseFake(FAKE_USB_FULL, 0);
  link_->BeginAction();
  for (int packet = 0; packet < 3; ++packet) Send(300);
  link_->EndAction();
  Send(300);
  link_->SetUsbLibraryName(FAKE_USB_MISSING);
  Send(300);
  EXPECT_EQ(messages_.texts, (std::vector<std::string>{kM3, kM3, FAKE_USB_MISSING_MESSAGE}));
  EXPECT_EQ(pump_.passes, 60);
  EXPECT_EQ(view_.nowShowingTexts, std::vector<std::string>{"Updating LED Sign"});
}

}  // namespace
