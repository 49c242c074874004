// Whole scans by the real program: a clean machine, planted mutex and event (Windows), and the
// probe program really written, started, judged and cleaned up.
#include <gtest/gtest.h>

#include "platform/sharedfile.h"
#include "tests/support/childprocess.h"
#include "tests/support/probeprocess.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrova::testing {
namespace {

constexpr unsigned kTimeoutMs = 60000;
const std::string kProbeName = "tdsskiller.exe";

std::string FirstDigit(const std::string& file) {
  const std::string content = ReadWholeFile(file);
  return content.substr(0, 3);
}

TEST(Scan, ACleanMachineIsCleanAndTheProbeLeavesNothingBehind) {
  if (!RunningAsAdministrator()) GTEST_SKIP() << "the probe folder needs administrator rights";
  const std::string file = MakeTempFolder() + "scan.csv";
  ChildProcess run(ProgramBeside("kestrova"), {"/c", file});
  EXPECT_EQ(run.Wait(kTimeoutMs), 0);
  EXPECT_EQ(FirstDigit(file), "0, ");
  EXPECT_TRUE(FileExists(RealProbeFolder()));
  EXPECT_FALSE(FileExists(RealProbeFolder() + kProbeName));
}

TEST(Scan, TheProbeProgramEndedWith0IsAFindingAndStays) {
  if (!RunningAsAdministrator()) GTEST_SKIP() << "the probe folder needs administrator rights";
  // A probe program that waits, so that it can be ended from outside: with 5 as it always ends,
  // then with 0 as a rootkit that refuses it would end it.
  const std::string slowName = "kestrova-slowprobe.exe";
  std::remove((RealProbeFolder() + slowName).c_str());
  for (int exitCode : {5, 0}) {
    const std::string file = MakeTempFolder() + "scan.csv";
    ChildProcess run(ProgramBeside("kestrova_slowprobe"), {"/c", file});
    ASSERT_TRUE(EndProbeProcess(slowName, run.Pid(), exitCode, kTimeoutMs)) << "the probe program never ran";
    EXPECT_EQ(run.Wait(kTimeoutMs), exitCode == 0 ? 1 : 0);
    EXPECT_EQ(FirstDigit(file), exitCode == 0 ? "1, " : "0, ");
    EXPECT_EQ(FileExists(RealProbeFolder() + slowName), exitCode == 0);
  }
  std::remove((RealProbeFolder() + slowName).c_str());
}

TEST(Scan, AScanThatCouldNotJudgeIsNeverReportedClean) {
  struct {
    const char* Program;
    bool OnlyFindings;  // with /i
    int ExitCode;
    const char* Line;   // nullptr: nothing written
  } cases[] = {
      {"kestrova_damagedrules", false, 2, "2, "},
      {"kestrova_damagedrules", true, 2, "2, "},
      {"kestrova_damagedfound", false, 1, "1, "},
      {"kestrova", true, 0, nullptr},
  };
  for (const auto& c : cases) {
    const std::string file = MakeTempFolder() + "scan.csv";
    std::vector<std::string> args = {"/c", file};
    if (c.OnlyFindings) args.push_back("/i");
    ChildProcess run(ProgramBeside(c.Program), args);
    EXPECT_EQ(run.Wait(kTimeoutMs), c.ExitCode) << c.Program;
    EXPECT_EQ(FirstDigit(file), c.Line != nullptr ? c.Line : "") << c.Program;
  }
}

#ifdef _WIN32
// Holds the named objects for as long as it lives; its stop event tells that it is ready.
class Holder {
 public:
  Holder(const std::string& mutex, const std::string& event)
      : FStopName(event + "-stop"), FProcess(ProgramBeside("kestrova_holder"), {mutex, event}) {
    for (int i = 0; i < 200 && FStop == nullptr; ++i, SleepMs(50))
      FStop = OpenEventA(EVENT_MODIFY_STATE, FALSE, FStopName.c_str());
  }
  ~Holder() {
    if (FStop != nullptr) SetEvent(FStop), CloseHandle(FStop);
    FProcess.Wait(kTimeoutMs);
  }
  bool Ready() const { return FStop != nullptr; }

 private:
  std::string FStopName;
  ChildProcess FProcess;
  HANDLE FStop = nullptr;
};

TEST(Scan, AMutexOrAnEventNamedByTheRulesIsFound) {
  struct {
    const char* What;
    const char* Mutex;
    const char* Event;
    int ExitCode;
  } cases[] = {
      {"neither", "Kestrova-other-mutex", "Kestrova-other-event", 0},
      {"the mutex", "Kestrova-e2e-mutex", "Kestrova-other-event", 1},
      {"the event", "Kestrova-other-mutex", "Kestrova-e2e-event", 1},
  };
  for (const auto& c : cases) {
    const std::string file = MakeTempFolder() + "scan.csv";
    Holder holder(c.Mutex, c.Event);
    ASSERT_TRUE(holder.Ready()) << "the holder never started";
    ChildProcess run(ProgramBeside("kestrova_plantedrules"), {"/c", file});
    EXPECT_EQ(run.Wait(kTimeoutMs), c.ExitCode) << c.What;
    EXPECT_EQ(FirstDigit(file), std::to_string(c.ExitCode) + ", ") << c.What;
  }
}
#endif

}  // namespace
}  // namespace kestrova::testing
