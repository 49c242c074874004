#include <windows.h>

#include "platform/messagebox.h"

namespace kestrova::platform {

bool ShowMessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind) {
  UINT flags = MB_TASKMODAL | MB_SETFOREGROUND;
  switch (kind) {
    case MessageBoxKind::Information: flags |= MB_OK | MB_ICONINFORMATION; break;
    case MessageBoxKind::Error: flags |= MB_OK | MB_ICONERROR; break;
    case MessageBoxKind::Question: flags |= MB_YESNO | MB_ICONQUESTION; break;
  }
  const int answer = MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
  return answer == IDOK || answer == IDYES;
}

}  // namespace kestrova::platform
