#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/childprocess.h"
#include "tests/support/probeprocess.h"

namespace kestrova::testing {

std::string RealProbeFolder() { return "/var/lib/Tavisk/"; }

namespace {
// Whether the process already catches both signals the slow probe ends on: a signal that
// arrives before its handler is installed would kill it without any exit code.
bool CatchesEndSignals(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) != 0) continue;
    const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
    const unsigned long long wanted = (1ull << (SIGUSR1 - 1)) | (1ull << (SIGUSR2 - 1));
    return (caught & wanted) == wanted;
  }
  return false;
}

// The parent's process id: the fourth field of /proc/PID/stat, after the name in parentheses.
unsigned ParentOf(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos || close + 4 > text.size()) return 0;
  return static_cast<unsigned>(std::strtoul(text.c_str() + close + 4, nullptr, 10));
}
}  // namespace

bool EndProbeProcess(const std::string& fileName, unsigned parentPid, int exitCode, unsigned timeoutMs) {
  const std::string wanted = RealProbeFolder() + fileName;
  for (unsigned waited = 0; waited <= timeoutMs; waited += 50) {
    if (DIR* proc = opendir("/proc")) {
      while (dirent* e = readdir(proc)) {
        const int pid = std::atoi(e->d_name);
        if (pid <= 0) continue;
        char exe[4096] = {};
        ssize_t n = readlink(("/proc/" + std::string(e->d_name) + "/exe").c_str(), exe, sizeof exe - 1);
        if (n > 0 && std::string(exe, static_cast<size_t>(n)) == wanted && ParentOf(pid) == parentPid && CatchesEndSignals(pid)) {
          closedir(proc);
          return kill(pid, exitCode == 0 ? SIGUSR1 : SIGUSR2) == 0;
        }
      }
      closedir(proc);
    }
    SleepMs(50);
  }
  return false;
}

bool RunningAsAdministrator() { return geteuid() == 0; }

}  // namespace kestrova::testing
