#include <gtest/gtest.h>

#include "framework/rtl/classes.h"
#include "framework/rtl/sysutils.h"

namespace kestrova::rtl {
namespace {

TEST(StringList, KeepsOrderDuplicatesAndOneIntegerPerLine) {
  TStringList list;
  EXPECT_EQ(list.Add("b"), 0);
  EXPECT_EQ(list.AddObject("a", 7), 1);
  EXPECT_EQ(list.Add("b"), 2);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(0), "b");
  EXPECT_EQ(list.Strings(1), "a");
  EXPECT_EQ(list.Strings(2), "b");
  EXPECT_EQ(list.Objects(0), 0);
  EXPECT_EQ(list.Objects(1), 7);
  list.Delete(0);
  EXPECT_EQ(list.Strings(0), "a");
  EXPECT_EQ(list.Objects(0), 7);
  TStringList copy;
  copy.Assign(list);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_THROW(copy.Strings(2), std::out_of_range);
  EXPECT_THROW(copy.Objects(-1), std::out_of_range);
}

std::string FixedDate(const platform::LocalDateTime& t) {
  return std::to_string(t.Month) + "/" + std::to_string(t.Day) + "/" + std::to_string(t.Year);
}
std::string FixedTime(const platform::LocalDateTime& t) {
  return std::to_string(t.Hour) + ":" + std::to_string(t.Minute) + ":" + std::to_string(t.Second);
}

TEST(DateTimeToStr, LeavesOutTheTimeExactlyAtMidnight) {
  const TDateTimeFormat fixed = {FixedDate, FixedTime};
  struct {
    platform::LocalDateTime When;
    const char* Text;
  } cases[] = {
      {{2026, 12, 6, 10, 39, 35}, "12/6/2026 10:39:35"},
      {{2026, 12, 6, 0, 0, 0}, "12/6/2026"},
      {{2026, 12, 6, 0, 0, 0, 999}, "12/6/2026"},
      {{2026, 12, 6, 0, 0, 1}, "12/6/2026 0:0:1"},
      {{2026, 12, 6, 0, 1, 0}, "12/6/2026 0:1:0"},
      {{2026, 12, 6, 12, 0, 0}, "12/6/2026 12:0:0"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateTimeToStr(c.When, fixed), c.Text);
}

TEST(DateTimeToStr, TheLocaleFormatsShowTheGivenMoment) {
  // Whatever the user's formats, the fields must be the ones given, not today's or mixed up.
  const platform::LocalDateTime t = {2031, 11, 28, 17, 43, 52};
  const std::string date = platform::FormatShortDate(t);
  const std::string time = platform::FormatLongTime(t);
  EXPECT_NE(date.find("28"), std::string::npos) << date;
  EXPECT_NE(date.find("11"), std::string::npos) << date;
  EXPECT_NE(date.find("31"), std::string::npos) << date;
  EXPECT_NE(time.find("43"), std::string::npos) << time;
  EXPECT_NE(time.find("52"), std::string::npos) << time;
  EXPECT_EQ(DateTimeToStr(t), date + " " + time);
}

}  // namespace
}  // namespace kestrova::rtl
