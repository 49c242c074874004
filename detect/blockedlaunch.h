// The last probe: write the tiny probe program under a listed name, start it and judge how it
// ends. It always ends with 5; a 0 means something killed it on purpose, as TDL4 does.
#pragma once
#include <cstdint>
#include <string>

#include "framework/rtl/classes.h"
#include "platform/probefiles.h"
#include "platform/resources.h"

namespace kestrova::detect {

inline constexpr char kProbeFolderName[] = "Tavisk";
inline constexpr char kProbeProgramResource[] = "CR_STUB";
inline constexpr char kProbeNamesResource[] = "CR_ANTI";
// A probe program that has not ended by then never will: a login script must not hang on it.
inline constexpr unsigned kProbeWaitMilliseconds = 30000;

// RunAndWait's answers besides the exit code itself.
inline constexpr std::int32_t kRunEmptyPath = -1;
inline constexpr std::int32_t kRunStartFailed = -2;
inline constexpr std::int32_t kRunNoExitCode = -3;
inline constexpr std::int32_t kRunTimedOut = -4;

bool ProbeBlockedLaunch(std::int32_t namesToTry, platform::IResources& resources, platform::IProbeSystem& system);

// Appends the file names of the name list resource, in order; a null list does nothing.
void LoadProcessNames(rtl::TStringList* names, platform::IResources& resources);

// The probe folder with its trailing separator, created on the way; "" when it is not safe.
std::string GetProbeFolder(platform::IProbeSystem& system);
std::string GetSpecialFolder(int csidl, platform::IProbeSystem& system);

// Puts the probe program at path unless exactly it is there already.
bool InstallStub(const std::string& path, platform::IResources& resources, platform::IProbeSystem& system);

std::int32_t RunAndWait(const std::string& path, platform::IProbeSystem& system);
std::int64_t GetFileSizeByName(const std::string& path, platform::IProbeSystem& system);

}  // namespace kestrova::detect
