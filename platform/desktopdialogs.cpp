#include "platform/desktopdialogs.h"

namespace kestrova::platform {

namespace {
DesktopDialogs* gDialogs = nullptr;
}

void SetDesktopDialogs(DesktopDialogs* dialogs) { gDialogs = dialogs; }
DesktopDialogs* RegisteredDesktopDialogs() { return gDialogs; }

}  // namespace kestrova::platform
