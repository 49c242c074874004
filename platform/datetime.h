// The local clock and the user's date and time formats.
#pragma once
#include <string>

namespace kestrova::platform {

struct LocalDateTime {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

LocalDateTime CurrentLocalTime();

// Windows: the user locale's short date and long time formats (GetDateFormatA, GetTimeFormatA).
// Linux: the user's LC_TIME (%x and %X).
std::string FormatShortDate(const LocalDateTime& t);
std::string FormatLongTime(const LocalDateTime& t);

}  // namespace kestrova::platform
