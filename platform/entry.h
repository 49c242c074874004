// The program's entry as the platform sees it: each OS's start-up code (WinMain, main) records
// the command line and calls ProgramEntry, which the application defines.
#pragma once

namespace kestrova {
int ProgramEntry();
}
