#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace kestrova::testing {

namespace {

class XvfbServer {
 public:
  XvfbServer() {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    // -displayfd: the server takes the first free display and writes its number to the pipe.
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp",
                                     "-screen", "0", "1024x768x24"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawnp(&FPid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      close(fds[0]);
      throw std::runtime_error("Xvfb could not be started (scripts/install-deps installs it)");
    }
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char c;
      const ssize_t n = read(fds[0], &c, 1);
      if (n <= 0 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      Stop();
      throw std::runtime_error("Xvfb did not report its display in time");
    }
    Name = ":" + number;
    setenv("DISPLAY", Name.c_str(), 1);
  }
  ~XvfbServer() { Stop(); }

  std::string Name;

 private:
  void Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
      if (waitpid(FPid, nullptr, WNOHANG) == FPid) {
        FPid = 0;
        return;
      }
      usleep(20000);
    }
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
    FPid = 0;
  }
  pid_t FPid = 0;
};

}  // namespace

const std::string& TestDisplay() {
  static XvfbServer server;
  return server.Name;
}

}  // namespace kestrova::testing
