// Appending to a file that many machines may append to at the same moment (a fleet's report
// file on a share): one attempt at a time, so that the caller decides how long to keep trying.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::platform {

enum class AppendStatus {
  Written,  // the whole of the bytes now stands at the end of the file
  Busy,     // another process holds the file or its lock: worth trying again shortly
  Failed,   // cannot be written at all (no folder, no access, bad name, disk full, ...)
};

// Opens or creates the file for appending only (shared for reading and writing, never
// truncated), takes an exclusive lock without waiting, writes the bytes at the end in one write,
// unlocks and closes.
AppendStatus TryAppendLocked(const std::string& fileName, std::string_view bytes);

void SleepMilliseconds(unsigned ms);
std::uint64_t MonotonicMilliseconds();
unsigned ProcessId();

}  // namespace kestrova::platform
