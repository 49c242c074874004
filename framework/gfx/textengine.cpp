#include "framework/gfx/textengine.h"

namespace kestrova::gfx {

namespace {
platform::TextEngine* gEngine = nullptr;
}

platform::TextEngine& CurrentTextEngine() { return gEngine ? *gEngine : platform::SystemTextEngine(); }

void SetTextEngine(platform::TextEngine* engine) { gEngine = engine; }

}  // namespace kestrova::gfx
