#include "tests/support/drawscript.h"

#include <algorithm>
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

std::uint64_t TRandom::Next() {
  FState += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = FState;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int TRandom::Between(int low, int high) {
  const auto span = static_cast<std::uint64_t>(static_cast<long long>(high) - low + 1);
  return static_cast<int>(low + static_cast<long long>(Next() % span));
}

bool TRandom::Chance(int percent) { return Between(0, 99) < percent; }

const std::vector<TFamily>& AllFamilies() {
  static const std::vector<TFamily> all = {TFamily::ThinLines, TFamily::WideLines, TFamily::Rectangles,
                                           TFamily::RoundRects, TFamily::FocusRects, TFamily::Fills,
                                           TFamily::Pixels,    TFamily::Blits,      TFamily::MonoBlits};
  return all;
}

const char* FamilyName(TFamily family) {
  switch (family) {
    case TFamily::ThinLines: return "thin lines";
    case TFamily::WideLines: return "wide lines";
    case TFamily::Rectangles: return "rectangles";
    case TFamily::RoundRects: return "round rectangles";
    case TFamily::FocusRects: return "focus rectangles";
    case TFamily::Fills: return "fills";
    case TFamily::Pixels: return "pixels";
    case TFamily::Blits: return "blits";
    case TFamily::MonoBlits: return "mono blits";
  }
  return "?";
}

namespace {

// Writes one script: the calls of its family between changes of the drawing state.
class TGenerator {
 public:
  TGenerator(TFamily family, std::uint64_t seed) : FFamily(family), R(seed ^ (0xD1B54A32D192ED03ull * (static_cast<std::uint64_t>(family) + 1))) {}

  TScript Run() {
    S.Width = R.Between(10, 36);
    S.Height = R.Between(8, 26);
    Background(TTarget::Main);
    if (FFamily == TFamily::Blits || FFamily == TFamily::MonoBlits) {
      Background(TTarget::Aux);
      if (FFamily == TFamily::MonoBlits) Background(TTarget::Mono);
      Select(TTarget::Main);
    }
    const int steps = R.Between(2, 8);
    for (int i = 0; i < steps; ++i) {
      if (R.Chance(30)) StateChange();
      Call();
    }
    return S;
  }

 private:
  struct TDcModel {
    bool SolidBrush = true;
    int Saved = 0;
  };

  void Add(TCommand c) { S.Commands.push_back(std::move(c)); }
  TCommand Make(TOp op, std::vector<int> args = {}) {
    TCommand c;
    c.Op = op;
    c.Args = std::move(args);
    return c;
  }
  TDcModel& Dc() { return FDcs[static_cast<int>(FCurrent)]; }
  bool OnMono() const { return IsOneBit(FCurrent); }

  void Select(TTarget t) {
    if (t == FCurrent) return;
    TCommand c = Make(TOp::Dc);
    c.Target = t;
    Add(c);
    FCurrent = t;
  }

  // A few distinct colours that read well in a picture, now and then any colour; black and white
  // on the one-bit bitmap, whose colours are exactly those two.
  std::uint32_t Color() {
    static constexpr std::uint32_t palette[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                                0x808080, 0xC0C0C0, 0xFF00FF, 0x008000, 0x800000, 0x123456};
    if (OnMono()) return R.Chance(50) ? 0x000000 : 0xFFFFFF;
    if (R.Chance(10)) return static_cast<std::uint32_t>(R.Next() & 0xFFFFFF);
    return palette[R.Between(0, static_cast<int>(std::size(palette)) - 1)];
  }

  // Mostly on the bitmap or just past its edges; now and then far outside.
  int X() { return R.Chance(8) ? R.Between(-80, S.Width + 80) : R.Between(-4, S.Width + 4); }
  int Y() { return R.Chance(8) ? R.Between(-80, S.Height + 80) : R.Between(-4, S.Height + 4); }

  void Background(TTarget t) {
    Select(t);
    const int n = R.Between(1, 3);
    for (int i = 0; i < n; ++i) {
      Brush();
      const int l = R.Between(-2, S.Width - 2), t = R.Between(-2, S.Height - 2);
      Add(Make(TOp::Fill, {l, t, l + R.Between(2, S.Width), t + R.Between(2, S.Height)}));
    }
  }

  void Brush() {
    TCommand c = Make(TOp::Brush);
    c.Color = Color();
    Add(c);
    Dc().SolidBrush = true;
  }

  void Pen(int minWidth, int maxWidth, bool anyStyle) {
    TCommand c = Make(TOp::Pen, {R.Between(minWidth, maxWidth)});
    static constexpr TStyle thin[] = {TStyle::Solid, TStyle::Dash, TStyle::Dot, TStyle::DashDot, TStyle::DashDotDot, TStyle::Clear, TStyle::InsideFrame};
    static constexpr TStyle wide[] = {TStyle::Solid, TStyle::InsideFrame, TStyle::Solid, TStyle::Dash, TStyle::Clear};
    c.Style = anyStyle ? thin[R.Between(0, 6)] : wide[R.Between(0, 4)];
    c.Color = Color();
    Add(c);
  }

  void StateChange() {
    switch (R.Between(0, 9)) {
      case 0: {
        TCommand c = Make(TOp::BkMode);
        c.Opaque = R.Chance(50);
        Add(c);
        break;
      }
      case 1: {
        TCommand c = Make(TOp::BkColor);
        c.Color = Color();
        Add(c);
        break;
      }
      case 2: {
        TCommand c = Make(TOp::TextColor);
        c.Color = Color();
        Add(c);
        break;
      }
      case 3: Add(Make(TOp::Origin, {R.Between(-6, 6), R.Between(-6, 6)})); break;
      case 4: Add(Make(TOp::Clip, {R.Between(-3, S.Width), R.Between(-3, S.Height), R.Between(0, S.Width + 3), R.Between(0, S.Height + 3)})); break;
      case 5:
        Add(Make(TOp::Save));
        ++Dc().Saved;
        break;
      case 6:
        if (Dc().Saved > 0) {
          Add(Make(TOp::Restore, {R.Chance(70) ? -1 : 1}));
          Dc().Saved = 0;  // restoring level 1 or the newest: the model only needs "some or none"
        }
        break;
      case 7:
        if (R.Chance(30)) {
          Add(Make(TOp::BrushClear));
          Dc().SolidBrush = false;
        } else {
          Brush();
        }
        break;
      default: break;  // the family's own tools change in Call()
    }
  }

  // A thin or wide pen and a solid or clear brush for a figure, now and then.
  void FigureTools() {
    if (R.Chance(50)) {
      if (R.Chance(50)) Pen(0, 1, true);
      else Pen(2, 8, false);
    }
    if (R.Chance(30)) {
      if (R.Chance(25)) {
        Add(Make(TOp::BrushClear));
        Dc().SolidBrush = false;
      } else {
        Brush();
      }
    }
  }

  std::vector<int> Points(int count) {
    std::vector<int> p;
    int x = X(), y = Y();
    for (int i = 0; i < count; ++i) {
      p.push_back(x);
      p.push_back(y);
      switch (R.Between(0, 5)) {  // straight and diagonal steps as often as any others
        case 0: x = X(); break;
        case 1: y = Y(); break;
        case 2: {
          const int d = R.Between(-12, 12);
          x += d;
          y += R.Chance(50) ? d : -d;
          break;
        }
        case 3: break;  // a repeated point
        default: x = X(), y = Y(); break;
      }
    }
    return p;
  }

  void Line(int minWidth, int maxWidth, bool anyStyle) {
    if (R.Chance(40)) Pen(minWidth, maxWidth, anyStyle);
    if (R.Chance(50)) {
      const std::vector<int> p = Points(2);
      Add(Make(TOp::MoveTo, {p[0], p[1]}));
      Add(Make(TOp::LineTo, {p[2], p[3]}));
      if (R.Chance(40)) Add(Make(TOp::LineTo, {X(), Y()}));
    } else {
      Add(Make(TOp::Polyline, Points(R.Between(2, 6))));
    }
  }

  std::vector<int> Box() {
    // Normal, inverted, thin and empty boxes.
    int l = R.Between(-4, S.Width), t = R.Between(-4, S.Height);
    int r = l + R.Between(-3, S.Width), b = t + R.Between(-3, S.Height);
    if (R.Chance(15)) r = l + R.Between(0, 2);
    if (R.Chance(15)) b = t + R.Between(0, 2);
    return {l, t, r, b};
  }

  std::uint32_t PatternRop() {
    static constexpr std::uint32_t named[] = {0x00F00021, 0x005A0049, 0x00550009, 0x00000042, 0x00FF0062};
    if (R.Chance(25)) {
      static constexpr std::uint8_t noSource[] = {0x05, 0x0A, 0x0F, 0x50, 0x5F, 0xA0, 0xA5, 0xAF, 0xF5, 0xFA};
      return static_cast<std::uint32_t>(noSource[R.Between(0, 9)]) << 16;
    }
    return named[R.Between(0, 4)];
  }

  std::uint32_t SourceRop() {
    static constexpr std::uint32_t named[] = {0x00CC0020, 0x00EE0086, 0x008800C6, 0x00660046, 0x00440328, 0x00330008,
                                              0x001100A6, 0x00C000CA, 0x00BB0226, 0x00F00021, 0x00FB0A09, 0x005A0049,
                                              0x00550009, 0x00000042, 0x00FF0062, 0x00E20746, 0x00B8074A};
    if (R.Chance(20)) return static_cast<std::uint32_t>(R.Between(0, 255)) << 16;
    return named[R.Between(0, static_cast<int>(std::size(named)) - 1)];
  }

  static bool UsesPattern(std::uint32_t rop) {
    const std::uint32_t code = (rop >> 16) & 0xFF;
    return (code >> 4) != (code & 0x0F);
  }

  void Blit(TTarget source) {
    const std::uint32_t rop = SourceRop();
    if (UsesPattern(rop) && !Dc().SolidBrush) Brush();
    int w = R.Between(1, S.Width), h = R.Between(1, S.Height);
    if (R.Chance(10)) w = -w;
    if (R.Chance(10)) h = -h;
    TCommand c = Make(TOp::Blit, {R.Between(-4, S.Width), R.Between(-4, S.Height), w, h, R.Between(-4, S.Width), R.Between(-4, S.Height)});
    c.Target = source;
    c.Rop = rop;
    Add(c);
  }

  void Call() {
    switch (FFamily) {
      case TFamily::ThinLines: Line(0, 1, true); break;
      case TFamily::WideLines: Line(2, 8, false); break;
      case TFamily::Rectangles:
        FigureTools();
        Add(Make(TOp::Rect, Box()));
        break;
      case TFamily::RoundRects: {
        FigureTools();
        std::vector<int> b = Box();
        const int w = std::abs(b[2] - b[0]), h = std::abs(b[3] - b[1]);
        auto size = [&](int extent) {
          switch (R.Between(0, 5)) {
            case 0: return R.Between(0, 3);
            case 1: return extent + R.Between(0, 6);
            case 2: return -R.Between(1, extent + 2);
            default: return R.Between(0, extent);
          }
        };
        b.push_back(size(w));
        b.push_back(R.Chance(20) ? b[4] : size(h));
        Add(Make(TOp::RoundRect, b));
        break;
      }
      case TFamily::FocusRects: {
        int l = R.Between(-3, S.Width - 1), t = R.Between(-3, S.Height - 1);
        Add(Make(TOp::Focus, {l, t, l + R.Between(1, S.Width), t + R.Between(1, S.Height)}));
        break;
      }
      case TFamily::Fills:
        switch (R.Between(0, 2)) {
          case 0:
            if (R.Chance(50)) Brush();
            Add(Make(TOp::Fill, Box()));
            break;
          case 1:
            if (R.Chance(50)) Brush();
            Add(Make(TOp::Frame, Box()));
            break;
          default: {
            const std::uint32_t rop = PatternRop();
            if (UsesPattern(rop) && !Dc().SolidBrush) Brush();
            TCommand c = Make(TOp::PatBlt, {R.Between(-3, S.Width), R.Between(-3, S.Height), R.Between(-S.Width / 2, S.Width), R.Between(-S.Height / 2, S.Height)});
            c.Rop = rop;
            Add(c);
            break;
          }
        }
        break;
      case TFamily::Pixels: {
        const int n = R.Between(1, 4);
        for (int i = 0; i < n; ++i) {
          TCommand c = Make(TOp::Pixel, {R.Between(-2, S.Width + 1), R.Between(-2, S.Height + 1)});
          c.Color = Color();
          Add(c);
        }
        break;
      }
      case TFamily::Blits:
        Select(R.Chance(75) ? TTarget::Main : TTarget::Aux);
        Blit(R.Chance(40) ? FCurrent : (FCurrent == TTarget::Main ? TTarget::Aux : TTarget::Main));
        break;
      case TFamily::MonoBlits:
        switch (R.Between(0, 5)) {
          case 0:  // colour to mono: the source's background colour becomes white
            Select(R.Chance(50) ? TTarget::Main : TTarget::Aux);
            if (R.Chance(70)) {
              TCommand c = Make(TOp::BkColor);
              c.Color = R.Chance(60) ? 0xFFFFFF : Color();
              Add(c);
            }
            {
              const TTarget source = FCurrent;
              Select(TTarget::Mono);
              Blit(source);
            }
            break;
          case 1:  // mono to colour: the destination's text and background colours
            Select(R.Chance(50) ? TTarget::Main : TTarget::Aux);
            if (R.Chance(60)) {
              TCommand c = Make(TOp::TextColor);
              c.Color = Color();
              Add(c);
            }
            if (R.Chance(60)) {
              TCommand c = Make(TOp::BkColor);
              c.Color = Color();
              Add(c);
            }
            Blit(TTarget::Mono);
            break;
          case 2:
            Select(TTarget::Mono);
            Blit(TTarget::Mono);
            break;
          case 3: {
            Select(TTarget::Mono);
            const std::uint32_t rop = PatternRop();
            if (UsesPattern(rop) && !Dc().SolidBrush) Brush();
            TCommand c = Make(TOp::PatBlt, {R.Between(-3, S.Width), R.Between(-3, S.Height), R.Between(1, S.Width), R.Between(1, S.Height)});
            c.Rop = rop;
            Add(c);
            break;
          }
          case 4:  // black and white figures on the one-bit bitmap
            Select(TTarget::Mono);
            if (R.Chance(50)) {
              FigureTools();
              Add(Make(R.Chance(50) ? TOp::Rect : TOp::Frame, Box()));
            } else {
              Line(0, 6, true);
            }
            break;
          default:
            Select(R.Chance(50) ? TTarget::Main : TTarget::Aux);
            Blit(R.Chance(50) ? TTarget::Main : TTarget::Aux);
            break;
        }
        break;
    }
  }

  TFamily FFamily;
  TRandom R;
  TScript S;
  TTarget FCurrent = TTarget::Main;
  TDcModel FDcs[kTargets];
};

}  // namespace

TScript Generate(TFamily family, std::uint64_t seed) { return TGenerator(family, seed).Run(); }

}  // namespace kestrova::testing::draw

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
