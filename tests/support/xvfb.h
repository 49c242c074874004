// An X server of the tests' own: Xvfb on a display it picks itself, started on first use and
// ended when the test program ends, so that window tests never depend on the desktop they run on.
#pragma once
#include <string>

namespace kestrova::testing {

// The display name (":N"); DISPLAY is set to it. Throws when no server could be started.
const std::string& TestDisplay();

}  // namespace kestrova::testing
