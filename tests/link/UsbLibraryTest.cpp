#include <gtest/gtest.h>
#include <libusb.h>

#include <vector>

#include "link/UsbBulkApi.h"
#include "tests/link/FakeLibusb.h"

// Our libbetabriteusb.so, built against a fake libusb: a chunk counts as
// taken only when all of it went out, whatever libusb said about the rest.

namespace {

struct TransferRow {
  const char* name;
  int transferResult;
  int transferredLimit;  // -1: the whole chunk
  bool taken;
};

class UsbLibraryTest : public testing::TestWithParam<TransferRow> {
 protected:
  void SetUp() override { fakeLibusb = FakeLibusb{1, 0, -1, 0, 0}; }
  void TearDown() override { USBBULK_Close(); }
};

TEST_P(UsbLibraryTest, AChunkCountsOnlyWhenAllOfItWentOut) {
  const TransferRow& row = GetParam();
  ASSERT_NE(USBBULK_Open(), 0);
  std::vector<unsigned char> chunk(256, 0x41);
  fakeLibusb.transferResult = row.transferResult;
  fakeLibusb.transferredLimit = row.transferredLimit;
  const int result = USBBULK_Write(chunk.data(), static_cast<int>(chunk.size()));
  EXPECT_EQ(fakeLibusb.lastLength, 256);
  if (row.taken) {
    EXPECT_EQ(result, 256);
  } else {
    EXPECT_LE(result, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, UsbLibraryTest,
    testing::Values(TransferRow{"Whole", 0, -1, true},
                    TransferRow{"TimedOutHalfWay", LIBUSB_ERROR_TIMEOUT, 100, false},
                    TransferRow{"TimedOutWithNothing", LIBUSB_ERROR_TIMEOUT, 0, false},
                    TransferRow{"ReportedDoneButShort", 0, 255, false},
                    TransferRow{"Stalled", LIBUSB_ERROR_PIPE, 0, false},
                    TransferRow{"Unplugged", LIBUSB_ERROR_NO_DEVICE, 0, false}),
    [](const testing::TestParamInfo<TransferRow>& info) { return std::string(info.param.name); });

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
