// The system's message box: modal over the active window, an icon for its kind, OK or (for a
// question) Yes and No. Where the desktop has none of its own (X11), the toolkit's registered box;
// where that cannot be shown either, the text goes to standard error.
#pragma once
#include <string>

namespace kestrova::platform {

enum class MessageBoxKind { Information, Error, Question };

// True for OK or Yes; a box that could not be shown answers a question with its safe answer, No.
bool ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind);

}  // namespace kestrova::platform
