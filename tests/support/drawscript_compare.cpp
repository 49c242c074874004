#include "tests/support/drawscript_compare.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace kestrova::testing::draw {

TScript Shrink(TScript s, const std::function<bool(const TScript&)>& fails, int tries) {
  auto attempt = [&](const TScript& t) {
    if (tries <= 0) return false;
    --tries;
    return fails(t);
  };
  for (bool progress = true; progress && tries > 0;) {
    progress = false;
    for (std::size_t i = s.Commands.size(); i-- > 0;) {
      TScript t = s;
      t.Commands.erase(t.Commands.begin() + static_cast<long>(i));
      if (attempt(t)) s = std::move(t), progress = true;
    }
    for (std::size_t i = 0; i < s.Commands.size(); ++i) {
      if (s.Commands[i].Op != TOp::Polyline) continue;
      for (std::size_t p = s.Commands[i].Args.size() / 2; p-- > 0 && s.Commands[i].Args.size() > 4;) {
        TScript t = s;
        std::vector<int>& a = t.Commands[i].Args;
        a.erase(a.begin() + static_cast<long>(2 * p), a.begin() + static_cast<long>(2 * p + 2));
        if (attempt(t)) s = std::move(t), progress = true;
      }
    }
    for (std::size_t i = 0; i < s.Commands.size(); ++i)
      for (std::size_t j = 0; j < s.Commands[i].Args.size(); ++j) {
        for (;;) {
          const int v = s.Commands[i].Args[j];
          if (v == 0) break;
          bool moved = false;
          for (int candidate : {0, v / 2, v - (v > 0 ? 1 : -1)}) {
            if (candidate == v) continue;
            TScript t = s;
            t.Commands[i].Args[j] = candidate;
            if (attempt(t)) {
              s = std::move(t);
              moved = progress = true;
              break;
            }
          }
          if (!moved) break;
        }
      }
    for (int* extent : {&s.Width, &s.Height})
      while (*extent > 1) {
        TScript t = s;
        int* e = extent == &s.Width ? &t.Width : &t.Height;
        *e -= 1;
        if (!attempt(t)) break;
        s = std::move(t);
        progress = true;
      }
  }
  return s;
}

namespace {

struct TLegend {
  std::vector<std::uint32_t> Colors;
  char CharOf(std::uint32_t rgb) {
    if (rgb == 0xFFFFFF) return '.';
    if (rgb == 0x000000) return '#';
    static const char symbols[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (std::size_t i = 0; i < Colors.size(); ++i)
      if (Colors[i] == rgb) return i + 1 < sizeof symbols ? symbols[i] : '?';
    Colors.push_back(rgb);
    return Colors.size() < sizeof symbols ? symbols[Colors.size() - 1] : '?';
  }
};

std::string RgbText(std::uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", rgb & 0xFFFFFF);
  return buf;
}

void Compare(std::ostringstream& out, const char* name, int w, int h, const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, bool mono) {
  using T = std::uint32_t;
  std::size_t count = 0;
  std::ostringstream first;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if (a[i] == b[i]) continue;
      if (count < 6) {
        auto text = [&](T v) { return mono ? std::string(v ? "white" : "black") : RgbText(static_cast<std::uint32_t>(v)); };
        first << "  (" << x << "," << y << ") canvas " << text(a[i]) << ", GDI " << text(b[i]) << '\n';
      }
      ++count;
    }
  if (!count) return;
  out << name << ": " << count << (count == 1 ? " pixel differs\n" : " pixels differ\n") << first.str();
  TLegend legend;
  auto row = [&](const std::vector<T>& p, int y) {
    std::string r;
    for (int x = 0; x < w; ++x) {
      const T v = p[static_cast<std::size_t>(y) * w + x];
      r.push_back(mono ? (v ? '.' : '#') : legend.CharOf(static_cast<std::uint32_t>(v)));
    }
    return r;
  };
  const std::size_t column = static_cast<std::size_t>(std::max(w, 6));
  auto pad = [&](std::string t) {
    t.resize(column, ' ');
    return t;
  };
  out << "  " << pad("canvas") << "  " << pad("GDI") << "  differences\n";
  for (int y = 0; y < h; ++y) {
    std::string marks;
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      marks.push_back(a[i] == b[i] ? '.' : 'X');
    }
    out << "  " << pad(row(a, y)) << "  " << pad(row(b, y)) << "  " << marks << '\n';
  }
  if (!mono) {
    out << "  legend: . #FFFFFF  # #000000";
    static const char symbols[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (std::size_t i = 0; i < legend.Colors.size() && i + 1 < sizeof symbols; ++i) out << "  " << symbols[i] << ' ' << RgbText(legend.Colors[i]);
    out << '\n';
  }
}

}  // namespace

std::string Differences(const TPictures& canvas, const TPictures& gdi) {
  std::ostringstream out;
  if (canvas.Width != gdi.Width || canvas.Height != gdi.Height) return "the bitmaps differ in size\n";
  for (int i = 0; i < kTargets; ++i) {
    const auto t = static_cast<TTarget>(i);
    Compare(out, TargetName(t), canvas.Width, canvas.Height, canvas.Pixels[i], gdi.Pixels[i], IsOneBit(t));
  }
  return out.str();
}

}  // namespace kestrova::testing::draw
