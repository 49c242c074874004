// The blocked-launch probe over an in-memory file system and scripted processes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "detect/blockedlaunch.h"
#include "tests/support/fakeresources.h"

namespace kestrova::detect {
namespace {

using testing::FakeResources;

const std::string kStub = "MZ probe program";

struct Outcome {
  bool StartFails = false;
  bool NeverEnds = false;
  bool NoExitCode = false;
  std::int32_t ExitCode = 5;
};

class ScriptedSystem : public platform::IProbeSystem {
 public:
  std::string Special = "C:\\ProgramData\\";
  bool FolderSafe = true;
  std::map<std::string, std::string> Files;
  std::set<std::string> ReadOnly;
  std::map<std::string, Outcome> Outcomes;  // by path; default: ends with 5
  std::vector<std::string> Log;

  char Separator() override { return '\\'; }
  std::string SpecialFolder(int csidl) override {
    Log.push_back("folder " + std::to_string(csidl));
    return Special;
  }
  bool CreateProbeFolder(const std::string& folder) override {
    Log.push_back("mkdir " + folder);
    return FolderSafe;
  }
  std::int64_t FileSizeByName(const std::string& path) override {
    auto it = Files.find(path);
    return it == Files.end() ? -1 : static_cast<std::int64_t>(it->second.size());
  }
  bool ReadWholeFile(const std::string& path, std::string& data) override {
    auto it = Files.find(path);
    if (it == Files.end()) return false;
    data = it->second;
    return true;
  }
  bool WriteWholeFile(const std::string& path, const std::string& data) override {
    if (ReadOnly.count(path)) return false;
    Log.push_back("write " + path);
    Files[path] = data;
    return true;
  }
  bool RemoveFile(const std::string& path) override {
    Log.push_back("delete " + path);
    return Files.erase(path) > 0;
  }
  std::unique_ptr<platform::IHeldFile> HoldAgainstWriting(const std::string& path, std::string& data) override {
    if (!ReadWholeFile(path, data)) return nullptr;
    return std::make_unique<platform::IHeldFile>();
  }
  std::unique_ptr<platform::IRunningProcess> Start(const std::string& path) override;
};

class ScriptedProcess : public platform::IRunningProcess {
 public:
  ScriptedProcess(ScriptedSystem& system, Outcome outcome) : FSystem(system), FOutcome(outcome) {}
  bool WaitFor(unsigned timeoutMs) override {
    FSystem.Log.push_back("wait " + std::to_string(timeoutMs));
    return !FOutcome.NeverEnds;
  }
  bool ExitCode(std::int32_t& code) override {
    code = FOutcome.ExitCode;
    return !FOutcome.NoExitCode;
  }
  void Terminate() override { FSystem.Log.push_back("terminate"); }

 private:
  ScriptedSystem& FSystem;
  Outcome FOutcome;
};

std::unique_ptr<platform::IRunningProcess> ScriptedSystem::Start(const std::string& path) {
  Log.push_back("start " + path);
  Outcome o = Outcomes.count(path) ? Outcomes[path] : Outcome{};
  if (o.StartFails || !Files.count(path)) return nullptr;
  return std::make_unique<ScriptedProcess>(*this, o);
}

const std::string kFolder = "C:\\ProgramData\\Tavisk\\";

struct ProbeCase {
  const char* What;
  const char* Names;
  std::int32_t Tries;
  std::map<std::string, Outcome> Outcomes;
  std::map<std::string, std::string> Planted;
  bool Found;
  std::vector<std::string> Log;
  std::vector<std::string> FilesAfter;
};

const ProbeCase kCases[] = {
    {"one try: only the first name; its 5 is negative and the file goes",
     "[Root]\r\na=first.exe\r\nb=second.exe\r\n", 1, {}, {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "first.exe", "start " + kFolder + "first.exe",
      "wait 30000", "delete " + kFolder + "first.exe"},
     {}},
    {"an empty value is no name", "[Root]\na=\nb=x.exe\n", 1, {}, {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "x.exe", "start " + kFolder + "x.exe",
      "wait 30000", "delete " + kFolder + "x.exe"},
     {}},
    {"three tries, two names: both, then the end of the list", "[Root]\na=1.exe\nb=2.exe\n", 3, {}, {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "1.exe", "start " + kFolder + "1.exe",
      "wait 30000", "delete " + kFolder + "1.exe", "write " + kFolder + "2.exe", "start " + kFolder + "2.exe",
      "wait 30000", "delete " + kFolder + "2.exe"},
     {}},
    {"ended from outside with 0: positive, the file stays", "[Root]\na=p.exe\n", 1,
     {{kFolder + "p.exe", Outcome{false, false, false, 0}}}, {}, true,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "p.exe", "start " + kFolder + "p.exe",
      "wait 30000"},
     {kFolder + "p.exe"}},
    {"our own program already there: started without rewriting", "[Root]\na=p.exe\n", 1, {},
     {{kFolder + "p.exe", kStub}}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "start " + kFolder + "p.exe", "wait 30000",
      "delete " + kFolder + "p.exe"},
     {}},
    {"a planted program of the same size is replaced before it could run", "[Root]\na=p.exe\n", 1,
     {{kFolder + "p.exe", Outcome{false, false, false, 0}}}, {{kFolder + "p.exe", std::string(kStub.size(), 'X')}},
     true,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "p.exe", "start " + kFolder + "p.exe",
      "wait 30000"},
     {kFolder + "p.exe"}},
    {"a file of another size is overwritten", "[Root]\na=p.exe\n", 1, {}, {{kFolder + "p.exe", "old"}}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "p.exe", "start " + kFolder + "p.exe",
      "wait 30000", "delete " + kFolder + "p.exe"},
     {}},
    {"a probe that never ends is ended after the bound, then the next name", "[Root]\na=h.exe\nb=n.exe\n", 2,
     {{kFolder + "h.exe", Outcome{false, true, false, 0}}}, {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "h.exe", "start " + kFolder + "h.exe",
      "wait 30000", "terminate", "delete " + kFolder + "h.exe", "write " + kFolder + "n.exe",
      "start " + kFolder + "n.exe", "wait 30000", "delete " + kFolder + "n.exe"},
     {}},
    {"a start that fails is negative", "[Root]\na=f.exe\n", 1, {{kFolder + "f.exe", Outcome{true}}}, {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "f.exe", "start " + kFolder + "f.exe",
      "delete " + kFolder + "f.exe"},
     {}},
    {"an unreadable exit code is negative", "[Root]\na=c.exe\n", 1, {{kFolder + "c.exe", Outcome{false, false, true, 0}}},
     {}, false,
     {"folder 35", "mkdir C:\\ProgramData\\Tavisk", "write " + kFolder + "c.exe", "start " + kFolder + "c.exe",
      "wait 30000", "delete " + kFolder + "c.exe"},
     {}},
    {"no names: nothing written", "[Other]\na=x.exe\n", 1, {}, {}, false, {}, {}},
};

