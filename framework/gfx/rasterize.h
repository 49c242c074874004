// The pixel rules of GDI's figures, in device coordinates: which pixels a cosmetic line takes in
// each octant, the points of an ellipse's quarter, the rows of a rounded-rectangle region, the
// spans of a polygon, and the outline of a geometric (wide) pen with round caps and joins.
// Used by the canvas only.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "framework/gfx/geometry.h"

namespace kestrova::gfx::raster {

// The largest ellipse and pen the figures compute: beyond it they are not drawn, so that a wild
// size can neither overflow the arithmetic nor exhaust memory.
constexpr int kMaxFigureExtent = 1 << 16;

// A set of pixels within a box, kept as sorted, merged spans per row: the coverage of a figure
// before it is painted, which costs its outline rather than its area.
class TCoverage {
 public:
  using TSpans = std::vector<std::pair<int, int>>;  // [x0, x1), x1 exclusive
  explicit TCoverage(const TRect& box) : FBox(box.IsEmpty() ? TRect{} : box), FRows(static_cast<std::size_t>(FBox.Height())) {}
  const TRect& Box() const { return FBox; }
  void Span(long long y, long long x0, long long x1) {
    if (y < FBox.Top || y >= FBox.Bottom) return;
    x0 = std::max<long long>(x0, FBox.Left);
    x1 = std::min<long long>(x1, FBox.Right);
    if (x0 >= x1) return;
    FRows[static_cast<std::size_t>(y - FBox.Top)].push_back({static_cast<int>(x0), static_cast<int>(x1)});
    FMerged = false;
  }
  // The row's spans, sorted and merged; empty outside the box.
  const TSpans& Row(int y) const {
    static const TSpans none;
    if (y < FBox.Top || y >= FBox.Bottom) return none;
    Merge();
    return FRows[static_cast<std::size_t>(y - FBox.Top)];
  }
  // f(y, x0, x1) for each run of covered pixels.
  template <class F>
  void ForEachRun(F f) const {
    for (int y = FBox.Top; y < FBox.Bottom; ++y)
      for (const auto& s : Row(y)) f(y, s.first, s.second);
  }

 private:
  void Merge() const {
    if (FMerged) return;
    for (TSpans& row : FRows) {
      if (row.size() < 2) continue;
      std::sort(row.begin(), row.end());
      std::size_t n = 0;
      for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i].first <= row[n].second) row[n].second = std::max(row[n].second, row[i].second);
        else row[++n] = row[i];
      }
      row.resize(n + 1);
    }
    FMerged = true;
  }
  TRect FBox;
  mutable std::vector<TSpans> FRows;
  mutable bool FMerged = true;
};

// How a cosmetic line from (0, 0) to (dx, dy) steps. GDI's lines are not symmetric: at a tie
// between two pixels the minor axis moves early in the octants counted 3, 5, 6 and 8 clockwise
// from the positive x axis (y down), late in the others. Step i along the major axis is at
// minor offset ceil((2 i minor - major + bias) / (2 major)).
struct TLineSteps {
  bool XMajor = true;
  int Bias = 0;
  int StepX = 1, StepY = 1;
  long long Major = 0, Minor = 0;
  long long MinorAt(long long i) const {
    const long long num = 2 * i * Minor - Major + Bias, den = 2 * Major;
    return num >= 0 ? (num + den - 1) / den : -((-num) / den);
  }
};

inline TLineSteps LineStepsOf(long long dx, long long dy) {
  int octant;
  if (dy > 0) octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  TLineSteps s;
  s.XMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
  s.Bias = octant == 3 || octant == 5 || octant == 6 || octant == 8 ? 1 : 0;
  s.StepX = dx >= 0 ? 1 : -1;
  s.StepY = dy >= 0 ? 1 : -1;
  s.Major = s.XMajor ? std::llabs(dx) : std::llabs(dy);
  s.Minor = s.XMajor ? std::llabs(dy) : std::llabs(dx);
  return s;
}

