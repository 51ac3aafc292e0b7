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

// `ravelle-signsim --text` as a child process, its output read line by line.
// Waits are bounded: a line that does not come within 20 seconds fails the
// wait instead of hanging the test.
class CSignsimProcess {
 public:
  // What Settle() writes: one byte that can never start a frame.
  static constexpr const char* kSettleReport = "error: bytes outside a frame (no SOH): 23";

  // The shell prints its process id and then becomes the simulator, whose
  // first line is its pseudo-terminal's path. A launcher (prlimit ...) that
  // execs its command keeps the process id.
  explicit CSignsimProcess(const std::string& options = "", const std::string& launcher = "")
      : output_(popen(
            ("echo $$; exec " + launcher + " " RAVELLE_SIGNSIM_PATH " --text " + options).c_str(),
            "r")) {
    if (output_ == nullptr) throw std::system_error(errno, std::generic_category(), "popen");
    setvbuf(output_, nullptr, _IONBF, 0);  // so that poll() sees every byte not yet read
    pid_ = std::atoi(WaitForLine([](const std::string&) { return true; }).c_str());
    serialPath = WaitForLine([](const std::string&) { return true; });
    lines.clear();
  }
  ~CSignsimProcess() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    pclose(output_);
  }
  CSignsimProcess(const CSignsimProcess&) = delete;
  CSignsimProcess& operator=(const CSignsimProcess&) = delete;

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
  std::vector<std::string> lines;  // every line read after the serial path

 private:
  FILE* output_;
  pid_t pid_ = -1;
};
