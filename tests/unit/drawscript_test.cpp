// The drawing scripts of the differential test: the text format both ways, its errors, the
// generator's seeds, the shrinker and the report of two pictures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/drawscript.h"
#include "tests/support/drawscript_compare.h"
#include "tests/support/drawscript_generator.h"
#include "tests/support/drawscript_canvas.h"
#include "tests/support/gdidiff_cases.h"

namespace kestrova::testing::draw {
namespace {

TEST(DrawScript, GeneratedScriptsReadBackAsWritten) {
  for (TFamily family : AllFamilies())
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
      const TScript s = Generate(family, seed);
      const std::string text = Format(s);
      EXPECT_EQ(Parse(text), s) << text;
    }
  const TScript hand = Parse(
      "size 12 9\n"
      "; a comment, then every kind of line\n"
      "dc mono\r\n"
      "pen 0 dashdotdot #102030\n"
      "brush clear\n"
      "bkmode transparent\n"
      "polyline 1,2 -30,5\n"
      "patblt 1 1 -5 4 0x00A50000\n"
      "blit 0 0 8 8 aux 2 -1 DSPDxax\n"
      "restore -1\n");
  ASSERT_EQ(hand.Commands.size(), 8u);
  EXPECT_EQ(hand.Commands[0].Target, TTarget::Mono);
  EXPECT_EQ(hand.Commands[1].Color, 0x302010u) << "#RRGGBB is stored as a COLORREF";
  EXPECT_EQ(hand.Commands[2].Op, TOp::BrushClear);
  EXPECT_EQ(hand.Commands[4].Args, (std::vector<int>{1, 2, -30, 5}));
  EXPECT_EQ(hand.Commands[5].Rop, 0x00A50000u);
  EXPECT_EQ(hand.Commands[6].Rop, 0x00E20746u);
  EXPECT_EQ(hand.Commands[6].Target, TTarget::Aux);
}

TEST(DrawScript, ErrorsNameTheLineAndTheText) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"rect 1 2 3 4\n", "Line 1: the script must start with its size: \"rect 1 2 3 4\""},
      {"", "Line 0: the script has no size line \"\""},
      {"size 0 4\n", "Line 1: bitmap size out of range: \"size 0 4\""},
      {"size 4 4\nrect 1 2 3\n", "Line 2: wrong number of values in \"rect 1 2 3\""},
      {"size 4 4\nrect 1 2 3 4x\n", "Line 2: not a number: \"4x\""},
      {"size 4 4\nrect 1 2 3 99999999999\n", "Line 2: not a number: \"99999999999\""},
      {"size 4 4\nellipse 1 2 3 4\n", "Line 2: unknown command \"ellipse\""},
      {"size 4 4\npen 1 wavy #000000\n", "Line 2: unknown pen style \"wavy\""},
      {"size 4 4\npen 1 solid red\n", "Line 2: a colour #RRGGBB is expected in \"pen 1 solid red\""},
      {"size 4 4\npolyline 1,2 3\n", "Line 2: a point x,y is expected: \"3\""},
      {"size 4 4\npatblt 0 0 1 1 SRCXOR\n", "Line 2: unknown raster operation \"SRCXOR\""},
      {"size 4 4\nblit 0 0 1 1 screen 0 0 SRCCOPY\n", "Line 2: unknown source \"screen\""},
  };
  for (const Case& c : cases) {
    try {
      Parse(c.Text);
      ADD_FAILURE() << "no error for " << c.Text;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
  }
}

// One seed, one script, whatever the compiler and platform: a fingerprint of many scripts that
// the Windows build checks as well.
TEST(DrawScript, TheSameSeedGivesTheSameScriptEverywhere) {
  std::uint64_t hash = 14695981039346656037ull;
  for (TFamily family : AllFamilies())
    for (std::uint64_t seed = 1; seed <= 25; ++seed)
      for (char c : Format(Generate(family, seed))) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  EXPECT_EQ(hash, 17585607700151980779ull) << "a new fingerprint is right only when the generator was changed on purpose";
  EXPECT_NE(Format(Generate(TFamily::Rectangles, 1)), Format(Generate(TFamily::Rectangles, 2)));
}

