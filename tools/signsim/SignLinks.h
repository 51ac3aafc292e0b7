#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "tools/signsim/Rfc2217Server.h"
#include "tools/signsim/SerialEnd.h"
#include "tools/signsim/SignDecoder.h"

class CVirtualSign;

// Everything that reaches the virtual sign: its pseudo-terminal and, when
// asked for, a TCP port on 127.0.0.1 (as an Ethernet-to-serial adapter would
// offer). Each connection has its own decoder. Run() reads whatever arrives,
// at once, so no sender ever waits on the sign.
//
// Lines reported besides the sign's own:
//   "line: 9600 baud, ..."       the pseudo-terminal's settings, when data
//                                arrives under settings not reported yet
//   "line: 9600 7E1 flow none"   with RFC 2217, the settings a TCP sender
//                                asked for
//   "line: break"                a break an RFC 2217 sender asked for
//   "link: ..."                  trouble with the links themselves: out of
//                                descriptors (accepting rests a second),
//                                the TCP connection limit reached, a stale
//                                exclusive flag cleared
class CSignLinks {
 public:
  using LineHandler = std::function<void(const std::string& line)>;

  CSignLinks(CVirtualSign& sign, LineHandler onLine);
  ~CSignLinks();
  CSignLinks(const CSignLinks&) = delete;
  CSignLinks& operator=(const CSignLinks&) = delete;

  const std::string& SerialPath() const { return pty_.SlavePath(); }

  // Listens on 127.0.0.1:port (0 picks a free port); returns the port.
  // With rfc2217 every connection speaks Telnet COM Port Control. Throws
  // std::system_error.
  int ListenTcp(int port, bool rfc2217 = false);

  // Serves the links until stopFd becomes readable. Throws std::system_error
  // when the links themselves fail.
  void Run(int stopFd);

 private:
  void ReadSerial();
  void Accept();
  struct CTcpClient {
    std::unique_ptr<CSignDecoder> decoder;
    std::unique_ptr<CRfc2217Server> rfc2217;  // with --rfc2217
  };
  // False once the connection has ended.
  bool ReadClient(int fd, CTcpClient& client);

  CVirtualSign& sign_;
  LineHandler onLine_;
  CSerialEnd pty_;
  CSignDecoder serialDecoder_;
  std::string lineSettings_;
  int listener_ = -1;
  bool rfc2217_ = false;
  std::map<int, CTcpClient> clients_;
  std::chrono::steady_clock::time_point acceptPausedUntil_;
};
