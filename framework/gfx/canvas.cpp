#include "framework/gfx/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/gfx/rasterize.h"
#include "framework/gfx/textengine.h"

namespace kestrova::gfx {

namespace {

struct DashPattern {
  int Count;
  int Lengths[6];
  int Total;
};

// On and off runs of the styled cosmetic pens, in pixels.
const DashPattern* PatternOf(TPenStyle style) {
  static const DashPattern dash{2, {18, 6}, 24}, dot{2, {3, 3}, 6}, dashDot{4, {9, 6, 3, 6}, 24},
      dashDotDot{6, {9, 3, 3, 3, 3, 3}, 24};
  switch (style) {
    case TPenStyle::psDash: return &dash;
    case TPenStyle::psDot: return &dot;
    case TPenStyle::psDashDot: return &dashDot;
    case TPenStyle::psDashDotDot: return &dashDotDot;
    default: return nullptr;
  }
}

bool DashOn(const DashPattern& p, long long phase) {
  long long at = phase % p.Total;
  for (int i = 0; i < p.Count; ++i) {
    if (at < p.Lengths[i]) return (i & 1) == 0;
    at -= p.Lengths[i];
  }
  return true;
}

TRect WholeBitmap(const TBitmap& b) { return {0, 0, b.Width(), b.Height()}; }

bool UsesPattern(std::uint8_t code) { return (code >> 4) != (code & 0x0F); }
bool UsesSource(std::uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }

struct TextLine {
  std::string Text;
  std::vector<bool> Underlined;
};

void RightToLeftReadingOrder(TextLine& line, int charset) {
  TextLine v;
  for (std::size_t i : RightToLeftDisplayOrder(line.Text, charset)) {
    v.Text.push_back(line.Text[i]);
    v.Underlined.push_back(line.Underlined[i]);
  }
  line = std::move(v);
}

}  // namespace

namespace {

// The direction classes of the 8-bit text in the font's character set: right-to-left letters
// exist only in the Hebrew (177) and Arabic (178) code pages.
enum class TBidiClass : std::uint8_t { L, R, EN, N };

TBidiClass BidiClassOf(char c, int charset) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= '0' && u <= '9') return TBidiClass::EN;
  if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return TBidiClass::L;
  if (u < 0x80) return TBidiClass::N;
  if (charset == 177) {  // windows-1255: points 0xC0-0xD8, letters 0xE0-0xFA
    if ((u >= 0xC0 && u <= 0xD8) || (u >= 0xE0 && u <= 0xFA)) return TBidiClass::R;
    return TBidiClass::N;
  }
  if (charset == 178) {  // windows-1256: letters and marks from 0xC1, except its French letters
    static constexpr unsigned char latin[] = {0xE0, 0xE2, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEE, 0xEF, 0xF4, 0xF9, 0xFB, 0xFC};
    if (u == 0xD7 || u == 0xF7) return TBidiClass::N;  // multiplication and division signs
    for (unsigned char x : latin)
      if (u == x) return TBidiClass::L;
    if (u >= 0xC1 || u == 0x81 || u == 0x8D || u == 0x8E || u == 0x90 || u == 0x98 || u == 0x9F || u == 0xAA) return TBidiClass::R;
    return TBidiClass::N;
  }
  // The Latin code pages: letters above 0xC0 (and the ones scattered below) read left to right.
  return u >= 0xC0 || u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F ? TBidiClass::L : TBidiClass::N;
}

}  // namespace

// Neutral characters take the direction of the strong characters on both sides when those
// agree, the paragraph's otherwise; a number after left-to-right text joins it.
std::vector<std::size_t> RightToLeftDisplayOrder(std::string_view text, int charset) {
  const std::size_t n = text.size();
  std::vector<TBidiClass> cls(n);
  TBidiClass lastStrong = TBidiClass::R;  // the paragraph's own direction before the line
  for (std::size_t i = 0; i < n; ++i) {
    cls[i] = BidiClassOf(text[i], charset);
    if (cls[i] == TBidiClass::EN && lastStrong == TBidiClass::L) cls[i] = TBidiClass::L;
    if (cls[i] == TBidiClass::L || cls[i] == TBidiClass::R) lastStrong = cls[i];
  }
  auto direction = [](TBidiClass c) { return c == TBidiClass::L ? TBidiClass::L : TBidiClass::R; };  // EN counts as R
  for (std::size_t i = 0; i < n;) {
    if (cls[i] != TBidiClass::N) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && cls[j] == TBidiClass::N) ++j;
    const TBidiClass before = i == 0 ? TBidiClass::R : direction(cls[i - 1]);
    const TBidiClass after = j == n ? TBidiClass::R : direction(cls[j]);
    for (std::size_t k = i; k < j; ++k) cls[k] = before == after ? before : TBidiClass::R;
    i = j;
  }
  // Levels: right-to-left 1, left-to-right and numbers 2; reverse the runs of level 2, then the line.
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  for (std::size_t i = 0; i < n;) {
    if (cls[i] == TBidiClass::R) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && cls[j] != TBidiClass::R) ++j;
    std::reverse(order.begin() + static_cast<long>(i), order.begin() + static_cast<long>(j));
    i = j;
  }
  std::reverse(order.begin(), order.end());
  return order;
}

