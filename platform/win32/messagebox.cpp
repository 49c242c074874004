#include <windows.h>

#include "platform/messagebox.h"

namespace kestrova::platform {

void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
  UINT flags = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MessageIcon::Error) flags |= MB_ICONERROR;
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

}  // namespace kestrova::platform
