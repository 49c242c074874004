#include "platform/sharedfile.h"

#include <errno.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace kestrova::platform {

namespace {

bool SetLock(int fd, short type) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;  // the whole file, however far it grows
  return fcntl(fd, F_SETLK, &fl) == 0;
}

}  // namespace

AppendStatus TryAppendLocked(const std::string& fileName, std::string_view bytes) {
  // O_APPEND: every write lands at the end as it is when the write happens, never over a line
  // that another machine wrote after we opened the file.
  int fd = open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return (errno == EINTR || errno == ETXTBSY) ? AppendStatus::Busy : AppendStatus::Failed;

  bool locked = SetLock(fd, F_WRLCK);
  if (!locked) {
    int err = errno;
    // A file system without locks (ENOLCK, some shares) still appends atomically per write.
    if (err != ENOLCK && err != EOPNOTSUPP && err != EINVAL) {
      close(fd);
      return (err == EACCES || err == EAGAIN || err == EINTR) ? AppendStatus::Busy : AppendStatus::Failed;
    }
  }

  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (locked) SetLock(fd, F_UNLCK);
  close(fd);
  return left == 0 ? AppendStatus::Written : AppendStatus::Failed;
}

void SleepMilliseconds(unsigned ms) {
  struct timespec ts = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

std::uint64_t MonotonicMilliseconds() {
  struct timespec ts = {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

unsigned ProcessId() { return static_cast<unsigned>(getpid()); }

}  // namespace kestrova::platform
