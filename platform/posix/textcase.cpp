#include "platform/textcase.h"

namespace kestrova::platform {

namespace {

constexpr unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

}  // namespace

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace kestrova::platform
