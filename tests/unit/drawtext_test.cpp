// Text layout with the fixed-metric test font: 6 pixels a character, 13 a line, glyph boxes
// from row 2 to row 9, the underline on row 11.
#include <gtest/gtest.h>

#include "framework/gfx/canvas.h"
#include "tests/support/pixels.h"
#include "tests/support/testfont.h"

namespace kestrova::gfx {
namespace {

struct TextSheet {
  testing::UseTestFont Font;
  TBitmap Bitmap;
  TCanvas& Canvas;
  TextSheet(int w, int h) : Bitmap(w, h), Canvas(Bitmap.Canvas()) {
    Canvas.Font.SetColor(clBlack);
    Canvas.SetBkMode(TRANSPARENT);
  }
  // The columns that hold ink on one row, as a picture.
  std::string Row(int y) const {
    std::string r;
    for (int x = 0; x < Bitmap.Width(); ++x) r.push_back(Bitmap.PixelColor(x, y) == 0 ? '#' : '.');
    return r;
  }
};

TEST(DrawText, MeasuresWithTheFont) {
  TextSheet s(10, 10);
  EXPECT_EQ(s.Canvas.TextWidth("abc"), 18);
  EXPECT_EQ(s.Canvas.TextHeight("abc"), 13);
  s.Canvas.Font.SetStyle(fsBold);
  EXPECT_EQ(s.Canvas.TextExtent("abc"), (TSize{21, 13}));
  s.Canvas.Font.SetSize(10);  // -13 pixels
  EXPECT_EQ(s.Canvas.Font.Height(), -13);
  EXPECT_EQ(s.Canvas.TextHeight("x"), 15);
}

TEST(DrawText, AlignsEachLineInTheRectangle) {
  struct Case {
    unsigned Format;
    int Left;  // first ink column of "ab" in a 30-wide rectangle at x = 2
  };
  for (const Case& c : {Case{DT_LEFT, 2 + 1}, Case{DT_CENTER, 2 + 9 + 1}, Case{DT_RIGHT, 2 + 18 + 1}}) {
    TextSheet s(34, 14);
    TRect r = Rect(2, 0, 32, 13);
    EXPECT_EQ(s.Canvas.DrawText("ab", r, c.Format), 13);
    const std::string row = s.Row(5);
    EXPECT_EQ(static_cast<int>(row.find('#')), c.Left) << row;
  }
}

TEST(DrawText, PrefixUnderlinesTheNextCharacterAndDoublesToAnAmpersand) {
  TextSheet s(40, 13);
  TRect r = Rect(0, 0, 40, 13);
  s.Canvas.DrawText("a&bc&&", r, DT_LEFT);  // shows "abc&"
  EXPECT_EQ(s.Row(11), "......######............................");
  EXPECT_EQ(s.Row(5),  ".####..####..####..####.................");
  TextSheet plain(40, 13);
  TRect r2 = Rect(0, 0, 40, 13);
  plain.Canvas.DrawText("a&b", r2, DT_NOPREFIX);  // three characters, none underlined
  EXPECT_EQ(plain.Row(11), std::string(40, '.'));
  EXPECT_EQ(plain.Row(5), ".####..####..####.......................");
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
  TextSheet s(100, 40);
  TRect r = Rect(5, 5, 100, 100);
  EXPECT_EQ(s.Canvas.DrawText("&Exit", r, DT_CALCRECT), 13);
  EXPECT_EQ(r, Rect(5, 5, 5 + 24, 5 + 13));
  TRect wrapped = Rect(0, 0, 40, 0);
  EXPECT_EQ(s.Canvas.DrawText("one two three", wrapped, DT_CALCRECT | DT_WORDBREAK), 39);
  EXPECT_EQ(wrapped, Rect(0, 0, 30, 39)) << "the widest line, \"three\"";
  EXPECT_EQ(s.Row(5), std::string(100, '.'));
  TRect empty = Rect(1, 1, 50, 50);
  EXPECT_EQ(s.Canvas.DrawText("", empty, DT_CALCRECT), 0);
}

TEST(DrawText, WordBreakKeepsWholeWordsAndBreaksAtLineEnds) {
  TextSheet s(42, 60);
  TRect r = Rect(0, 0, 42, 60);
  // "aa bb" fits 42 (30 pixels), "aa bb cc" does not (48); "dddddddd" (48) overflows alone; "e" after a CR LF.
  EXPECT_EQ(s.Canvas.DrawText("aa bb cc dddddddd\r\ne", r, DT_WORDBREAK), 4 * 13);
  EXPECT_EQ(s.Row(5),  ".####..####........####..####.............");
  EXPECT_EQ(s.Row(18), ".####..####...............................");
  EXPECT_EQ(s.Row(31), ".####..####..####..####..####..####..####.") << "clipped at the rectangle";
  EXPECT_EQ(s.Row(44), ".####.....................................");
}

TEST(DrawText, RightToLeftReadingMovesEndPunctuationToTheLeft) {
  TextSheet s(30, 13);
  TRect r = Rect(0, 0, 30, 13);
  // "ab." reads ".ab": the dot (a box in the test font too) first; a blank before it stays a gap.
  s.Canvas.DrawText("ab .", r, DT_RTLREADING);
  EXPECT_EQ(s.Row(5), ".####........####..####.......");
}

TEST(DrawText, RightToLeftDisplayOrder) {
  struct Case {
    const char* Text;
    int Charset;
    const char* Shown;
  };
  // Hebrew letters in windows-1255 are 0xE0 and up: "\xE0\xE1" reads from the right.
  const Case cases[] = {
      {"Hello, world!", 1, "!Hello, world"},
      {"  ", 1, "  "},
      {"(x)", 1, ")x("},
      {"\xE0\xE1 abc.", 177, ".abc \xE1\xE0"},
      {"\xE0 12 34", 177, "34 12 \xE0"},
      {"abc 12", 177, "abc 12"},
      {"\xE0 abc def \xE1", 177, "\xE1 abc def \xE0"},
      {"\xE0\xE1", 1, "\xE0\xE1"},  // a Latin code page: those are letters that read left to right
  };
  for (const Case& c : cases) {
    std::string shown;
    for (std::size_t i : RightToLeftDisplayOrder(c.Text, c.Charset)) shown.push_back(c.Text[i]);
    EXPECT_EQ(shown, c.Shown) << c.Text;
  }
}

TEST(DrawText, OpaqueBackgroundAndClipping) {
  TextSheet s(20, 15);
  s.Canvas.SetBkMode(OPAQUE);
  s.Canvas.SetBkColor(clRed);
  TRect r = Rect(0, 0, 9, 15);
  s.Canvas.DrawText("ab", r, DT_LEFT);  // 12 wide, clipped at 9
  const std::string picture = testing::Picture(s.Bitmap, {{0, '#'}, {0xFFFFFF, '.'}, {ColorToRGB(clRed), 'r'}});
  EXPECT_EQ(picture.substr(0, 21), "rrrrrrrrr...........\n");
  EXPECT_EQ(picture.substr(5 * 21, 21), "r####rr##...........\n");
  EXPECT_EQ(picture.substr(13 * 21, 21), "....................\n") << "below the line";
}

}  // namespace
}  // namespace kestrova::gfx
