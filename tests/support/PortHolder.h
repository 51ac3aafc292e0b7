#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "link/SerialPort.h"

// Another sender in a child process: it opens COM1 (wherever RAVELLE_COM1
// points), says so through a pipe, then holds the port until it is killed
// or holdMs have passed.
class CPortHolder {
 public:
  explicit CPortHolder(int holdMs) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      CSerialPort port;
      try {
        port.Open(1, 9600, ParityNone, 8, StopBitsOne, FlowNone, false);
      } catch (CSerialException*) {
        _exit(1);
      }
      (void)!write(ready[1], "!", 1);
      usleep(static_cast<useconds_t>(holdMs) * 1000);
      port.Close();
      _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    holding_ = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
  }
  ~CPortHolder() { Kill(); }
  CPortHolder(const CPortHolder&) = delete;
  CPortHolder& operator=(const CPortHolder&) = delete;

  bool Holding() const { return holding_; }
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};
