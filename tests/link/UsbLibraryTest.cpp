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
    int devicePresent, transferResult;
    int transferredLimit;  // -1: the whole chunk
    bool taken;
  } rows[] = {{"whole", 1, 0, -1, true},
              {"timed out half way", 1, LIBUSB_ERROR_TIMEOUT, 100, false},
              {"timed out with nothing", 1, LIBUSB_ERROR_TIMEOUT, 0, false},
              {"reported done but short", 1, 0, 255, false},
              {"stalled", 1, LIBUSB_ERROR_PIPE, 0, false},
              {"unplugged", 1, LIBUSB_ERROR_NO_DEVICE, 0, false},
              // Without a sign nothing opens, and a write without an open
              // sends nothing.
              {"no sign", 0, 0, -1, false}};
  for (const auto& row : rows) {
    fakeLibusb = FakeLibusb{row.devicePresent, row.transferResult, row.transferredLimit, 0};
    EXPECT_EQ(USBBULK_Open() != 0, row.devicePresent != 0) << row.name;
    std::vector<unsigned char> chunk(256, 0x41);
    const int result = USBBULK_Write(chunk.data(), static_cast<int>(chunk.size()));
    EXPECT_EQ(fakeLibusb.lastLength, row.devicePresent * 256) << row.name;  // none without a sign
    EXPECT_TRUE(row.taken ? result == 256 : result <= 0 && (row.devicePresent || result == 0))
        << row.name << ": " << result;
    USBBULK_Close();
  }
}

}  // namespace
