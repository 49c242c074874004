#include <windows.h>

#include "platform/sysinfo.h"

namespace kestrova::platform {

std::string ComputerName() {
  char buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD n = sizeof buf;
  if (!GetComputerNameA(buf, &n)) return {};
  return std::string(buf, n < sizeof buf ? n : sizeof buf - 1);
}

}  // namespace kestrova::platform
