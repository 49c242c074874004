#include "tests/support/drawscript.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace kestrova::testing::draw {

namespace {

struct TNamedRop {
  const char* Name;
  std::uint32_t Rop;
};

// The codes of the named operations, as <wingdi.h> defines them.
constexpr std::array<TNamedRop, 17> kRops = {{
    {"SRCCOPY", 0x00CC0020},   {"SRCPAINT", 0x00EE0086},   {"SRCAND", 0x008800C6},    {"SRCINVERT", 0x00660046},
    {"SRCERASE", 0x00440328},  {"NOTSRCCOPY", 0x00330008}, {"NOTSRCERASE", 0x001100A6}, {"MERGECOPY", 0x00C000CA},
    {"MERGEPAINT", 0x00BB0226}, {"PATCOPY", 0x00F00021},   {"PATPAINT", 0x00FB0A09},  {"PATINVERT", 0x005A0049},
    {"DSTINVERT", 0x00550009}, {"BLACKNESS", 0x00000042},  {"WHITENESS", 0x00FF0062}, {"DSPDxax", 0x00E20746},
    {"PSDPxax", 0x00B8074A},
}};

constexpr std::array<const char*, 7> kStyleNames = {"solid", "dash", "dot", "dashdot", "dashdotdot", "clear", "insideframe"};
constexpr std::array<const char*, kTargets> kTargetNames = {"main", "aux", "work", "mono", "mask"};

struct TOpInfo {
  TOp Op;
  const char* Name;
  int Numbers;  // coordinates before any colour, target or operation; -1: points
};

constexpr std::array<TOpInfo, 22> kOps = {{
    {TOp::Dc, "dc", 0},           {TOp::Pen, "pen", 1},        {TOp::Brush, "brush", 0},   {TOp::BrushClear, "brush", 0},
    {TOp::BkMode, "bkmode", 0},   {TOp::BkColor, "bkcolor", 0}, {TOp::TextColor, "textcolor", 0},
    {TOp::MoveTo, "moveto", 2},   {TOp::LineTo, "lineto", 2},  {TOp::Polyline, "polyline", -1},
    {TOp::Rect, "rect", 4},       {TOp::RoundRect, "roundrect", 6}, {TOp::Focus, "focus", 4}, {TOp::Fill, "fill", 4},
    {TOp::Frame, "frame", 4},     {TOp::Pixel, "pixel", 2},    {TOp::PatBlt, "patblt", 4}, {TOp::Blit, "blit", 4},
    {TOp::Origin, "origin", 2},   {TOp::Clip, "clip", 4},      {TOp::Save, "save", 0},     {TOp::Restore, "restore", 1},
}};

const TOpInfo& InfoOf(TOp op) {
  for (const TOpInfo& i : kOps)
    if (i.Op == op) return i;
  return kOps[0];
}

std::string ColorText(std::uint32_t c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return buf;
}

[[noreturn]] void Fail(int line, const std::string& message, std::string_view found) {
  throw std::invalid_argument("Line " + std::to_string(line) + ": " + message + " \"" + std::string(found) + "\"");
}

// A decimal integer, the same in every locale; no partial reads.
bool ReadInt(std::string_view t, int& out) {
  if (t.empty()) return false;
  std::size_t i = 0;
  const bool negative = t[0] == '-';
  if (negative || t[0] == '+') i = 1;
  if (i >= t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
    if (v > 1000000000) return false;
  }
  out = static_cast<int>(negative ? -v : v);
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadColor(std::string_view t, std::uint32_t& out) {
  if (t.size() != 7 || t[0] != '#') return false;
  std::uint32_t rgb = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const int d = HexDigit(t[i]);
    if (d < 0) return false;
    rgb = rgb << 4 | static_cast<std::uint32_t>(d);
  }
  out = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

bool ReadRop(std::string_view t, std::uint32_t& out) {
  for (const TNamedRop& r : kRops)
    if (t == r.Name) {
      out = r.Rop;
      return true;
    }
  if (t.size() != 10 || t[0] != '0' || (t[1] != 'x' && t[1] != 'X')) return false;
  std::uint32_t v = 0;
  for (std::size_t i = 2; i < t.size(); ++i) {
    const int d = HexDigit(t[i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  out = v;
  return true;
}

template <std::size_t N>
int IndexOf(const std::array<const char*, N>& names, std::string_view t) {
  for (std::size_t i = 0; i < N; ++i)
    if (t == names[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace

const char* TargetName(TTarget t) { return kTargetNames[static_cast<std::size_t>(t)]; }

std::string RopName(std::uint32_t rop) {
  for (const TNamedRop& r : kRops)
    if (r.Rop == rop) return r.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", rop);
  return buf;
}

std::string Format(const TScript& s) {
  std::ostringstream out;
  out << "size " << s.Width << ' ' << s.Height << '\n';
  for (const TCommand& c : s.Commands) {
    out << InfoOf(c.Op).Name;
    switch (c.Op) {
      case TOp::Dc: out << ' ' << kTargetNames[static_cast<int>(c.Target)]; break;
      case TOp::Pen: out << ' ' << c.Args.at(0) << ' ' << kStyleNames[static_cast<int>(c.Style)] << ' ' << ColorText(c.Color); break;
      case TOp::Brush:
      case TOp::BkColor:
      case TOp::TextColor: out << ' ' << ColorText(c.Color); break;
      case TOp::BrushClear: out << " clear"; break;
      case TOp::BkMode: out << (c.Opaque ? " opaque" : " transparent"); break;
      case TOp::Polyline:
        for (std::size_t i = 0; i + 1 < c.Args.size(); i += 2) out << ' ' << c.Args[i] << ',' << c.Args[i + 1];
        break;
      case TOp::Blit:
        for (int i = 0; i < 4; ++i) out << ' ' << c.Args.at(i);
        out << ' ' << kTargetNames[static_cast<int>(c.Target)] << ' ' << c.Args.at(4) << ' ' << c.Args.at(5) << ' ' << RopName(c.Rop);
        break;
      default:
        for (int a : c.Args) out << ' ' << a;
        if (c.Op == TOp::Pixel) out << ' ' << ColorText(c.Color);
        if (c.Op == TOp::PatBlt) out << ' ' << RopName(c.Rop);
        break;
    }
    out << '\n';
  }
  return out.str();
}

TScript Parse(std::string_view text) {
  TScript script;
  bool sized = false;
  int line = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view row = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++line;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < row.size();) {
      while (i < row.size() && (row[i] == ' ' || row[i] == '\t')) ++i;
      std::size_t j = i;
      while (j < row.size() && row[j] != ' ' && row[j] != '\t') ++j;
      if (j > i) words.push_back(row.substr(i, j - i));
      i = j;
    }
    if (words.empty() || words[0][0] == ';') continue;
    const std::string_view verb = words[0];
    auto number = [&](std::size_t i) {
      int v = 0;
      if (i >= words.size()) Fail(line, "a number is missing after", row);
      if (!ReadInt(words[i], v)) Fail(line, "not a number:", words[i]);
      return v;
    };
    auto color = [&](std::size_t i) {
      std::uint32_t c = 0;
      if (i >= words.size() || !ReadColor(words[i], c)) Fail(line, "a colour #RRGGBB is expected in", row);
      return c;
    };
    auto arity = [&](std::size_t n) {
      if (words.size() != n) Fail(line, "wrong number of values in", row);
    };
    if (verb == "size") {
      arity(3);
      script.Width = number(1);
      script.Height = number(2);
      if (script.Width < 1 || script.Height < 1 || script.Width > 512 || script.Height > 512) Fail(line, "bitmap size out of range:", row);
      sized = true;
      continue;
    }
    TCommand c;
    const TOpInfo* info = nullptr;
    for (const TOpInfo& i : kOps)
      if (verb == i.Name) {
        info = &i;
        break;
      }
    if (!info) Fail(line, "unknown command", verb);
    c.Op = info->Op;
    switch (c.Op) {
      case TOp::Dc: {
        arity(2);
        const int t = IndexOf(kTargetNames, words[1]);
        if (t < 0) Fail(line, "unknown device context", words[1]);
        c.Target = static_cast<TTarget>(t);
        break;
      }
      case TOp::Pen: {
        arity(4);
        c.Args = {number(1)};
        if (c.Args[0] < 0 || c.Args[0] > 64) Fail(line, "pen width out of range:", words[1]);
        const int s = IndexOf(kStyleNames, words[2]);
        if (s < 0) Fail(line, "unknown pen style", words[2]);
        c.Style = static_cast<TStyle>(s);
        c.Color = color(3);
        break;
      }
      case TOp::Brush:
        arity(2);
        if (words[1] == "clear") c.Op = TOp::BrushClear;
        else c.Color = color(1);
        break;
      case TOp::BkMode:
        arity(2);
        if (words[1] != "opaque" && words[1] != "transparent") Fail(line, "unknown background mode", words[1]);
        c.Opaque = words[1] == "opaque";
        break;
      case TOp::BkColor:
      case TOp::TextColor:
        arity(2);
        c.Color = color(1);
        break;
      case TOp::Polyline:
        if (words.size() < 2) Fail(line, "a polyline needs points:", row);
        for (std::size_t i = 1; i < words.size(); ++i) {
          const std::size_t comma = words[i].find(',');
          int x = 0, y = 0;
          if (comma == std::string_view::npos || !ReadInt(words[i].substr(0, comma), x) || !ReadInt(words[i].substr(comma + 1), y))
            Fail(line, "a point x,y is expected:", words[i]);
          c.Args.push_back(x);
          c.Args.push_back(y);
        }
        break;
      case TOp::Blit: {
        arity(9);
        for (int i = 1; i <= 4; ++i) c.Args.push_back(number(i));
        const int t = IndexOf(kTargetNames, words[5]);
        if (t < 0) Fail(line, "unknown source", words[5]);
        c.Target = static_cast<TTarget>(t);
        c.Args.push_back(number(6));
        c.Args.push_back(number(7));
        if (!ReadRop(words[8], c.Rop)) Fail(line, "unknown raster operation", words[8]);
        break;
      }
      default: {
        const std::size_t n = static_cast<std::size_t>(info->Numbers);
        const bool colored = c.Op == TOp::Pixel, rop = c.Op == TOp::PatBlt;
        arity(1 + n + (colored || rop ? 1 : 0));
        for (std::size_t i = 1; i <= n; ++i) c.Args.push_back(number(i));
        if (colored) c.Color = color(n + 1);
        if (rop && !ReadRop(words[n + 1], c.Rop)) Fail(line, "unknown raster operation", words[n + 1]);
        break;
      }
    }
    if (!sized) Fail(line, "the script must start with its size:", row);
    script.Commands.push_back(std::move(c));
  }
  if (!sized) Fail(line, "the script has no size line", "");
  return script;
}

}  // namespace kestrova::testing::draw
