// Date and time as text, the runtime's default way: the short date, then the long time unless
// the moment is exactly midnight.
#pragma once
#include <string>

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
