// The raster canvas: GDI's drawing semantics on a TBitmap. Right and bottom edges are exclusive,
// lines leave out their last point, the viewport origin and the clip rectangle apply to every
// call and can be saved and restored with the colours and modes (the pen and the brush are the
// canvas's own objects and stay as they are).
// (Never include this together with <windows.h>: the GDI constant names are the same.)
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "framework/gfx/bitmap.h"
#include "framework/gfx/geometry.h"
#include "framework/gfx/graphics.h"

namespace kestrova::gfx {

namespace raster {
class TCoverage;
}

// DrawText formats.
constexpr unsigned DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_RTLREADING = 0x20000;

// Raster operations: the high word's low byte is the ternary code (pattern 0xF0, source 0xCC,
// destination 0xAA).
constexpr std::uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                        SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                        NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                        PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                        DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

constexpr TColor CLR_INVALID = -1;

enum TBkMode : std::uint8_t { TRANSPARENT = 1, OPAQUE = 2 };

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

class TCanvas {
 public:
  explicit TCanvas(TBitmap& target);
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TBitmap& Target() { return FTarget; }
  const TBitmap& Target() const { return FTarget; }

  // Changing the font sets the text colour; changing the brush sets the background colour and
  // mode (opaque for a solid brush, transparent for a clear one), as selecting them into a DC does.
  TFont Font;
  TPen Pen;
  TBrush Brush;
  std::uint32_t CopyMode = SRCCOPY;

  TColorRef TextColor() const { return FState.TextColor; }
  TColorRef SetTextColor(TColor color);
  TColorRef BkColor() const { return FState.BkColor; }
  TColorRef SetBkColor(TColor color);
  TBkMode BkMode() const { return FState.BkMode; }
  TBkMode SetBkMode(TBkMode mode);

  // Device coordinates = logical + origin.
  TPoint ViewportOrg() const { return FState.Origin; }
  TPoint SetViewportOrg(int x, int y);
  TPoint OffsetViewportOrg(int dx, int dy);
  // In logical coordinates; the whole bitmap unless narrowed.
  TRect ClipRect() const;
  void IntersectClipRect(const TRect& logical);
  void SelectClipRect(const TRect* logical);  // null: the whole bitmap again
  int SaveDC();
  bool RestoreDC(int level);  // a negative level counts back from the newest

  TPoint PenPos() const { return FPenPos; }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polyline(std::initializer_list<TPoint> points) { Polyline(std::vector<TPoint>(points)); }
  // As GDI's PatBlt: with Left > Right the columns Right + 1 .. Left, rows likewise.
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);  // one pixel in the brush colour
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  // Corners cut by an ellipse of at most the rectangle's size; 2 or less across: a Rectangle.
  void RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight);
  TColor Pixel(int x, int y) const;  // CLR_INVALID outside the bitmap or the clip rectangle
  void SetPixel(int x, int y, TColor color);
  // As Windows draws it: the outline's pixels with an even device x + y inverted, each once, a
  // pattern fixed to the bitmap.
  void DrawFocusRect(const TRect& rect);

  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);
  TSize TextExtent(std::string_view text);
  void TextOut(int x, int y, std::string_view text);
  // Draws at (x, y) clipped to rect; an opaque background fills the whole rect.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  // GDI's DrawText: returns the height of the text (from rect.Top to its bottom for DT_VCENTER and
  // DT_BOTTOM); with DT_CALCRECT only measures, setting rect's right and bottom.
  int DrawText(std::string_view text, TRect& rect, unsigned format);

  // The bitmap at (x, y); a Transparent bitmap leaves out its transparent colour.
  void Draw(int x, int y, TBitmap& bitmap);
  // Copies with CopyMode, stretching when the sizes differ.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

  // Device-level helpers for BitBlt and the controls.
  TRect DeviceClip() const { return FState.Clip; }
  // Takes another canvas's origin and clip (a canvas on the same bitmap: one paint, own tools).
  void AdoptDeviceState(const TCanvas& other) {
    FState.Origin = other.FState.Origin;
    FState.Clip = IntersectRect(other.FState.Clip, {0, 0, FTarget.Width(), FTarget.Height()});
  }

 private:
  struct State {
    TPoint Origin;
    TRect Clip;
    TColorRef TextColor = 0;
    TColorRef BkColor = 0xFFFFFF;
    TBkMode BkMode = OPAQUE;
  };
  void PlotDevice(int x, int y, std::uint32_t value);
  void SpanDevice(int y, int x0, int x1, std::uint32_t value);  // x1 exclusive
  void FillDevice(const TRect& device, std::uint32_t value);   // within the clip rectangle
  TPoint ToDevice(TPoint logical) const;
  TRect BlitRect(int x, int y, int w, int h) const;  // device; negative sizes reach back
  bool FigureRect(int x1, int y1, int x2, int y2, TRect& device) const;
  std::uint32_t PenValue() const;
  int PenDeviceWidth() const;  // 0 for psClear
  // A cosmetic (one-pixel) pen: GDI's lines and dashes, each figure's dashes starting afresh.
  void ThinSegment(TPoint a, TPoint b, long long& phase);
  void ThinStroke(const std::vector<TPoint>& device, bool closed);
  // A pen wider than one pixel is GDI's geometric pen: solid, with round caps and joins, its
  // outline a region painted once.
  bool WidePen() const { return Pen.Width() > 1 && Pen.Style() != TPenStyle::psClear; }
  TRect WideBox(const std::vector<TPoint>& device) const;
  void PaintCoverage(const raster::TCoverage& coverage, std::uint32_t value);
  template <class Rows>
  void PaintWideFigure(const std::vector<TPoint>& outline, Rows interiorRows);
  void DrawLine(std::string_view line, const std::vector<bool>& underlined, int x, int y);

  TBitmap& FTarget;
  State FState;
  std::vector<State> FSaved;
  TPoint FPenPos;
};

// GDI's BitBlt: (x, y, w, h) on dest, from (sx, sy) on source (null for operations without a
// source); a negative width or height reaches back from x and sx, their own column included.
// Between formats: colour to one bit makes the source's background colour white (1) and every
// other colour black (0); one bit to colour makes 0 the destination's text colour and 1 its
// background colour. The pattern is the destination's brush. A bitmap blitted onto itself gives
// the result of its pixels as they were before the blit.
bool BitBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas* source, int sx, int sy, std::uint32_t rop);
bool PatBlt(TCanvas& dest, int x, int y, int w, int h, std::uint32_t rop);

// DT_RTLREADING: one line of 8-bit text in the font's character set, in a right-to-left
// paragraph, as the indices of its characters in display order from the left. Left-to-right runs
// and numbers keep their inner order; everything else reads from the right.
std::vector<std::size_t> RightToLeftDisplayOrder(std::string_view text, int charset);

// One ternary raster operation on whole pixel values.
std::uint32_t ApplyRop3(std::uint8_t code, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);

}  // namespace kestrova::gfx
