// The scan driver with scripted stages: which stages run, in what order, what lands in the
// finding list, and that both process-wide tables are gone after every scan.
#include <gtest/gtest.h>

#include <stdexcept>

#include "detect/scandriver.h"
#include "detect/tables.h"

namespace kestrova::detect {
namespace {

enum class Outcome { False, True, Throw };

struct Record {
  std::int32_t Kind;
  std::int32_t Hit;
  const char* Label;
};

struct Script {
  bool LoadThrows = false;
  int Rules = 1;              // how many rules the load stage puts in the table
  bool WalkJudged = true;     // what the walk answers: could it judge the namespace
  std::vector<Record> Walk;  // what the walk records; a null Label leaves an empty slot
  bool WalkThrowsAfterRecording = false;
  Outcome Injected = Outcome::False;
  Outcome Blocked = Outcome::False;
};

// Installs scripted stages for one test and puts the previous ones back afterwards.
class ScriptedStages {
 public:
  explicit ScriptedStages(const Script& script) : FSaved(ScanStages()) {
    TScanStages& s = ScanStages();
    s.LoadSignatureTable = [this, script] {
      Log.push_back("load");
      TablesSeenEmpty = SignatureTable && SignatureTable->empty() && ObjectTable && ObjectTable->empty();
      if (script.LoadThrows) throw std::runtime_error("damaged rules");
      for (int i = 0; i < script.Rules; ++i) SignatureTable->push_back(std::make_unique<_svir_def>());
    };
    s.WalkObjectNamespace = [this, script] {
      Log.push_back("walk");
      for (const Record& r : script.Walk) {
        if (r.Label == nullptr) {
          ObjectTable->push_back(nullptr);
          continue;
        }
        auto o = std::make_unique<objs>();
        o->Kind = r.Kind;
        o->Hit = r.Hit;
        o->Label = r.Label;
        ObjectTable->push_back(std::move(o));
      }
      if (script.WalkThrowsAfterRecording) throw std::runtime_error("walk failed");
      return script.WalkJudged;
    };
    s.ProbeInjectedPath = [this, script] {
      Log.push_back("inject");
      return Answer(script.Injected);
    };
    s.ProbeBlockedLaunch = [this, script](int names) {
      Log.push_back("launch " + std::to_string(names));
      return Answer(script.Blocked);
    };
  }
  ~ScriptedStages() { ScanStages() = FSaved; }

  std::vector<std::string> Log;
  bool TablesSeenEmpty = false;

