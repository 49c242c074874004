// The real program, started with real arguments against real files: which file gets which line,
// the exit codes, the message for a switch in the target's place, and many runs at one moment.
#include <gtest/gtest.h>

#include <regex>

#include "app/reportmode.h"
#include "platform/datetime.h"
#include "platform/sharedfile.h"
#include "platform/sysinfo.h"
#include "tests/support/childprocess.h"

namespace kestrova::testing {
namespace {

constexpr unsigned kRunTimeoutMs = 30000;

std::string Shipped() { return ProgramBeside("kestrova"); }
std::string Planted() { return ProgramBeside("kestrova_found"); }

// One "D, NAME, date time" + CR LF line per entry of digits; the date is today's.
void ExpectLines(const std::string& content, const std::string& digits) {
  const std::string name = platform::ComputerName();
  const std::string today = platform::FormatShortDate(platform::CurrentLocalTime());
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < content.size();) {
    std::size_t end = content.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "line not ended by CR LF: " << content.substr(at);
    lines.push_back(content.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), digits.size()) << content;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string head = std::string(1, digits[i]) + ", " + name + ", ";
    EXPECT_EQ(lines[i].substr(0, head.size()), head) << lines[i];
    const std::string when = lines[i].substr(std::min(head.size(), lines[i].size()));
    EXPECT_EQ(when.substr(0, today.size()), today) << lines[i];
    EXPECT_EQ(when.find_first_of("\r\n"), std::string::npos);
  }
}

struct RunResult {
  int ExitCode;
  std::string Message;
};

// Runs the program to its end; a message box it shows is answered, and its text returned.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, bool expectMessage) {
  ChildProcess child(program, args);
  EXPECT_TRUE(child.Started()) << program;
  RunResult r;
  r.Message = expectMessage ? child.AnswerMessageBox(kRunTimeoutMs) : std::string();
  r.ExitCode = child.Wait(kRunTimeoutMs);
  std::string err = child.StdErr();
  if (!err.empty()) r.Message = err.substr(0, err.find('\n'));
  return r;
}

struct CommandLineCase {
  const char* What;
  std::vector<std::string> Args;  // "{file}", "{folder}", "{txt}" stand for places in a fresh folder
  bool Planted;
  int ExitCode;
  const char* WrittenFile;  // nullptr: nothing written; "{name}.csv": the computer name's file
  char Digit;
  bool Message;
};

const CommandLineCase kCommandLineCases[] = {
    {"no arguments: interactive", {}, false, 0, nullptr, 0, false},
    {"/C is not the report switch", {"/C", "{file}"}, false, 0, nullptr, 0, false},
    {"-c is not the report switch", {"-c", "{file}"}, false, 0, nullptr, 0, false},
    {"/c alone: a scan, nothing written", {"/c"}, false, 0, nullptr, 0, false},
    {"/c alone, found", {"/c"}, true, 1, nullptr, 0, false},
    {"/i in the target's place", {"/c", "/i"}, false, 0, nullptr, 0, true},
    {"/i in the target's place, found", {"/c", "/i"}, true, 1, nullptr, 0, true},
    {"file target, clean", {"/c", "{file}"}, false, 0, "report.csv", '0', false},
    {"file target, found", {"/c", "{file}"}, true, 1, "report.csv", '1', false},
    {"/i on a clean machine writes nothing", {"/c", "{file}", "/i"}, false, 0, nullptr, 0, false},
    {"/i with a finding", {"/c", "{file}", "/i"}, true, 1, "report.csv", '1', false},
    {"/I is not the qualifier", {"/c", "{file}", "/I"}, false, 0, "report.csv", '0', false},
    {"further arguments are ignored", {"/c", "{file}", "/x", "/i"}, false, 0, "report.csv", '0', false},
    {"folder target gets NAME.csv", {"/c", "{folder}"}, false, 0, "{name}.csv", '0', false},
    {"no .csv added to a file name", {"/c", "{txt}"}, false, 0, "scan.txt", '0', false},
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.What; }

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, WritesExactlyWhatTheArgumentsAskFor) {
  const CommandLineCase& c = GetParam();
  const std::string folder = MakeTempFolder();
  std::vector<std::string> args;
  for (std::string a : c.Args) {
    if (a == "{file}") a = folder + "report.csv";
    if (a == "{folder}") a = folder;
    if (a == "{txt}") a = folder + "scan.txt";
    args.push_back(a);
  }
  RunResult r = RunProgram(c.Planted ? Planted() : Shipped(), args, c.Message);
  EXPECT_EQ(r.ExitCode, c.ExitCode);
  EXPECT_EQ(r.Message, c.Message ? app::kIncorrectCommandLine : "");

  std::vector<std::string> expected;
  if (c.WrittenFile != nullptr) {
    std::string file = c.WrittenFile;
    if (file == "{name}.csv") file = platform::ComputerName() + ".csv";
    expected.push_back(file);
    ExpectLines(ReadWholeFile(folder + file), std::string(1, c.Digit));
  }
  EXPECT_EQ(ListFolder(folder), expected);
}

