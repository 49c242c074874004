// Test support for the blocked-launch probe: where the program puts its probe, and ending the
// running probe from outside with a chosen exit code.
#pragma once
#include <string>

namespace kestrova::testing {

// The probe folder of the real program, with its trailing separator.
std::string RealProbeFolder();

// Waits up to timeoutMs for a process started from the probe folder under fileName by the
// process parentPid (a probe of an earlier run may still be listed), and ends it with exitCode
// (0 or 5). False when none appeared.
bool EndProbeProcess(const std::string& fileName, unsigned parentPid, int exitCode, unsigned timeoutMs);

bool RunningAsAdministrator();

}  // namespace kestrova::testing
