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
#include "tests/support/drawscript_canvas.h"
#include "tests/support/drawscript_gdi.h"

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
    std::fill(blank.Main.begin(), blank.Main.end(), 0xFFFFFFu);
    std::fill(blank.Aux.begin(), blank.Aux.end(), 0xFFFFFFu);
    std::fill(blank.Mono.begin(), blank.Mono.end(), std::uint8_t{1});
    std::cout << Differences(blank, RunThroughGdi(s));
  }
  if (Differ(s)) ADD_FAILURE() << Report(s, path);
}

}  // namespace
}  // namespace kestrova::testing::draw
