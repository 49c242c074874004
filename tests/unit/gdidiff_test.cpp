// The differential test of the raster canvas against GDI: random drawing scripts of every kind of
// call, run through the real GDI calls (under Wine: its DIB engine) and through the canvas, every
// pixel of the three bitmaps compared. A failing script is shrunk and printed with both pictures.
//
// CI runs a fixed set of seeds. A longer run by hand, with its own first seed:
//   KESTROVA_GDIDIFF_SCRIPTS=20000 KESTROVA_GDIDIFF_SEED=1000000 kestrova_gdidiff_tests.exe
// and one script from a file (the format of tests/support/drawscript.h), KESTROVA_GDIDIFF_SHOW=1
// printing what GDI drew (against white bitmaps) as well:
//   KESTROVA_GDIDIFF_FILE=case.txt kestrova_gdidiff_tests.exe --gtest_filter=*File*
//
// Where Wine and Windows are known to draw differently the reference is Windows' rule:
// - DrawFocusRect: Windows inverts a checkerboard fixed to the device; Wine's dotted pen starts
//   its dots at the rectangle's corner. The reference is the checkerboard through PatBlt.
// Where GDI's own result is undefined or known wrong, the reference avoids it (drawscript_gdi):
// - a blit from a bitmap onto itself goes through a copy of the source where Wine or Windows read
//   back source pixels they already changed;
// - a round rectangle whose corner ellipse is tall and narrow is not compared: Wine leaves rows
//   of its interior undefined (stray pixels that change from run to run);
// - the fourth byte of a 32-bit pixel, which GDI's WHITENESS and inverting codes set and the
//   canvas does not have, is cleared after every call.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/drawscript.h"
#include "tests/support/drawscript_compare.h"
#include "tests/support/drawscript_generator.h"
#include "tests/support/drawscript_canvas.h"
#include "tests/support/drawscript_gdi.h"
#include "tests/support/gdidiff_cases.h"

namespace kestrova::testing::draw {
namespace {

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

bool Differ(const TScript& s) {
  const TPictures gdi = RunThroughGdi(s);
  return gdi.Unreliable.empty() && !Differences(RunOnCanvas(s), gdi).empty();
}

// The report of a failing script: the shrunk case first, then where it came from.
std::string Report(const TScript& original, const std::string& origin) {
  const TScript small = Shrink(original, Differ);
  std::ostringstream out;
  out << origin << ", shrunk to:\n"
      << Format(small) << Differences(RunOnCanvas(small), RunThroughGdi(small)) << "the script as generated:\n"
      << Format(original);
  return out.str();
}

class GdiDiff : public ::testing::TestWithParam<TFamily> {};

TEST_P(GdiDiff, RandomScriptsDrawTheSamePixels) {
  const int count = EnvInt("KESTROVA_GDIDIFF_SCRIPTS", 300);
  const int first = EnvInt("KESTROVA_GDIDIFF_SEED", 1);
  int failures = 0;
  std::map<std::string, int> skipped;
  for (int seed = first; seed < first + count && failures < 3; ++seed) {
    const TScript s = Generate(GetParam(), static_cast<std::uint64_t>(seed));
    const TPictures gdi = RunThroughGdi(s);
    if (!gdi.Unreliable.empty()) {
      ++skipped[gdi.Unreliable];
      continue;
    }
    if (Differences(RunOnCanvas(s), gdi).empty()) continue;
    ++failures;
    ADD_FAILURE() << Report(s, std::string(FamilyName(GetParam())) + ", seed " + std::to_string(seed));
  }
  for (const auto& [reason, n] : skipped) std::cout << n << " script(s) not compared: " << reason << '\n';
}

INSTANTIATE_TEST_SUITE_P(Families, GdiDiff, ::testing::ValuesIn(AllFamilies()), [](const auto& info) {
  std::string name = FamilyName(info.param);
  for (char& c : name)
    if (c == ' ') c = '_';
  return name;
});

// The drawing steps of the controls (tests/data/gdidiff): the Office97 button frame, the gradient
// panel's bands, the disabled glyph's emboss, the transparent glyph's masks and the parent's
// background painted through SaveDC, SetViewportOrg, IntersectClipRect and RestoreDC.
TEST(GdiDiff, TheControlsDrawingStepsDrawTheSamePixels) {
  for (const TNamedScript& c : kControlScripts) {
    const TScript s = Parse(c.Text);
    const TPictures gdi = RunThroughGdi(s);
    ASSERT_EQ(gdi.Unreliable, "") << c.Name;
    const std::string d = Differences(RunOnCanvas(s), gdi);
    EXPECT_EQ(d, "") << c.Name << "\n" << Report(s, c.Name);
  }
}

// The one known difference kept in view: Wine's own DrawFocusRect inverts the same outline with
// its dots counted from the top-right corner, so it agrees with the device checkerboard exactly
// when that corner pixel is on the checkerboard, and is its complement on the outline otherwise.
// (A rectangle one pixel wide or high Wine walks down and back, inverting pixels twice; the canvas
// inverts each pixel of the outline once.)
TEST(GdiDiff, WineFocusRectDotsStartAtTheTopRightCorner) {
  const int rects[][4] = {{1, 1, 9, 6}, {2, 1, 9, 6}, {0, 0, 2, 2}, {3, 2, 5, 7}, {1, 3, 8, 5}, {2, 2, 7, 7}};
  for (const auto& r : rects) {
    const int w = 10, h = 8;
    TScript s;
    s.Width = w;
    s.Height = h;
    TCommand focus;
    focus.Op = TOp::Focus;
    focus.Args = {r[0], r[1], r[2], r[3]};
    s.Commands = {focus};
    const std::vector<std::uint32_t> canvas = RunOnCanvas(s).Pixels[0], wine = WineFocusRect(w, h, r[0], r[1], r[2], r[3]);
    const bool cornerOnTheCheckerboard = (r[2] - 1 + r[1]) % 2 == 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool outline = x >= r[0] && x < r[2] && y >= r[1] && y < r[3] && (x == r[0] || x == r[2] - 1 || y == r[1] || y == r[3] - 1);
        const bool same = canvas[static_cast<std::size_t>(y) * w + x] == wine[static_cast<std::size_t>(y) * w + x];
        EXPECT_EQ(same, !outline || cornerOnTheCheckerboard) << "rect " << r[0] << "," << r[1] << "," << r[2] << "," << r[3] << " at " << x << "," << y;
      }
  }
}

TEST(GdiDiffFile, TheScriptInTheFileDrawsTheSamePixels) {
  const char* path = std::getenv("KESTROVA_GDIDIFF_FILE");
  if (!path) GTEST_SKIP() << "KESTROVA_GDIDIFF_FILE names no script";
  std::ifstream in(path);
  ASSERT_TRUE(in) << path;
  std::stringstream text;
  text << in.rdbuf();
  const TScript s = Parse(text.str());
  if (std::getenv("KESTROVA_GDIDIFF_SHOW")) {
    // GDI's pictures against blank white bitmaps, to read what GDI drew.
    TPictures blank = RunThroughGdi(s);
    for (int i = 0; i < kTargets; ++i) std::fill(blank.Pixels[i].begin(), blank.Pixels[i].end(), IsOneBit(static_cast<TTarget>(i)) ? 1u : 0xFFFFFFu);
    std::cout << Differences(blank, RunThroughGdi(s));
  }
  if (Differ(s)) ADD_FAILURE() << Report(s, path);
}

}  // namespace
}  // namespace kestrova::testing::draw
