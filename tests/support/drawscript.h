// Drawing scripts: a small text format, one drawing call a line, that the canvas and the real GDI
// both run, so that their pixels can be compared. A seeded generator writes random scripts of one
// kind of call, the same script for a seed on every platform and compiler.
//
//   size 24 16                  bitmaps: main, aux and work 32-bit, mono and mask 1-bit, all white
//   dc aux                      the device context the next lines draw on (main at first)
//   pen 3 solid #FF0000         width, style (solid dash dot dashdot dashdotdot clear insideframe)
//   brush #00FF00 | brush clear as the toolkit's brush: a change sets the background colour and mode
//   bkmode opaque | bkcolor #0000FF | textcolor #000000
//   moveto 1 2 | lineto 30 -5 | polyline 1,2 30,-5 4,4
//   rect 2 3 40 30 | roundrect 2 3 40 30 12 9 | focus 1 1 20 9 | fill -3 10 5 2 | frame 0 0 9 9
//   pixel 4 4 #00FF00 | patblt 1 1 -5 4 PATINVERT | blit 0 0 8 8 mono 2 1 SRCCOPY
//   origin 3 -2 | clip 0 0 10 10 | save | restore -1
// Raster operations are named (SRCCOPY, ..., DSPDxax for 0x00E20746) or written as 0x00CC0000.
// Not this header's business: which library draws; see drawscript_canvas.h and drawscript_gdi.h.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::testing::draw {

// Three 32-bit bitmaps and two one-bit ones, each in its own device context.
enum class TTarget : std::uint8_t { Main, Aux, Work, Mono, Mask };
constexpr int kTargets = 5;
inline bool IsOneBit(TTarget t) { return t == TTarget::Mono || t == TTarget::Mask; }
const char* TargetName(TTarget t);
enum class TStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

enum class TOp : std::uint8_t {
  Dc, Pen, Brush, BrushClear, BkMode, BkColor, TextColor, MoveTo, LineTo, Polyline, Rect, RoundRect,
  Focus, Fill, Frame, Pixel, PatBlt, Blit, Origin, Clip, Save, Restore
};

struct TCommand {
  TOp Op = TOp::Save;
  std::vector<int> Args;         // coordinates and sizes in the order the line gives them
  std::uint32_t Color = 0;       // 0x00BBGGRR, as a COLORREF
  std::uint32_t Rop = 0;         // the whole raster-operation code
  TTarget Target = TTarget::Main;  // dc: the context; blit: the source
  TStyle Style = TStyle::Solid;
  bool Opaque = true;            // bkmode
  friend bool operator==(const TCommand&, const TCommand&) = default;
};

struct TScript {
  int Width = 16;
  int Height = 12;
  std::vector<TCommand> Commands;
  friend bool operator==(const TScript&, const TScript&) = default;
};

// The bitmaps after a script, in the order of TTarget: 0x00RRGGBB a pixel for the colour ones,
// 0 or 1 for the one-bit ones.
struct TPictures {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels[kTargets];
  // Set by a reference that cannot be trusted for this script, with the reason: the case is
  // known to draw undefined pixels there.
  std::string Unreliable;
};

std::string Format(const TScript& script);
// Throws std::invalid_argument naming the line and the text found.
TScript Parse(std::string_view text);

// The kinds of script the generator writes; each also changes pens, brushes, colours, the
// origin and the clip between its calls.
enum class TFamily : std::uint8_t { ThinLines, WideLines, Rectangles, RoundRects, FocusRects, Fills, Pixels, Blits, MonoBlits };
const std::vector<TFamily>& AllFamilies();
const char* FamilyName(TFamily family);
TScript Generate(TFamily family, std::uint64_t seed);

// SplitMix64: small, fast and the same on every compiler.
class TRandom {
 public:
  explicit TRandom(std::uint64_t seed) : FState(seed) {}
  std::uint64_t Next();
  int Between(int low, int high);  // both included
  bool Chance(int percent);

 private:
  std::uint64_t FState;
};

// The named raster operations the scripts use, by name and code.
std::string RopName(std::uint32_t rop);

// The smallest script found that still fails: commands dropped, points dropped, numbers moved
// towards zero and the bitmaps made smaller while fails() holds; at most `tries` calls of it.
TScript Shrink(TScript script, const std::function<bool(const TScript&)>& fails, int tries = 3000);

// Empty when the pictures agree; otherwise the differing bitmaps with their first differing
// pixels and both pictures side by side, one character a colour, differences marked.
std::string Differences(const TPictures& canvas, const TPictures& gdi);

}  // namespace kestrova::testing::draw
