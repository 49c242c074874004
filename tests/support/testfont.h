// A fixed-metric font for exact layout tests on every machine: each printable character is a
// solid box in a cell of fixed width; blanks and control characters are empty.
//   cell height = -Height + 2 (or Height when positive), ascent = cell - 3, descent = 3,
//   character width = cell / 2, one more when bold. The default -11 gives 13 high, 6 wide (7 bold).
#pragma once
#include "platform/textengine.h"

namespace kestrova::testing {

class TFixedTestFont final : public platform::TextEngine {
 public:
  platform::FontMetrics Metrics(const platform::FontDescription& font) override;
  int TextWidth(const platform::FontDescription& font, std::string_view text) override;
  void Render(const platform::FontDescription& font, std::string_view text, platform::GlyphCoverage& out) override;

  static int CharWidth(const platform::FontDescription& font);
};

// Installs the test font for the lifetime of the guard.
class UseTestFont {
 public:
  UseTestFont();
  ~UseTestFont();
  UseTestFont(const UseTestFont&) = delete;
  UseTestFont& operator=(const UseTestFont&) = delete;

 private:
  TFixedTestFont FFont;
};

}  // namespace kestrova::testing
