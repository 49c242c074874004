// Linked into a test build of the program only: a scan stage that always finds something, so
// that the report mode's "found" paths can be run for real. The shipped program has no such
// stage and reads no flag that could switch one on.
#include "detect/scandriver.h"

namespace {
const bool kPlanted = [] {
  kestrova::detect::ScanStages().ProbeInjectedPath = [] { return true; };
  return true;
}();
}  // namespace
