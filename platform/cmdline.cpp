#include "platform/cmdline.h"

namespace kestrova::platform {

namespace {
std::vector<std::string>& Arguments() {
  static std::vector<std::string> args;
  return args;
}
bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

const std::vector<std::string>& CommandLineArguments() { return Arguments(); }

void SetCommandLineArguments(std::vector<std::string> args) { Arguments() = std::move(args); }

std::vector<std::string> SplitCommandLine(const char* p) {
  std::vector<std::string> result;
  if (p == nullptr) return result;
  for (;;) {
    // Separators, and empty quoted pairs between arguments, are skipped.
    for (;;) {
      while (*p != '\0' && IsSeparator(*p)) ++p;
      if (p[0] == '"' && p[1] == '"') p += 2;
      else break;
    }
    if (*p == '\0') break;
    std::string arg;
    while (*p != '\0' && !IsSeparator(*p)) {
      if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') arg += *p++;
        if (*p != '\0') ++p;
      } else {
        arg += *p++;
      }
    }
    result.push_back(std::move(arg));
  }
  return result;
}

}  // namespace kestrova::platform
