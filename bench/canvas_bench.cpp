// The canvas's drawing calls on a 628 x 256 bitmap, as a form's paint makes them: thin solid and
// dotted lines in every direction, filled rectangles, SRCCOPY blits, wide lines and round
// rectangles, each against one plain fill of the same bitmap.
#include "bench/peer_ratio.h"
#include "framework/gfx/canvas.h"

namespace {

using namespace kestrova::gfx;

constexpr int kWidth = 628, kHeight = 256;

void BM_ThinLines(benchmark::State& state) {
  TBitmap b(kWidth, kHeight);
  TCanvas& c = b.Canvas();
  c.Pen.SetStyle(state.range(0) ? TPenStyle::psDot : TPenStyle::psSolid);
  for (auto _ : state) {
    for (int i = 0; i < 64; ++i) {
      c.MoveTo(i * 9, 0);
      c.LineTo(kWidth - 1 - i * 5, kHeight - 1);  // slanted, both ways
      c.MoveTo(0, i * 4);
      c.LineTo(kWidth, i * 4);  // horizontal
      c.MoveTo(i * 9, kHeight);
      c.LineTo(i * 9, 0);  // vertical, upwards
    }
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_ThinLines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FillRects(benchmark::State& state) {
  TBitmap b(kWidth, kHeight);
  TCanvas& c = b.Canvas();
  for (auto _ : state) {
    for (int i = 0; i < 16; ++i) {  // the bands of a gradient panel
      c.Brush.SetColor(static_cast<TColor>(RGB(0, 0, 128 + i * 8)));
      c.FillRect(Rect(0, i * 16, kWidth, i * 16 + 16));
    }
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_FillRects)->Unit(benchmark::kMicrosecond);

void BM_BlitCopy(benchmark::State& state) {
  TBitmap b(kWidth, kHeight), source(kWidth, kHeight);
  for (auto _ : state) {
    BitBlt(b.Canvas(), 0, 0, kWidth, kHeight, &source.Canvas(), 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_BlitCopy)->Unit(benchmark::kMicrosecond);

void BM_WideLines(benchmark::State& state) {
  TBitmap b(kWidth, kHeight);
  TCanvas& c = b.Canvas();
  c.Pen.SetWidth(5);
  for (auto _ : state) {
    for (int i = 0; i < 16; ++i) {
      c.MoveTo(i * 36, 0);
      c.LineTo(kWidth - 1 - i * 20, kHeight - 1);
    }
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_WideLines)->Unit(benchmark::kMicrosecond);

void BM_RoundRects(benchmark::State& state) {
  TBitmap b(kWidth, kHeight);
  TCanvas& c = b.Canvas();
  for (auto _ : state) {
    for (int i = 0; i < 8; ++i) c.RoundRect(i * 10, i * 10, kWidth - i * 10, kHeight - i * 10, 24, 24);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_RoundRects)->Unit(benchmark::kMicrosecond);

void BM_PlainFill(benchmark::State& state) {
  TBitmap b(kWidth, kHeight);
  b.Canvas().Brush.SetColor(clBtnFace);
  for (auto _ : state) {
    b.Canvas().FillRect(Rect(0, 0, kWidth, kHeight));
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return kestrova::bench::RunWithRatios(argc, argv,
                                        {{"BM_ThinLines/0", "BM_PlainFill"},
                                         {"BM_ThinLines/1", "BM_PlainFill"},
                                         {"BM_FillRects", "BM_PlainFill"},
                                         {"BM_BlitCopy", "BM_PlainFill"},
                                         {"BM_WideLines", "BM_PlainFill"},
                                         {"BM_RoundRects", "BM_PlainFill"}});
}