 private:
  static bool Answer(Outcome o) {
    if (o == Outcome::Throw) throw std::runtime_error("probe failed");
    return o == Outcome::True;
  }
  TScanStages FSaved;
};

using Lines = std::vector<std::pair<std::string, int>>;

Lines LinesOf(const FindingList& list) {
  Lines lines;
  for (int i = 0; i < list.Count(); ++i) lines.emplace_back(list.Strings(i), list.Objects(i));
  return lines;
}

struct DriverCase {
  const char* What;
  Script Given;
  Lines Found;
  std::vector<std::string> Stages;
  TScanVerdict Verdict;
};

constexpr auto kFound = TScanVerdict::svFound;
constexpr auto kClean = TScanVerdict::svClean;
constexpr auto kIncomplete = TScanVerdict::svIncomplete;

// Script: {load throws, rules loaded, walk judged, records, walk throws, injected, blocked}.
const DriverCase kDriverCases[] = {
    {"two matches: walk order, no probes",
     {false, 1, true, {{okDevice, 4, "TDL3+ Device"}, {okMutant, 2, "ZeroAccess mutex"}}},
     {{"Rootkit: TDL3+ Device", 0}, {"Rootkit: ZeroAccess mutex", 0}},
     {"load", "walk"}, kFound},
    {"an event carries its hit value, other kinds none",
     {false, 1, true, {{okEvent, 7, "TDL4 event"}, {okSymbolicLink, 9, "TDL link"}}},
     {{"Rootkit: TDL4 event", 7}, {"Rootkit: TDL link", 0}},
     {"load", "walk"}, kFound},
    {"unmatched records and empty slots are skipped, duplicates kept",
     {false, 1, true, {{okDevice, 0, ""}, {okDevice, -3, "negative"}, {0, 0, nullptr}, {okDevice, 4, "X"}, {okDevice, 4, "X"}}},
     {{"Rootkit: X", 0}, {"Rootkit: X", 0}},
     {"load", "walk"}, kFound},
    {"no hit, injected path found",
     {false, 1, true, {{okDevice, 0, ""}}, false, Outcome::True, Outcome::True},
     {{"TDL3 Inject", 0}},
     {"load", "walk", "inject"}, kFound},
    {"no hit, first probe negative, blocked launch found",
     {false, 1, true, {}, false, Outcome::False, Outcome::True},
     {{"TDL4.3", 0}},
     {"load", "walk", "inject", "launch 1"}, kFound},
    {"everything negative after a complete look", {}, {}, {"load", "walk", "inject", "launch 1"}, kClean},
    {"rules that fail to load end the rule block; the probes still run",
     {true, 1, true, {{okDevice, 4, "never walked"}}, false, Outcome::True},
     {{"TDL3 Inject", 0}},
     {"load", "inject"}, kFound},
    {"a failing walk ends the block before its records are collected",
     {false, 1, true, {{okDevice, 4, "recorded"}}, true, Outcome::False, Outcome::True},
     {{"TDL4.3", 0}},
     {"load", "walk", "inject", "launch 1"}, kFound},
    {"a failing injected-path probe counts as negative",
     {false, 1, true, {}, false, Outcome::Throw, Outcome::True},
     {{"TDL4.3", 0}},
     {"load", "walk", "inject", "launch 1"}, kFound},
    {"a failing blocked-launch probe counts as negative",
     {false, 1, true, {}, false, Outcome::False, Outcome::Throw},
     {},
     {"load", "walk", "inject", "launch 1"}, kClean},
    // Could not judge: nothing found is then not a clean machine.
    {"no usable rule", {false, 0, true, {}}, {}, {"load", "walk", "inject", "launch 1"}, kIncomplete},
    {"rules that fail to load", {true, 1, true, {}}, {}, {"load", "inject", "launch 1"}, kIncomplete},
    {"a walk that could not judge the namespace", {false, 1, false, {}}, {}, {"load", "walk", "inject", "launch 1"},
     kIncomplete},
    {"a walk that failed", {false, 1, true, {}, true}, {}, {"load", "walk", "inject", "launch 1"}, kIncomplete},
    {"a finding counts even when the rules did not load",
     {false, 0, true, {{okDevice, 4, "TDL3+ Device"}}}, {{"Rootkit: TDL3+ Device", 0}}, {"load", "walk"}, kFound},
    {"a finding counts even when the walk could not judge",
     {false, 1, false, {}, false, Outcome::True}, {{"TDL3 Inject", 0}}, {"load", "walk", "inject"}, kFound},
};

void PrintTo(const DriverCase& c, std::ostream* os) { *os << c.What; }

class Driver : public ::testing::TestWithParam<DriverCase> {};

TEST_P(Driver, RunsTheStagesInOrderAndCollectsTheFindings) {
  const DriverCase& c = GetParam();
  ScriptedStages stages(c.Given);
  FindingList list;
  ScanForRootkits(&list);
  EXPECT_EQ(LinesOf(list), c.Found) << c.What;
  EXPECT_EQ(stages.Log, c.Stages) << c.What;
  EXPECT_TRUE(stages.TablesSeenEmpty) << "the scan starts from two empty tables";
  EXPECT_FALSE(SignatureTable) << "released after the scan";
  EXPECT_FALSE(ObjectTable) << "released after the scan";
  EXPECT_EQ(DetectRootkits(), !c.Found.empty()) << c.What;
  EXPECT_EQ(DetectRootkitsVerdict(), c.Verdict) << c.What;
  EXPECT_FALSE(SignatureTable);
  EXPECT_FALSE(ObjectTable);
}

INSTANTIATE_TEST_SUITE_P(Scan, Driver, ::testing::ValuesIn(kDriverCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Scan, NullListScansNothing) {
  ScriptedStages stages(Script{});
  ScanForRootkits(nullptr);
  EXPECT_TRUE(stages.Log.empty());
  EXPECT_FALSE(SignatureTable);
  EXPECT_FALSE(ObjectTable);
}

TEST(Scan, FindingsFollowWhatTheListAlreadyHeld) {
  ScriptedStages stages(Script{false, 1, true, {}, false, Outcome::True});
  FindingList list;
  list.AddObject("earlier", 3);
  ScanForRootkits(&list);
  EXPECT_EQ(LinesOf(list), (Lines{{"earlier", 3}, {"TDL3 Inject", 0}}));
}

TEST(Scan, ABuildWithoutStagesFindsNothingButCannotCallItClean) {
  const TScanStages saved = ScanStages();
  ScanStages() = TScanStages{};
  FindingList list;
  ScanForRootkits(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(DetectRootkits());
  EXPECT_EQ(DetectRootkitsVerdict(), TScanVerdict::svIncomplete);
  EXPECT_FALSE(SignatureTable);
  EXPECT_FALSE(ObjectTable);
  ScanStages() = saved;
}

TEST(Tables, FreeObjectTableReleasesEveryRecordAndEmptiesTheList) {
  TObjectTable table;
  table.push_back(std::make_unique<objs>());
  table.push_back(nullptr);
  table.push_back(std::make_unique<objs>());
  FreeObjectTable(table);
  EXPECT_TRUE(table.empty());
}

}  // namespace
}  // namespace kestrova::detect
