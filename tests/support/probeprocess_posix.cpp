#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/childprocess.h"
#include "tests/support/probeprocess.h"

namespace kestrova::testing {

std::string RealProbeFolder() { return "/var/lib/Tavisk/"; }

bool EndProbeProcess(const std::string& fileName, int exitCode, unsigned timeoutMs) {
  const std::string wanted = RealProbeFolder() + fileName;
  for (unsigned waited = 0; waited <= timeoutMs; waited += 50) {
    if (DIR* proc = opendir("/proc")) {
      while (dirent* e = readdir(proc)) {
        const int pid = std::atoi(e->d_name);
        if (pid <= 0) continue;
        char exe[4096] = {};
        ssize_t n = readlink(("/proc/" + std::string(e->d_name) + "/exe").c_str(), exe, sizeof exe - 1);
        if (n > 0 && std::string(exe, static_cast<size_t>(n)) == wanted) {
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
