// Date and time as text, the runtime's default way: the short date, then the long time unless
// the moment is exactly midnight.
#pragma once
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace kestrova::rtl {

struct TDateTimeFormat {
  std::string (*ShortDate)(const platform::LocalDateTime&);
  std::string (*LongTime)(const platform::LocalDateTime&);
};

// The user's own formats, as the platform knows them.
TDateTimeFormat LocaleDateTimeFormat();

std::string DateTimeToStr(const platform::LocalDateTime& t, const TDateTimeFormat& format = LocaleDateTimeFormat());

}  // namespace kestrova::rtl

namespace kestrova::rtl {

// ASCII letters compared without case, as the runtime compares identifiers.
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);

}  // namespace kestrova::rtl
