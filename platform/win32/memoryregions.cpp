#include <windows.h>

#include "platform/memoryregions.h"

namespace kestrova::platform {

namespace {
class OwnProcessMemory final : public IMemoryRegions {
 public:
  bool Query(std::uintptr_t address, MemoryRegion& region) override {
    MEMORY_BASIC_INFORMATION info = {};
    if (VirtualQuery(reinterpret_cast<LPCVOID>(address), &info, sizeof info) == 0) return false;
    region.Base = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
    region.Size = info.RegionSize;
    region.State = info.State;
    region.Protect = info.Protect;
    region.Type = info.Type;
    return true;
  }
  bool Read(std::uintptr_t address, void* buffer, std::size_t size) override {
    SIZE_T done = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(address), buffer, size, &done) &&
           done == size;
  }
};
}  // namespace

IMemoryRegions& OwnMemoryRegions() {
  static OwnProcessMemory memory;
  return memory;
}

}  // namespace kestrova::platform
