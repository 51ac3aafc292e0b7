#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/EventPump.h"
#include "link/MessageBoxSeam.h"
#include "link/SignLink.h"
#include "link/UsbBulkApi.h"
#include "link/UsbLibrary.h"
#include "tests/link/FakeUsbControl.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/SeamFakes.h"

namespace {

const std::string kM1 =
    "Error opening betabriteusb.dll -- please find it where this program was installed and try "
    "copying it to C:\\windows\\ or C:\\windows\\system32\\ or some similar system directory and "
    "re-run this program.";
const std::string kM2 = "Error connecting to USB Open() function";
const std::string kM3 =
    "Failed to Open the USB connection to the LED sign -- some other program may be using the LED "
    "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";
const std::string kM4 = "Error connecting to USB Write() function";
const std::string kM5 = "Error connecting to USB Read() function";
const std::string kM6 = "Error connecting to USB Close() function";

// The fakes lie beside the test program; betabriteusb.dll is the whole one.
constexpr const char* kFull = "betabriteusb.dll";
constexpr const char* kWithoutOpen = "betabriteusb_without_open.dll";
constexpr const char* kWithoutWrite = "betabriteusb_without_write.dll";
constexpr const char* kWithoutRead = "betabriteusb_without_read.dll";
constexpr const char* kWithoutClose = "betabriteusb_without_close.dll";

std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i + i / 256);
  return packet;
}

class UsbRoadWin32Test : public testing::Test {
 protected:
  UsbRoadWin32Test() { doc_.connection = kConnectionUsbPrism; }
  ~UsbRoadWin32Test() override {
    if (library_ != nullptr) ReleaseUsbLibrary(library_);
  }
  // Loads the fake by file name and keeps it loaded, so its record outlives
  // the link's own loading and releasing.
  void UseFake(const char* fileName, int openResult = 1, int refuseWrite = 0,
               int refuseResult = 0) {
    if (library_ != nullptr) ReleaseUsbLibrary(library_);
    std::string failure;
    library_ = LoadUsbLibrary(fileName, "", failure);
    ASSERT_NE(library_, nullptr) << fileName << ": " << failure;
    control_ = reinterpret_cast<FakeUsbControlFn>(FindUsbEntryPoint(library_, "FakeUsb_Control"))();
    *control_ = FakeUsbControl{};
    std::tie(control_->openResult, control_->refuseWrite, control_->refuseResult) =
        std::tie(openResult, refuseWrite, refuseResult);
    link_.SetUsbLibraryName(fileName);
    messages_.texts.clear();
  }

  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
  void* library_ = nullptr;
  FakeUsbControl* control_ = nullptr;
};

// The vendor's DLL by its own name, chunks of at most 256 bytes with a read
// after each, each missing entry point with its message, and the results.
TEST_F(UsbRoadWin32Test, ChunksMessagesAndResultsThroughTheVendorsDll) {
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
       std::vector<Row>{{kFull, 1, 0, 0, 256, {}, "O W256 R1 C", 256, 256},
                        {kFull, 1, 0, 0, 600, {}, "O W256 R1 W256 R1 W88 R1 C", 88, 600},
                        {kFull, 1, 2, -5, 600, {}, "O W256 R1 W256 R1 C", -5, 256},
                        {kFull, 0, 0, 0, 10, {kM3}, "O C", 1, 0},
                        {kWithoutOpen, 1, 0, 0, 10, {kM2}, "", 0, 0},
                        {kWithoutWrite, 0, 0, 0, 10, {kM3, kM4}, "O C", 0, 0},
                        {kWithoutRead, 1, 0, 0, 10, {kM5}, "O C", 0, 0},
                        {kWithoutClose, 1, 0, 0, 10, {kM6}, "O W10 R1", 0, 10}}) {
    SCOPED_TRACE(std::string(row.library) + " " + row.calls);
    UseFake(row.library, row.openResult, row.refuseWrite, row.refuseResult);
    auto packet = Packet(row.length);
    EXPECT_EQ(link_.SendViaUsb(packet.data(), static_cast<int>(row.length)), row.result);
    EXPECT_EQ(messages_.texts, row.messages);
    EXPECT_EQ(std::string(control_->calls), row.calls);
    EXPECT_EQ(
        std::vector<unsigned char>(control_->written, control_->written + control_->writtenLength),
        Packet(row.written));
  }
}

// The link asks for betabriteusb.dll unless told otherwise; a DLL that is
// nowhere to be found gives M1, which names the Windows folders, and the
// ten pump passes still follow.
TEST_F(UsbRoadWin32Test, TheDefaultNameIsTheVendorsDllAndAMissingOneShowsM1) {
  CSignLink fresh{doc_, view_, messages_, pump_};
  UseFake(kFull);
  fresh.SendToSign(1, Packet(300).data(), 300);
  EXPECT_EQ(std::string(control_->calls), "O W256 R1 W44 R1 C");
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});

  link_.SetUsbLibraryName("betabriteusb-not-installed.dll");
  link_.SendToSign(1, Packet(10).data(), 10);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{kM1});
  EXPECT_EQ(pump_.passes, 20);
}

// The link's types for the entry points follow the DLL's own convention:
// after each call through them the stack pointer is where it was before.
// (A caller built for the C convention would find it off by the arguments'
// size, after the 32-bit DLL had already removed them.)
#if defined(__i386__)
TEST_F(UsbRoadWin32Test, EntryPointsAreCalledWithTheDllsOwnConvention) {
  UseFake(kFull);
  auto stackPointer = [] {
    std::uintptr_t pointer;
    asm volatile("mov %%esp, %0" : "=r"(pointer));
    return pointer;
  };
  unsigned char chunk[2000] = {'x'};
  auto open = reinterpret_cast<UsbBulkOpenFn>(FindUsbEntryPoint(library_, "USBBULK_Open"));
  auto write = reinterpret_cast<UsbBulkWriteFn>(FindUsbEntryPoint(library_, "USBBULK_Write"));
  auto read = reinterpret_cast<UsbBulkReadFn>(FindUsbEntryPoint(library_, "USBBULK_Read"));
  auto close = reinterpret_cast<UsbBulkCloseFn>(FindUsbEntryPoint(library_, "USBBULK_Close"));
  std::uintptr_t before = stackPointer();
  open();
  EXPECT_EQ(stackPointer(), before) << "Open";
  write(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Write";
  read(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Read";
  close();
  EXPECT_EQ(stackPointer(), before) << "Close";
  EXPECT_EQ(std::string(control_->calls), "O W1 R1 C");
}
#endif

}  // namespace
