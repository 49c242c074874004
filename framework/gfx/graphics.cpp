#include "framework/gfx/graphics.h"

#include <stdexcept>

namespace kestrova::gfx {

namespace {
// Windows' MulDiv: rounded half away from zero.
int MulDiv(int a, int b, int c) {
  const long long p = static_cast<long long>(a) * b;
  return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}
}  // namespace

const rtl::TPropertyTable& TFont::ClassProperties() {
  using P = Published<TFont>;
  static const rtl::TPropertyTable table(&rtl::TPersistent::ClassProperties(), {
      P::WithIdents(P::Integer("Charset", [](TFont& f) { return f.Charset(); }, [](TFont& f, std::int64_t v) { f.SetCharset(static_cast<int>(v)); }, 1),
                    {{"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"SHIFTJIS_CHARSET", 128},
                     {"HANGEUL_CHARSET", 129}, {"GB2312_CHARSET", 134}, {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255},
                     {"JOHAB_CHARSET", 130}, {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178}, {"GREEK_CHARSET", 161},
                     {"TURKISH_CHARSET", 162}, {"VIETNAMESE_CHARSET", 163}, {"THAI_CHARSET", 222}, {"EASTEUROPE_CHARSET", 238},
                     {"RUSSIAN_CHARSET", 204}, {"MAC_CHARSET", 77}, {"BALTIC_CHARSET", 186}}),
      P::Color("Color", [](TFont& f) { return f.Color(); }, [](TFont& f, TColor v) { f.SetColor(v); }, clWindowText),
      P::Integer("Height", [](TFont& f) { return f.Height(); }, [](TFont& f, std::int64_t v) { f.SetHeight(static_cast<int>(v)); }),
      P::Text("Name", [](TFont& f) { return f.Name(); }, [](TFont& f, const std::string& v) { f.SetName(v); }),
      P::Enumeration<TFontPitch>("Pitch", {"fpDefault", "fpVariable", "fpFixed"}, [](TFont& f) { return f.Pitch(); },
                                 [](TFont& f, TFontPitch v) { f.SetPitch(v); }, TFontPitch::fpDefault),
      P::Integer("Size", [](TFont& f) { return f.Size(); }, [](TFont& f, std::int64_t v) { f.SetSize(static_cast<int>(v)); }),
      P::Set("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, [](TFont& f) -> std::int64_t { return f.Style(); },
             [](TFont& f, std::int64_t v) { f.SetStyle(static_cast<TFontStyles>(v)); }, 0),
  });
  return table;
}

const rtl::TPropertyTable& TPen::ClassProperties() {
  using P = Published<TPen>;
  static const rtl::TPropertyTable table(&rtl::TPersistent::ClassProperties(), {
      P::Color("Color", [](TPen& p) { return p.Color(); }, [](TPen& p, TColor v) { p.SetColor(v); }, clBlack),
      P::Enumeration<TPenStyle>("Style", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                                [](TPen& p) { return p.Style(); }, [](TPen& p, TPenStyle v) { p.SetStyle(v); }, TPenStyle::psSolid),
      P::Integer("Width", [](TPen& p) { return p.Width(); }, [](TPen& p, std::int64_t v) { p.SetWidth(static_cast<int>(v)); }, 1),
  });
  return table;
}

const rtl::TPropertyTable& TBrush::ClassProperties() {
  using P = Published<TBrush>;
  static const rtl::TPropertyTable table(&rtl::TPersistent::ClassProperties(), {
      P::Color("Color", [](TBrush& b) { return b.Color(); }, [](TBrush& b, TColor v) { b.SetColor(v); }, clWhite),
      P::Enumeration<TBrushStyle>("Style", {"bsSolid", "bsClear"}, [](TBrush& b) { return b.Style(); },
                                  [](TBrush& b, TBrushStyle v) { b.SetStyle(v); }, TBrushStyle::bsSolid),
  });
  return table;
}

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
  // A font's character set is one byte, as GDI's logical font has it.
  if (charset < 0 || charset > 255) throw std::out_of_range("A character set is a number from 0 to 255");
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == FPitch) return;
  FPitch = pitch;
  Changed();
}

void TFont::Assign(const TFont& source) {
  if (SameAs(source)) return;
  FPitch = source.FPitch;
  FName = source.FName;
  FHeight = source.FHeight;
  FColor = source.FColor;
  FStyle = source.FStyle;
  FCharset = source.FCharset;
  Changed();
}

bool TFont::SameAs(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle && FCharset == o.FCharset &&
         FPitch == o.FPitch;
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