std::uint32_t ApplyRop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0x00: return 0;
    case 0x33: return ~s;
    case 0x55: return ~d;
    case 0x5A: return p ^ d;
    case 0x66: return s ^ d;
    case 0x88: return s & d;
    case 0xCC: return s;
    case 0xE2: return d ^ (s & (p ^ d));  // DSPDxax: pattern where the source is 1, destination where 0
    case 0xEE: return s | d;
    case 0xF0: return p;
    case 0xFF: return ~0u;
    default: break;
  }
  // Sum of the minterms: bit i of the code is the result for P = bit 2, S = bit 1, D = bit 0 of i.
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if ((code >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

TCanvas::TCanvas(TBitmap& target) : FTarget(target) {
  FState.Clip = WholeBitmap(target);
  FState.TextColor = ColorToRGB(Font.Color());
  FState.BkColor = ColorToRGB(Brush.Color());
  Font.OnChange = [this] { FState.TextColor = ColorToRGB(Font.Color()); };
  Brush.OnChange = [this] {
    FState.BkColor = ColorToRGB(Brush.Color());
    FState.BkMode = Brush.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE;
  };
}

TColorRef TCanvas::SetTextColor(TColor color) {
  const TColorRef old = FState.TextColor;
  FState.TextColor = ColorToRGB(color);
  return old;
}

TColorRef TCanvas::SetBkColor(TColor color) {
  const TColorRef old = FState.BkColor;
  FState.BkColor = ColorToRGB(color);
  return old;
}

TBkMode TCanvas::SetBkMode(TBkMode mode) {
  const TBkMode old = FState.BkMode;
  FState.BkMode = mode;
  return old;
}

TPoint TCanvas::SetViewportOrg(int x, int y) {
  const TPoint old = FState.Origin;
  FState.Origin = {x, y};
  return old;
}

TPoint TCanvas::OffsetViewportOrg(int dx, int dy) {
  const TPoint old = FState.Origin;
  FState.Origin = {old.X + dx, old.Y + dy};
  return old;
}

TRect TCanvas::ClipRect() const { return FState.Clip.Offset(-FState.Origin.X, -FState.Origin.Y); }

void TCanvas::IntersectClipRect(const TRect& logical) {
  // As GDI, an inverted rectangle is put in order first.
  const TRect r{std::min(logical.Left, logical.Right), std::min(logical.Top, logical.Bottom), std::max(logical.Left, logical.Right),
                std::max(logical.Top, logical.Bottom)};
  FState.Clip = IntersectRect(FState.Clip, r.Offset(FState.Origin.X, FState.Origin.Y));
}

void TCanvas::SelectClipRect(const TRect* logical) {
  FState.Clip = WholeBitmap(FTarget);
  if (logical) IntersectClipRect(*logical);
}

int TCanvas::SaveDC() {
  FSaved.push_back(FState);
  return static_cast<int>(FSaved.size());
}

bool TCanvas::RestoreDC(int level) {
  const int count = static_cast<int>(FSaved.size());
  if (level < 0) level = count + 1 + level;
  if (level < 1 || level > count) return false;
  FState = FSaved[level - 1];
  FSaved.resize(level - 1);
  // The bitmap may have changed size since.
  FState.Clip = IntersectRect(FState.Clip, WholeBitmap(FTarget));
  return true;
}

void TCanvas::PlotDevice(int x, int y, std::uint32_t value) {
  if (FState.Clip.Contains({x, y})) FTarget.SetPixelValue(x, y, value);
}

void TCanvas::SpanDevice(int y, int x0, int x1, std::uint32_t value) {
  if (y < FState.Clip.Top || y >= FState.Clip.Bottom) return;
  x0 = std::max(x0, FState.Clip.Left);
  x1 = std::min(x1, FState.Clip.Right);
  if (x0 >= x1) return;
  if (FTarget.PixelFormat() == TPixelFormat::pf32bit) {
    std::fill_n(reinterpret_cast<std::uint32_t*>(FTarget.ScanLine(y)) + x0, x1 - x0, value);
    return;
  }
  for (int x = x0; x < x1; ++x) FTarget.SetPixelValue(x, y, value);
}

void TCanvas::FillDevice(const TRect& d, std::uint32_t value) {
  for (int y = std::max(d.Top, FState.Clip.Top); y < std::min(d.Bottom, FState.Clip.Bottom); ++y) SpanDevice(y, d.Left, d.Right, value);
}

TPoint TCanvas::ToDevice(TPoint p) const { return {p.X + FState.Origin.X, p.Y + FState.Origin.Y}; }

int TCanvas::PenDeviceWidth() const { return Pen.Style() == TPenStyle::psClear ? 0 : std::max(Pen.Width(), 1); }

std::uint32_t TCanvas::PenValue() const { return FTarget.ValueOf(ColorToRGB(Pen.Color())); }

// One segment of a cosmetic pen, its end point left out. Only the steps that fall inside the
// clip rectangle are walked; the dash pattern still counts the others.
void TCanvas::ThinSegment(TPoint a, TPoint b, long long& phase) {
  // As GDI's DIB engine, a point far out (2^28 or more) is scaled down by 8, which keeps the
  // arithmetic below in range.
  auto crop = [](TPoint& p) {
    constexpr int far = 0x10000000;
    if (p.X >= far || p.X <= -far || p.Y >= far || p.Y <= -far) p = {p.X / 8, p.Y / 8};
  };
  crop(a);
  crop(b);
  const long long dx = static_cast<long long>(b.X) - a.X, dy = static_cast<long long>(b.Y) - a.Y;
  if (dx == 0 && dy == 0) return;
  const raster::TLineSteps s = raster::LineStepsOf(dx, dy);
  const DashPattern* dash = PatternOf(Pen.Style());
  const std::uint32_t pen = PenValue();
  const TRect& clip = FState.Clip;
  const long long start = phase;
  phase += s.Major;
  if (clip.IsEmpty()) return;
  if (!dash && s.Minor == 0) {  // solid and straight: one span
    if (s.XMajor) {
      if (s.StepX > 0) SpanDevice(a.Y, a.X, b.X, pen);
      else SpanDevice(a.Y, b.X + 1, a.X + 1, pen);
    } else {
      const int y0 = s.StepY > 0 ? a.Y : b.Y + 1, y1 = s.StepY > 0 ? b.Y : a.Y + 1;
      if (a.X >= clip.Left && a.X < clip.Right)
        for (int y = std::max(y0, clip.Top); y < std::min(y1, clip.Bottom); ++y) FTarget.SetPixelValue(a.X, y, pen);
    }
    return;
  }
  const std::uint32_t gap = FTarget.ValueOf(FState.BkColor);
  const bool gaps = FState.BkMode == OPAQUE;
  const long long major0 = s.XMajor ? a.X : a.Y, minor0 = s.XMajor ? a.Y : a.X;
  const int majorStep = s.XMajor ? s.StepX : s.StepY, minorStep = s.XMajor ? s.StepY : s.StepX;
  const long long lo = s.XMajor ? clip.Left : clip.Top, hi = (s.XMajor ? clip.Right : clip.Bottom) - 1;
  const long long minorLo = s.XMajor ? clip.Top : clip.Left, minorHi = (s.XMajor ? clip.Bottom : clip.Right) - 1;
  long long first = majorStep > 0 ? lo - major0 : major0 - hi, last = majorStep > 0 ? hi - major0 : major0 - lo;
  first = std::max(first, 0LL);
  last = std::min(last, s.Major - 1);
  if (first > last) return;
  long long n = s.MinorAt(first);
  long long err = 2 * s.Minor - s.Major + 2 * first * s.Minor - 2 * n * s.Major;
  for (long long i = first; i <= last; ++i) {
    const long long minor = minor0 + minorStep * n;
    if (minor >= minorLo && minor <= minorHi) {
      const long long major = major0 + majorStep * i;
      const int x = static_cast<int>(s.XMajor ? major : minor), y = static_cast<int>(s.XMajor ? minor : major);
      if (!dash || DashOn(*dash, start + i)) FTarget.SetPixelValue(x, y, pen);
      else if (gaps) FTarget.SetPixelValue(x, y, gap);
    } else if ((minorStep > 0 && minor > minorHi) || (minorStep < 0 && minor < minorLo)) {
      break;  // past the clip rectangle for good
    }
    if (err + s.Bias > 0) {
      ++n;
      err += 2 * s.Minor - 2 * s.Major;
    } else {
      err += 2 * s.Minor;
    }
  }
}

void TCanvas::ThinStroke(const std::vector<TPoint>& device, bool closed) {
  if (Pen.Style() == TPenStyle::psClear || device.size() < 2) return;
  long long phase = 0;  // the dashes start afresh with every figure
  for (std::size_t i = 1; i < device.size(); ++i) ThinSegment(device[i - 1], device[i], phase);
  if (closed) ThinSegment(device.back(), device.front(), phase);
}

// The coverage box of a wide figure: its points widened by the pen, within the clip rectangle.
TRect TCanvas::WideBox(const std::vector<TPoint>& device) const {
  if (device.empty()) return {};
  const int w = PenDeviceWidth();
  long long l = device[0].X, t = device[0].Y, r = l, b = t;
  for (const TPoint& p : device) {
    l = std::min<long long>(l, p.X), r = std::max<long long>(r, p.X);
    t = std::min<long long>(t, p.Y), b = std::max<long long>(b, p.Y);
  }
  const TRect& c = FState.Clip;
  const TRect box{static_cast<int>(std::max<long long>(l - w, c.Left)), static_cast<int>(std::max<long long>(t - w, c.Top)),
                  static_cast<int>(std::min<long long>(r + w + 1, c.Right)), static_cast<int>(std::min<long long>(b + w + 1, c.Bottom))};
  return box.IsEmpty() ? TRect{} : box;
}

void TCanvas::PaintCoverage(const raster::TCoverage& c, std::uint32_t value) {
  c.ForEachRun([&](int y, int x0, int x1) { SpanDevice(y, x0, x1, value); });
}

void TCanvas::MoveTo(int x, int y) { FPenPos = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  Polyline({FPenPos, {x, y}});
  FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() < 2 || Pen.Style() == TPenStyle::psClear) return;
  std::vector<TPoint> device;
  device.reserve(points.size());
  for (const TPoint& p : points) device.push_back(ToDevice(p));
  if (!WidePen()) {
    ThinStroke(device, false);
    return;
  }
  if (Pen.Width() > raster::kMaxFigureExtent) return;
  raster::TCoverage outline(WideBox(device));
  raster::AddWideOutline(outline, device, false, Pen.Width());
  PaintCoverage(outline, PenValue());
}

// GDI's PatBlt rectangle: a negative width or height reaches back from the point, the point's
// own column or row included.
TRect TCanvas::BlitRect(int x, int y, int w, int h) const {
  const TPoint d = ToDevice({x, y});
  TRect r{d.X, d.Y, d.X + w, d.Y + h};
  if (w < 0) r.Left = d.X + w + 1, r.Right = d.X + 1;
  if (h < 0) r.Top = d.Y + h + 1, r.Bottom = d.Y + 1;
  return r;
}

void TCanvas::FillRect(const TRect& rect) {
  if (Brush.Style() == TBrushStyle::bsClear) return;
  FillDevice(BlitRect(rect.Left, rect.Top, rect.Width(), rect.Height()), FTarget.ValueOf(ColorToRGB(Brush.Color())));
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
  FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
  FillRect({r.Left, r.Top, r.Right, r.Top + 1});
  FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
}

// A figure's rectangle in device coordinates, ordered; false when it has no width or height. A
// psInsideFrame pen moves it in by half its width, so that the outline stays inside.
bool TCanvas::FigureRect(int x1, int y1, int x2, int y2, TRect& d) const {
  const TPoint a = ToDevice({x1, y1}), b = ToDevice({x2, y2});
  d = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
  if (d.Left == d.Right || d.Top == d.Bottom) return false;
  if (Pen.Style() == TPenStyle::psInsideFrame) {
    const int w = PenDeviceWidth();
    d = {d.Left + w / 2, d.Top + w / 2, d.Right - (w - 1) / 2, d.Bottom - (w - 1) / 2};
  }
  return true;
}

// The interior of a wide figure: the brush where the outline does not reach, then the outline.
template <class Rows>
void TCanvas::PaintWideFigure(const std::vector<TPoint>& outlinePoints, Rows interiorRows) {
  if (Pen.Width() > raster::kMaxFigureExtent) return;
  raster::TCoverage outline(WideBox(outlinePoints));
  raster::AddWideOutline(outline, outlinePoints, true, Pen.Width());
  if (Brush.Style() != TBrushStyle::bsClear) {
    const std::uint32_t fill = FTarget.ValueOf(ColorToRGB(Brush.Color()));
    interiorRows([&](int y, int x0, int x1) {
      // The parts of the row that the outline leaves free.
      for (const auto& s : outline.Row(y)) {
        if (s.second <= x0) continue;
        if (s.first >= x1) break;
        if (s.first > x0) SpanDevice(y, x0, s.first, fill);
        x0 = std::max(x0, s.second);
      }
      if (x0 < x1) SpanDevice(y, x0, x1, fill);
    });
  }
  PaintCoverage(outline, PenValue());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  TRect d;
  if (!FigureRect(x1, y1, x2, y2, d)) return;
  const int r = d.Right - 1, b = d.Bottom - 1;
  // The outline runs from the top-right corner to the left, as GDI starts its dashes.
  const std::vector<TPoint> outline = {{r, d.Top}, {d.Left, d.Top}, {d.Left, b}, {r, b}};
  if (WidePen()) {
    const TRect inside{std::min(d.Left, r), std::min(d.Top, b), std::max(d.Left, r), std::max(d.Top, b)};
    PaintWideFigure(outline, [&](auto&& row) {
      for (int y = std::max(inside.Top, FState.Clip.Top); y < std::min(inside.Bottom, FState.Clip.Bottom); ++y) row(y, inside.Left, inside.Right);
    });
    return;
  }
  ThinStroke(outline, true);
  if (Brush.Style() == TBrushStyle::bsClear) return;
  // Inside the one-pixel outline; without a pen one pixel smaller on the right and at the bottom.
  const int w = PenDeviceWidth();
  FillDevice({d.Left + (w + 1) / 2, d.Top + (w + 1) / 2, r - w / 2, b - w / 2}, FTarget.ValueOf(ColorToRGB(Brush.Color())));
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int ew, int eh) {
  TRect d;
  if (!FigureRect(x1, y1, x2, y2, d)) return;
  ew = static_cast<int>(std::min<long long>(d.Width(), std::llabs(static_cast<long long>(ew))));
  eh = static_cast<int>(std::min<long long>(d.Height(), std::llabs(static_cast<long long>(eh))));
  if (ew <= 2 || eh <= 2) {
    Rectangle(x1, y1, x2, y2);
    return;
  }
  if (ew > raster::kMaxFigureExtent || eh > raster::kMaxFigureExtent) return;
  // The outline: the ellipse's quarter at the top-right corner, mirrored to the left and then
  // down, each mirror leaving out the middle point it would repeat.
  const std::vector<TPoint> quarter = raster::EllipseQuadrant(ew, eh);
  std::vector<TPoint> points(4 * quarter.size());
  std::size_t count = quarter.size();
  for (std::size_t i = 0; i < count; ++i) points[i] = {d.Right - ew + quarter[i].X, d.Top + eh - 1 - quarter[i].Y};
  std::size_t end = 2 * count - 1;
  if (ew % 2 && ew == d.Width()) --end;
  for (std::size_t i = 0; i < count; ++i) points[end - i] = {d.Left + d.Right - 1 - points[i].X, points[i].Y};
  count = end + 1;
  end = 2 * count - 1;
  if (eh % 2 && eh == d.Height()) --end;
  for (std::size_t i = 0; i < count; ++i) points[end - i] = {points[i].X, d.Top + d.Bottom - 1 - points[i].Y};
  points.resize(end + 1);

  auto interior = [&](auto&& row) { raster::RoundRectRows(d, ew, eh, FState.Clip.Top, FState.Clip.Bottom, row); };
  if (WidePen()) {
    PaintWideFigure(points, interior);
    return;
  }
  if (Brush.Style() != TBrushStyle::bsClear) {
    const std::uint32_t fill = FTarget.ValueOf(ColorToRGB(Brush.Color()));
    interior([&](int y, int x0, int x1) { SpanDevice(y, x0, x1, fill); });
  }
  ThinStroke(points, true);
}

TColor TCanvas::Pixel(int x, int y) const {
  const TPoint d{x + FState.Origin.X, y + FState.Origin.Y};
  if (!FState.Clip.Contains(d)) return CLR_INVALID;
  return static_cast<TColor>(FTarget.PixelColor(d.X, d.Y));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  PlotDevice(x + FState.Origin.X, y + FState.Origin.Y, FTarget.ValueOf(ColorToRGB(color)));
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  // Every other pixel of the one-pixel border inverted, in a checkerboard fixed to the device
  // (those with an even x + y), each pixel once: drawing it twice takes it away.
  const TRect d = rect.Offset(FState.Origin.X, FState.Origin.Y);
  if (d.IsEmpty()) return;
  const std::uint32_t mask = FTarget.ValueMask();
  auto invert = [&](int x, int y) {
    if (((x + y) & 1) == 0 && FState.Clip.Contains({x, y}))
      FTarget.SetPixelValue(x, y, (FTarget.PixelValue(x, y) ^ mask) & mask);
  };
  for (int x = d.Left; x < d.Right; ++x) {
    invert(x, d.Top);
    if (d.Bottom - 1 > d.Top) invert(x, d.Bottom - 1);
  }
  for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
    invert(d.Left, y);
    if (d.Right - 1 > d.Left) invert(d.Right - 1, y);
  }
}

