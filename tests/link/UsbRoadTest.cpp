#include <dlfcn.h>

#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/SignLink.h"
#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"
#include "tests/settings/TemporaryConfigHome.h"
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

class UsbRoadTest : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    doc_.connection = kConnectionUsbPrism;
    // No serial port behind COM1: a send that takes the serial road fails
    // there quietly.
    setenv("RAVELLE_COM1", (home_ / "no-port").c_str(), 1);
    // Every call the fake got before the pump's first pass: none may come
    // after it.
    pump_.onPass = [this] {
      if (callsAtFirstPass_ < 0) callsAtFirstPass_ = control_ ? control_->callCount : 0;
    };
  }
  void TearDown() override {
    if (library_ != nullptr) dlclose(library_);
    unsetenv("RAVELLE_COM1");
    TemporaryConfigHome::TearDown();
  }

  // Loads the fake variant and keeps it loaded, so its record outlives the
  // link's own loading and releasing.
  void UseFake(const char* path) {
    library_ = dlopen(path, RTLD_NOW);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto controlOf = reinterpret_cast<FakeUsbControlFn>(dlsym(library_, "FakeUsb_Control"));
    ASSERT_NE(controlOf, nullptr);
    control_ = controlOf();
    *control_ = FakeUsbControl{};
    control_->openResult = 1;
    link_.SetUsbLibraryName(path);
  }

  void Send(const std::vector<unsigned char>& packet) {
    link_.SendToSign(1, packet.data(), static_cast<int>(packet.size()));
  }

  // The calls the fake got, as "O W256 R1 ... C".
  std::string Calls() const {
    std::string calls;
    for (int i = 0; i < control_->callCount; ++i) {
      const FakeUsbCall& call = control_->calls[i];
      if (!calls.empty()) calls += ' ';
      calls += call.name;
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

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i % 251);
  return packet;
}

TEST_F(UsbRoadTest, PacketsGoInChunksOfAtMost256WithAReadAfterEachWrite) {
  struct Row {
    std::size_t length;
    std::string calls;
  };
  const std::vector<Row> rows = {
      {1, "O W1 R1 C"},
      {256, "O W256 R1 C"},
      {257, "O W256 R1 W1 R1 C"},
      {600, "O W256 R1 W256 R1 W88 R1 C"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.length);
    UseFake(FAKE_USB_FULL);
    auto packet = Packet(row.length);
    Send(packet);
    EXPECT_EQ(Calls(), row.calls);
    EXPECT_EQ(Written(), packet);
    dlclose(library_);
    library_ = nullptr;
  }
  EXPECT_TRUE(messages_.boxes.empty());
}

TEST_F(UsbRoadTest, ResultsOfSendViaUsb) {
  UseFake(FAKE_USB_FULL);
  auto packet = Packet(600);
  EXPECT_EQ(link_.SendViaUsb(packet.data(), 600), 88);  // the last write's count

  *control_ = FakeUsbControl{};
  control_->openResult = 1;
  EXPECT_EQ(link_.SendViaUsb(packet.data(), 0), 0);
  EXPECT_EQ(Calls(), "O C");

  *control_ = FakeUsbControl{};
  control_->openResult = 0;
  EXPECT_EQ(link_.SendViaUsb(packet.data(), 600), 1);
  EXPECT_EQ(Calls(), "O C");
}

TEST_F(UsbRoadTest, RefusedChunkEndsThePacketWithoutAMessage) {
  struct Row {
    int refuseWrite;
    int refuseResult;
    std::string calls;
  };
  const std::vector<Row> rows = {
      {1, 0, "O W256 R1 C"},
      {2, 0, "O W256 R1 W256 R1 C"},
      {3, -5, "O W256 R1 W256 R1 W88 R1 C"},
  };
  auto packet = Packet(600);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.refuseWrite);
    UseFake(FAKE_USB_FULL);
    control_->refuseWrite = row.refuseWrite;
    control_->refuseResult = row.refuseResult;
    EXPECT_EQ(link_.SendViaUsb(packet.data(), 600), row.refuseResult);
    EXPECT_EQ(Calls(), row.calls);
    EXPECT_EQ(Written(), std::vector<unsigned char>(packet.begin(),
                                                    packet.begin() + 256 * (row.refuseWrite - 1)));
    dlclose(library_);
    library_ = nullptr;
  }
  EXPECT_TRUE(messages_.boxes.empty());
}

