// The walk of the whole object namespace: every device, symbolic link, mutant and event is
// recorded in the object table and matched against the signature rules and one heuristic.
#pragma once
#include <cstdint>
#include <string>

#include "platform/objectnamespace.h"

namespace kestrova::detect {

inline constexpr char kTdl3DeviceLabel[] = "TDL3+ Device";

// False when the namespace library or one of its entry points is missing (nothing walked).
// rootOpened, when given, tells whether the namespace root itself could be opened.
bool WalkObjectNamespace(platform::IObjectNamespace& ns, bool* rootOpened = nullptr);

// Whether a walk judged the namespace: it ran and opened the root, or the platform has none.
bool WalkJudgesNamespace(platform::IObjectNamespace& ns);

// Records and descends one directory, given by its full path; depth first.
void WalkObjectDirectory(platform::IObjectNamespace& ns, const std::u16string& path);

// Builds, matches and appends one record to the object table.
void RecordObject(const std::string& name, const std::string& dir, std::int32_t kind, const std::string& extra);

}  // namespace kestrova::detect
