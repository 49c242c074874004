#include "framework/rtl/sysutils.h"

namespace kestrova::rtl {

TDateTimeFormat LocaleDateTimeFormat() { return {platform::FormatShortDate, platform::FormatLongTime}; }

std::string DateTimeToStr(const platform::LocalDateTime& t, const TDateTimeFormat& format) {
  std::string text = format.ShortDate(t);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0) text += ' ' + format.LongTime(t);
  return text;
}

}  // namespace kestrova::rtl
