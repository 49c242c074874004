// Random drawing scripts from a seed: the same script for a seed on every platform and compiler.
#pragma once
#include <cstdint>
#include <vector>

#include "tests/support/drawscript.h"

namespace kestrova::testing::draw {

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

}  // namespace kestrova::testing::draw
