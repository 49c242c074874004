// The message box and file dialogs of a desktop that has none of its own (X11). The toolkit
// builds them from its own controls and registers them here: the window host below the toolkit
// can then offer them without depending on it.
#pragma once
#include <string>

#include "platform/windowhost.h"

namespace kestrova::platform {

class DesktopDialogs {
 public:
  virtual ~DesktopDialogs() = default;
  // True for OK or Yes.
  virtual bool MessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind) = 0;
  // The chosen file, or empty when cancelled.
  virtual std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) = 0;
};

// Null: none registered.
void SetDesktopDialogs(DesktopDialogs* dialogs);
DesktopDialogs* RegisteredDesktopDialogs();

}  // namespace kestrova::platform