// The points of an ellipse of width x height pixels in its first quarter (relative to its box),
// from the right end of its middle row down to the bottom middle: the midpoint ellipse of
// A. Zingl, as GDI walks it.
inline std::vector<TPoint> EllipseQuadrant(int width, int height) {
  const long long a = width - 1, b = height - 1;
  const long long aa8 = 8 * a * a, bb8 = 8 * b * b;
  long long ex = 4 * b * b * (1 - a), ey = 4 * a * a * (1 + b % 2);
  long long err = ex + ey + a * a * (b % 2);
  std::vector<TPoint> points;
  int x = static_cast<int>(a), y = height / 2;
  while (x >= width / 2) {
    const long long twice = 2 * err;
    points.push_back({x, y});
    if (twice >= ex) {
      --x;
      ex += bb8;
      err += ex;
    }
    if (twice <= ey) {
      ++y;
      ey += aa8;
      err += ey;
    }
  }
  return points;
}

// The region of a rectangle [r) with corners cut by an ellipse of ew x eh (2 or more, no larger
// than the rectangle), row by row within [top, bottom): f(y, x0, x1), x1 exclusive. The middle
// rows are the whole width.
template <class F>
void RoundRectRows(const TRect& r, int ew, int eh, int top, int bottom, F f) {
  const long long a = ew - 1, b = eh - 1;
  const long long aa8 = 8 * a * a, bb8 = 8 * b * b;
  long long ex = 4 * b * b * (1 - a), ey = 4 * a * a * (1 + b % 2);
  long long err = ex + ey + a * a * (b % 2);
  // Rows the walk never reaches (a tall, narrow ellipse ends before its last row) stay empty.
  std::vector<std::pair<int, int>> rows(static_cast<std::size_t>(eh), {r.Left, r.Left});
  rows[static_cast<std::size_t>(eh / 2)] = {r.Left, r.Right};
  int x = 0, y = eh / 2;
  while (x <= ew / 2) {
    const long long twice = 2 * err;
    if (twice >= ex) {
      ++x;
      ex += bb8;
      err += ex;
    }
    if (twice <= ey) {
      ++y;
      ey += aa8;
      err += ey;
      if (y < eh) rows[static_cast<std::size_t>(y)] = {r.Left + x, r.Right - x};
    }
  }
  auto emit = [&](long long yy, const std::pair<int, int>& row) {
    if (yy >= top && yy < bottom) f(static_cast<int>(yy), row.first, row.second);
  };
  for (int i = 0; i < eh / 2; ++i) emit(static_cast<long long>(r.Top) + i, rows[static_cast<std::size_t>(eh - 1 - i)]);
  const long long middleEnd = std::min<long long>(static_cast<long long>(r.Bottom) - eh + eh / 2 + 1, bottom);
  for (long long yy = std::max<long long>(static_cast<long long>(r.Top) + eh / 2, top); yy < middleEnd; ++yy) emit(yy, {r.Left, r.Right});
  for (int i = eh / 2 + 1; i < eh; ++i) emit(static_cast<long long>(r.Bottom) - eh + i, rows[static_cast<std::size_t>(i)]);
}

// The pixels of a closed polygon by the alternate (even-odd) rule, rows from top to bottom
// within [top, bottom): each edge covers the rows from its upper end to just above its lower end,
// at the first pixel whose x is not left of the edge; pairs of edges bound the spans.
template <class F>
void PolygonSpans(const std::vector<TPoint>& pts, int top, int bottom, F f) {
  struct TEdge {
    long long X, Y, Dx, Dy;
  };
  std::vector<TEdge> edges;
  long long ymin = 0, ymax = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const TPoint& p = pts[i == 0 ? pts.size() - 1 : i - 1];
    const TPoint& q = pts[i];
    if (p.Y == q.Y) continue;
    const TPoint& upper = p.Y < q.Y ? p : q;
    const TPoint& lower = p.Y < q.Y ? q : p;
    edges.push_back({upper.X, upper.Y, static_cast<long long>(lower.X) - upper.X, static_cast<long long>(lower.Y) - upper.Y});
    ymin = edges.size() == 1 ? upper.Y : std::min<long long>(ymin, upper.Y);
    ymax = edges.size() == 1 ? lower.Y : std::max<long long>(ymax, lower.Y);
  }
  std::vector<long long> xs;
  for (long long y = std::max<long long>(ymin, top); y < std::min<long long>(ymax, bottom); ++y) {
    xs.clear();
    for (const TEdge& e : edges) {
      const long long k = y - e.Y;
      if (k < 0 || k >= e.Dy) continue;
      const long long num = k * e.Dx;
      xs.push_back(e.X + (num >= 0 ? (num + e.Dy - 1) / e.Dy : -((-num) / e.Dy)));
    }
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) f(y, xs[i], xs[i + 1]);
  }
}

