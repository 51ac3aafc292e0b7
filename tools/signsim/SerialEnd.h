#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

// The serial end of the virtual sign: a pseudo-terminal whose slave path a
// sender opens like a serial port. The sender opens and closes the port for
// every packet; this end keeps a slave descriptor of its own open so the
// master never sees a hang-up between senders and the line settings survive.
// Failures throw std::system_error with the OS error.
class CSerialEnd {
 public:
  CSerialEnd();
  ~CSerialEnd();
  CSerialEnd(const CSerialEnd&) = delete;
  CSerialEnd& operator=(const CSerialEnd&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_; }

  // What the senders wrote, without blocking: the count read, 0 when nothing
  // is waiting.
  std::size_t Read(std::uint8_t* buffer, std::size_t size);

  // The line settings the last sender applied, as far as they can be seen
  // here (DescribeLineSettings).
  std::string LineSettings() const;

  // Clears the tty's exclusive flag when no living sender holds it: senders
  // set it only while they hold a flock on the port, so a flag with the
  // lock free was left by one that died. True when a flag was cleared.
  bool ClearStaleExclusion();

  // After a hang-up (someone hung up the line): opens the slave end again.
  void Reopen();

 private:
  int master_ = -1;
  int slaveKeeper_ = -1;
  std::string slavePath_;
};
