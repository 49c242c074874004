#include "platform/filenames.h"

namespace kestrova::platform {

bool IsFolderTarget(const std::string& target) { return !target.empty() && target.back() == '\\'; }

bool IsSwitchTarget(const std::string& target) { return !target.empty() && target.front() == '/'; }

}  // namespace kestrova::platform
