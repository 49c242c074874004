#include "detect/injectedpath.h"

#include <cstring>
#include <vector>

namespace kestrova::detect {

const unsigned char* FindPattern(const unsigned char* block, const unsigned char* pattern, std::size_t blockLength,
                                 std::size_t patternLength) {
  if (block == nullptr || pattern == nullptr || patternLength == 0) return nullptr;
  const unsigned char* end = block + blockLength;
  const unsigned char* at = block;
  while (static_cast<std::size_t>(end - at) >= patternLength) {
    at = static_cast<const unsigned char*>(std::memchr(at, pattern[0], static_cast<std::size_t>(end - at)));
    if (at == nullptr) return nullptr;
    if (static_cast<std::size_t>(end - at) >= patternLength && std::memcmp(at, pattern, patternLength) == 0)
      return at;
    ++at;
  }
  return nullptr;
}

namespace {
bool IsInjectedBlock(const platform::MemoryRegion& r) {
  return r.State == platform::kMemCommit && r.Type == platform::kMemPrivate &&
         r.Protect == platform::kPageExecuteReadWrite && r.Size == kInjectedBlockSize;
}
}  // namespace

bool ProbeInjectedPath(platform::IMemoryRegions& memory) {
  // Any failure, a region that turns out unreadable included, is simply "not found".
  try {
    const auto* pattern = reinterpret_cast<const unsigned char*>(kGlobalRootPath);
    std::vector<unsigned char> copy(kInjectedBlockSize);
    platform::MemoryRegion region;
    for (;;) {
      const std::uintptr_t next = region.Base + region.Size;
      if (next < region.Base || (region.Size == 0 && region.Base != 0)) return false;  // wrapped or stuck
      if (!memory.Query(next, region)) return false;
      if (region.Base + region.Size <= next) return false;  // a region that does not move us on
      if (!IsInjectedBlock(region)) continue;
      // Read through the platform's checked copy: the page may vanish or change protection.
      if (!memory.Read(region.Base, copy.data(), copy.size())) return false;
      if (FindPattern(copy.data(), pattern, copy.size(), kGlobalRootPathLength) != nullptr) return true;
    }
  } catch (...) {
    return false;
  }
}

}  // namespace kestrova::detect
