#include <gtest/gtest.h>
#include <libusb.h>

#include <vector>

#include "link/UsbBulkApi.h"
#include "tests/link/FakeLibusb.h"

// Our libbetabriteusb.so, built against a fake libusb: a chunk counts as
// taken only when all of it went out, whatever libusb said about the rest.

namespace {

TEST(UsbLibrary, AChunkCountsOnlyWhenAllOfItWentOut) {
  const struct {
    const char* name;
    int transferResult;
    int transferredLimit;  // -1: the whole chunk
    bool taken;
  } rows[] = {{"whole", 0, -1, true},
              {"timed out half way", LIBUSB_ERROR_TIMEOUT, 100, false},
              {"timed out with nothing", LIBUSB_ERROR_TIMEOUT, 0, false},
              {"reported done but short", 0, 255, false},
              {"stalled", LIBUSB_ERROR_PIPE, 0, false},
              {"unplugged", LIBUSB_ERROR_NO_DEVICE, 0, false}};
  for (const auto& row : rows) {
    fakeLibusb = FakeLibusb{1, row.transferResult, row.transferredLimit, 0, 0};
    ASSERT_NE(USBBULK_Open(), 0);
    std::vector<unsigned char> chunk(256, 0x41);
    const int result = USBBULK_Write(chunk.data(), static_cast<int>(chunk.size()));
    EXPECT_EQ(fakeLibusb.lastLength, 256) << row.name;
    EXPECT_TRUE(row.taken ? result == 256 : result <= 0) << row.name << ": " << result;
    USBBULK_Close();
  }
}

// Without a sign nothing opens, and a write without an open sends nothing.
TEST(UsbLibraryWithoutSign, OpenFailsAndWritesSendNothing) {
  fakeLibusb = FakeLibusb{0, 0, -1, 0, 0};
  EXPECT_EQ(USBBULK_Open(), 0);
  unsigned char chunk[8] = {};
  EXPECT_EQ(USBBULK_Write(chunk, 8), 0);
  EXPECT_EQ(fakeLibusb.outTransfers, 0);
  USBBULK_Close();
}

}  // namespace
