#include "tests/support/testfont.h"

#include "framework/gfx/textengine.h"

namespace kestrova::testing {

namespace {
int Cell(const platform::FontDescription& font) { return font.Height < 0 ? -font.Height + 2 : (font.Height == 0 ? 13 : font.Height); }
bool Blank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

int TFixedTestFont::CharWidth(const platform::FontDescription& font) { return Cell(font) / 2 + (font.Bold ? 1 : 0); }

platform::FontMetrics TFixedTestFont::Metrics(const platform::FontDescription& font) {
  const int cell = Cell(font);
  return {cell, cell - 3, 3, CharWidth(font)};
}

int TFixedTestFont::TextWidth(const platform::FontDescription& font, std::string_view text) {
  return static_cast<int>(text.size()) * CharWidth(font);
}

void TFixedTestFont::Render(const platform::FontDescription& font, std::string_view text, platform::GlyphCoverage& out) {
  const platform::FontMetrics m = Metrics(font);
  const int w = CharWidth(font);
  out.Width = TextWidth(font, text);
  out.Height = m.Height;
  out.Alpha.assign(static_cast<std::size_t>(out.Width) * out.Height, 0);
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (Blank(text[k])) continue;
    for (int y = 2; y < m.Ascent; ++y)
      for (int x = 1; x < w - 1; ++x) out.Alpha[static_cast<std::size_t>(y) * out.Width + k * w + x] = 255;
  }
}

UseTestFont::UseTestFont() { gfx::SetTextEngine(&FFont); }
UseTestFont::~UseTestFont() { gfx::SetTextEngine(nullptr); }

}  // namespace kestrova::testing
