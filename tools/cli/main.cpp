#include <iostream>
#include <string>
#include <vector>

#include "tools/cli/CliProgram.h"
#include "tools/cli/SignRoad.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunCli(args, std::cin, std::cout, std::cerr, OpenSignRoad);
}
