#include "platform/messagebox.h"

#include <cstdio>

namespace kestrova::platform {

void ShowMessageBox(const std::string& text, const std::string& /*caption*/, MessageIcon /*icon*/) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace kestrova::platform
