#include <iostream>
#include <string>
#include <vector>

#include "tools/cli/CliProgram.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunCli(args, std::cin, std::cout, std::cerr,
                [](CCliGame&, const CRoadOptions&, std::ostream&, std::ostream& err) {
                  err << "ravelle-cli: this build cannot send to a sign yet; use --dump\n";
                  return std::unique_ptr<CCliRoad>();
                });
}
