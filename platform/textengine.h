// Measuring and rasterising one line of 8-bit text: GDI on Windows, FreeType with fontconfig on
// Linux, a fixed-metric font in the tests. The canvas does the rest (colour, clipping, underline).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::platform {

struct FontDescription {
  std::string Name;
  int Height = -11;  // negative: character height in pixels; positive: cell height (GDI's lfHeight)
  bool Bold = false;
  bool Italic = false;
  int Charset = 1;
  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

struct FontMetrics {
  int Height = 0;  // one line, ascent plus descent
  int Ascent = 0;
  int Descent = 0;
  int AveCharWidth = 0;
};

// One rendered line: Width is the text's advance width, Height the font's line height, the
// baseline at Ascent; Alpha holds Width * Height coverage values, 0 (none) to 255 (full).
struct GlyphCoverage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Alpha;
};

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  virtual FontMetrics Metrics(const FontDescription& font) = 0;
  virtual int TextWidth(const FontDescription& font, std::string_view text) = 0;
  virtual void Render(const FontDescription& font, std::string_view text, GlyphCoverage& out) = 0;
};

// The operating system's own engine, created on first use and kept for the process.
TextEngine& SystemTextEngine();

}  // namespace kestrova::platform
