#include "tests/e2e/SignsimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

constexpr const char kSettleBytes[] = "#settle#";
constexpr const char kStrayReport[] = "error: bytes outside a frame (no SOH): ";
constexpr const char kSettleHex[] = "23 73 65 74 74 6C 65 23";

}  // namespace

CSignsimProcess::CSignsimProcess(std::vector<std::string> extraArguments) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) Fail("pipe2");
  std::vector<std::string> arguments = {RAVELLE_SIGNSIM_PATH, "--text"};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  std::vector<char*> argv = ArgumentVector(arguments);
  pid_ = fork();
  if (pid_ < 0) Fail("fork");
  if (pid_ == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  output_ = pipeFds[0];
  if (!ReadLine(serialPath_)) throw std::runtime_error("ravelle-signsim printed no serial path");
}

CSignsimProcess::~CSignsimProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
  }
  if (output_ >= 0) close(output_);
}

bool CSignsimProcess::ReadLine(std::string& line) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitLimitMilliseconds);
  for (;;) {
    const auto newline = pending_.find('\n');
    if (newline != std::string::npos) {
      line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{output_, POLLIN, 0};
    const int ready = poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char buffer[4096];
    const ssize_t count = read(output_, buffer, sizeof buffer);
    if (count <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
}

std::string CSignsimProcess::WaitForLine(const std::function<bool(const std::string&)>& match) {
  std::string line;
  while (ReadLine(line)) {
    lines_.push_back(line);
    if (match(line)) return line;
  }
  return "";
}

std::string CSignsimProcess::WaitForLine(const std::string& exact) {
  return WaitForLine([&exact](const std::string& line) { return line == exact; });
}

bool CSignsimProcess::Settle() {
  const int fd = open(serialPath_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) Fail("opening " + serialPath_);
  const ssize_t written = write(fd, kSettleBytes, sizeof kSettleBytes - 1);
  close(fd);
  if (written != static_cast<ssize_t>(sizeof kSettleBytes - 1)) return false;
  // The bytes may be read in more than one piece, each reported alone.
  std::string hex;
  std::vector<std::size_t> pieces;
  const bool settled = !WaitForLine([this, &hex, &pieces](const std::string& line) {
                          if (line.rfind(kStrayReport, 0) != 0) return false;
                          pieces.push_back(lines_.size() - 1);
                          hex += (hex.empty() ? "" : " ") + line.substr(sizeof kStrayReport - 1);
                          return hex.size() >= sizeof kSettleHex - 1 &&
                                 hex.compare(hex.size() - (sizeof kSettleHex - 1),
                                             sizeof kSettleHex - 1, kSettleHex) == 0;
                        }).empty();
  // The settling reports are not the program's; any other stray bytes stay.
  if (settled && hex == kSettleHex) {
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
      lines_.erase(lines_.begin() + static_cast<long>(*piece));
    }
  }
  return settled;
}

CCliRun RunCli(const std::vector<std::string>& arguments, const std::string& devicePath,
               const std::string& configHome, const std::string& input) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) Fail("pipe2");
  std::vector<std::string> all = {RAVELLE_CLI_PATH};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = ArgumentVector(all);
  const pid_t pid = fork();
  if (pid < 0) Fail("fork");
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(out[1], STDERR_FILENO);
    setenv("RAVELLE_COM1", devicePath.c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  // Session input is small: it fits the pipe, so writing it all before
  // reading the output cannot deadlock.
  [[maybe_unused]] const ssize_t written = write(in[1], input.data(), input.size());
  close(in[1]);
  CCliRun run;
  char buffer[4096];
  ssize_t count;
  while ((count = read(out[0], buffer, sizeof buffer)) > 0) {
    run.output.append(buffer, static_cast<std::size_t>(count));
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
