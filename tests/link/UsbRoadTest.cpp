// The USB road over the fake bulk library, one table for Linux and Windows.
// FAKE_USB_FULL is the whole fake under the real library's name, so the
// link's own load finds it; FAKE_USB_WITHOUT_* each lack one entry point;
// FAKE_USB_MISSING is nowhere and FAKE_USB_MISSING_MESSAGE what it shows
// (the build gives each system's names).

#include <gtest/gtest.h>

#include <memory>
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

// What the road shows when the library lacks an entry point.
std::string Missing(const std::string& entry) {
  return "Error connecting to USB " + entry + "() function";
}
const std::string kM3 =
    "Failed to Open the USB connection to the LED sign -- some other program may be using the LED "
    "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i + i / 256);
  return packet;
}

class UsbRoadTest : public testing::Test {
 protected:
  // A fresh link on the library (the real name for the whole fake), which
  // the test keeps loaded so its record outlives the link's own loading.
  void UseFake(const char* library, int openResult = 1, int refuseWrite = 0, int refuseResult = 0) {
    std::string failure;
    library_.reset(LoadUsbLibrary(library, "", failure));
    ASSERT_NE(library_, nullptr) << failure;
    control_ =
        reinterpret_cast<FakeUsbControlFn>(FindUsbEntryPoint(library_.get(), "FakeUsb_Control"))();
    *control_ = FakeUsbControl{};
    std::tie(control_->openResult, control_->refuseWrite, control_->refuseResult) =
        std::tie(openResult, refuseWrite, refuseResult);
    link_.emplace(settings_, view_, messages_, pump_);
    if (std::string(library) != FAKE_USB_FULL) link_->SetUsbLibraryName(library);
    link_->onSerialOutcome = [this] { ++outcomes_; };
    // No call may reach the library after the pump's first pass.
    pump_.onPass = [this] { callsAtFirstPass_ = callsAtFirstPass_.value_or(control_->calls); };
  }

  CCommSettings settings_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  std::optional<CSignLink> link_;
  std::unique_ptr<void, void (*)(void*)> library_{nullptr, ReleaseUsbLibrary};
  FakeUsbControl* control_ = nullptr;
  std::optional<std::string> callsAtFirstPass_;
  int outcomes_ = 0;
};

// Chunks of at most 256 bytes with a read after each, until one is refused
// (refuseWrite: the 1-based chunk the fake refuses with refuseResult); what
// each failure shows and the result it gives.
TEST_F(UsbRoadTest, ChunksMessagesAndResults) {
  using Messages = std::vector<std::string>;
  // The library, what its open answers, the chunk it refuses and with what,
  // the packet's length; the messages, the calls, the result and how many
  // of the packet's bytes the library took.
  for (const auto& [library, openResult, refuseWrite, refuseResult, length, messages, calls, result,
                    written] :
       std::vector<std::tuple<const char*, int, int, int, int, Messages, std::string, int, int>>{
           {FAKE_USB_FULL, 1, 0, 0, 256, {}, "O W256 R1 C", 256, 256},
           {FAKE_USB_FULL, 1, 0, 0, 257, {}, "O W256 R1 W1 R1 C", 1, 257},
           {FAKE_USB_FULL, 1, 0, 0, 600, {}, "O W256 R1 W256 R1 W88 R1 C", 88, 600},
           {FAKE_USB_FULL, 1, 0, 0, 0, {}, "O C", 0, 0},
           {FAKE_USB_FULL, 1, 1, 0, 600, {}, "O W256 R1 C", 0, 0},
           {FAKE_USB_FULL, 1, 2, 0, 600, {}, "O W256 R1 W256 R1 C", 0, 256},
           {FAKE_USB_FULL, 1, 3, -5, 600, {}, "O W256 R1 W256 R1 W88 R1 C", -5, 512},
           {FAKE_USB_WITHOUT_OPEN, 1, 0, 0, 10, {Missing("Open")}, "", 0, 0},
           {FAKE_USB_FULL, 0, 0, 0, 10, {kM3}, "O C", 1, 0},
           {FAKE_USB_WITHOUT_WRITE, 1, 0, 0, 10, {Missing("Write")}, "O C", 0, 0},
           {FAKE_USB_WITHOUT_WRITE, 0, 0, 0, 10, {kM3, Missing("Write")}, "O C", 0, 0},
           {FAKE_USB_WITHOUT_READ, 1, 0, 0, 10, {Missing("Read")}, "O C", 0, 0},
           {FAKE_USB_WITHOUT_READ, 0, 0, 0, 10, {kM3, Missing("Read")}, "O C", 0, 0},
           {FAKE_USB_WITHOUT_CLOSE, 1, 0, 0, 10, {Missing("Close")}, "O W10 R1", 0, 10}}) {
    SCOPED_TRACE(std::string(library) + " " + calls);
    UseFake(library, openResult, refuseWrite, refuseResult);
    const int sent = link_->SendViaUsb(Packet(length).data(), length);
    EXPECT_EQ(std::tie(sent, messages_.texts, control_->calls), std::tie(result, messages, calls));
    EXPECT_EQ(
        std::vector<unsigned char>(control_->written, control_->written + control_->writtenLength),
        Packet(written));
    messages_.texts.clear();
  }
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
    link_->SendToSign(200, Packet(5).data(), 5);  // a COM port that leads nowhere
    EXPECT_TRUE(link_->LastSerialFailure()) << connection;
  }
  EXPECT_EQ(std::make_tuple(std::string(control_->calls), pump_.passes, outcomes_),
            std::make_tuple("", 0, 4));
  settings_.connection = kConnectionUsbPrism;
  view_.scoreMode = 1;
  link_->SendToSign(1, Packet(300).data(), 300);
  EXPECT_EQ(std::make_tuple(link_->LastSerialFailure().has_value(), pump_.passes, outcomes_),
            std::make_tuple(false, 10, 5));
  EXPECT_EQ(callsAtFirstPass_, std::string(control_->calls));
  view_.scoreMode = 0;
  UseFake(FAKE_USB_FULL, 0);
  link_->BeginAction();
  for (int packet = 0; packet < 3; ++packet) link_->SendToSign(1, Packet(300).data(), 300);
  link_->EndAction();
  link_->SendToSign(1, Packet(300).data(), 300);
  link_->SetUsbLibraryName(FAKE_USB_MISSING);
  link_->SendToSign(1, Packet(300).data(), 300);
  // A missing library is not a refused send: it gives 1.
  EXPECT_EQ(
      std::make_tuple(messages_.texts, link_->LastUsbResult(), pump_.passes, view_.nowShowingTexts),
      std::make_tuple(std::vector<std::string>{kM3, kM3, FAKE_USB_MISSING_MESSAGE}, 1, 60,
                      std::vector<std::string>{"Updating LED Sign"}));
}

}  // namespace
