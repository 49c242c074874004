#include <windows.h>

#include "platform/datetime.h"

namespace kestrova::platform {

namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& t) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.Year);
  st.wMonth = static_cast<WORD>(t.Month);
  st.wDay = static_cast<WORD>(t.Day);
  st.wHour = static_cast<WORD>(t.Hour);
  st.wMinute = static_cast<WORD>(t.Minute);
  st.wSecond = static_cast<WORD>(t.Second);
  st.wMilliseconds = static_cast<WORD>(t.Millisecond);
  FILETIME ft;  // a round trip fills in the weekday that long date formats may show
  if (SystemTimeToFileTime(&st, &ft)) FileTimeToSystemTime(&ft, &st);
  return st;
}

}  // namespace

LocalDateTime CurrentLocalTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalDateTime t;
  t.Year = st.wYear;
  t.Month = st.wMonth;
  t.Day = st.wDay;
  t.Hour = st.wHour;
  t.Minute = st.wMinute;
  t.Second = st.wSecond;
  t.Millisecond = st.wMilliseconds;
  return t;
}

std::string FormatShortDate(const LocalDateTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[256];
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

std::string FormatLongTime(const LocalDateTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[256];
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : std::string();
}

}  // namespace kestrova::platform
