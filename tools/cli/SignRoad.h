#pragma once

#include <memory>
#include <ostream>

#include "tools/cli/CliProgram.h"

struct CCliGame;
struct CRoadOptions;

// The road to a real sign: the saved connection settings, overridden by the
// command line, and the send-to-sign dispatcher. A serial or network packet
// that does not get through is reported on err (port and device, or the
// device server's HOST:PORT, and the system's reason) and fails the run; USB trouble prints its
// message boxes on out and on err, a packet the sign did not take whole is reported on err, and
// both fail the run too. Returns nothing, after saying why on err, when the options and the saved
// settings leave no road.
std::unique_ptr<CCliRoad> OpenSignRoad(CCliGame& cli, const CRoadOptions& options,
                                       std::ostream& out, std::ostream& err);
