// The drawing tools a canvas holds: font, pen and brush, each telling its owner when it changes,
// each with its published properties (a layout's "Font.Name", "Pen.Width", "Brush.Color").
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "framework/gfx/colors.h"
#include "framework/rtl/persistent.h"
#include "platform/textengine.h"

namespace kestrova::gfx {

constexpr int kPixelsPerInch = 96;

// Table entries for the graphics layer's classes and above: colours besides the runtime's kinds.
template <class T>
struct Published : rtl::Published<T> {
  static rtl::TPropertyInfo Color(std::string name, std::function<TColor(T&)> get, std::function<void(T&, TColor)> set, TColor def) {
    return rtl::Published<T>::WithDefault(
        rtl::Published<T>::Ordinal(rtl::TPropertyKind::pkColor, std::move(name), [get](T& t) -> std::int64_t { return get(t); },
                                   [set](T& t, std::int64_t v) { set(t, static_cast<TColor>(v)); }),
        def);
  }
};

class TGraphicsObject : public rtl::TPersistent {
 public:
  std::function<void()> OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange();
  }
};

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

enum class TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
 public:
  const char* ClassName() const override { return "TFont"; }
  static const rtl::TPropertyTable& ClassProperties();
  const rtl::TPropertyTable& Properties() const override { return ClassProperties(); }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  // Points at 96 pixels per inch; a positive height (a cell height) reads as a negative size.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  int Charset() const { return FCharset; }
  void SetCharset(int charset);
  // Kept as a layout gives it; the text engines choose the pitch from the face.
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch);

  void Assign(const TFont& source);
  bool SameAs(const TFont& other) const;
  platform::FontDescription Description() const;

 private:
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  int FCharset = 1;  // DEFAULT_CHARSET
  TFontPitch FPitch = TFontPitch::fpDefault;
};

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
 public:
  const char* ClassName() const override { return "TPen"; }
  static const rtl::TPropertyTable& ClassProperties();
  const rtl::TPropertyTable& Properties() const override { return ClassProperties(); }

  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  void Assign(const TPen& source);

 private:
  TColor FColor = clBlack;
  TPenStyle FStyle = TPenStyle::psSolid;
  int FWidth = 1;
};

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
 public:
  const char* ClassName() const override { return "TBrush"; }
  static const rtl::TPropertyTable& ClassProperties();
  const rtl::TPropertyTable& Properties() const override { return ClassProperties(); }

  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  void Assign(const TBrush& source);

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
};

}  // namespace kestrova::gfx
