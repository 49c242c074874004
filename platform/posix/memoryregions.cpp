// This process's mappings from /proc/self/maps, described in the Windows terms the probe asks
// for: a private anonymous mapping is committed private memory, a gap is free memory, and the
// read, write and execute bits become the matching page protection.
#include <sys/uio.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/memoryregions.h"

namespace kestrova::platform {

namespace {

struct Mapping {
  std::uintptr_t Start = 0, End = 0;
  char Perms[5] = {};
  unsigned long Inode = 0;
  char Path[512] = {};
};

std::uint32_t ProtectionOf(const char* perms) {
  const bool r = perms[0] == 'r', w = perms[1] == 'w', x = perms[2] == 'x';
  if (x) return w ? kPageExecuteReadWrite : (r ? kPageExecuteRead : kPageExecute);
  if (w) return kPageReadWrite;
  return r ? kPageReadOnly : kPageNoAccess;
}

std::uint32_t TypeOf(const Mapping& m) {
  const bool anonymous = m.Inode == 0 && (m.Path[0] == '\0' || m.Path[0] == '[');
  if (anonymous) return m.Perms[3] == 'p' ? kMemPrivate : kMemMapped;
  return ProtectionOf(m.Perms) & (kPageExecute | kPageExecuteRead | kPageExecuteReadWrite) ? kMemImage : kMemMapped;
}

class OwnProcessMemory final : public IMemoryRegions {
 public:
  bool Query(std::uintptr_t address, MemoryRegion& region) override {
    // A walk over the address space starts at 0: read the maps once for the whole walk instead
    // of once per region.
    if (address == 0 || FMappings.empty()) ReadMappings();
    for (const MemoryRegion& m : FMappings) {
      if (address < m.Base) {  // in the gap before this mapping
        const std::uintptr_t base = address & ~static_cast<std::uintptr_t>(0xFFF);
        region = MemoryRegion{base, m.Base - base, kMemFree, kPageNoAccess, 0};
        return true;
      }
      if (address < m.Base + m.Size) {
        region = m;
        return true;
      }
    }
    return false;
  }

  bool Read(std::uintptr_t address, void* buffer, std::size_t size) override {
    // The kernel copies for us and answers EFAULT for an unreadable page instead of a crash.
    struct iovec local = {buffer, size};
    struct iovec remote = {reinterpret_cast<void*>(address), size};
    return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == static_cast<ssize_t>(size);
  }

 private:
  void ReadMappings() {
    FMappings.clear();
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (maps == nullptr) return;
    char line[1024];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
      Mapping m;
      unsigned long long start = 0, end = 0;
      if (std::sscanf(line, "%llx-%llx %4s %*s %*s %lu %511[^\n]", &start, &end, m.Perms, &m.Inode, m.Path) < 4)
        continue;
      m.Start = static_cast<std::uintptr_t>(start);
      m.End = static_cast<std::uintptr_t>(end);
      const char* path = m.Path;
      while (*path == ' ') ++path;
      std::memmove(m.Path, path, std::strlen(path) + 1);
      FMappings.push_back(MemoryRegion{m.Start, m.End - m.Start, kMemCommit, ProtectionOf(m.Perms), TypeOf(m)});
    }
    std::fclose(maps);
  }

  std::vector<MemoryRegion> FMappings;
};

}  // namespace

IMemoryRegions& OwnMemoryRegions() {
  static OwnProcessMemory memory;
  return memory;
}

}  // namespace kestrova::platform
