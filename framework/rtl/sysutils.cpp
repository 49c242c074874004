#include "framework/rtl/sysutils.h"

namespace kestrova::rtl {

TDateTimeFormat LocaleDateTimeFormat() { return {platform::FormatShortDate, platform::FormatLongTime}; }

std::string DateTimeToStr(const platform::LocalDateTime& t, const TDateTimeFormat& format) {
  std::string text = format.ShortDate(t);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0) text += ' ' + format.LongTime(t);
  return text;
}

}  // namespace kestrova::rtl

namespace kestrova::rtl {

namespace {
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

}  // namespace kestrova::rtl
