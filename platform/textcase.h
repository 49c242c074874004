// Comparing texts without regard to case, the user locale's way.
#pragma once
#include <string_view>

namespace kestrova::platform {

// Windows: CompareStringA with NORM_IGNORECASE in the user's locale. Linux: ASCII letters fold,
// every other byte must match exactly.
bool SameTextIgnoreCase(std::string_view a, std::string_view b);

}  // namespace kestrova::platform