int TCanvas::TextWidth(std::string_view text) { return CurrentTextEngine().TextWidth(Font.Description(), text); }

int TCanvas::TextHeight(std::string_view) { return CurrentTextEngine().Metrics(Font.Description()).Height; }

TSize TCanvas::TextExtent(std::string_view text) { return {TextWidth(text), TextHeight(text)}; }

void TCanvas::DrawLine(std::string_view line, const std::vector<bool>& underlined, int x, int y) {
  platform::TextEngine& engine = CurrentTextEngine();
  const platform::FontDescription font = Font.Description();
  const platform::FontMetrics metrics = engine.Metrics(font);
  platform::GlyphCoverage glyphs;
  engine.Render(font, line, glyphs);
  const int ox = x + FState.Origin.X, oy = y + FState.Origin.Y;
  if (FState.BkMode == OPAQUE) {
    const std::uint32_t bk = FTarget.ValueOf(FState.BkColor);
    for (int j = 0; j < metrics.Height; ++j) SpanDevice(oy + j, ox, ox + glyphs.Width, bk);
  }
  const TColorRef fg = FState.TextColor;
  const std::uint32_t fgValue = FTarget.ValueOf(fg);
  const bool direct = FTarget.PixelFormat() == TPixelFormat::pf24bit || FTarget.PixelFormat() == TPixelFormat::pf32bit;
  for (int j = 0; j < glyphs.Height; ++j) {
    for (int i = 0; i < glyphs.Width; ++i) {
      const unsigned alpha = glyphs.Alpha[static_cast<std::size_t>(j) * glyphs.Width + i];
      if (alpha == 0) continue;
      const int dx = ox + i, dy = oy + j;
      if (!FState.Clip.Contains({dx, dy})) continue;
      if (alpha >= 255 || !direct) {
        if (alpha >= 128) FTarget.SetPixelValue(dx, dy, fgValue);
        continue;
      }
      const TColorRef under = FTarget.PixelColor(dx, dy);
      auto mix = [&](unsigned f, unsigned u) { return (f * alpha + u * (255 - alpha) + 127) / 255; };
      FTarget.SetPixelValue(dx, dy, RgbToPixel(RGB(mix(GetRValue(fg), GetRValue(under)), mix(GetGValue(fg), GetGValue(under)),
                                                   mix(GetBValue(fg), GetBValue(under)))));
    }
  }
  const int underlineRow = oy + std::min(metrics.Ascent + 1, std::max(0, metrics.Height - 1));
  if (Font.Style() & fsUnderline) SpanDevice(underlineRow, ox, ox + glyphs.Width, fgValue);
  if (Font.Style() & fsStrikeOut) SpanDevice(oy + metrics.Ascent - (metrics.Ascent + 2) / 3, ox, ox + glyphs.Width, fgValue);
  for (std::size_t i = 0; i < underlined.size() && i < line.size(); ++i) {
    if (!underlined[i]) continue;
    const int left = engine.TextWidth(font, line.substr(0, i));
    const int right = engine.TextWidth(font, line.substr(0, i + 1));
    SpanDevice(underlineRow, ox + left, ox + right, fgValue);
  }
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  DrawLine(text, {}, x, y);
  FPenPos = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  SaveDC();
  IntersectClipRect(rect);
  if (FState.BkMode == OPAQUE) {
    const TRect d = rect.Offset(FState.Origin.X, FState.Origin.Y);
    const std::uint32_t bk = FTarget.ValueOf(FState.BkColor);
    for (int j = d.Top; j < d.Bottom; ++j) SpanDevice(j, d.Left, d.Right, bk);
  }
  DrawLine(text, {}, x, y);
  RestoreDC(-1);
}

