#include "framework/gfx/graphics.h"

namespace kestrova::gfx {

namespace {
// Windows' MulDiv: rounded half away from zero.
int MulDiv(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}
}  // namespace

void TFont::SetName(const std::string& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, kPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kPixelsPerInch, 72)); }

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetCharset(int charset) {
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

void TFont::Assign(const TFont& source) {
  if (SameAs(source)) return;
  FName = source.FName;
  FHeight = source.FHeight;
  FColor = source.FColor;
  FStyle = source.FStyle;
  FCharset = source.FCharset;
  Changed();
}

bool TFont::SameAs(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle && FCharset == o.FCharset;
}

platform::FontDescription TFont::Description() const {
  return {FName, FHeight, (FStyle & fsBold) != 0, (FStyle & fsItalic) != 0, FCharset};
}

void TPen::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 1) width = 1;
  if (width == FWidth) return;
  FWidth = width;
  Changed();
}

void TPen::Assign(const TPen& source) {
  FColor = source.FColor;
  FStyle = source.FStyle;
  FWidth = source.FWidth;
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == FColor && FStyle == TBrushStyle::bsSolid) return;
  FColor = color;
  // As in the toolkit: giving a clear brush a colour makes it solid again.
  FStyle = TBrushStyle::bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TBrush::Assign(const TBrush& source) {
  FColor = source.FColor;
  FStyle = source.FStyle;
  Changed();
}

}  // namespace kestrova::gfx
