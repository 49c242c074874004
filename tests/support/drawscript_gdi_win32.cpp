#include "tests/support/drawscript_gdi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <windows.h>

namespace kestrova::testing::draw {

namespace {

int PenStyleOf(TStyle s) {
  switch (s) {
    case TStyle::Solid: return PS_SOLID;
    case TStyle::Dash: return PS_DASH;
    case TStyle::Dot: return PS_DOT;
    case TStyle::DashDot: return PS_DASHDOT;
    case TStyle::DashDotDot: return PS_DASHDOTDOT;
    case TStyle::Clear: return PS_NULL;
    case TStyle::InsideFrame: return PS_INSIDEFRAME;
  }
  return PS_SOLID;
}

// One bitmap in its memory device context, with the toolkit's model of the selected brush: as the
// canvas does, a brush change sets the background colour and mode, and SaveDC/RestoreDC leave the
// pen and brush alone (they belong to the canvas, not to the saved state).
struct TContext {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ OldBitmap = nullptr, OldPen = nullptr, OldBrush = nullptr;
  std::uint32_t* Bits = nullptr;  // the colour DIB sections
  HPEN Pen = nullptr;
  int PenWidth = 1;
  TStyle PenStyle = TStyle::Solid;
  HBRUSH Brush = nullptr;
  COLORREF BrushColor = RGB(255, 255, 255);
  bool BrushClear = false;
  std::vector<HGDIOBJ> Made;

