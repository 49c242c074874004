// The real detection stages of the program, put into the scan driver's slots.
#pragma once

namespace kestrova::app {

// Fills every stage slot that is still empty with the program's real stage; a build that put a
// stage of its own in place beforehand keeps it.
void InstallScanStages();

}  // namespace kestrova::app
