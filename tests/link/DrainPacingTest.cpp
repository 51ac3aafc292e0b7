#include <gtest/gtest.h>

#include "link/SerialPort.h"

namespace {

// The wait after a write looks first when the queued bytes can all be out,
// then at least every character time, on slow lines and fast ones.
TEST(DrainPacing, FirstLookAtTheLineTimeThenEveryCharacterTime) {
  const struct {
    std::uint32_t baud;
    std::uint8_t byteSize, parity, stopBits;
  } lines[] = {{9600, 7, EVENPARITY, ONESTOPBIT},
               {9600, 8, NOPARITY, TWOSTOPBITS},
               {50, 8, NOPARITY, ONESTOPBIT},
               {921600, 8, NOPARITY, ONESTOPBIT}};
  for (const auto& line : lines) {
    DCB dcb{};
    dcb.BaudRate = line.baud;
    dcb.ByteSize = line.byteSize;
    dcb.Parity = line.parity;
    dcb.StopBits = line.stopBits;
    const auto character = std::chrono::duration<double, std::micro>(CharacterSeconds(dcb) * 1e6);
    for (std::uint32_t queued : {1u, 32u, 1000u}) {
      SCOPED_TRACE(testing::Message() << line.baud << " baud, " << queued << " queued");
      const CDrainPacing pacing = DrainPacing(dcb, queued);
      EXPECT_NEAR(pacing.firstWait.count(), (character * queued).count(), 1);
      EXPECT_GT(pacing.step.count(), 0);
      EXPECT_LE(pacing.step, character);
    }
  }
}

}  // namespace
