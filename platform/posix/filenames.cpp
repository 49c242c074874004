#include "platform/filenames.h"

namespace kestrova::platform {

bool IsFolderTarget(const std::string& target) { return !target.empty() && target.back() == '/'; }

bool IsSwitchTarget(const std::string& target) {
  return target.size() > 1 && target.front() == '/' && target.find('/', 1) == std::string::npos;
}

}  // namespace kestrova::platform
