// Windows start-up: a GUI-subsystem program, so there is no console and no C runtime argv we
// trust (its backslash-quote rules would eat the trailing backslash of a folder target).
#include <windows.h>

#include "platform/cmdline.h"
#include "platform/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  auto args = kestrova::platform::SplitCommandLine(GetCommandLineA());
  char self[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    if (args.empty()) args.emplace_back();
    args[0] = self;
  }
  kestrova::platform::SetCommandLineArguments(std::move(args));
  return kestrova::ProgramEntry();
}
