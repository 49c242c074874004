// The injected-path probe over made-up regions, and over this process's real memory.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "detect/injectedpath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace kestrova::detect {
namespace {

using platform::MemoryRegion;

// Regions laid end to end from address 0x10000, each with its own bytes.
class SyntheticMemory : public platform::IMemoryRegions {
 public:
  std::vector<MemoryRegion> Regions;
  std::map<std::uintptr_t, std::string> Bytes;
  std::vector<std::pair<std::uintptr_t, std::size_t>> Reads;
  std::uintptr_t Unreadable = 0;

  void Add(std::size_t size, std::uint32_t protect, std::string bytes = {}, std::uint32_t type = platform::kMemPrivate,
           std::uint32_t state = platform::kMemCommit) {
    const std::uintptr_t base = Regions.empty() ? 0x10000 : Regions.back().Base + Regions.back().Size;
    Regions.push_back(MemoryRegion{base, size, state, protect, type});
    bytes.resize(size, '\0');
    Bytes[base] = bytes;
  }
  bool Query(std::uintptr_t address, MemoryRegion& region) override {
    if (address < 0x10000) {
      region = MemoryRegion{0, 0x10000, platform::kMemFree, platform::kPageNoAccess, 0};
      return true;
    }
    for (const auto& r : Regions)
      if (address >= r.Base && address < r.Base + r.Size) return region = r, true;
    return false;
  }
  bool Read(std::uintptr_t address, void* buffer, std::size_t size) override {
    Reads.emplace_back(address, size);
    if (address == Unreadable) return false;
    const std::string& b = Bytes.at(address);
    if (size > b.size()) return false;
    std::memcpy(buffer, b.data(), size);
    return true;
  }
};

std::string At(std::size_t offset, const std::string& text) { return std::string(offset, 'x') + text; }

const std::string kText = kGlobalRootPath;

TEST(InjectedPath, FindsTheTextOnlyInA4KiBPrivateExecuteReadWriteBlock) {
  using namespace platform;
  struct Case {
    const char* What;
    std::size_t Size;
    std::uint32_t Protect, Type, State;
    std::string Bytes;
    bool Found;
  } cases[] = {
      {"at offset 0", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit, kText, true},
      {"in the middle", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit, At(2000, kText), true},
      {"ending at the last byte", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit, At(4096 - 15, kText), true},
      {"after many false starts", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit,
       std::string(300, '\\') + "\\\\?\\\\?\\global" + kText, true},
      {"only 14 bytes inside", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit, At(4096 - 14, kText), false},
      {"upper-case GLOBALROOT", 4096, kPageExecuteReadWrite, kMemPrivate, kMemCommit, "\\\\?\\GLOBALROOT\\", false},
      {"8 KiB region", 8192, kPageExecuteReadWrite, kMemPrivate, kMemCommit, kText, false},
      {"read-write only", 4096, kPageReadWrite, kMemPrivate, kMemCommit, kText, false},
      {"a mapped image", 4096, kPageExecuteReadWrite, kMemImage, kMemCommit, kText, false},
      {"a modifier flag", 4096, kPageExecuteReadWrite | kPageGuard, kMemPrivate, kMemCommit, kText, false},
      {"reserved, not committed", 4096, kPageExecuteReadWrite, kMemPrivate, kMemReserve, kText, false},
  };
  for (const Case& c : cases) {
    SyntheticMemory memory;
    memory.Add(65536, kPageReadOnly, kText, kMemImage);
    memory.Add(c.Size, c.Protect, c.Bytes.substr(0, c.Size), c.Type, c.State);
    memory.Add(4096, kPageReadWrite, c.Bytes.size() > c.Size ? c.Bytes.substr(c.Size) : "");
    EXPECT_EQ(ProbeInjectedPath(memory), c.Found) << c.What;
    for (const auto& [address, size] : memory.Reads) EXPECT_EQ(address, memory.Regions[1].Base) << c.What;
  }
}

TEST(InjectedPath, AnUnreadableBlockEndsTheProbeWithoutCrashing) {
  SyntheticMemory memory;
  memory.Add(4096, platform::kPageExecuteReadWrite, "");
  memory.Add(4096, platform::kPageExecuteReadWrite, kText);
  memory.Unreadable = memory.Regions[0].Base;
  EXPECT_FALSE(ProbeInjectedPath(memory));
}

TEST(FindPattern, AnswersTheFirstWholeOccurrenceInsideTheBlock) {
  const std::string block = "aababcab";
  auto find = [&](const std::string& pattern, std::size_t length) {
    const auto* b = reinterpret_cast<const unsigned char*>(block.data());
    const auto* hit = FindPattern(b, reinterpret_cast<const unsigned char*>(pattern.data()), length, pattern.size());
    return hit == nullptr ? -1 : static_cast<int>(hit - b);
  };
  EXPECT_EQ(find("abc", 8), 3);
  EXPECT_EQ(find("ab", 8), 1);
  EXPECT_EQ(find("ab", 2), -1);
  EXPECT_EQ(find("cab", 8), 5);
  EXPECT_EQ(find("cab", 7), -1);
  EXPECT_EQ(find("x", 8), -1);
  EXPECT_EQ(find("", 8), -1);
}

// A page of this process, with guard pages around it so that it stands as a region of its own.
class OwnPage {
 public:
  OwnPage() {
#ifdef _WIN32
    FBase = static_cast<char*>(VirtualAlloc(nullptr, 3 * 4096, MEM_RESERVE, PAGE_NOACCESS));
    VirtualAlloc(FBase + 4096, 4096, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
    VirtualAlloc(FBase + 8192, 4096, MEM_COMMIT, PAGE_READWRITE);
#else
    FBase = static_cast<char*>(mmap(nullptr, 3 * 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(FBase + 4096, 4096, PROT_READ | PROT_WRITE | PROT_EXEC);
    mprotect(FBase + 8192, 4096, PROT_READ | PROT_WRITE);
#endif
  }
  ~OwnPage() {
#ifdef _WIN32
    VirtualFree(FBase, 0, MEM_RELEASE);
#else
    munmap(FBase, 3 * 4096);
#endif
  }
  char* Page() { return FBase + 4096; }

 private:
  char* FBase;
};

TEST(InjectedPath, FindsARealPageOfThisProcess) {
  platform::IMemoryRegions& own = platform::OwnMemoryRegions();
  {
    OwnPage page;
    EXPECT_FALSE(ProbeInjectedPath(own)) << "an empty page";
    std::memcpy(page.Page() + 100, kGlobalRootPath, kGlobalRootPathLength);
    EXPECT_TRUE(ProbeInjectedPath(own)) << "the text in the page";
    std::memset(page.Page(), 0, 4096);
    std::memcpy(page.Page() + 4096 - 14, kGlobalRootPath, kGlobalRootPathLength);
    EXPECT_FALSE(ProbeInjectedPath(own)) << "the text split across the page's end";
  }
  EXPECT_FALSE(ProbeInjectedPath(own));
}

}  // namespace
}  // namespace kestrova::detect
