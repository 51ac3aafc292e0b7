#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sign/PacketSink.h"

struct CCliGame;
struct CRoadOptions;

// Where the packets of one run go, and whether any of them failed to reach
// the sign.
class CCliRoad : public CPacketSink {
 public:
  virtual bool SendFailed() const = 0;
};

// Makes the sending road for the given options; reports on err and returns
// nothing when the road cannot be set up.
using CRoadOpener = std::function<std::unique_ptr<CCliRoad>(CCliGame&, const CRoadOptions&,
                                                            std::ostream& out, std::ostream& err)>;

// The whole program: parses args (those after the program name), runs the
// command and returns the exit status: 0 done, 1 a send failed or a session
// line was bad, 2 a bad command line (nothing sent). --dump prints packets on
// out; any other run sends through the road that openSignRoad makes.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CRoadOpener& openSignRoad);