INSTANTIATE_TEST_SUITE_P(ReportMode, CommandLine, ::testing::ValuesIn(kCommandLineCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ReportFile, LaterRunsFollowEarlierContentUntouched) {
  const std::string file = MakeTempFolder() + "shared.csv";
  const std::string earlier = "1, OTHER-PC, 12/6/2026 10:39:35 AM\r\n";
  WriteWholeFile(file, earlier);
  EXPECT_EQ(RunProgram(Shipped(), {"/c", file}, false).ExitCode, 0);
  EXPECT_EQ(RunProgram(Planted(), {"/c", file}, false).ExitCode, 1);
  const std::string content = ReadWholeFile(file);
  ASSERT_EQ(content.substr(0, earlier.size()), earlier);
  ExpectLines(content.substr(earlier.size()), "01");
}

TEST(ReportFile, UnwritableTargetLosesTheLineButNotTheExitCode) {
  const std::string folder = MakeTempFolder();
  const std::string missing = folder + "no-such-folder" + FolderSeparator() + "report.csv";
  EXPECT_EQ(RunProgram(Planted(), {"/c", missing}, false).ExitCode, 1);
  EXPECT_EQ(RunProgram(Shipped(), {"/c", folder + "no-such-folder" + FolderSeparator()}, false).ExitCode, 0);
  EXPECT_EQ(ListFolder(folder), std::vector<std::string>{});
}

// Another machine's run, or a reader that denies writing, holds the file for a moment: the line
// waits for it instead of being lost.
TEST(ReportFile, WaitsForAFileHeldForAMoment) {
  for (FileHolder::How how : {FileHolder::How::Lock, FileHolder::How::DenyWrite}) {
    const std::string file = MakeTempFolder() + "held.csv";
    FileHolder holder(file, how);
    ASSERT_TRUE(holder.Holding());
    ChildProcess child(Shipped(), {"/c", file});
    SleepMs(1000);
    EXPECT_TRUE(child.Running());
    EXPECT_EQ(ReadWholeFile(file), "");
    holder.Release();
    EXPECT_EQ(child.Wait(kRunTimeoutMs), 0);
    ExpectLines(ReadWholeFile(file), "0");
  }
}

TEST(ReportFile, GivesUpOnAFileHeldTooLongAndKeepsTheExitCode) {
  const std::string file = MakeTempFolder() + "held.csv";
  FileHolder holder(file, FileHolder::How::Lock);
  ASSERT_TRUE(holder.Holding());
  EXPECT_EQ(RunProgram(Planted(), {"/c", file}, false).ExitCode, 1);
  holder.Release();
  EXPECT_EQ(ReadWholeFile(file), "");
}

TEST(ReportFile, SixtyFourRunsAtOnceLeaveSixtyFourWholeLines) {
  const std::string file = MakeTempFolder() + "fleet.csv";
  std::vector<std::unique_ptr<ChildProcess>> runs;
  for (int i = 0; i < 64; ++i) runs.push_back(std::make_unique<ChildProcess>(Shipped(), std::vector<std::string>{"/c", file}));
  for (auto& run : runs) EXPECT_EQ(run->Wait(120000), 0);
  ExpectLines(ReadWholeFile(file), std::string(64, '0'));
}

TEST(ReportFile, FolderTargetOnTheUnixDrive) {
  if (!RunningUnderWine()) GTEST_SKIP() << "Wine's Z: drive only";
  const std::string folder = "Z:\\tmp\\kestrova-e2e-" + std::to_string(platform::ProcessId()) + "\\";
  CreateFolder(folder);
  EXPECT_EQ(RunProgram(Shipped(), {"/c", folder}, false).ExitCode, 0);
  const std::string name = platform::ComputerName() + ".csv";
  EXPECT_EQ(ListFolder(folder), std::vector<std::string>{name});
  ExpectLines(ReadWholeFile(folder + name), "0");
}

}  // namespace
}  // namespace kestrova::testing
