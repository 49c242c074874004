// Drawing scripts: a small text format, one drawing call a line, that the canvas and the real GDI
// both run, so that their pixels can be compared.
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
// The generator, the comparison and the two runners are units of their own: drawscript_generator,
// drawscript_compare, drawscript_canvas and drawscript_gdi.
#pragma once
#include <cstdint>
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

// The named raster operations the scripts use, by name and code.
std::string RopName(std::uint32_t rop);

}  // namespace kestrova::testing::draw