// Every kind of script, far coordinates and wild sizes included, draws inside the bitmaps (the
// sanitizer build watches the memory) and ends in time.
TEST(DrawScript, RandomScriptsRunOnTheCanvas) {
  for (TFamily family : AllFamilies())
    for (std::uint64_t seed = 1; seed <= 150; ++seed) {
      const TPictures p = RunOnCanvas(Generate(family, seed));
      ASSERT_EQ(p.Pixels[0].size(), static_cast<std::size_t>(p.Width) * p.Height);
    }
  const TPictures wild = RunOnCanvas(Parse(
      "size 8 8\n"
      "pen 7 solid #FF0000\n"
      "polyline -1000000000,-1000000000 1000000000,1000000000 5,-1000000000\n"
      "roundrect -1000000000 -1000000000 1000000000 1000000000 1000000000 1000000000\n"
      "pen 1 dash #00FF00\n"
      "polyline -1000000000,3 1000000000,4\n"
      "fill -1000000000 -1000000000 1000000000 1000000000\n"));
  EXPECT_EQ(wild.Pixels[0].size(), 64u);
}

TEST(DrawScript, TheControlsScriptsRead) {
  ASSERT_GE(std::size(kControlScripts), 5u);
  for (const TNamedScript& c : kControlScripts) EXPECT_NO_THROW(Parse(c.Text)) << c.Name;
}

TEST(DrawScript, ShrinkKeepsOnlyWhatTheFailureNeeds) {
  // A "failure" that needs a rectangle at least 5 wide somewhere in the script.
  auto fails = [](const TScript& s) {
    for (const TCommand& c : s.Commands)
      if (c.Op == TOp::Rect && c.Args[2] - c.Args[0] >= 5) return true;
    return false;
  };
  const TScript big = Parse(
      "size 30 20\n"
      "brush #FF0000\n"
      "polyline 1,1 9,9 3,4 7,7\n"
      "rect -3 2 17 12\n"
      "pixel 4 4 #00FF00\n");
  const TScript small = Shrink(big, fails);
  EXPECT_EQ(Format(small), "size 1 1\nrect 0 0 5 0\n");

  int calls = 0;
  Shrink(big, [&](const TScript&) { return ++calls, true; }, 7);
  EXPECT_EQ(calls, 7) << "the number of tries is bounded";
}

TEST(DrawScript, DifferencesShowBothPicturesAndTheDifferingPixels) {
  TPictures a;
  a.Width = 3;
  a.Height = 2;
  for (auto& p : a.Pixels) p.assign(6, 0xFFFFFF);
  a.Pixels[0] = {0xFFFFFF, 0xFF0000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  a.Pixels[3] = {1, 1, 1, 1, 1, 0};
  a.Pixels[4] = {1, 1, 1, 1, 1, 1};
  TPictures b = a;
  EXPECT_EQ(Differences(a, b), "");
  b.Pixels[0][1] = 0xFFFFFF;
  b.Pixels[3][5] = 1;
  EXPECT_EQ(Differences(a, b),
            "main: 1 pixel differs\n"
            "  (1,0) canvas #FF0000, GDI #FFFFFF\n"
            "  canvas  GDI     differences\n"
            "  .a#     ..#     .X.\n"
            "  ...     ...     ...\n"
            "  legend: . #FFFFFF  # #000000  a #FF0000\n"
            "mono: 1 pixel differs\n"
            "  (2,1) canvas black, GDI white\n"
            "  canvas  GDI     differences\n"
            "  ...     ...     ...\n"
            "  ..#     ...     ..X\n");
}

}  // namespace
}  // namespace kestrova::testing::draw
