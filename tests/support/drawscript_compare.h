// Two runs of a drawing script compared: what differs, shown to a reader, and the smallest script
// that still shows it.
#pragma once
#include <functional>
#include <string>

#include "tests/support/drawscript.h"

namespace kestrova::testing::draw {

// The smallest script found that still fails: commands dropped, points dropped, numbers moved
// towards zero and the bitmaps made smaller while fails() holds; at most `tries` calls of it.
TScript Shrink(TScript script, const std::function<bool(const TScript&)>& fails, int tries = 3000);

// Empty when the pictures agree; otherwise the differing bitmaps with their first differing
// pixels and both pictures side by side, one character a colour, differences marked.
std::string Differences(const TPictures& canvas, const TPictures& gdi);

}  // namespace kestrova::testing::draw