struct MessageRow {
  const char* library;
  int openResult;
  std::vector<std::string> messages;
  std::string calls;
  int result;
};

TEST_F(UsbRoadTest, MessagesForEveryFailure) {
  const std::vector<MessageRow> rows = {
      {FAKE_USB_WITHOUT_OPEN, 1, {kM2}, "", 0},
      {FAKE_USB_FULL, 0, {kM3}, "O C", 1},
      {FAKE_USB_WITHOUT_WRITE, 1, {kM4}, "O C", 0},
      {FAKE_USB_WITHOUT_WRITE, 0, {kM3, kM4}, "O C", 0},
      {FAKE_USB_WITHOUT_READ, 1, {kM5}, "O C", 0},
      {FAKE_USB_WITHOUT_READ, 0, {kM3, kM5}, "O C", 0},
      {FAKE_USB_WITHOUT_CLOSE, 1, {kM6}, "O W10 R1", 0},
  };
  for (const MessageRow& row : rows) {
    SCOPED_TRACE(std::string(row.library) + " open " + std::to_string(row.openResult));
    UseFake(row.library);
    control_->openResult = row.openResult;
    messages_.boxes.clear();
    auto packet = Packet(10);
    EXPECT_EQ(link_.SendViaUsb(packet.data(), 10), row.result);
    EXPECT_EQ(messages_.Texts(), row.messages);
    EXPECT_EQ(Calls(), row.calls);
    for (const auto& box : messages_.boxes) {
      EXPECT_EQ(box.caption, "Ravelle");
      EXPECT_EQ(box.icon, CMessageBoxSeam::Icon::Exclamation);
    }
    dlclose(library_);
    library_ = nullptr;
  }
}

TEST_F(UsbRoadTest, MissingLibraryShowsTheLinuxTextAndStillPumps) {
  link_.SetUsbLibraryName("libravelle-no-such-library.so");
  Send(Packet(10));
  EXPECT_EQ(messages_.Texts(), std::vector<std::string>{kM1});
  EXPECT_EQ(link_.SendViaUsb(Packet(10).data(), 10), 1);
  EXPECT_EQ(pump_.passes, 10);
}

TEST_F(UsbRoadTest, TenPumpPassesFollowEveryOutcomeAfterTheLibraryIsDone) {
  UseFake(FAKE_USB_FULL);
  Send(Packet(300));
  EXPECT_EQ(pump_.passes, 10);
  EXPECT_EQ(callsAtFirstPass_, control_->callCount);

  control_->openResult = 0;
  Send(Packet(300));
  EXPECT_EQ(pump_.passes, 20);
  EXPECT_FALSE(link_.LastSerialFailure());
}

TEST_F(UsbRoadTest, UpdatingTextOnlyWhileTheScoreboardIsShown) {
  UseFake(FAKE_USB_FULL);
  view_.scoreMode = 0;
  Send(Packet(5));
  EXPECT_TRUE(view_.nowShowingTexts.empty());
  view_.scoreMode = 1;
  Send(Packet(5));
  EXPECT_EQ(view_.nowShowingTexts, std::vector<std::string>{"Updating LED Sign"});
}

TEST_F(UsbRoadTest, OnlyTheExactConnectionTextTakesTheUsbRoad) {
  UseFake(FAKE_USB_FULL);
  int outcomes = 0;
  link_.onSerialOutcome = [&] { ++outcomes; };
  for (const char* connection :
       {"USB - betabrite prism", "usb - betabrite prism ", "serial port - betabrite classic", ""}) {
    doc_.connection = connection;
    Send(Packet(5));
  }
  EXPECT_EQ(control_->callCount, 0);
  EXPECT_EQ(pump_.passes, 0);
  EXPECT_EQ(outcomes, 4);
  ASSERT_TRUE(link_.LastSerialFailure());
  EXPECT_EQ(link_.LastSerialFailure()->errorCode, static_cast<unsigned long>(ENOENT));
}

}  // namespace
