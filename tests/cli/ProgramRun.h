#pragma once

#include <map>
#include <string>
#include <vector>

// What a finished program left behind.
struct CProgramRun {
  int exitStatus = -1;  // the exit code, or 128 + signal
  std::string out;
  std::string err;
  std::string alsoRead;  // what was read from alsoReadFd while it ran
};

// Runs program with args, input on its standard input and the test's
// environment plus env. While it runs, alsoReadFd (when not -1) is read too,
// so a program writing to the far side of a pseudo-terminal never blocks.
CProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& input, const std::map<std::string, std::string>& env,
                       int alsoReadFd = -1);