void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.What; }

class Probe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(Probe, WritesStartsJudgesAndCleansUp) {
  const ProbeCase& c = GetParam();
  FakeResources resources;
  resources.Enciphered(kProbeNamesResource, c.Names).Plain(kProbeProgramResource, kStub);
  ScriptedSystem system;
  system.Outcomes = c.Outcomes;
  system.Files = c.Planted;
  EXPECT_EQ(ProbeBlockedLaunch(c.Tries, resources, system), c.Found);
  EXPECT_EQ(system.Log, c.Log);
  std::vector<std::string> after;
  for (const auto& [path, content] : system.Files) after.push_back(path);
  EXPECT_EQ(after, c.FilesAfter);
}

INSTANTIATE_TEST_SUITE_P(BlockedLaunch, Probe, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(BlockedLaunch, NeverRunsAFileItCouldNotMakeItsOwn) {
  FakeResources resources;
  resources.Enciphered(kProbeNamesResource, "[Root]\na=p.exe\n").Plain(kProbeProgramResource, kStub);
  ScriptedSystem system;
  system.Files[kFolder + "p.exe"] = "someone else's program";
  system.ReadOnly.insert(kFolder + "p.exe");
  system.Outcomes[kFolder + "p.exe"] = Outcome{false, false, false, 0};
  EXPECT_FALSE(ProbeBlockedLaunch(1, resources, system));
  for (const std::string& line : system.Log) EXPECT_EQ(line.find("start"), std::string::npos) << line;
}

TEST(BlockedLaunch, NoSafeFolderNoProgramOrNoNamesMeanNothingRuns) {
  FakeResources full;
  full.Enciphered(kProbeNamesResource, "[Root]\na=p.exe\n").Plain(kProbeProgramResource, kStub);
  ScriptedSystem unsafe;
  unsafe.FolderSafe = false;
  EXPECT_FALSE(ProbeBlockedLaunch(1, full, unsafe));
  EXPECT_TRUE(unsafe.Files.empty());

  FakeResources noStub;
  noStub.Enciphered(kProbeNamesResource, "[Root]\na=p.exe\n");
  ScriptedSystem system;
  EXPECT_FALSE(ProbeBlockedLaunch(1, noStub, system));
  EXPECT_TRUE(system.Files.empty());

  FakeResources damaged;
  damaged.Plain(kProbeNamesResource, "[Root]\na=p.exe\n").Plain(kProbeProgramResource, kStub);
  ScriptedSystem untouched;
  EXPECT_FALSE(ProbeBlockedLaunch(1, damaged, untouched));
  EXPECT_TRUE(untouched.Log.empty());
}

TEST(BlockedLaunch, FolderFallsBackToARelativeOneWithoutTheShell) {
  ScriptedSystem system;
  system.Special = "";
  EXPECT_EQ(GetProbeFolder(system), "Tavisk\\");
  EXPECT_EQ(RunAndWait("", system), kRunEmptyPath);
  FakeResources resources;
  EXPECT_FALSE(InstallStub("", resources, system));
  EXPECT_FALSE(InstallStub("x.exe", resources, system)) << "no probe program resource";
}

TEST(LoadProcessNames, KeepsTheOrderOfNonEmptyValues) {
  FakeResources resources;
  resources.Enciphered(kProbeNamesResource, "[Root]\nz=last.exe\na=\nm=mid.exe\n[Other]\nq=no.exe\n");
  rtl::TStringList names;
  names.Add("already");
  LoadProcessNames(&names, resources);
  ASSERT_EQ(names.Count(), 3);
  EXPECT_EQ(names.Strings(1), "last.exe");
  EXPECT_EQ(names.Strings(2), "mid.exe");
  LoadProcessNames(nullptr, resources);
}

}  // namespace
}  // namespace kestrova::detect
