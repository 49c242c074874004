// Facts about the machine the program runs on.
#pragma once
#include <string>

namespace kestrova::platform {

// The computer name, at most 15 bytes; empty when the platform cannot tell.
// Windows: GetComputerNameA. Linux: the host name up to its first ".".
std::string ComputerName();

}  // namespace kestrova::platform