// The round end of a geometric pen of width w centred on p: the elliptic region of a w x w box
// reaching w / 2 up and left of the point.
inline void AddDisc(TCoverage& out, TPoint p, int w) {
  const TRect box{p.X - w / 2, p.Y - w / 2, p.X + (w + 1) / 2, p.Y + (w + 1) / 2};
  if (IntersectRect(box, out.Box()).IsEmpty()) return;
  RoundRectRows(box, w, w, out.Box().Top, out.Box().Bottom, [&](int y, int x0, int x1) { out.Span(y, x0, x1); });
}

// The body of one segment of a geometric pen: a band of the pen's width, w / 2 of it above
// (left of) a horizontal (vertical) segment; a slanted one is the quadrilateral of its two
// faces, rounded to whole pixels.
inline void AddSegment(TCoverage& out, TPoint p, TPoint q, int w) {
  const long long dx = static_cast<long long>(q.X) - p.X, dy = static_cast<long long>(q.Y) - p.Y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    for (long long y = static_cast<long long>(p.Y) - w / 2; y < static_cast<long long>(p.Y) - w / 2 + w; ++y) out.Span(y, std::min(p.X, q.X), std::max(p.X, q.X));
    return;
  }
  if (dx == 0) {
    const long long top = std::max<long long>(std::min(p.Y, q.Y), out.Box().Top), bottom = std::min<long long>(std::max(p.Y, q.Y), out.Box().Bottom);
    for (long long y = top; y < bottom; ++y) out.Span(y, static_cast<long long>(p.X) - w / 2, static_cast<long long>(p.X) - w / 2 + w);
    return;
  }
  const double length = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double across = w * std::fabs(static_cast<double>(dy)) / length, down = w * std::fabs(static_cast<double>(dx)) / length;
  auto round = [](double v) { return static_cast<int>(v > 0 ? v + 0.5 : v - 0.5); };
  TPoint narrow{round(across / 2), round(down / 2)}, wide{round((across + 1) / 2), round((down + 1) / 2)};
  if (dx < 0) {
    wide.Y = -wide.Y;
    narrow.Y = -narrow.Y;
  }
  if (dy < 0) {
    std::swap(narrow, wide);
    wide.X = -wide.X;
    narrow.X = -narrow.X;
  }
  const std::vector<TPoint> quad = {{p.X - narrow.X, p.Y + narrow.Y}, {p.X + wide.X, p.Y - wide.Y}, {q.X + wide.X, q.Y - wide.Y}, {q.X - narrow.X, q.Y + narrow.Y}};
  PolygonSpans(quad, out.Box().Top, out.Box().Bottom, [&](long long y, long long x0, long long x1) { out.Span(y, x0, x1); });
}

// The outline of a geometric pen of width w with round caps and joins along the points: every
// segment's body and a round end on every point (the caps of an open figure, the joins of all).
inline void AddWideOutline(TCoverage& out, std::vector<TPoint> pts, bool closed, int w) {
  if (pts.empty()) return;
  while (pts.size() > 2 && pts[0] == pts[1]) pts.erase(pts.begin());
  while (pts.size() > 2 && pts[pts.size() - 1] == pts[pts.size() - 2]) pts.pop_back();
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) AddSegment(out, pts[i], pts[i + 1], w);
  if (closed && pts.size() > 1) AddSegment(out, pts.back(), pts.front(), w);
  for (const TPoint& p : pts) AddDisc(out, p, w);
}

}  // namespace kestrova::gfx::raster
