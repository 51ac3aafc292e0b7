#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

// A pseudo-terminal standing in for the line to the sign: the program under
// test opens SlavePath() (usually through RAVELLE_COM<n>), the test reads what
// arrives at the master. One slave descriptor stays open for the object's
// life, so the pair survives the program's own opens and closes. Reads are
// bounded: a send that never comes fails the test instead of hanging it.
class CPseudoTerminal {
 public:
  CPseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slavePath_ = ptsname(master_);
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  ~CPseudoTerminal() {
    Collect();
    CloseMaster();
    if (slave_ >= 0) close(slave_);
  }
  CPseudoTerminal(const CPseudoTerminal&) = delete;
  CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

  bool IsOpen() const { return master_ >= 0 && slave_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }
  int Master() const { return master_; }
  int Slave() const { return slave_; }

  // No echo, no line editing, no output processing: bytes pass unchanged.
  void MakeRaw() {
    termios raw{};
    if (tcgetattr(slave_, &raw) != 0) return;
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
  }

  // The slave's line settings as they stand now.
  termios LineSettings() const {
    termios tty{};
    tcgetattr(slave_, &tty);
    return tty;
  }

  // Reads the master until `expected` bytes have come, the far end is gone,
  // or about `idleMs` pass without a byte. With closeAfter > 0 the master is
  // closed once that many bytes have come: the sign going away mid-send.
  std::vector<unsigned char> Read(std::size_t expected, std::size_t closeAfter = 0,
                                  int idleMs = 10000) {
    std::vector<unsigned char> received;
    unsigned char chunk[4096];
    for (int idle = 0; master_ >= 0 && received.size() < expected && idle < idleMs;) {
      pollfd ready{master_, POLLIN, 0};
      int polled = poll(&ready, 1, 100);
      if (polled == 0) {
        idle += 100;
        continue;
      }
      if (polled < 0 && errno == EINTR) continue;
      ssize_t n = read(master_, chunk, sizeof chunk);
      if (n <= 0) break;
      idle = 0;
      received.insert(received.end(), chunk, chunk + n);
      if (closeAfter > 0 && received.size() >= closeAfter) CloseMaster();
    }
    return received;
  }

  // Read() on a thread, for a writer in this process that blocks until the
  // line drains; Collect() joins it and hands over the bytes.
  void StartReading(std::size_t expected, std::size_t closeAfter = 0) {
    reader_ =
        std::thread([this, expected, closeAfter] { background_ = Read(expected, closeAfter); });
  }
  std::vector<unsigned char> Collect() {
    if (reader_.joinable()) reader_.join();
    return background_;
  }

 private:
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::thread reader_;
  std::vector<unsigned char> background_;
};