int TCanvas::DrawText(std::string_view text, TRect& rect, unsigned format) {
  // The "&" prefix: the next character is underlined, "&&" is one "&", a lone last "&" is dropped.
  TextLine all;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool underline = false;
    if (c == '&' && !(format & DT_NOPREFIX)) {
      if (i + 1 >= text.size()) break;
      c = text[++i];
      underline = c != '&';
    }
    all.Text.push_back(c);
    all.Underlined.push_back(underline);
  }

  // Paragraphs at line breaks, unless single line.
  std::vector<TextLine> paragraphs;
  if (format & DT_SINGLELINE) {
    paragraphs.push_back(all);
  } else {
    TextLine current;
    for (std::size_t i = 0; i < all.Text.size(); ++i) {
      const char c = all.Text[i];
      if (c == '\r' || c == '\n') {
        paragraphs.push_back(std::move(current));
        current = {};
        if (c == '\r' && i + 1 < all.Text.size() && all.Text[i + 1] == '\n') ++i;
        continue;
      }
      current.Text.push_back(c);
      current.Underlined.push_back(all.Underlined[i]);
    }
    paragraphs.push_back(std::move(current));
  }

  // Word breaks: as many whole words as fit; the blanks at a break go; a word wider than the
  // rectangle stays whole on its own line.
  const int maxWidth = rect.Width();
  std::vector<TextLine> lines;
  for (TextLine& p : paragraphs) {
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) || TextWidth(p.Text) <= maxWidth) {
      lines.push_back(std::move(p));
      continue;
    }
    std::size_t at = 0;
    const std::size_t n = p.Text.size();
    while (at < n) {
      std::size_t end = at;  // end of the last word that fits
      std::size_t scan = at;
      // First word, with any blanks before it.
      while (scan < n && p.Text[scan] == ' ') ++scan;
      while (scan < n && p.Text[scan] != ' ') ++scan;
      end = scan;
      while (scan < n) {
        std::size_t next = scan;
        while (next < n && p.Text[next] == ' ') ++next;
        if (next >= n) {
          end = n;  // blanks at the very end stay with the last line
          break;
        }
        std::size_t wordEnd = next;
        while (wordEnd < n && p.Text[wordEnd] != ' ') ++wordEnd;
        if (TextWidth(std::string_view(p.Text).substr(at, wordEnd - at)) > maxWidth) break;
        end = wordEnd;
        scan = wordEnd;
      }
      TextLine line;
      line.Text = p.Text.substr(at, end - at);
      line.Underlined.assign(p.Underlined.begin() + static_cast<long>(at), p.Underlined.begin() + static_cast<long>(end));
      lines.push_back(std::move(line));
      at = end;
      if (at < n) {
        while (at < n && p.Text[at] == ' ') ++at;
        if (at >= n) break;
      }
    }
    if (n == 0) lines.push_back({});
  }

  if (format & DT_RTLREADING)
    for (TextLine& l : lines) RightToLeftReadingOrder(l, Font.Charset());

  const int lineHeight = CurrentTextEngine().Metrics(Font.Description()).Height;
  if (text.empty()) {
    if (format & DT_CALCRECT) {
      rect.Right = rect.Left;
      rect.Bottom = rect.Top;
    }
    return 0;
  }
  const int total = lineHeight * static_cast<int>(lines.size());
  std::vector<int> widths;
  int widest = 0;
  for (const TextLine& l : lines) {
    widths.push_back(TextWidth(l.Text));
    widest = std::max(widest, widths.back());
  }
  if (format & DT_CALCRECT) {
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + total;
    return total;
  }

  int y = rect.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect.Top + (rect.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect.Bottom - lineHeight;
  }
  const bool clip = !(format & DT_NOCLIP);
  if (clip) {
    SaveDC();
    IntersectClipRect(rect);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int x = rect.Left;
    if (format & DT_CENTER) x = rect.Left + (rect.Width() - widths[i]) / 2;
    else if (format & DT_RIGHT) x = rect.Right - widths[i];
    DrawLine(lines[i].Text, lines[i].Underlined, x, y + static_cast<int>(i) * lineHeight);
  }
  if (clip) RestoreDC(-1);
  if (format & DT_SINGLELINE && (format & (DT_VCENTER | DT_BOTTOM))) return y - rect.Top + total;
  return total;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  if (!bitmap.Transparent) {
    BitBlt(*this, x, y, bitmap.Width(), bitmap.Height(), &bitmap.Canvas(), 0, 0, CopyMode);
    return;
  }
  const TColorRef key = ColorToRGB(bitmap.TransparentColor());
  for (int j = 0; j < bitmap.Height(); ++j)
    for (int i = 0; i < bitmap.Width(); ++i) {
      const TColorRef c = bitmap.PixelColor(i, j);
      if (c != key) PlotDevice(x + i + FState.Origin.X, y + j + FState.Origin.Y, FTarget.ValueOf(c));
    }
}