  TContext(int w, int h, bool mono) {
    Dc = CreateCompatibleDC(nullptr);
    if (mono) {
      Bitmap = CreateBitmap(w, h, 1, 1, nullptr);
    } else {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      info.bmiHeader.biWidth = w;
      info.bmiHeader.biHeight = -h;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      void* bits = nullptr;
      Bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      Bits = static_cast<std::uint32_t*>(bits);
    }
    if (!Dc || !Bitmap) throw std::runtime_error("GDI: no device context or bitmap");
    OldBitmap = SelectObject(Dc, Bitmap);
    // White as the canvas starts, with a brush: WHITENESS would set the fourth byte of every
    // 32-bit pixel as well (see ClearFourthBytes).
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HGDIOBJ was = SelectObject(Dc, white);
    PatBlt(Dc, 0, 0, w, h, PATCOPY);
    SelectObject(Dc, was);
    DeleteObject(white);
    SetTextColor(Dc, RGB(0, 0, 0));
    SetBkColor(Dc, RGB(255, 255, 255));
    SetBkMode(Dc, OPAQUE);
    SetPen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    SetBrush(CreateSolidBrush(BrushColor));
  }
  ~TContext() {
    SelectObject(Dc, OldPen);
    SelectObject(Dc, OldBrush);
    SelectObject(Dc, OldBitmap);
    for (HGDIOBJ o : Made) DeleteObject(o);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
  TContext(const TContext&) = delete;
  TContext& operator=(const TContext&) = delete;

  void SetPen(HPEN pen) {
    Made.push_back(pen);
    Pen = pen;
    HGDIOBJ old = SelectObject(Dc, pen);
    if (!OldPen) OldPen = old;
  }
  void SetBrush(HBRUSH brush) {
    if (brush != GetStockObject(NULL_BRUSH)) Made.push_back(brush);
    Brush = brush;
    HGDIOBJ old = SelectObject(Dc, brush);
    if (!OldBrush) OldBrush = old;
  }
  void SolidBrush(COLORREF color) {
    if (color == BrushColor && !BrushClear) return;
    BrushColor = color;
    BrushClear = false;
    SetBrush(CreateSolidBrush(color));
    SetBkColor(Dc, color);
    SetBkMode(Dc, OPAQUE);
  }
  void ClearBrush() {
    if (BrushClear) return;
    BrushClear = true;
    SetBrush(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    SetBkColor(Dc, BrushColor);
    SetBkMode(Dc, TRANSPARENT);
  }
  void Reselect() {
    SelectObject(Dc, Pen);
    SelectObject(Dc, Brush);
  }
};

// Windows draws the focus rectangle as a pattern: a checkerboard brush fixed to the device, its
// pixels with an even x + y inverted, each pixel of the outline once. Wine draws it with a dotted
// pen whose dots start at the rectangle's top-right corner instead (its own DrawFocusRect says
// "FIXME: PatBlt(PATINVERT) with background brush"), so the reference here is the pattern, put
// down through GDI's own PatBlt.
void FocusRectAsWindows(TContext& c, int l, int t, int r, int b) {
  if (r <= l || b <= t) return;
  static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = CreatePatternBrush(pattern);
  HGDIOBJ old = SelectObject(c.Dc, brush);
  const COLORREF text = SetTextColor(c.Dc, RGB(0, 0, 0)), back = SetBkColor(c.Dc, RGB(255, 255, 255));
  PatBlt(c.Dc, l, t, 1, b - t, PATINVERT);
  if (r - l > 1) PatBlt(c.Dc, r - 1, t, 1, b - t, PATINVERT);
  if (r - l > 2) {
    PatBlt(c.Dc, l + 1, t, r - l - 2, 1, PATINVERT);
    if (b - t > 1) PatBlt(c.Dc, l + 1, b - 1, r - l - 2, 1, PATINVERT);
  }
  SetTextColor(c.Dc, text);
  SetBkColor(c.Dc, back);
  SelectObject(c.Dc, old);
  DeleteObject(brush);
  DeleteObject(pattern);
}

// The canvas's 32-bit pixels are 0x00RRGGBB: they have no fourth byte. GDI's raster operations
// do set it (WHITENESS, the inverting codes), and Wine's colour-to-mono conversion then no longer
// sees such a white pixel as the white background colour. The bytes nobody sees are cleared after
// every call, so that the comparison is about the visible colours.
void ClearFourthBytes(const TContext& c, int w, int h) {
  GdiFlush();
  for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) c.Bits[i] &= 0xFFFFFF;
}

// Wine walks the corner ellipse of a round rectangle's interior region row by row from the
// middle down; for a tall, narrow ellipse (3 wide and 8 or more high, 4 wide and 18 or more
// high, ...) the walk ends before the last rows and their spans are whatever the memory held:
// Wine paints stray pixels, even far from the figure, differently from run to run. The canvas
// leaves those rows empty, as the outline does.
bool RoundRectRowsUndefined(const TContext& c, const std::vector<int>& a) {
  long long w = std::llabs(static_cast<long long>(a[2]) - a[0]), h = std::llabs(static_cast<long long>(a[3]) - a[1]);
  if (w == 0 || h == 0) return false;
  if (c.PenStyle == TStyle::InsideFrame) w -= c.PenWidth / 2 + (c.PenWidth - 1) / 2, h -= c.PenWidth / 2 + (c.PenWidth - 1) / 2;
  const long long ew = std::min(w, std::llabs(static_cast<long long>(a[4]))), eh = std::min(h, std::llabs(static_cast<long long>(a[5])));
  if (ew <= 2 || eh <= 2 || ew > 4096 || eh > 4096) return false;
  const long long ra = ew - 1, rb = eh - 1;
  long long ex = 4 * rb * rb * (1 - ra), ey = 4 * ra * ra * (1 + rb % 2), err = ex + ey + ra * ra * (rb % 2);
  long long x = 0, y = eh / 2;
  while (x <= ew / 2) {
    const long long twice = 2 * err;
    if (twice >= ex) ++x, ex += 8 * rb * rb, err += ex;
    if (twice <= ey) ++y, ey += 8 * ra * ra, err += ey;
  }
  return y < eh - 1;
}

bool UsesPatternSourceAndDestination(DWORD rop) {
  const unsigned code = (rop >> 16) & 0xFF;
  const bool p = (code >> 4) != (code & 0x0F), s = ((code >> 2) & 0x33) != (code & 0x33), d = ((code >> 1) & 0x55) != (code & 0x55);
  return p && s && d;
}

// A blit from a bitmap onto itself means the source as it was before the blit, and so the
// reference takes a copy of the source first where GDI is known to get it wrong: Wine's DIB engine
// works the ternary codes that need the pattern, the source and the destination in steps on the
// destination and reads the source back after changing it (0x00620000, D^(S&(P|D)), comes out as
// P^D where it overlaps); on one-bit rows it reads back source bits it already changed
// (NOTSRCERASE one pixel to the right); and Windows' own results differ again for some overlapping
// blits (Wine's conformance tests, dlls/gdi32/tests/dib.c: "Windows gets this one wrong" for 1-bpp
// SRCCOPY to the upper left and 24/32-bpp PATPAINT to the upper right).
void BlitFromItself(TContext& c, int x, int y, int w, int h, int sx, int sy, DWORD rop, int width, int height, bool mono) {
  HDC copy = CreateCompatibleDC(c.Dc);
  HBITMAP bitmap = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(c.Dc, width, height);
  HGDIOBJ old = SelectObject(copy, bitmap);
  POINT origin{};
  GetViewportOrgEx(c.Dc, &origin);
  BitBlt(copy, 0, 0, width, height, c.Dc, -origin.x, -origin.y, SRCCOPY);
  BitBlt(c.Dc, x, y, w, h, copy, sx + origin.x, sy + origin.y, rop);
  SelectObject(copy, old);
  DeleteObject(bitmap);
  DeleteDC(copy);
}

std::vector<std::uint32_t> ColourPixels(const TContext& c, int w, int h) {
  GdiFlush();
  std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = c.Bits[i] & 0xFFFFFF;
  return out;
}

}  // namespace

TPictures RunThroughGdi(const TScript& script) {
  const int w = script.Width, h = script.Height;
  std::unique_ptr<TContext> owned[kTargets];
  TContext* contexts[kTargets];
  for (int i = 0; i < kTargets; ++i) {
    owned[i] = std::make_unique<TContext>(w, h, IsOneBit(static_cast<TTarget>(i)));
    contexts[i] = owned[i].get();
  }
  TContext* c = contexts[0];
  TPictures out;

  for (const TCommand& k : script.Commands) {
    const std::vector<int>& a = k.Args;
    switch (k.Op) {
      case TOp::Dc: c = contexts[static_cast<int>(k.Target)]; break;
      case TOp::Pen:
        c->PenWidth = a[0] < 1 ? 1 : a[0];
        c->PenStyle = k.Style;
        c->SetPen(CreatePen(PenStyleOf(k.Style), c->PenWidth, k.Color));
        break;
      case TOp::Brush: c->SolidBrush(k.Color); break;
      case TOp::BrushClear: c->ClearBrush(); break;
      case TOp::BkMode: SetBkMode(c->Dc, k.Opaque ? OPAQUE : TRANSPARENT); break;
      case TOp::BkColor: SetBkColor(c->Dc, k.Color); break;
      case TOp::TextColor: SetTextColor(c->Dc, k.Color); break;
      case TOp::MoveTo: MoveToEx(c->Dc, a[0], a[1], nullptr); break;
      case TOp::LineTo: LineTo(c->Dc, a[0], a[1]); break;
      case TOp::Polyline: {
        std::vector<POINT> points;
        for (std::size_t i = 0; i + 1 < a.size(); i += 2) points.push_back({a[i], a[i + 1]});
        Polyline(c->Dc, points.data(), static_cast<int>(points.size()));
        break;
      }
      case TOp::Rect: Rectangle(c->Dc, a[0], a[1], a[2], a[3]); break;
      case TOp::RoundRect:
        if (!c->BrushClear && RoundRectRowsUndefined(*c, a)) out.Unreliable = "Wine leaves rows of a tall, narrow round rectangle's interior undefined";
        RoundRect(c->Dc, a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
      case TOp::Focus: FocusRectAsWindows(*c, a[0], a[1], a[2], a[3]); break;
      case TOp::Fill: {
        const RECT r{a[0], a[1], a[2], a[3]};
        FillRect(c->Dc, &r, c->Brush);
        break;
      }
      case TOp::Frame: {
        const RECT r{a[0], a[1], a[2], a[3]};
        FrameRect(c->Dc, &r, c->Brush);
        break;
      }
      case TOp::Pixel: SetPixel(c->Dc, a[0], a[1], k.Color); break;
      case TOp::PatBlt: PatBlt(c->Dc, a[0], a[1], a[2], a[3], k.Rop); break;
      case TOp::Blit:
        if (contexts[static_cast<int>(k.Target)] == c && (UsesPatternSourceAndDestination(k.Rop) || IsOneBit(k.Target)))
          BlitFromItself(*c, a[0], a[1], a[2], a[3], a[4], a[5], k.Rop, w, h, c->Bits == nullptr);
        else
          BitBlt(c->Dc, a[0], a[1], a[2], a[3], contexts[static_cast<int>(k.Target)]->Dc, a[4], a[5], k.Rop);
        break;
      case TOp::Origin: SetViewportOrgEx(c->Dc, a[0], a[1], nullptr); break;
      case TOp::Clip: IntersectClipRect(c->Dc, a[0], a[1], a[2], a[3]); break;
      case TOp::Save: SaveDC(c->Dc); break;
      case TOp::Restore:
        RestoreDC(c->Dc, a[0]);
        c->Reselect();
        break;
    }
    for (const auto& context : owned)
      if (context->Bits) ClearFourthBytes(*context, w, h);
  }

  out.Width = w;
  out.Height = h;
  const int stride = (w + 15) / 16 * 2;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * h);
  for (int i = 0; i < kTargets; ++i) {
    if (owned[i]->Bits) {
      out.Pixels[i] = ColourPixels(*owned[i], w, h);
      continue;
    }
    GetBitmapBits(owned[i]->Bitmap, static_cast<LONG>(bits.size()), bits.data());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) out.Pixels[i].push_back((bits[static_cast<std::size_t>(y) * stride + x / 8] >> (7 - x % 8)) & 1);
  }
  return out;
}

std::vector<std::uint32_t> WineFocusRect(int width, int height, int left, int top, int right, int bottom) {
  TContext c(width, height, false);
  const RECT r{left, top, right, bottom};
  DrawFocusRect(c.Dc, &r);
  return ColourPixels(c, width, height);
}

}  // namespace kestrova::testing::draw
