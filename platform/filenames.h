// How a report target is read on this platform.
#pragma once
#include <string>

namespace kestrova::platform {

// A target naming a folder: it ends with the folder separator ("\" on Windows, "/" on Linux).
bool IsFolderTarget(const std::string& target);

// A target that is a command-line switch put where a file name belongs. Windows: anything that
// begins with "/". Linux: "/" followed by one path component only ("/i", "/x"), since an absolute
// path such as /var/log/scan.csv begins with "/" there too.
bool IsSwitchTarget(const std::string& target);

}  // namespace kestrova::platform