namespace {

// The blit behind BitBlt, CopyRect and PatBlt, in device coordinates after clipping.
bool Blit(TCanvas& dest, TRect d, TCanvas* source, TRect s, std::uint32_t rop) {
  const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  const bool needSource = UsesSource(code);
  if (needSource && !source) return false;
  TBitmap& dst = dest.Target();
  std::uint32_t pattern = 0;
  if (UsesPattern(code)) {
    // A clear brush paints nothing.
    if (dest.Brush.Style() == TBrushStyle::bsClear) return true;
    pattern = dst.ValueOf(ColorToRGB(dest.Brush.Color()));
  }
  const int dw = d.Width(), dh = d.Height();
  const int sw = s.Width(), sh = s.Height();
  if (dw <= 0 || dh <= 0) return true;
  const TRect clip = dest.DeviceClip();

  enum class Conversion { Raw, MonoToColor, ColorToMono, ViaRgb } conversion = Conversion::Raw;
  std::uint32_t mono0 = 0, mono1 = 0;
  TColorRef sourceBk = 0;
  const TBitmap* src = needSource ? &source->Target() : nullptr;
  std::vector<std::uint32_t> snapshot;
  if (src) {
    if (src->PixelFormat() == TPixelFormat::pf1bit && dst.PixelFormat() != TPixelFormat::pf1bit) {
      conversion = Conversion::MonoToColor;
      mono0 = dst.ValueOf(dest.TextColor());
      mono1 = dst.ValueOf(dest.BkColor());
    } else if (src->PixelFormat() != TPixelFormat::pf1bit && dst.PixelFormat() == TPixelFormat::pf1bit) {
      conversion = Conversion::ColorToMono;
      sourceBk = source->BkColor();
    } else if (src->PixelFormat() != dst.PixelFormat() ||
               (dst.PixelFormat() == TPixelFormat::pf8bit && src->Palette() != dst.Palette())) {
      conversion = Conversion::ViaRgb;
    }
    // The same bitmap on both sides: read every source pixel before writing any.
    if (src == &dst) {
      snapshot.reserve(static_cast<std::size_t>(sw) * sh);
      for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sw; ++i) snapshot.push_back(src->PixelValue(s.Left + i, s.Top + j));
    }
  }
  auto sourceValue = [&](int i, int j) -> std::uint32_t {
    const std::uint32_t v = snapshot.empty() ? src->PixelValue(s.Left + i, s.Top + j) : snapshot[static_cast<std::size_t>(j) * sw + i];
    switch (conversion) {
      case Conversion::Raw: return v;
      case Conversion::MonoToColor: return v ? mono1 : mono0;
      case Conversion::ColorToMono: return src->ColorOf(v) == sourceBk ? 1 : 0;
      case Conversion::ViaRgb: return dst.ValueOf(src->ColorOf(v));
    }
    return v;
  };
  const std::uint32_t mask = dst.ValueMask();
  const bool stretch = src && (sw != dw || sh != dh);
  const int y0 = std::max(d.Top, clip.Top), y1 = std::min(d.Bottom, clip.Bottom);
  const int x0 = std::max(d.Left, clip.Left), x1 = std::min(d.Right, clip.Right);
  if (x0 >= x1 || y0 >= y1) return true;  // clipped away (a negative count would reach memcpy)
  if (src && !stretch && code == 0xCC && conversion == Conversion::Raw && snapshot.empty() && dst.PixelFormat() != TPixelFormat::pf1bit) {
    const int bytes = BitsPerPixel(dst.PixelFormat()) / 8;
    for (int y = y0; y < y1; ++y)
      std::memcpy(dst.ScanLine(y) + x0 * bytes, src->ScanLine(s.Top + y - d.Top) + (s.Left + x0 - d.Left) * bytes,
                  static_cast<std::size_t>(x1 - x0) * bytes);
    return true;
  }
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int i = x - d.Left, j = y - d.Top;
      if (stretch) {
        i = static_cast<int>(static_cast<long long>(i) * sw / dw);
        j = static_cast<int>(static_cast<long long>(j) * sh / dh);
      }
      const std::uint32_t sv = src ? sourceValue(i, j) : 0;
      dst.SetPixelValue(x, y, ApplyRop3(code, pattern, sv, dst.PixelValue(x, y)) & mask);
    }
  }
  return true;
}

}  // namespace

