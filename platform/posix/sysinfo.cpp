#include "platform/sysinfo.h"

#include <unistd.h>

namespace kestrova::platform {

std::string ComputerName() {
  char buf[256] = {};
  if (gethostname(buf, sizeof buf - 1) != 0) return {};
  std::string name(buf);
  // The short name, as Windows would know the machine, and no longer than Windows allows.
  name = name.substr(0, name.find('.'));
  if (name.size() > 15) name.resize(15);
  return name;
}

}  // namespace kestrova::platform
