#include "tests/cli/ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// Appends what fd has now; false at end of file.
bool ReadSome(int fd, std::string& into) {
  char buffer[4096];
  ssize_t got = read(fd, buffer, sizeof buffer);
  if (got > 0) into.append(buffer, static_cast<std::size_t>(got));
  return got > 0 || (got < 0 && (errno == EINTR || errno == EAGAIN));
}

}  // namespace

CProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& input, const std::map<std::string, std::string>& env,
                       int alsoReadFd) {
  // A program that ends without reading all its input must not take the
  // test down with it.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    if (env.count(text.substr(0, text.find('='))) == 0) environment.push_back(text);
  }
  for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argvText = {program};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : argvText) argv.push_back(text.data());
  argv.push_back(nullptr);

  int in[2], out[2], err[2];
  Check(pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0 && pipe2(err, O_CLOEXEC) == 0,
        "pipe2");
  pid_t child = fork();
  Check(child >= 0, "fork");
  if (child == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    close_range(3, ~0U, 0);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  Check(fcntl(in[1], F_SETFL, O_NONBLOCK) == 0, "fcntl");

  CProgramRun run;
  std::size_t written = 0;
  bool outOpen = true, errOpen = true;
  int inFd = in[1];
  int watched = alsoReadFd;
  if (input.empty()) {
    close(inFd);
    inFd = -1;
  }
  while (outOpen || errOpen) {
    pollfd fds[4] = {{outOpen ? out[0] : -1, POLLIN, 0},
                     {errOpen ? err[0] : -1, POLLIN, 0},
                     {inFd, POLLOUT, 0},
                     {watched, POLLIN, 0}};
    if (poll(fds, 4, -1) < 0) {
      Check(errno == EINTR, "poll");
      continue;
    }
    if (fds[0].revents != 0) outOpen = ReadSome(out[0], run.out);
    if (fds[1].revents != 0) errOpen = ReadSome(err[0], run.err);
    if (fds[3].revents & POLLIN) {
      ReadSome(watched, run.alsoRead);
    } else if (fds[3].revents != 0) {
      watched = -1;  // the far side is gone; nothing more will come
    }
    if (fds[2].revents != 0) {
      ssize_t put = write(inFd, input.data() + written, input.size() - written);
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // reader gone
      if (written == input.size()) {
        close(inFd);
        inFd = -1;
      }
    }
  }
  if (inFd != -1) close(inFd);
  close(out[0]);
  close(err[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) Check(errno == EINTR, "waitpid");
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  // Whatever the program wrote before it ended is already waiting.
  if (alsoReadFd != -1) {
    pollfd pending = {alsoReadFd, POLLIN, 0};
    while (poll(&pending, 1, 0) > 0 && (pending.revents & POLLIN) &&
           ReadSome(alsoReadFd, run.alsoRead)) {
    }
  }
  return run;
}