bool BitBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas* source, int sx, int sy, std::uint32_t rop) {
  // A negative width or height reaches back from both points, their own column or row included
  // (the same extents on both sides: no mirroring).
  if (w < 0) x += w + 1, sx += w + 1, w = -w;
  if (h < 0) y += h + 1, sy += h + 1, h = -h;
  if (w == 0 || h == 0) return true;
  const TPoint o = dest.ViewportOrg();
  TRect d = Bounds(x + o.X, y + o.Y, w, h);
  const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  if (!UsesSource(code)) return Blit(dest, d, nullptr, {}, rop);
  if (!source) return false;
  const TPoint so = source->ViewportOrg();
  TRect s = Bounds(sx + so.X, sy + so.Y, w, h);
  // Only what the source bitmap holds is copied; the destination shrinks with it.
  const TRect inside = IntersectRect(s, {0, 0, source->Target().Width(), source->Target().Height()});
  if (inside.IsEmpty()) return true;
  d = {d.Left + inside.Left - s.Left, d.Top + inside.Top - s.Top, d.Right - (s.Right - inside.Right), d.Bottom - (s.Bottom - inside.Bottom)};
  return Blit(dest, d, source, inside, rop);
}

bool PatBlt(TCanvas& dest, int x, int y, int w, int h, std::uint32_t rop) {
  const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  if (UsesSource(code)) return false;
  return BitBlt(dest, x, y, w, h, nullptr, 0, 0, rop);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
    BitBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), &source, sourceRect.Left, sourceRect.Top, CopyMode);
    return;
  }
  const TPoint so = source.ViewportOrg();
  const TRect s = sourceRect.Offset(so.X, so.Y);
  if (s.IsEmpty() || IntersectRect(s, {0, 0, source.Target().Width(), source.Target().Height()}) != s) return;
  Blit(*this, dest.Offset(FState.Origin.X, FState.Origin.Y), &source, s, CopyMode);
}

}  // namespace kestrova::gfx
