#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "tests/settings/TemporaryConfigHome.h"

// A pseudo-terminal standing in for the line to the sign: the program opens
// the slave as COM1 (RAVELLE_COM1), the test reads what arrives at the
// master. A slave descriptor stays open for the fixture's life, so the
// pair survives the program's closes. Each test also gets its own settings
// store.
class PtyFixture : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slavePath_ = ptsname(master_);
    keptSlave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(keptSlave_, 0);
    setenv("RAVELLE_COM1", slavePath_.c_str(), 1);
  }

  void TearDown() override {
    StopReader();
    if (master_ >= 0) close(master_);
    if (keptSlave_ >= 0) close(keptSlave_);
    unsetenv("RAVELLE_COM1");
    TemporaryConfigHome::TearDown();
  }

  // Reads the master on a thread until `expected` bytes have come, the far
  // end is gone, or a generous bound passes (so a broken send fails the
  // test instead of hanging it). With closeAfter > 0 the master is closed
  // once that many bytes have arrived: the far end going away mid-send.
  void StartReader(std::size_t expected, std::size_t closeAfter = 0) {
    reader_ = std::thread([this, expected, closeAfter] {
      unsigned char chunk[4096];
      for (int idleRounds = 0; received_.size() < expected && idleRounds < 20;) {
        pollfd ready{master_, POLLIN, 0};
        int polled = poll(&ready, 1, 500);
        if (polled == 0) {
          ++idleRounds;
          continue;
        }
        if (polled < 0 && errno == EINTR) continue;
        ssize_t n = read(master_, chunk, sizeof chunk);
        if (n <= 0) break;
        idleRounds = 0;
        received_.insert(received_.end(), chunk, chunk + n);
        if (closeAfter > 0 && received_.size() >= closeAfter) {
          close(master_);
          master_ = -1;
          break;
        }
      }
    });
  }

  // Waits for the reader and returns everything it received.
  std::vector<unsigned char> StopReader() {
    if (reader_.joinable()) reader_.join();
    return received_;
  }

  // The slave's line settings, as the master sees them.
  termios LineSettings() const {
    termios tty{};
    EXPECT_EQ(tcgetattr(master_, &tty), 0);
    return tty;
  }

  int master_ = -1;
  int keptSlave_ = -1;
  std::string slavePath_;

 private:
  std::thread reader_;
  std::vector<unsigned char> received_;
};
