#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/childprocess.h"

extern char** environ;

namespace kestrova::testing {

std::string ProgramBeside(const std::string& name) {
  char self[4096] = {};
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) throw std::runtime_error("cannot find the test program itself");
  std::string path(self, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1) + name;
}

std::string MakeTempFolder() {
  std::string pattern = "/tmp/kestrova-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return RememberFolder(pattern + "/");
}

char FolderSeparator() { return '/'; }

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

void CreateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0) RememberFolder(path);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool RunningUnderWine() { return false; }

void SleepMs(unsigned ms) {
  struct timespec ts = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  nanosleep(&ts, nullptr);
}

struct ChildProcess::Impl {
  pid_t Pid = -1;
  std::string ErrPath;
  int Status = -2;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args)
    : FImpl(std::make_unique<Impl>()) {
  char errPath[] = "/tmp/kestrova-stderr-XXXXXX";
  int errFd = mkstemp(errPath);
  if (errFd < 0) return;
  close(errFd);
  FImpl->ErrPath = errPath;

  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (auto& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, errPath, O_WRONLY | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (posix_spawn(&FImpl->Pid, program.c_str(), &actions, nullptr, raw.data(), environ) != 0) FImpl->Pid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
  if (FImpl->Pid > 0 && FImpl->Status == -2) Wait(0);
  if (!FImpl->ErrPath.empty()) unlink(FImpl->ErrPath.c_str());
}

bool ChildProcess::Started() const { return FImpl->Pid > 0; }
bool ChildProcess::Running() {
  if (FImpl->Pid <= 0 || FImpl->Status != -2) return false;
  int status = 0;
  if (waitpid(FImpl->Pid, &status, WNOHANG) != FImpl->Pid) return true;
  FImpl->Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

unsigned ChildProcess::Pid() const { return static_cast<unsigned>(FImpl->Pid); }

int ChildProcess::Wait(unsigned timeoutMs) {
  if (FImpl->Pid <= 0) return -1;
  if (FImpl->Status != -2) return FImpl->Status;
  for (unsigned waited = 0;; waited += 5) {
    int status = 0;
    pid_t r = waitpid(FImpl->Pid, &status, WNOHANG);
    if (r == FImpl->Pid) {
      FImpl->Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return FImpl->Status;
    }
    if (waited >= timeoutMs) break;
    SleepMs(5);
  }
  kill(FImpl->Pid, SIGKILL);
  waitpid(FImpl->Pid, nullptr, 0);
  FImpl->Status = -1;
  return -1;
}

std::string ChildProcess::StdErr() const { return FImpl->ErrPath.empty() ? "" : ReadWholeFile(FImpl->ErrPath); }

std::string ChildProcess::AnswerMessageBox(unsigned) { return {}; }

struct FileHolder::Impl {
  int Fd = -1;
};

FileHolder::FileHolder(const std::string& path, How) : FImpl(std::make_unique<Impl>()) {
  // Both ways of holding a file come to the same on Linux: another run's write lock.
  FImpl->Fd = open(path.c_str(), O_RDWR | O_CREAT, 0644);
  if (FImpl->Fd < 0) return;
  struct flock fl = {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  if (fcntl(FImpl->Fd, F_SETLK, &fl) != 0) Release();
}

FileHolder::~FileHolder() { Release(); }
bool FileHolder::Holding() const { return FImpl->Fd >= 0; }
void FileHolder::Release() {
  if (FImpl->Fd >= 0) close(FImpl->Fd);
  FImpl->Fd = -1;
}

}  // namespace kestrova::testing
