// Pictures of small bitmaps as text, one character per pixel, so that a pixel test can show the
// expected picture in its source.
#pragma once
#include <map>
#include <string>

#include "framework/gfx/bitmap.h"

namespace kestrova::testing {

// Colours not in the legend show as '?'.
inline std::string Picture(const gfx::TBitmap& b, const std::map<gfx::TColorRef, char>& legend) {
  std::string out;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      auto it = legend.find(b.PixelColor(x, y));
      out.push_back(it == legend.end() ? '?' : it->second);
    }
    out.push_back('\n');
  }
  return out;
}

// '.' white, '#' black.
inline std::string Mono(const gfx::TBitmap& b) { return Picture(b, {{0xFFFFFF, '.'}, {0x000000, '#'}}); }

}  // namespace kestrova::testing
