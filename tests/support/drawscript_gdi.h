// Runs a drawing script through the real GDI calls (Windows only): the colour bitmaps are 32-bit
// top-down DIB sections, the one-bit bitmap a monochrome bitmap of CreateBitmap, each selected
// into its own memory device context. Kept apart from the canvas: <windows.h> and
// framework/gfx/canvas.h name the same constants.
#pragma once
#include "tests/support/drawscript.h"

namespace kestrova::testing::draw {

TPictures RunThroughGdi(const TScript& script);

// Wine's own DrawFocusRect on a white 32-bit bitmap of the given size, for the one call whose
// dots Windows places differently (see the differential test).
std::vector<std::uint32_t> WineFocusRect(int width, int height, int left, int top, int right, int bottom);

}  // namespace kestrova::testing::draw
