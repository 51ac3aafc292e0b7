#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

// A program started through the shell as a child process, its standard
// output read line by line. Waits are bounded: a line that does not come
// within 20 seconds fails the wait instead of hanging the test.
class CChildProcess {
 public:
  // The shell prints its process id and then becomes the program. A
  // launcher (prlimit ...) that execs its command keeps the process id.
  explicit CChildProcess(const std::string& command)
      : output_(popen(("echo $$; exec " + command).c_str(), "r")) {
    if (output_ == nullptr) throw std::system_error(errno, std::generic_category(), "popen");
    setvbuf(output_, nullptr, _IONBF, 0);  // so that poll() sees every byte not yet read
    pid_ = std::atoi(WaitForLine([](const std::string&) { return true; }).c_str());
    lines.clear();
  }
  ~CChildProcess() {
    Kill(SIGTERM);
    pclose(output_);
  }
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;

  void Kill(int signal) {
    if (pid_ > 0) kill(pid_, signal);
  }

  // Reads lines, keeping each in `lines`, until one satisfies match; returns
  // it, or "" when the output ended or the limit passed.
  std::string WaitForLine(const std::function<bool(const std::string&)>& match) {
    char* data = nullptr;
    std::size_t size = 0;
    std::string found;
    pollfd ready{fileno(output_), POLLIN, 0};
    for (ssize_t length; found.empty() && poll(&ready, 1, 20000) > 0 &&
                         (length = getline(&data, &size, output_)) > 0;) {
      lines.emplace_back(data, static_cast<std::size_t>(length) - 1);
      if (match(lines.back())) found = lines.back();
    }
    free(data);
    return found;
  }
  std::string WaitForLine(const std::string& exact) {
    return WaitForLine([&exact](const std::string& line) { return line == exact; });
  }

  std::vector<std::string> lines;  // every line read since the start (or clear)

 private:
  FILE* output_;
  pid_t pid_ = -1;
};

// `ravelle-signsim --text`, whose first line is its pseudo-terminal's path.
class CSignsimProcess : public CChildProcess {
 public:
  // What Settle() writes: one byte that can never start a frame.
  static constexpr const char* kSettleReport = "error: bytes outside a frame (no SOH): 23";

  explicit CSignsimProcess(const std::string& options = "", const std::string& launcher = "")
      : CChildProcess(launcher + " " RAVELLE_SIGNSIM_PATH " --text " + options) {
    serialPath = WaitForLine([](const std::string&) { return true; });
    lines.clear();
  }

  // Every error: and warning: line, once everything sent so far has been
  // read: a stray byte written after it comes back reported last.
  std::vector<std::string> Reports() {
    const int fd = open(serialPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "opening " + serialPath);
    const bool written = write(fd, "#", 1) == 1;
    close(fd);
    std::vector<std::string> reports;
    if (!written || WaitForLine(kSettleReport).empty())
      reports.push_back("the sign did not settle");
    for (const std::string& line : lines) {
      const bool report = line.rfind("error: ", 0) == 0 || line.rfind("warning: ", 0) == 0;
      if (report && line != kSettleReport) reports.push_back(line);
    }
    return reports;
  }

  std::string serialPath;
};
