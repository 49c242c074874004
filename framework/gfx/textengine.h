// The text engine every canvas measures and draws with: the operating system's own unless a
// test (or the headless host) installs another, such as the fixed-metric test font.
#pragma once
#include "platform/textengine.h"

namespace kestrova::gfx {

platform::TextEngine& CurrentTextEngine();
// Null goes back to the system's engine. The engine must outlive its use.
void SetTextEngine(platform::TextEngine* engine);

}  // namespace kestrova::gfx
