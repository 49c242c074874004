#include "tests/support/drawscript_generator.h"

#include <cstdlib>
#include <iterator>

namespace kestrova::testing::draw {

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
