// Runs a drawing script on the toolkit's raster canvas.
#pragma once
#include "tests/support/drawscript.h"

namespace kestrova::testing::draw {

TPictures RunOnCanvas(const TScript& script);

}  // namespace kestrova::testing::draw
