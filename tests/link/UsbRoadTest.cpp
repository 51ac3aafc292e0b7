#include <dlfcn.h>

#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/SignLink.h"
#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"
#include "tests/support/FakeViewStatus.h"

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

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i % 251);
  return packet;
}

class UsbRoadTest : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    doc_.connection = kConnectionUsbPrism;
    // No serial port behind COM1: a send that takes the serial road fails.
    setenv("RAVELLE_COM1", (home_ / "no-port").c_str(), 1);
    // No call may reach the library after the pump's first pass.
    pump_.onPass = [this] {
      if (callsAtFirstPass_ < 0) callsAtFirstPass_ = control_ ? control_->callCount : 0;
    };
  }
  void TearDown() override {
    if (library_ != nullptr) dlclose(library_);
    unsetenv("RAVELLE_COM1");
    TemporaryConfigHome::TearDown();
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

  // The calls the fake got, as "O W256 R1 ... C".
  std::string Calls() const {
    std::string calls;
    for (int i = 0; i < control_->callCount; ++i) {
      const FakeUsbCall& call = control_->calls[i];
      calls += std::string(calls.empty() ? "" : " ") + call.name;
      if (call.name == 'W' || call.name == 'R') calls += std::to_string(call.argument);
    }
    return calls;
  }
  std::vector<unsigned char> Written() const {
    return {control_->written, control_->written + control_->writtenLength};
  }

  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
  void* library_ = nullptr;
  FakeUsbControl* control_ = nullptr;
  int callsAtFirstPass_ = -1;
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
    auto packet = Packet(row.length);
    EXPECT_EQ(link_.SendViaUsb(packet.data(), static_cast<int>(row.length)), row.result);
    EXPECT_EQ(Calls(), row.calls);
    EXPECT_EQ(Written(), Packet(row.written));
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
    EXPECT_EQ(link_.SendViaUsb(Packet(10).data(), 10), row.result);
    EXPECT_EQ(messages_.texts, row.messages);
    EXPECT_EQ(Calls(), row.calls);
  }
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  messages_.texts.clear();
  EXPECT_EQ(link_.SendViaUsb(Packet(10).data(), 10), 1);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{kM1});
}

TEST_F(UsbRoadTest, TenPumpPassesFollowEveryOutcomeAfterTheLibraryIsDone) {
  UseFake(FAKE_USB_FULL);
  link_.SendToSign(1, Packet(300).data(), 300);
  EXPECT_EQ(pump_.passes, 10);
  EXPECT_EQ(callsAtFirstPass_, control_->callCount);
  UseFake(FAKE_USB_FULL, 0);
  link_.SendToSign(1, Packet(300).data(), 300);
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  link_.SendToSign(1, Packet(300).data(), 300);
  EXPECT_EQ(pump_.passes, 30);
  EXPECT_FALSE(link_.LastSerialFailure());
}

TEST_F(UsbRoadTest, UpdatingTextOnlyWhileTheScoreboardIsShown) {
  UseFake(FAKE_USB_FULL);
  for (int scoreMode : {0, 1}) {
    view_.scoreMode = scoreMode;
    link_.SendToSign(1, Packet(5).data(), 5);
  }
  EXPECT_EQ(view_.nowShowingTexts, std::vector<std::string>{"Updating LED Sign"});
}

TEST_F(UsbRoadTest, OnlyTheExactConnectionTextTakesTheUsbRoad) {
  UseFake(FAKE_USB_FULL);
  int outcomes = 0;
  link_.onSerialOutcome = [&] { ++outcomes; };
  for (const char* connection :
       {"USB - betabrite prism", "usb - betabrite prism ", "serial port - betabrite classic", ""}) {
    doc_.connection = connection;
    link_.SendToSign(1, Packet(5).data(), 5);
  }
  EXPECT_EQ(control_->callCount, 0);
  EXPECT_EQ(pump_.passes, 0);
  EXPECT_EQ(outcomes, 4);
  ASSERT_TRUE(link_.LastSerialFailure());
  EXPECT_EQ(link_.LastSerialFailure()->errorCode, static_cast<unsigned long>(ENOENT));
}

}  // namespace
