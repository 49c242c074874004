#include "platform/datetime.h"

#include <locale.h>
#include <sys/time.h>
#include <time.h>

namespace kestrova::platform {

namespace {

// The user's LC_TIME, without touching the process-wide locale.
locale_t UserTimeLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) l = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

std::string Format(const LocalDateTime& t, const char* pattern) {
  struct tm tm = {};
  tm.tm_year = t.Year - 1900;
  tm.tm_mon = t.Month - 1;
  tm.tm_mday = t.Day;
  tm.tm_hour = t.Hour;
  tm.tm_min = t.Minute;
  tm.tm_sec = t.Second;
  tm.tm_isdst = -1;
  struct tm normalised = tm;
  if (mktime(&normalised) != static_cast<time_t>(-1)) {  // fills in the weekday and year day
    tm.tm_wday = normalised.tm_wday;
    tm.tm_yday = normalised.tm_yday;
  }
  char buf[256];
  size_t n = strftime_l(buf, sizeof buf, pattern, &tm, UserTimeLocale());
  return std::string(buf, n);
}

}  // namespace

LocalDateTime CurrentLocalTime() {
  struct timeval tv = {};
  gettimeofday(&tv, nullptr);
  time_t secs = tv.tv_sec;
  struct tm tm = {};
  localtime_r(&secs, &tm);
  LocalDateTime t;
  t.Year = tm.tm_year + 1900;
  t.Month = tm.tm_mon + 1;
  t.Day = tm.tm_mday;
  t.Hour = tm.tm_hour;
  t.Minute = tm.tm_min;
  t.Second = tm.tm_sec;
  t.Millisecond = static_cast<int>(tv.tv_usec / 1000);
  return t;
}

std::string FormatShortDate(const LocalDateTime& t) { return Format(t, "%x"); }
std::string FormatLongTime(const LocalDateTime& t) { return Format(t, "%X"); }

}  // namespace kestrova::platform
