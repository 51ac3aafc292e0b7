// ravelle-cli on Windows: the arguments arrive in UTF-16 and are turned into
// UTF-8 here, at the edge, as the rest of the program expects.

#include <iostream>

#include "tools/cli/CliProgram.h"
#include "tools/cli/SignRoad.h"
#include "tools/cli/win32/ConsoleText.h"

int wmain(int argc, wchar_t** argv) {
  CUtf8Console console;
  return RunCli(Utf8Arguments(argc, argv), std::cin, std::cout, std::cerr, OpenSignRoad);
}
