#include <gtest/gtest.h>

#include "framework/gfx/canvas.h"
#include "tests/support/pixels.h"

namespace kestrova::gfx {
namespace {

using testing::Mono;

// A white 32-bit bitmap with a black solid pen.
struct Sheet {
  TBitmap Bitmap;
  TCanvas& Canvas;
  Sheet(int w, int h, TPixelFormat format = TPixelFormat::pf32bit) : Bitmap(w, h, format), Canvas(Bitmap.Canvas()) {
    Canvas.Pen.SetColor(clBlack);
  }
};

TEST(Canvas, PolylineAndLineToLeaveOutTheirLastPoint) {
  Sheet s(8, 5);
  s.Canvas.Polyline({{1, 1}, {5, 1}, {5, 3}});
  s.Canvas.MoveTo(0, 4);
  s.Canvas.LineTo(3, 4);
  EXPECT_EQ(s.Canvas.PenPos(), Point(3, 4));
  EXPECT_EQ(Mono(s.Bitmap),
            "........\n"
            ".#####..\n"
            ".....#..\n"
            "........\n"
            "###.....\n");
}

TEST(Canvas, WidePensAreSolidWithRoundCapsAndReachTheEndPoint) {
  struct Case {
    int Width;
    TPenStyle Style;
    const char* Picture;
  };
  // A line from (2, 3) to (7, 3): odd widths centre on it, even ones reach one pixel up and left;
  // the round ends are the pen's disc (a 3-pixel disc has no corners); a dotted style has no dots
  // once the pen is wide.
  const Case cases[] = {
      {2, TPenStyle::psSolid, "..........\n"
                              "..........\n"
                              ".#######..\n"
                              ".#######..\n"
                              "..........\n"
                              "..........\n"},
      {3, TPenStyle::psDot, "..........\n"
                            "..........\n"
                            "..######..\n"
                            ".########.\n"
                            "..######..\n"
                            "..........\n"},
      {5, TPenStyle::psSolid, "..........\n"
                              ".########.\n"
                              "##########\n"
                              "##########\n"
                              "##########\n"
                              ".########.\n"},
  };
  for (const Case& c : cases) {
    Sheet s(10, 6);
    s.Canvas.Pen.SetWidth(c.Width);
    s.Canvas.Pen.SetStyle(c.Style);
    s.Canvas.MoveTo(2, 3);
    s.Canvas.LineTo(7, 3);
    EXPECT_EQ(Mono(s.Bitmap), c.Picture) << "width " << c.Width;
  }
}

TEST(Canvas, WideInsideFramePenStaysInsideTheRectangle) {
  Sheet s(8, 7);
  s.Canvas.Brush.SetColor(clSilver);
  s.Canvas.Pen.SetWidth(2);
  s.Canvas.Pen.SetStyle(TPenStyle::psInsideFrame);
  s.Canvas.Rectangle(0, 0, 8, 7);
  EXPECT_EQ(testing::Picture(s.Bitmap, {{0xFFFFFF, '.'}, {0, '#'}, {0xC0C0C0, 'o'}}),
            "########\n"
            "########\n"
            "##oooo##\n"
            "##oooo##\n"
            "##oooo##\n"
            "########\n"
            "########\n");
  // Solid, the same pen straddles the outline: half of it falls outside the figure.
  Sheet t(10, 9);
  t.Canvas.Brush.SetStyle(TBrushStyle::bsClear);
  t.Canvas.Pen.SetWidth(3);
  t.Canvas.Rectangle(2, 2, 8, 7);
  EXPECT_EQ(Mono(t.Bitmap),
            "..........\n"
            "..######..\n"
            ".########.\n"
            ".########.\n"
            ".###..###.\n"
            ".########.\n"
            ".########.\n"
            "..######..\n"
            "..........\n");
}

TEST(Canvas, DiagonalLinesStepOnePixelPerRow) {
  Sheet s(5, 5);
  s.Canvas.Polyline({{0, 0}, {4, 4}, {0, 4}});
  s.Canvas.SetPixel(0, 4, clBlack);  // the end point, drawn on its own as the controls do
  EXPECT_EQ(Mono(s.Bitmap),
            "#....\n"
            ".#...\n"
            "..#..\n"
            "...#.\n"
            "#####\n");
}

// GDI's lines are not symmetric: at a tie the minor axis steps early in some octants and late in
// the others. Four lines from the middle, each with ties (2 across, 4 along), then the same with
// y as the major axis; the pictures are GDI's.
TEST(Canvas, LinesTakeGdisPixelsAtTiesInEveryDirection) {
  Sheet across(11, 5);
  for (TPoint end : {Point(9, 4), Point(9, 0), Point(1, 4), Point(1, 0)}) {
    across.Canvas.MoveTo(5, 2);
    across.Canvas.LineTo(end.X, end.Y);
  }
  EXPECT_EQ(Mono(across.Bitmap),
            "..#.....#..\n"
            "...##.##...\n"
            "....###....\n"
            "..##...##..\n"
            "...........\n");
  Sheet down(5, 9);
  for (TPoint end : {Point(4, 8), Point(0, 8), Point(4, 0), Point(0, 0)}) {
    down.Canvas.MoveTo(2, 4);
    down.Canvas.LineTo(end.X, end.Y);
  }
  EXPECT_EQ(Mono(down.Bitmap),
            ".....\n"
            "#..#.\n"
            ".#.#.\n"
            ".##..\n"
            "..#..\n"
            ".##..\n"
            ".#.#.\n"
            "#..#.\n"
            ".....\n");
}

// A negative width or height reaches back from the point, the point's own column or row
// included: FillRect with left > right, PatBlt and BitBlt with negative sizes.
TEST(Canvas, NegativeExtentsReachBackFromThePoint) {
  Sheet s(12, 6);
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.FillRect(Rect(4, 0, 1, 2));
  PatBlt(s.Canvas, 6, 3, -2, -2, PATCOPY);
  TBitmap black(12, 6);
  black.Canvas().Brush.SetColor(clBlack);
  black.Canvas().FillRect(Rect(0, 0, 12, 6));
  BitBlt(s.Canvas, 11, 5, -3, -1, &black.Canvas(), 0, 0, SRCCOPY);  // only the source's column 0 exists
  EXPECT_EQ(Mono(s.Bitmap),
            "..###.......\n"
            "..###.......\n"
            ".....##.....\n"
            ".....##.....\n"
            "............\n"
            "...........#\n");
}

TEST(Canvas, FillRectAndRectangleKeepRightAndBottomOut) {
  Sheet s(7, 6);
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.FillRect(Rect(0, 0, 2, 2));
  s.Canvas.Brush.SetColor(clWhite);
  s.Canvas.Rectangle(2, 1, 7, 5);
  EXPECT_EQ(Mono(s.Bitmap),
            "##.....\n"
            "#######\n"
            "..#...#\n"
            "..#...#\n"
            "..#####\n"
            ".......\n");
}

TEST(Canvas, RectangleWithoutPenOrBrush) {
  Sheet s(5, 4);
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.Pen.SetStyle(TPenStyle::psClear);
  s.Canvas.Rectangle(0, 0, 5, 4);  // one pixel smaller without a pen
  s.Canvas.Brush.SetStyle(TBrushStyle::bsClear);
  s.Canvas.FillRect(Rect(0, 0, 5, 4));  // a clear brush paints nothing
  EXPECT_EQ(Mono(s.Bitmap),
            "####.\n"
            "####.\n"
            "####.\n"
            ".....\n");

  Sheet frame(4, 3);
  frame.Canvas.Brush.SetColor(clBlack);
  frame.Canvas.Brush.SetStyle(TBrushStyle::bsClear);
  frame.Canvas.Rectangle(0, 0, 4, 3);
  EXPECT_EQ(Mono(frame.Bitmap),
            "####\n"
            "#..#\n"
            "####\n");
}

TEST(Canvas, RoundRectIsSymmetricWithItsCornersCut) {
  Sheet s(9, 7);
  s.Canvas.Brush.SetColor(clSilver);
  s.Canvas.RoundRect(0, 0, 9, 7, 5, 5);
  const std::string p = testing::Picture(s.Bitmap, {{0xFFFFFF, '.'}, {0, '#'}, {0xC0C0C0, 'o'}});
  EXPECT_EQ(p,
            ".#######.\n"
            "#ooooooo#\n"
            "#ooooooo#\n"
            "#ooooooo#\n"
            "#ooooooo#\n"
            "#ooooooo#\n"
            ".#######.\n");
}

// A corner ellipse 3 wide and 8 high: its walk ends before the top and bottom rows, which stay
// empty, as the outline leaves them.
TEST(Canvas, RoundRectWithATallNarrowCornerLeavesTheRowsItNeverReaches) {
  Sheet s(7, 10);
  s.Canvas.Brush.SetColor(clSilver);
  s.Canvas.RoundRect(2, 1, 5, 9, 3, 8);
  EXPECT_EQ(testing::Picture(s.Bitmap, {{0xFFFFFF, '.'}, {0, '#'}, {0xC0C0C0, 'o'}}),
            ".......\n"
            ".......\n"
            "...#...\n"
            "..#o#..\n"
            "..#o#..\n"
            "..#o#..\n"
            "..#o#..\n"
            "...#...\n"
            ".......\n"
            ".......\n");
}

TEST(Canvas, PixelsInsideAndOutside) {
  Sheet s(3, 3);
  s.Canvas.SetPixel(1, 2, 0x123456);
  EXPECT_EQ(s.Canvas.Pixel(1, 2), 0x123456);
  EXPECT_EQ(s.Canvas.Pixel(0, 0), clWhite);
  EXPECT_EQ(s.Canvas.Pixel(3, 0), CLR_INVALID);
  EXPECT_EQ(s.Canvas.Pixel(-1, 0), CLR_INVALID);
  s.Canvas.SetPixel(5, 5, clBlack);  // outside: nothing happens
  s.Canvas.SetPixel(0, 0, clBtnFace);
  EXPECT_EQ(static_cast<TColorRef>(s.Canvas.Pixel(0, 0)), ColorToRGB(clBtnFace));
}

TEST(Canvas, DrawsOnAllOfTheBitmapAfterItChangedSize) {
  // A canvas first used on a small bitmap (to measure text, say) and then on the grown one.
  Sheet s(1, 1);
  s.Bitmap.SetSize(4, 3);
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.FillRect({0, 0, 4, 3});
  EXPECT_EQ(Mono(s.Bitmap), "####\n####\n####\n");
  TBitmap bigger(5, 2);
  s.Bitmap.Assign(bigger);
  s.Canvas.FillRect({0, 0, 5, 2});
  EXPECT_EQ(Mono(s.Bitmap), "#####\n#####\n");
}

TEST(Canvas, FocusRectInvertsEveryOtherPixelAndTwiceRestores) {
  Sheet s(6, 5);
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.FillRect(Rect(0, 3, 6, 5));
  s.Canvas.DrawFocusRect(Rect(0, 0, 6, 5));
  EXPECT_EQ(Mono(s.Bitmap),
            "#.#.#.\n"
            ".....#\n"
            "#.....\n"
            "#####.\n"
            ".#.#.#\n");
  s.Canvas.DrawFocusRect(Rect(0, 0, 6, 5));
  EXPECT_EQ(Mono(s.Bitmap),
            "......\n"
            "......\n"
            "......\n"
            "######\n"
            "######\n");
}

TEST(Canvas, DottedPenGapsTakeTheBackgroundOnlyWhenOpaque) {
  const TColorRef red = RGB(255, 0, 0);
  for (TBkMode mode : {OPAQUE, TRANSPARENT}) {
    Sheet s(14, 1);
    s.Canvas.Pen.SetStyle(TPenStyle::psDot);
    s.Canvas.SetBkColor(static_cast<TColor>(red));
    s.Canvas.SetBkMode(mode);
    s.Canvas.Polyline({{0, 0}, {8, 0}, {13, 0}});  // the dots run on across the corner
    const std::string p = testing::Picture(s.Bitmap, {{0xFFFFFF, '.'}, {0, '#'}, {red, 'r'}});
    EXPECT_EQ(p, mode == OPAQUE ? "###rrr###rrr#.\n" : "###...###...#.\n");
  }
}

// Each operation by its own formula, on pixel values chosen so that every bit combination occurs.
TEST(BitBlt, EveryRasterOperationTheControlsUse) {
  const std::uint32_t P = 0x00F0F0F0 & 0x00FF00FF, S = 0x00CCCCCC, D = 0x00AAAAAA;
  struct Case {
    std::uint32_t Rop;
    std::uint32_t Expected;
  };
  const Case cases[] = {
      {SRCCOPY, S},           {SRCPAINT, S | D},        {SRCAND, S & D},        {SRCINVERT, S ^ D},
      {SRCERASE, S & ~D},     {NOTSRCCOPY, ~S},         {NOTSRCERASE, ~(S | D)}, {MERGECOPY, P & S},
      {MERGEPAINT, ~S | D},   {PATCOPY, P},             {PATPAINT, P | ~S | D}, {PATINVERT, P ^ D},
      {DSTINVERT, ~D},        {BLACKNESS, 0},           {WHITENESS, ~0u},       {0x00E20746, (S & P) | (~S & D)},
      {0x00B8074A, ((P ^ D) & S) ^ P},
  };
  for (const Case& c : cases) {
    TBitmap source(2, 1), dest(2, 1);
    source.SetPixelValue(0, 0, S);
    source.SetPixelValue(1, 0, S);
    dest.SetPixelValue(0, 0, D);
    dest.SetPixelValue(1, 0, D);
    dest.Canvas().Brush.SetColor(static_cast<TColor>(PixelToRgb(P)));
    ASSERT_TRUE(BitBlt(dest.Canvas(), 1, 0, 1, 1, &source.Canvas(), 0, 0, c.Rop));
    EXPECT_EQ(dest.PixelValue(1, 0), c.Expected & 0x00FFFFFF) << std::hex << c.Rop;
    EXPECT_EQ(dest.PixelValue(0, 0), D) << "outside the blit";
  }
  TBitmap dest(1, 1);
  EXPECT_FALSE(BitBlt(dest.Canvas(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY)) << "a source operation without a source";
  EXPECT_TRUE(PatBlt(dest.Canvas(), 0, 0, 1, 1, BLACKNESS));
  EXPECT_EQ(dest.PixelValue(0, 0), 0u);
}

TEST(BitBlt, ColourToMonoMakesTheSourceBackgroundWhite) {
  TBitmap colour(4, 1);
  const TColorRef key = RGB(0, 128, 0);
  for (int x = 0; x < 4; ++x) colour.Canvas().SetPixel(x, 0, static_cast<TColor>(x % 2 ? key : RGB(0, 0, 255)));
  colour.Canvas().SetBkColor(static_cast<TColor>(key));
  TBitmap mono(4, 1, TPixelFormat::pf1bit);
  BitBlt(mono.Canvas(), 0, 0, 4, 1, &colour.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(Mono(mono), "#.#.\n");
}

TEST(BitBlt, MonoToColourTakesTheDestinationTextAndBackgroundColours) {
  TBitmap mono(4, 1, TPixelFormat::pf1bit);  // new bitmaps are white
  mono.SetPixelValue(0, 0, 0);
  mono.SetPixelValue(2, 0, 0);
  TBitmap colour(4, 1, TPixelFormat::pf24bit);
  colour.Canvas().SetTextColor(clRed);
  colour.Canvas().SetBkColor(clBlue);
  BitBlt(colour.Canvas(), 0, 0, 4, 1, &mono.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(testing::Picture(colour, {{ColorToRGB(clRed), 'r'}, {ColorToRGB(clBlue), 'b'}}), "rbrb\n");

  // The embossing step: the pattern where the mask is white, the destination kept where black.
  TBitmap target(4, 1);
  target.Canvas().Brush.SetColor(clGray);
  target.Canvas().FillRect(Rect(0, 0, 4, 1));
  target.Canvas().Brush.SetColor(clWhite);
  target.Canvas().SetTextColor(clBlack);
  target.Canvas().SetBkColor(clWhite);
  BitBlt(target.Canvas(), 0, 0, 4, 1, &mono.Canvas(), 0, 0, 0x00E20746);
  EXPECT_EQ(testing::Picture(target, {{0x808080, 'g'}, {0xFFFFFF, 'w'}}), "gwgw\n");
}

TEST(BitBlt, ClipOriginAndTheSourceEdge) {
  TBitmap source(3, 3);
  source.Canvas().Brush.SetColor(clBlack);
  source.Canvas().FillRect(Rect(0, 0, 3, 3));
  TBitmap dest(6, 6);
  TCanvas& c = dest.Canvas();
  c.SetViewportOrg(1, 1);
  c.IntersectClipRect(Rect(0, 0, 3, 3));          // device (1,1)-(4,4)
  BitBlt(c, 1, 1, 3, 3, &source.Canvas(), 0, 0, SRCCOPY);    // device (2,2)-(5,5), clipped to (2,2)-(4,4)
  BitBlt(c, -1, -1, 3, 3, &source.Canvas(), 1, 1, SRCCOPY);  // only 2 x 2 of the source exist: device (0,0)-(2,2)
  EXPECT_EQ(Mono(dest),
            "......\n"
            ".#....\n"
            "..##..\n"
            "..##..\n"
            "......\n"
            "......\n");
  EXPECT_EQ(c.ClipRect(), Rect(0, 0, 3, 3));
}

TEST(Canvas, AnInvertedClipRectangleIsPutInOrderAndAnEmptyOneDrawsNothing) {
  Sheet s(6, 4);
  s.Canvas.IntersectClipRect(Rect(4, 3, 1, 1));
  s.Canvas.Brush.SetColor(clBlack);
  s.Canvas.FillRect(Rect(0, 0, 6, 4));
  EXPECT_EQ(Mono(s.Bitmap), "......\n.###..\n.###..\n......\n");
  Sheet copy(6, 4);
  copy.Canvas.IntersectClipRect(Rect(0, 0, 0, 0));
  EXPECT_TRUE(BitBlt(copy.Canvas, 0, 0, 6, 4, &s.Canvas, 0, 0, SRCCOPY));  // clipped away: nothing copied
  EXPECT_EQ(Mono(copy.Bitmap), "......\n......\n......\n......\n");
}

TEST(Canvas, SaveAndRestoreOriginClipAndColours) {
  TBitmap b(4, 4);
  TCanvas& c = b.Canvas();
  const int level = c.SaveDC();
  c.SetViewportOrg(2, 2);
  c.IntersectClipRect(Rect(0, 0, 1, 1));
  c.SetTextColor(clRed);
  c.SaveDC();
  c.SetBkMode(TRANSPARENT);
  c.SetViewportOrg(-5, -5);
  EXPECT_TRUE(c.RestoreDC(-1));
  EXPECT_EQ(c.ViewportOrg(), Point(2, 2));
  EXPECT_EQ(c.BkMode(), OPAQUE);
  c.Brush.SetColor(clBlack);
  c.FillRect(Rect(-2, -2, 4, 4));
  EXPECT_EQ(Mono(b), "....\n....\n..#.\n....\n");
  EXPECT_TRUE(c.RestoreDC(level));
  EXPECT_EQ(c.ViewportOrg(), Point(0, 0));
  EXPECT_EQ(c.ClipRect(), Rect(0, 0, 4, 4));
  EXPECT_EQ(c.TextColor(), ColorToRGB(clWindowText));
  EXPECT_FALSE(c.RestoreDC(1));
}

TEST(Bitmap, ColourToOneBitTurnsTheBrushColourWhite) {
  TBitmap b(3, 1, TPixelFormat::pf24bit);
  b.Canvas().SetPixel(0, 0, clBlack);
  b.Canvas().SetPixel(1, 0, clRed);
  b.Canvas().SetPixel(2, 0, clBlack);
  b.Canvas().Brush.SetColor(clBlack);
  b.SetPixelFormat(TPixelFormat::pf1bit);
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(Mono(b), ".#.\n");
}

// The mask technique of transparent glyph drawing, step by step: transparent pixels show the
// background and the glyph comes out unchanged.
TEST(BitBlt, TransparentDrawingWithMasks) {
  TBitmap glyph(3, 2, TPixelFormat::pf24bit);
  const TColorRef key = RGB(255, 0, 255), blue = RGB(0, 0, 255);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) glyph.Canvas().SetPixel(x, y, static_cast<TColor>(x == 1 ? blue : key));
  TBitmap screen(5, 2);
  screen.Canvas().Brush.SetColor(clGreen);
  screen.Canvas().FillRect(Rect(0, 0, 5, 2));

  const int w = 3, h = 2, x = 1, y = 0;
  TBitmap back(w, h, TPixelFormat::pf1bit), object(w, h, TPixelFormat::pf1bit), memory(w, h), save(w, h);
  BitBlt(save.Canvas(), 0, 0, w, h, &glyph.Canvas(), 0, 0, SRCCOPY);
  const TColorRef oldBk = glyph.Canvas().SetBkColor(static_cast<TColor>(key));
  BitBlt(object.Canvas(), 0, 0, w, h, &glyph.Canvas(), 0, 0, SRCCOPY);
  glyph.Canvas().SetBkColor(static_cast<TColor>(oldBk));
  BitBlt(back.Canvas(), 0, 0, w, h, &object.Canvas(), 0, 0, NOTSRCCOPY);
  BitBlt(memory.Canvas(), 0, 0, w, h, &screen.Canvas(), x, y, SRCCOPY);
  memory.Canvas().SetTextColor(clBlack);
  memory.Canvas().SetBkColor(clWhite);
  BitBlt(memory.Canvas(), 0, 0, w, h, &object.Canvas(), 0, 0, SRCAND);
  glyph.Canvas().SetTextColor(clBlack);
  glyph.Canvas().SetBkColor(clWhite);
  BitBlt(glyph.Canvas(), 0, 0, w, h, &back.Canvas(), 0, 0, SRCAND);
  BitBlt(memory.Canvas(), 0, 0, w, h, &glyph.Canvas(), 0, 0, SRCPAINT);
  BitBlt(screen.Canvas(), x, y, w, h, &memory.Canvas(), 0, 0, SRCCOPY);
  BitBlt(glyph.Canvas(), 0, 0, w, h, &save.Canvas(), 0, 0, SRCCOPY);

  const std::map<TColorRef, char> legend{{ColorToRGB(clGreen), 'g'}, {blue, 'b'}, {key, 'k'}};
  EXPECT_EQ(testing::Picture(screen, legend), "ggbgg\nggbgg\n");
  EXPECT_EQ(testing::Picture(glyph, legend), "kbk\nkbk\n");
}

}  // namespace
}  // namespace kestrova::gfx
