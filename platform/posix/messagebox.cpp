#include "platform/messagebox.h"

#include <cstdio>

#include "platform/desktopdialogs.h"

namespace kestrova::platform {

bool ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind) {
  if (DesktopDialogs* dialogs = RegisteredDesktopDialogs()) {
    try {
      return dialogs->MessageBox(text, caption, kind);
    } catch (...) {
      // No display to show it on: the text still reaches whoever runs the program.
    }
  }
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  return kind != MessageBoxKind::Question;
}

}  // namespace kestrova::platform
