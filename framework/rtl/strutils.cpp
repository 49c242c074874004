#include "framework/rtl/strutils.h"

#include "platform/ansitext.h"

namespace kestrova::rtl {

std::string_view TrimView(std::string_view s) {
  std::size_t first = 0, last = s.size();
  while (first < last && IsTrimmed(s[first])) ++first;
  while (last > first && IsTrimmed(s[last - 1])) --last;
  return s.substr(first, last - first);
}

bool AnsiSameText(std::string_view a, std::string_view b) { return platform::AnsiSameText(a, b); }

}  // namespace kestrova::rtl
