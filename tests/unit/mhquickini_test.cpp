#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/rtl/errors.h"
#include "store/mhquickini.h"
#include "tests/support/childprocess.h"

namespace kestrova::store {
namespace {

std::unique_ptr<TmhQuickIni> FromText(const std::string& text) {
  rtl::TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  stream.SetPosition(0);
  return std::make_unique<TmhQuickIni>(stream);
}

std::string Joined(const rtl::TStringList& list) {
  std::string s;
  for (int i = 0; i < list.Count(); ++i) s += (i ? "|" : "") + list.Strings(i);
  return s;
}

// The section index as "text@position|...".
std::string Index(const TmhQuickIni& ini) {
  std::string s;
  for (int i = 0; i < ini.Sections().Count(); ++i)
    s += (i ? "|" : "") + ini.Sections().Strings(i) + "@" + std::to_string(ini.Sections().Objects(i));
  return s;
}

// Every index entry names the header line that stands at its position.
void ExpectIndexInStep(const TmhQuickIni& ini) {
  for (int i = 0; i < ini.Sections().Count(); ++i) {
    const int at = ini.Sections().Objects(i);
    ASSERT_LT(at, ini.Lines().Count()) << Index(ini);
    EXPECT_EQ(ini.Lines().Strings(at), ini.Sections().Strings(i)) << Index(ini);
  }
}

TEST(QuickIniLoad, SplitsTrimsAndDropsBlankLinesAndComments) {
  struct {
    std::string Text;
    const char* Lines;
    const char* Sections;
  } cases[] = {
      {"", "", ""},
      {"\r\n\n  \t\r", "", ""},
      {"a=1\r\nb=2\nc=3\rd=4", "a=1|b=2|c=3|d=4", ""},
      {"a\r\r\nb\n\rc", "a|b|c", ""},
      {std::string("a=1\0b=2", 7), "a=1", ""},
      {std::string("[S]\nx=1\n\0[T]\ny=2", 16), "[S]|x=1", "[S]@0"},
      {"  \x01key = value \x1f\t\n", "key = value", ""},
      {"; note\n   ;note\nx=1 ;note\n;[Hidden]\n", "x=1 ;note", ""},
      {"[A]\n[]\n[\n ] \n[ Main ]\n[B] x\n", "[A]|[]|[|]|[ Main ]|[B] x", "[A]@0|[]@1|[ Main ]@4"},
      {"k=1\n[S]\nk=2", "k=1|[S]|k=2", "[S]@1"},
  };
  for (const auto& c : cases) {
    auto ini = FromText(c.Text);
    EXPECT_EQ(Joined(ini->Lines()), c.Lines) << c.Text;
    EXPECT_EQ(Index(*ini), c.Sections) << c.Text;
  }
}

TEST(QuickIniLoad, ReadsFromTheStreamPositionAndReplacesTheOldContent) {
  rtl::TMemoryStream stream;
  const std::string text = "[Old]\na=1\n[New]\nb=2\n";
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  stream.SetPosition(0);
  TmhQuickIni ini(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  stream.SetPosition(10);  // "[New]..."
  ini.LoadFromStream(stream);
  EXPECT_EQ(Joined(ini.Lines()), "[New]|b=2");
  EXPECT_EQ(Index(ini), "[New]@0");
  stream.SetPosition(stream.Size());
  ini.LoadFromStream(stream);
  EXPECT_EQ(ini.Lines().Count(), 0);
  EXPECT_EQ(ini.Sections().Count(), 0);
}

const char kRules[] =
    "orphan=1\n"
    "[Main]\n"
    "  Key  =  some value  \n"
    "dup=first\n"
    "dup=second\n"
    "empty=\n"
    "noequals\n"
    "=novalue\n"
    "a = b = c\n"
    "[main]\n"
    "shadowed=1\n"
    "[ Spaced ]\n"
    "inner=1\n"
    "[Last]\n"
    "k=v\n";

TEST(QuickIniRead, StringsFollowTheMatchingRules) {
  auto ini = FromText(kRules);
  struct {
    const char* Section;
    const char* Name;
    const char* Expected;
  } cases[] = {
      {"Main", "Key", "some value"},
      {"MAIN", "Key", "some value"},      // sections fold case
      {"main", "shadowed", "def"},        // the first of [Main] and [main] wins
      {"Main", "key", "def"},             // names do not
      {"Main", "dup", "first"},           // the first key wins
      {"Main", "empty", "def"},           // an empty value gives the default
      {"Main", "noequals", "def"},
      {"Main", "", "def"},                // an empty name always gives the default
      {"Main", "a", "b = c"},
      {"Main", "orphan", "def"},          // keys before any header are out of reach
      {"", "orphan", "def"},
      {"Spaced", "inner", "def"},         // blanks inside the brackets count
      {" Spaced ", "inner", "1"},
      {"Last", "k", "v"},
      {"Missing", "k", "def"},
      {"Main", " Key", "def"},            // arguments are never trimmed
  };
  for (const auto& c : cases) EXPECT_EQ(ini->ReadString(c.Section, c.Name, "def"), c.Expected) << c.Section << "/" << c.Name;
}

TEST(QuickIniRead, IntegersAndBooleans) {
  struct {
    const char* Value;
    std::int32_t Integer;  // with the default 77
    bool Bool;             // with the default true
  } cases[] = {
      {"0x1F", 31, true},
      {"0X1f", 31, true},
      {"$1f", 31, true},
      {"x10", 16, true},
      {"0x", 77, true},
      {"$", 77, true},
      {"12abc", 77, true},
      {"2147483647", 2147483647, true},
      {"2147483648", 77, true},
      {"-2147483648", -2147483647 - 1, true},
      {"-2147483649", 77, true},
      {"+12", 12, true},
      {"-0", 0, false},
      {"007", 7, true},
      {"$FFFFFFFF", -1, true},
      {"$000000001", 1, true},        // leading zeros are not significant
      {"$100000000", 77, true},       // nine significant digits
      {"-$10", 77, true},
      {"0", 0, false},
      {"2", 2, true},
      {"-1", -1, true},
      {"$10", 16, true},
      {"yes", 77, true},
      {"true", 77, true},
      {"1 2", 77, true},
      {"", 77, true},
  };
  for (const auto& c : cases) {
    auto ini = FromText(std::string("[S]\nk=") + c.Value + "\n");
    EXPECT_EQ(ini->ReadInteger("S", "k", 77), c.Integer) << c.Value;
    EXPECT_EQ(ini->ReadBool("S", "k", true), c.Bool) << c.Value;
  }
  auto ini = FromText("[S]\nk=yes\nz=0\n");
  EXPECT_FALSE(ini->ReadBool("S", "k", false));
  EXPECT_FALSE(ini->ReadBool("S", "z", true));
  EXPECT_TRUE(ini->ReadBool("S", "missing", true));
}

TEST(QuickIniRead, ListsOfNamesSectionsAndLines) {
  auto ini = FromText(kRules);
  rtl::TStringList list;
  list.Add("stale");
  ini->ReadSection("Main", &list);
  EXPECT_EQ(Joined(list), "Key|dup|dup|empty|a");
  ini->ReadSectionValues("main", &list);
  EXPECT_EQ(Joined(list), "Key  =  some value|dup=first|dup=second|empty=|noequals|=novalue|a = b = c");
  ini->ReadSections(&list);
  EXPECT_EQ(Joined(list), "Main|main|Spaced|Last");
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Objects(i), 0);
  ini->ReadSection("Missing", &list);
  EXPECT_EQ(list.Count(), 0);
  list.Add("stale");
  ini->ReadSectionValues("Missing", &list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.UpdateCount(), 0);

  auto empty = FromText("");
  list.Add("stale");
  empty->ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(empty->ReadString("Main", "Key", "d"), "d");
}

TEST(QuickIniRead, AMissingTargetListIsAnAssertion) {
  auto ini = FromText(kRules);
  for (int which = 0; which < 3; ++which) {
    try {
      if (which == 0) ini->ReadSection("Main", nullptr);
      if (which == 1) ini->ReadSections(nullptr);
      if (which == 2) ini->ReadSectionValues("Main", nullptr);
      ADD_FAILURE() << "no assertion from operation " << which;
    } catch (const rtl::EAssertionFailed& e) {
      EXPECT_EQ(std::string(e.what()).rfind("The parameter Strings is unassigned! (mhQuickIni, line ", 0), 0u) << e.what();
    }
  }
}

TEST(QuickIniRead, NamesAndValuesOfSingleLines) {
  EXPECT_EQ(TmhQuickIni::GetName("  a = b = c"), "a");
  EXPECT_EQ(TmhQuickIni::GetName("noequals"), "");
  EXPECT_EQ(TmhQuickIni::GetName("=x"), "");
  EXPECT_EQ(TmhQuickIni::GetValue(" a = b = c ", "a"), "b = c");
  EXPECT_EQ(TmhQuickIni::GetValue("a=1", "A"), "");
  EXPECT_EQ(TmhQuickIni::GetValue("=1", ""), "");
  EXPECT_EQ(TmhQuickIni::GetValue("a", "a"), "");
  EXPECT_TRUE(TmhQuickIni::IsSection(" [x] "));
  EXPECT_TRUE(TmhQuickIni::IsSection("[]"));
  EXPECT_FALSE(TmhQuickIni::IsSection("["));
  EXPECT_FALSE(TmhQuickIni::IsSection("]"));
  EXPECT_FALSE(TmhQuickIni::IsSection(""));
  EXPECT_FALSE(TmhQuickIni::IsSection("[x] y"));
}

const char kThree[] = "[A]\na=1\n[B]\nb=2\nb2=3\n[C]\nc=4\n";

TEST(QuickIniEdit, WritesKeepEveryLaterSectionReadable) {
  auto ini = FromText(kThree);
  ini->WriteString("A", "new", "x");       // inserted before [B]: [B] and [C] move down
  ExpectIndexInStep(*ini);
  ini->WriteString("B", "b", " spaced ");  // replaced in place
  ini->WriteInteger("C", "n", -5);         // appended at the end
  ini->WriteBool("B", "t", true);
  ini->WriteString("D", "d", "9");         // a new section at the end
  ini->WriteString("E", "", "ignored");    // only the header
  ini->WriteString("A", "", "ignored");    // nothing at all
  ExpectIndexInStep(*ini);
  EXPECT_EQ(Joined(ini->Lines()), "[A]|a=1|new=x|[B]|b= spaced |b2=3|t=1|[C]|c=4|n=-5|[D]|d=9|[E]");
  EXPECT_EQ(Index(*ini), "[A]@0|[B]@3|[C]@7|[D]@10|[E]@12");
  EXPECT_EQ(ini->ReadString("A", "new", ""), "x");
  EXPECT_EQ(ini->ReadString("B", "b", ""), "spaced");
  EXPECT_EQ(ini->ReadString("B", "b2", ""), "3");
  EXPECT_EQ(ini->ReadInteger("C", "c", 0), 4);
  EXPECT_EQ(ini->ReadInteger("C", "n", 0), -5);
  EXPECT_TRUE(ini->ReadBool("B", "t", false));
  EXPECT_EQ(ini->ReadString("D", "d", ""), "9");
  EXPECT_EQ(ini->GetSectionIndex("e"), 12);
}

TEST(QuickIniEdit, DeletesKeepTheIndexInStep) {
  auto ini = FromText(kThree);
  ini->DeleteKey("B", "b");
  ini->DeleteKey("B", "missing");
  ini->DeleteKey("Missing", "a");
  ExpectIndexInStep(*ini);
  EXPECT_EQ(Joined(ini->Lines()), "[A]|a=1|[B]|b2=3|[C]|c=4");
  EXPECT_EQ(ini->ReadString("C", "c", ""), "4");

  // An empty name deletes the first line without a name: one without "=" or beginning with it.
  auto nameless = FromText("[S]\nk=1\nplain\n=v\n[T]\nt=1\n");
  nameless->DeleteKey("S", "");
  EXPECT_EQ(Joined(nameless->Lines()), "[S]|k=1|=v|[T]|t=1");
  nameless->DeleteKey("S", "");
  EXPECT_EQ(Joined(nameless->Lines()), "[S]|k=1|[T]|t=1");
  ExpectIndexInStep(*nameless);
}

TEST(QuickIniEdit, ErasingASectionLeavesAnEmptyLineUnlessItWasFirst) {
  struct {
    const char* Section;
    const char* Lines;
    const char* Index;
  } cases[] = {
      {"B", "[A]|a=1||[C]|c=4", "[A]@0|[C]@3"},
      {"A", "[B]|b=2|b2=3|[C]|c=4", "[B]@0|[C]@3"},
      {"c", "[A]|a=1|[B]|b=2|b2=3|", "[A]@0|[B]@2"},
      {"Z", "[A]|a=1|[B]|b=2|b2=3|[C]|c=4", "[A]@0|[B]@2|[C]@5"},
  };
  for (const auto& c : cases) {
    auto ini = FromText(kThree);
    ini->EraseSection(c.Section);
    EXPECT_EQ(Joined(ini->Lines()), c.Lines) << c.Section;
    EXPECT_EQ(Index(*ini), c.Index) << c.Section;
    ExpectIndexInStep(*ini);
    EXPECT_EQ(ini->GetSectionIndex(c.Section), -1);
  }
  auto ini = FromText(kThree);
  ini->EraseSection("B");
  EXPECT_EQ(ini->ReadString("A", "a", ""), "1");
  EXPECT_EQ(ini->ReadString("C", "c", ""), "4");
  rtl::TStringList values;
  ini->ReadSectionValues("A", &values);  // the empty line is no value
  EXPECT_EQ(Joined(values), "a=1");
  ini->WriteString("A", "later", "1");   // and the section ends before [C] still
  EXPECT_EQ(Joined(ini->Lines()), "[A]|a=1||later=1|[C]|c=4");
  ExpectIndexInStep(*ini);
}

TEST(QuickIniEdit, ASetListIsIndexedOnlyWhereItsLinesAreBracketsAsStored) {
  auto ini = FromText("[Gone]\nx=1\n");
  rtl::TStringList source;
  for (const char* line : {"[A]", "a=1", " [B] ", "b=1", "", "[C]", "c=1"}) source.AddObject(line, 99);
  ini->SetIniFile(source);
  EXPECT_EQ(Index(*ini), "[A]@0|[C]@5");
  EXPECT_EQ(ini->Lines().Objects(0), 0);
  EXPECT_EQ(ini->ReadString("B", "b", "def"), "def");  // not indexed...
  EXPECT_EQ(ini->ReadString("A", "b", "def"), "def");  // ...but it still ends [A]
  EXPECT_EQ(ini->ReadString("C", "c", ""), "1");
  ini->Clear();
  EXPECT_EQ(ini->Lines().Count(), 0);
  EXPECT_EQ(ini->Sections().Count(), 0);
  EXPECT_EQ(ini->ReadString("C", "c", "def"), "def");
}

TEST(QuickIniFile, WritesReachTheFileOnlyWithAutoSave) {
  const std::string folder = testing::MakeTempFolder();
  const std::string name = folder + "rules.ini";
  TmhQuickIni ini(name);  // no such file: empty, no error
  EXPECT_EQ(ini.Lines().Count(), 0);
  ini.WriteString("S", "k", "v");
  ini.EraseSection("S");
  EXPECT_FALSE(testing::FileExists(name));

  ini.FAutoSave = true;
  ini.WriteString("S", "k", "v");
  ini.WriteString("T", "t", "1");
  EXPECT_EQ(testing::ReadWholeFile(name), "[S]\r\nk=v\r\n[T]\r\nt=1\r\n");
  ini.DeleteKey("S", "k");
  EXPECT_EQ(testing::ReadWholeFile(name), "[S]\r\n[T]\r\nt=1\r\n");
  ini.DeleteKey("S", "missing");  // no change, no save
  EXPECT_EQ(testing::ReadWholeFile(name), "[S]\r\n[T]\r\nt=1\r\n");

  TmhQuickIni reread(name);
  EXPECT_EQ(reread.ReadString("T", "t", ""), "1");
  EXPECT_EQ(reread.FileName(), name);
}

TEST(QuickIniFile, ANewFileNameReloadsOnlyWithAutoSave) {
  const std::string folder = testing::MakeTempFolder();
  testing::WriteWholeFile(folder + "one.ini", "[S]\nk=one\n");
  testing::WriteWholeFile(folder + "two.ini", "[S]\nk=two\n");
  TmhQuickIni ini(folder + "one.ini");
  ini.SetFileName(folder + "two.ini");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "one");
  ini.FAutoSave = true;
  ini.SetFileName(folder + "two.ini");  // the same name: nothing happens
  EXPECT_EQ(ini.ReadString("S", "k", ""), "one");
  ini.SetFileName(folder + "one.ini");
  ini.SetFileName(folder + "two.ini");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "two");
  ini.SetFileName(folder + "none.ini");  // missing: the content stays
  EXPECT_EQ(ini.ReadString("S", "k", ""), "two");
  EXPECT_THROW(ini.LoadFromFile(), rtl::EFOpenError);
  EXPECT_EQ(ini.ReadString("S", "k", ""), "two");
}

}  // namespace
}  // namespace kestrova::store
