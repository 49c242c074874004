// The walk over a made-up namespace: what is recorded, in what order, with which texts, and
// which rule or heuristic marks it.
#include <gtest/gtest.h>

#include "detect/namespacewalk.h"
#include "detect/tables.h"
#include "platform/ansitext.h"
#include "tests/support/syntheticnamespace.h"

namespace kestrova::detect {
namespace {

using testing::SyntheticNamespace;

struct Rule {
  const char* Name;
  std::int32_t RootValue;
  const char* Pattern;
  std::int32_t Compare;
  std::int32_t Objtype;
};

// Fresh tables for one test, released again afterwards.
class Tables {
 public:
  explicit Tables(const std::vector<Rule>& rules = {}) {
    SignatureTable = std::make_unique<TSignatureTable>();
    ObjectTable = std::make_unique<TObjectTable>();
    for (const Rule& r : rules) {
      auto rule = std::make_unique<_svir_def>();
      rule->Name = r.Name;
      rule->RootValue = r.RootValue;
      rule->Pattern = r.Pattern;
      rule->Compare = r.Compare;
      rule->Objtype = r.Objtype;
      SignatureTable->push_back(std::move(rule));
    }
  }
  ~Tables() {
    SignatureTable.reset();
    ObjectTable.reset();
  }
  // "Dir|Name|Target|Kind|Hit|Label" per record, in table order.
  static std::vector<std::string> Records() {
    std::vector<std::string> out;
    for (const auto& o : *ObjectTable)
      out.push_back(o->Dir + "|" + o->Name + "|" + o->Target + "|" + std::to_string(o->Kind) + "|" +
                    std::to_string(o->Hit) + "|" + o->Label);
    return out;
  }
};

TEST(Walk, RecordsTheFourKindsDepthFirstAndDescendsDirectories) {
  SyntheticNamespace ns;
  ns.Add(u"\\", u"Device", u"Directory");
  ns.Add(u"\\", u"GLOBAL??", u"Directory");
  ns.Add(u"\\", u"ObjectTypes", u"Type");
  ns.Add(u"\\Device", u"Beep", u"Device");
  ns.Add(u"\\Device", u"Sub", u"Directory");
  ns.Add(u"\\Device\\Sub", u"M", u"Mutant");
  ns.Add(u"\\Device", u"Null", u"Device");
  ns.Add(u"\\GLOBAL??", u"C:", u"SymbolicLink");
  ns.Add(u"\\GLOBAL??", u"Lost", u"SymbolicLink");
  ns.Add(u"\\GLOBAL??", u"E", u"Event");
  ns.Add(u"\\GLOBAL??", u"S", u"Section");
  ns.Add(u"\\GLOBAL??", u"event", u"event");
  ns.Links[u"\\GLOBAL??\\C:"] = u"\\Device\\HarddiskVolume1";
  Tables tables;
  EXPECT_TRUE(WalkObjectNamespace(ns));
  EXPECT_EQ(Tables::Records(), (std::vector<std::string>{
                                   "\\Device|Beep||1|0|",
                                   "\\Device\\Sub|M||3|0|",
                                   "\\Device|Null||1|0|",
                                   "\\GLOBAL??|C:|\\Device\\HarddiskVolume1|2|0|",
                                   "\\GLOBAL??|Lost||2|0|",
                                   "\\GLOBAL??|E||4|0|",
                               }));
  EXPECT_EQ(ns.OpenNow, 0) << "every directory closed again";
}

TEST(Walk, MissingLibraryWalksNothing) {
  SyntheticNamespace ns;
  ns.Loads = false;
  ns.Add(u"\\", u"abcdefgh", u"Device");
  Tables tables;
  EXPECT_FALSE(WalkObjectNamespace(ns));
  EXPECT_TRUE(ns.Opened.empty());
  EXPECT_TRUE(ObjectTable->empty());
}

TEST(Walk, ARefusedDirectoryIsSkippedWithItsSubtreeAndItsSiblingsStillWalked) {
  SyntheticNamespace ns;
  ns.Add(u"\\", u"Locked", u"Directory");
  ns.Add(u"\\Locked", u"Inner", u"Directory");
  ns.Add(u"\\Locked\\Inner", u"x", u"Mutant");
  ns.Add(u"\\", u"Open", u"Directory");
  ns.Add(u"\\Open", u"y", u"Mutant");
  ns.Refused.insert(u"\\Locked");
  Tables tables;
  WalkObjectNamespace(ns);
  EXPECT_EQ(Tables::Records(), std::vector<std::string>{"\\Open|y||3|0|"});
}

TEST(Walk, NamesOutsideTheAnsiCodePageAreStillWalkedBelow) {
  SyntheticNamespace ns;
  ns.Add(u"\\", u"\u4e2d", u"Directory");
  ns.Add(u"\\\u4e2d", u"abcdefgh", u"Device");
  Tables tables;
  WalkObjectNamespace(ns);
  ASSERT_EQ(ObjectTable->size(), 1u);
  EXPECT_EQ((*ObjectTable)[0]->Name, "abcdefgh");
}

TEST(Walk, OnlyAMissingLibraryOrAnUnopenableRootLeaveTheNamespaceUnjudged) {
  struct {
    const char* What;
    bool Loads;
    const char* Refused;
    bool Judged;
  } cases[] = {
      {"a complete walk", true, nullptr, true},
      {"an unreadable subdirectory is harmless", true, "\\Locked", true},
      {"the root refused", true, "\\", false},
      {"the library or an entry point missing", false, nullptr, false},
  };
  for (const auto& c : cases) {
    SyntheticNamespace ns;
    ns.Loads = c.Loads;
    ns.Add(u"\\", u"Locked", u"Directory");
    ns.Add(u"\\", u"Lost", u"SymbolicLink");  // its target cannot be read: harmless too
    if (c.Refused != nullptr) ns.Refused.insert(platform::AnsiToWide(c.Refused));
    Tables tables;
    EXPECT_EQ(WalkJudgesNamespace(ns), c.Judged) << c.What;
  }
  Tables tables;
  // Windows: the real root opens. Linux: there is no namespace, so nothing is left unjudged.
  EXPECT_TRUE(WalkJudgesNamespace(platform::SystemObjectNamespace()));
}

struct MarkCase {
  const char* What;
  std::vector<Rule> Rules;
  const char* Dir;
  const char* Name;
  std::int32_t Kind;
  const char* Extra;
  std::int32_t Hit;
  const char* Label;
};

const MarkCase kMarkCases[] = {
    {"8 lower-case letters in the root", {}, "\\", "abcdefgh", okDevice, "", 4, "TDL3+ Device"},
    {"digits are not upper case", {}, "\\", "abcdefg1", okDevice, "", 4, "TDL3+ Device"},
    {"an upper-case letter", {}, "\\", "Abcdefgh", okDevice, "", 0, ""},
    {"nine letters", {}, "\\", "abcdefghi", okDevice, "", 0, ""},
    {"not in the root", {}, "\\Device", "abcdefgh", okDevice, "", 0, ""},
    {"not a device", {}, "\\", "abcdefgh", okMutant, "", 0, ""},
    {"a rule replaces the heuristic", {{"R", 9, "\\ABC", 2, 0}}, "\\", "abcdefgh", okDevice, "", 9, "R"},
    {"containment over the upper-cased subject", {{"Beep", 3, "DEVICEBEEP", 2, 0}}, "\\Device", "Beep", okDevice, "", 3,
     "Beep"},
    {"a lower-case containment pattern never matches", {{"Beep", 3, "devicebeep", 2, 0}}, "\\Device", "Beep",
     okDevice, "", 0, ""},
    {"whole text ignores case", {{"Beep", 5, "\\devicebeep", 1, 0}}, "\\Device", "Beep", okDevice, "", 5, "Beep"},
    {"whole text is the whole text", {{"Beep", 5, "\\device", 1, 0}}, "\\Device", "Beep", okDevice, "", 0, ""},
    {"wrong kind", {{"M", 5, "\\DEVICEBEEP", 1, okMutant}}, "\\Device", "Beep", okDevice, "", 0, ""},
    {"kind above 4 matches nothing", {{"M", 5, "BEEP", 2, 5}}, "\\Device", "Beep", okDevice, "", 0, ""},
    {"compare 3 never matches", {{"M", 5, "\\DEVICEBEEP", 3, 0}}, "\\Device", "Beep", okDevice, "", 0, ""},
    {"the later of two matching rules decides",
     {{"First", 1, "BEEP", 2, 0}, {"Second", 2, "\\devicebeep", 1, 1}, {"Other", 3, "NOPE", 2, 0}}, "\\Device",
     "Beep", okDevice, "", 2, "Second"},
    {"a link's target is part of its subject", {{"L", 6, "X1\\DEVICE\\VOLUME1", 2, okSymbolicLink}}, "\\Links",
     "X1", okSymbolicLink, "\\Device\\Volume1", 6, "L"},
    {"an event carries the rule's value", {{"E", 7, "\\BASENAMEDOBJECTS\\EV", 1, okEvent}}, "\\BaseNamedObjects",
     "\\Ev", okEvent, "", 7, "E"},
};

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.What; }

class Mark : public ::testing::TestWithParam<MarkCase> {};

TEST_P(Mark, RulesAndHeuristicMarkTheRecord) {
  const MarkCase& c = GetParam();
  Tables tables(c.Rules);
  RecordObject(c.Name, c.Dir, c.Kind, c.Extra);
  ASSERT_EQ(ObjectTable->size(), 1u);
  const objs& o = *(*ObjectTable)[0];
  EXPECT_EQ(o.Dir, c.Dir);
  EXPECT_EQ(o.Name, c.Name);
  EXPECT_EQ(o.Target, c.Extra);
  EXPECT_EQ(o.Kind, c.Kind);
  EXPECT_EQ(o.Hit, c.Hit);
  EXPECT_EQ(o.Label, c.Label);
}

INSTANTIATE_TEST_SUITE_P(Walk, Mark, ::testing::ValuesIn(kMarkCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace kestrova::detect
