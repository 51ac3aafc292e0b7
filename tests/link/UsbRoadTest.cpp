#include <dlfcn.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"

namespace {

const std::string kM1 =
    "Error opening libbetabriteusb.so -- please find it where this program was installed and try "
    "copying it to /usr/local/lib/ or /usr/lib/ or some similar system directory and re-run this "
    "program.";
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
  void TearDown() override {
    if (library_ != nullptr) dlclose(library_);
    CPseudoTerminalTest::TearDown();
  }

  // Loads the fake and keeps it loaded, so its record outlives the link's
  // own loading and releasing.
  void UseFake(const char* path, int openResult = 1) {
    if (library_ != nullptr) dlclose(library_);
    library_ = dlopen(path, RTLD_NOW);
    ASSERT_NE(library_, nullptr) << dlerror();
    control_ = reinterpret_cast<FakeUsbControlFn>(dlsym(library_, "FakeUsb_Control"))();
    *control_ = FakeUsbControl{};
    control_->openResult = openResult;
    link_.SetUsbLibraryName(path);
    messages_.texts.clear();
  }
  int Send(std::size_t length) {
    auto packet = Packet(length);
    return link_.SendViaUsb(packet.data(), static_cast<int>(length));
  }

  void* library_ = nullptr;
  FakeUsbControl* control_ = nullptr;
  std::optional<std::string> callsAtFirstPass_;
};

// refuseWrite: the 1-based chunk the fake refuses with refuseResult.
TEST_F(UsbRoadTest, ChunksOfAtMost256WithAReadAfterEachUntilOneIsRefused) {
  struct Row {
    std::size_t length;
    int refuseWrite, refuseResult;
    std::string calls;
    int result;
    std::size_t written;
  };
  for (const Row& row : std::vector<Row>{{1, 0, 0, "O W1 R1 C", 1, 1},
                                         {256, 0, 0, "O W256 R1 C", 256, 256},
                                         {257, 0, 0, "O W256 R1 W1 R1 C", 1, 257},
                                         {600, 0, 0, "O W256 R1 W256 R1 W88 R1 C", 88, 600},
                                         {0, 0, 0, "O C", 0, 0},
                                         {600, 1, 0, "O W256 R1 C", 0, 0},
                                         {600, 2, 0, "O W256 R1 W256 R1 C", 0, 256},
                                         {600, 3, -5, "O W256 R1 W256 R1 W88 R1 C", -5, 512}}) {
    SCOPED_TRACE(row.calls);
    UseFake(FAKE_USB_FULL);
    control_->refuseWrite = row.refuseWrite;
    control_->refuseResult = row.refuseResult;
    EXPECT_EQ(Send(row.length), row.result);
    EXPECT_EQ(control_->calls, row.calls);
    auto written = Packet(row.written);
    EXPECT_EQ(
        std::vector<unsigned char>(control_->written, control_->written + control_->writtenLength),
        written);
  }
  EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(UsbRoadTest, MessagesAndResultsOfEveryFailure) {
  struct Row {
    const char* library;
    int openResult;
    std::vector<std::string> messages;
    std::string calls;
    int result;
  };
  for (const Row& row : std::vector<Row>{{FAKE_USB_WITHOUT_OPEN, 1, {kM2}, "", 0},
                                         {FAKE_USB_FULL, 0, {kM3}, "O C", 1},
                                         {FAKE_USB_WITHOUT_WRITE, 1, {kM4}, "O C", 0},
                                         {FAKE_USB_WITHOUT_WRITE, 0, {kM3, kM4}, "O C", 0},
                                         {FAKE_USB_WITHOUT_READ, 1, {kM5}, "O C", 0},
                                         {FAKE_USB_WITHOUT_READ, 0, {kM3, kM5}, "O C", 0},
                                         {FAKE_USB_WITHOUT_CLOSE, 1, {kM6}, "O W10 R1", 0}}) {
    SCOPED_TRACE(std::string(row.library) + " open " + std::to_string(row.openResult));
    UseFake(row.library, row.openResult);
    EXPECT_EQ(Send(10), row.result);
    EXPECT_EQ(messages_.texts, row.messages);
    EXPECT_EQ(control_->calls, row.calls);
  }
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  messages_.texts.clear();
  EXPECT_EQ(Send(10), 1);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{kM1});
}

// Ten pump passes follow every outcome of the USB road, once the library is
// done with; "Updating LED Sign" shows only while the scoreboard does. Any
// other connection text, however near, takes the serial road.
TEST_F(UsbRoadTest, OnlyTheExactConnectionTakesTheUsbRoadWithTenPumpPassesAfter) {
  UseFake(FAKE_USB_FULL);
  view_.scoreMode = 1;
  link_.SendToSign(1, Packet(300).data(), 300);
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
  EXPECT_EQ(outcomes_, 4);
  EXPECT_FALSE(link_.LastSerialFailure());
}

}  // namespace
