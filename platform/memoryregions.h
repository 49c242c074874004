// The regions of this process's own address space, described the way VirtualQuery does, and a
// copy out of them that fails instead of faulting when a region cannot be read.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kestrova::platform {

inline constexpr std::uint32_t kMemCommit = 0x1000;
inline constexpr std::uint32_t kMemReserve = 0x2000;
inline constexpr std::uint32_t kMemFree = 0x10000;
inline constexpr std::uint32_t kMemPrivate = 0x20000;
inline constexpr std::uint32_t kMemMapped = 0x40000;
inline constexpr std::uint32_t kMemImage = 0x1000000;
inline constexpr std::uint32_t kPageNoAccess = 0x01;
inline constexpr std::uint32_t kPageReadOnly = 0x02;
inline constexpr std::uint32_t kPageReadWrite = 0x04;
inline constexpr std::uint32_t kPageExecute = 0x10;
inline constexpr std::uint32_t kPageExecuteRead = 0x20;
inline constexpr std::uint32_t kPageExecuteReadWrite = 0x40;
inline constexpr std::uint32_t kPageGuard = 0x100;

struct MemoryRegion {
  std::uintptr_t Base = 0;
  std::size_t Size = 0;
  std::uint32_t State = 0;
  std::uint32_t Protect = 0;
  std::uint32_t Type = 0;
};

class IMemoryRegions {
 public:
  virtual ~IMemoryRegions() = default;
  // The region holding address; false when the address lies beyond the last region.
  virtual bool Query(std::uintptr_t address, MemoryRegion& region) = 0;
  // Copies size bytes from address; false when any of them cannot be read.
  virtual bool Read(std::uintptr_t address, void* buffer, std::size_t size) = 0;
};

IMemoryRegions& OwnMemoryRegions();

}  // namespace kestrova::platform
