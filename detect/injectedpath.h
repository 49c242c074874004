// The first fallback probe: a small block of code-capable memory in this very process that
// carries the injected module's path text "\\?\globalroot\".
#pragma once
#include <cstddef>

#include "platform/memoryregions.h"

namespace kestrova::detect {

inline constexpr char kGlobalRootPath[] = "\\\\?\\globalroot\\";
inline constexpr std::size_t kGlobalRootPathLength = sizeof kGlobalRootPath - 1;  // 15 bytes, no zero
inline constexpr std::size_t kInjectedBlockSize = 4096;

// True as soon as one committed, private, execute-read-write region of exactly 4,096 bytes
// holds the text.
bool ProbeInjectedPath(platform::IMemoryRegions& memory);

// The first occurrence of pattern lying wholly inside block, or null.
const unsigned char* FindPattern(const unsigned char* block, const unsigned char* pattern, std::size_t blockLength,
                                 std::size_t patternLength);

}  // namespace kestrova::detect
