// What the X11 window host noticed about its connection, for tests and for people looking into
// a problem: the X errors it survived and the way each picture reached the server.
#pragma once

namespace kestrova::platform::x11 {

// The last X error the host's handler noted instead of ending the program.
struct XErrorNote {
  unsigned long Count = 0;  // errors since the connection was made
  int Code = 0;             // BadWindow, BadAccess, ...
  int Request = 0;          // the major opcode of the failed request
  unsigned long Resource = 0;
};
XErrorNote LastXError();

// Pictures sent through shared memory (MIT-SHM) and by XPutImage. Shared memory is used when the
// server offers it on a local display, unless KESTROVA_X11_SHM=0 is set when a window is made.
struct PresentCounts {
  unsigned long Shared = 0;
  unsigned long Copied = 0;
};
PresentCounts Presents();

}  // namespace kestrova::platform::x11
