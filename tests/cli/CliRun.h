#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/SignPackets.h"
#include "tools/cli/CliProgram.h"
#include "tools/cli/SignRoad.h"

// What one run of the command line left behind.
struct CCliRun {
  int exitStatus;
  std::string out;
  std::string err;
};

// Runs the command line in this process, as main() does, with input on its
// standard input.
inline CCliRun RunCliOn(const std::vector<std::string>& args, const std::string& input = "",
                        const CRoadOpener& openRoad = OpenSignRoad) {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err, openRoad);
  return {status, out.str(), err.str()};
}

// The --dump lines of packets.
inline std::string DumpLines(const std::vector<Bytes>& packets) {
  std::string lines;
  for (const Bytes& packet : packets) lines += "packet " + HexBytes(packet) + "\n";
  return lines;
}
