#include <dlfcn.h>

#include <optional>

#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"

namespace {

const std::string kM1 =
    "Error opening libravelle-no-such-library.so -- looked in the system's library path and "
    "/nonexistent-ravelle-folder (/nonexistent-ravelle-folder/libravelle-no-such-library.so: "
    "cannot open shared object file: No such file or directory). Reinstall Ravelle, or put the "
    "library in one of those places, and re-run this program.";
const std::string kM2 = "Error connecting to USB Open() function";
const std::string kM3 =
    "Failed to Open the USB connection to the LED sign -- some other program may be using the LED "
    "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";
const std::string kM4 = "Error connecting to USB Write() function";
const std::string kM5 = "Error connecting to USB Read() function";
const std::string kM6 = "Error connecting to USB Close() function";

class UsbRoadTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    doc_.connection = kConnectionUsbPrism;
    // No call may reach the library after the pump's first pass.
    pump_.onPass = [this] {
      if (!callsAtFirstPass_) callsAtFirstPass_ = control_->calls;
    };
  }
  // Loads the fake and keeps it loaded, so its record outlives the link's
  // own loading and releasing.
  void UseFake(const char* path, int openResult = 1, int refuseWrite = 0, int refuseResult = 0) {
    library_.reset(dlopen(path, RTLD_NOW));
    ASSERT_NE(library_, nullptr) << dlerror();
    control_ = reinterpret_cast<FakeUsbControlFn>(dlsym(library_.get(), "FakeUsb_Control"))();
    *control_ = FakeUsbControl{};
    std::tie(control_->openResult, control_->refuseWrite, control_->refuseResult) =
        std::tie(openResult, refuseWrite, refuseResult);
    link_.SetUsbLibraryName(path);
    messages_.texts.clear();
  }
  int Send(std::size_t length) {
    auto packet = Packet(length);
    return link_.SendViaUsb(packet.data(), static_cast<int>(length));
  }

  std::unique_ptr<void, int (*)(void*)> library_{nullptr, dlclose};
  FakeUsbControl* control_ = nullptr;
  std::optional<std::string> callsAtFirstPass_;
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
    EXPECT_EQ(Send(row.length), row.result);
    EXPECT_EQ(messages_.texts, row.messages);
    EXPECT_EQ(control_->calls, row.calls);
    EXPECT_EQ(
        std::vector<unsigned char>(control_->written, control_->written + control_->writtenLength),
        Packet(row.written));
  }
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  link_.SetUsbLibraryFolder("/nonexistent-ravelle-folder");
  messages_.texts.clear();
  EXPECT_EQ(Send(10), 1);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{kM1});
}

// Ten pump passes follow every outcome of the USB road, once the library is
// done with; "Updating LED Sign" shows only while the scoreboard does. Any
// other connection text, however near, takes the serial road.
TEST_F(UsbRoadTest, OnlyTheExactConnectionTakesTheUsbRoadWithTenPumpPassesAfter) {
  UseFake(FAKE_USB_FULL);
  // A serial failure stands until a send goes over USB.
  doc_.connection = kConnectionSerialClassic;
  setenv("RAVELLE_COM2", "/nonexistent-ravelle-port", 1);
  link_.SendToSign(2, Packet(5).data(), 5);
  ASSERT_TRUE(link_.LastSerialFailure());
  doc_.connection = kConnectionUsbPrism;
  outcomes_ = 0;
  view_.scoreMode = 1;
  link_.SendToSign(1, Packet(300).data(), 300);
  EXPECT_FALSE(link_.LastSerialFailure());
  EXPECT_EQ(outcomes_, 1);
  EXPECT_EQ(pump_.passes, 10);
  EXPECT_EQ(callsAtFirstPass_, control_->calls);
  view_.scoreMode = 0;
  UseFake(FAKE_USB_FULL, 0);
  link_.SendToSign(1, Packet(300).data(), 300);
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  link_.SendToSign(1, Packet(300).data(), 300);
  EXPECT_EQ(pump_.passes, 30);
  EXPECT_EQ(view_.nowShowingTexts, std::vector<std::string>{"Updating LED Sign"});

  UseFake(FAKE_USB_FULL);
  for (const char* connection :
       {"USB - betabrite prism", "usb - betabrite prism ", "serial port - betabrite classic", ""}) {
    doc_.connection = connection;
    link_.SendToSign(1, Packet(5).data(), 5);
  }
  EXPECT_EQ(pty_.Read(20).size(), 20u);
  EXPECT_EQ(control_->calls, std::string());
  EXPECT_EQ(pump_.passes, 30);
  EXPECT_EQ(outcomes_, 5);
}

}  // namespace
