#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "platform/probefiles.h"

extern char** environ;

namespace kestrova::platform {

namespace {

class HeldFile final : public IHeldFile {
 public:
  explicit HeldFile(int fd) : FFd(fd) {}
  ~HeldFile() override { close(FFd); }

 private:
  int FFd;
};

void Nap(unsigned ms) {
  struct timespec ts = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  nanosleep(&ts, nullptr);
}

class RunningProcess final : public IRunningProcess {
 public:
  explicit RunningProcess(pid_t pid) : FPid(pid) {}
  ~RunningProcess() override {
    if (!FReaped) {
      kill(FPid, SIGKILL);
      Reap(true);
    }
  }
  bool WaitFor(unsigned timeoutMs) override {
    for (unsigned waited = 0;; waited += 5) {
      if (Reap(false)) return true;
      if (waited >= timeoutMs) return false;
      Nap(5);
    }
  }
  bool ExitCode(std::int32_t& code) override {
    if (!FReaped || !WIFEXITED(FStatus)) return false;  // killed by a signal: there is no exit code
    code = WEXITSTATUS(FStatus);
    return true;
  }
  void Terminate() override {
    if (FReaped) return;
    kill(FPid, SIGKILL);
    Reap(true);
  }

 private:
  bool Reap(bool block) {
    if (FReaped) return true;
    pid_t r;
    do r = waitpid(FPid, &FStatus, block ? 0 : WNOHANG);
    while (r < 0 && errno == EINTR);
    FReaped = r == FPid;
    return FReaped;
  }
  pid_t FPid;
  int FStatus = 0;
  bool FReaped = false;
};

bool ReadFd(int fd, std::string& data) {
  data.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    data.append(buf, static_cast<size_t>(n));
  }
}

class PosixProbeSystem final : public IProbeSystem {
 public:
  char Separator() override { return '/'; }

  std::string SpecialFolder(int csidl) override { return csidl == kCsidlCommonAppData ? "/var/lib/" : ""; }

  bool CreateProbeFolder(const std::string& folder) override {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    mkdir(path.c_str(), 0700);
    // Programs run from here with our rights: the folder must be ours alone.
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  }

  std::int64_t FileSizeByName(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
  }

  bool ReadWholeFile(const std::string& path, std::string& data) override {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ReadFd(fd, data);
    close(fd);
    return ok;
  }

  bool WriteWholeFile(const std::string& path, const std::string& data) override {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0700);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
      ssize_t n = write(fd, data.data() + done, data.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    bool ok = done == data.size() && fchmod(fd, 0700) == 0;
    close(fd);
    return ok;
  }

  bool RemoveFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  std::unique_ptr<IHeldFile> HoldAgainstWriting(const std::string& path, std::string& data) override {
    // Linux cannot deny writing to an open file; the folder being ours alone keeps others out.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return nullptr;
    auto held = std::make_unique<HeldFile>(fd);
    if (!ReadFd(fd, data)) return nullptr;
    return held;
  }

  std::unique_ptr<IRunningProcess> Start(const std::string& path) override {
    std::string arg0 = path;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return nullptr;
    return std::make_unique<RunningProcess>(pid);
  }
};

}  // namespace

IProbeSystem& SystemProbeSystem() {
  static PosixProbeSystem system;
  return system;
}

}  // namespace kestrova::platform
