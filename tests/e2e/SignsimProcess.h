#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// `ravelle-signsim --text` as a child process, its output read line by line.
// Waits are bounded: a line that does not come within the limit fails the
// wait instead of hanging the test.
class CSignsimProcess {
 public:
  static constexpr int kWaitLimitMilliseconds = 20000;

  explicit CSignsimProcess(std::vector<std::string> extraArguments = {});
  ~CSignsimProcess();
  CSignsimProcess(const CSignsimProcess&) = delete;
  CSignsimProcess& operator=(const CSignsimProcess&) = delete;

  // The pseudo-terminal path the simulator printed first.
  const std::string& SerialPath() const { return serialPath_; }

  // Reads lines until one satisfies match; returns it, or "" when the output
  // ended or the limit passed. Every line read is kept in Lines().
  std::string WaitForLine(const std::function<bool(const std::string&)>& match);
  std::string WaitForLine(const std::string& exact);

  // Writes bytes that can never be a frame into the serial end and waits for
  // their report: every byte sent before them has then been read and shown.
  // Returns false when the report does not come.
  bool Settle();

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  bool ReadLine(std::string& line);

  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
  std::string serialPath_;
  std::vector<std::string> lines_;
};

struct CCliRun {
  int exitStatus = -1;
  std::string output;
};

// Runs ravelle-cli with its standard input fed from input, COM port 1 mapped
// to devicePath and the settings kept under configHome; waits for it to end.
CCliRun RunCli(const std::vector<std::string>& arguments, const std::string& devicePath,
               const std::string& configHome, const std::string& input = "");
