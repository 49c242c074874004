// A modal message with an OK button. Linux has no window here: the text goes to standard error.
#pragma once
#include <string>

namespace kestrova::platform {

enum class MessageIcon { None, Error };

void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon);

}  // namespace kestrova::platform
