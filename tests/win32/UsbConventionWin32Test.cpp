#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "link/UsbBulkApi.h"
#include "link/UsbLibrary.h"
#include "tests/link/FakeUsbControl.h"

namespace {

// The link's types for the entry points follow the DLL's own convention:
// after each call through them the stack pointer is where it was before.
// (A caller built for the C convention would find it off by the arguments'
// size, after the 32-bit stdcall DLL had already removed them; a 64-bit
// build has one convention only.)
#if defined(__i386__)
TEST(UsbConventionWin32, EntryPointsAreCalledWithTheDllsOwnConvention) {
  std::string failure;
  void* library = LoadUsbLibrary("betabriteusb.dll", "", failure);
  ASSERT_NE(library, nullptr) << failure;
  FakeUsbControl* control =
      reinterpret_cast<FakeUsbControlFn>(FindUsbEntryPoint(library, "FakeUsb_Control"))();
  *control = FakeUsbControl{};
  auto stackPointer = [] {
    std::uintptr_t pointer;
    asm volatile("mov %%esp, %0" : "=r"(pointer));
    return pointer;
  };
  unsigned char chunk[2000] = {'x'};
  auto open = reinterpret_cast<UsbBulkOpenFn>(FindUsbEntryPoint(library, "USBBULK_Open"));
  auto write = reinterpret_cast<UsbBulkWriteFn>(FindUsbEntryPoint(library, "USBBULK_Write"));
  auto read = reinterpret_cast<UsbBulkReadFn>(FindUsbEntryPoint(library, "USBBULK_Read"));
  auto close = reinterpret_cast<UsbBulkCloseFn>(FindUsbEntryPoint(library, "USBBULK_Close"));
  const std::uintptr_t before = stackPointer();
  open();
  EXPECT_EQ(stackPointer(), before) << "Open";
  write(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Write";
  read(chunk, 1);
  EXPECT_EQ(stackPointer(), before) << "Read";
  close();
  EXPECT_EQ(stackPointer(), before) << "Close";
  EXPECT_EQ(std::string(control->calls), "O W1 R1 C");
  ReleaseUsbLibrary(library);
}
#endif

}  // namespace
