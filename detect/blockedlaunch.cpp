#include "detect/blockedlaunch.h"

namespace kestrova::detect {

std::string GetSpecialFolder(int csidl, platform::IProbeSystem& system) {
  try {
    return system.SpecialFolder(csidl);
  } catch (...) {
    return {};
  }
}

std::string GetProbeFolder(platform::IProbeSystem& system) {
  std::string folder = GetSpecialFolder(platform::kCsidlCommonAppData, system) + kProbeFolderName;
  if (!system.CreateProbeFolder(folder)) return {};
  return folder + system.Separator();
}

std::int64_t GetFileSizeByName(const std::string& path, platform::IProbeSystem& system) {
  return system.FileSizeByName(path);
}

bool InstallStub(const std::string& path, platform::IResources& resources, platform::IProbeSystem& system) {
  if (path.empty()) return false;
  std::string stub;
  if (!resources.Find(kProbeProgramResource, stub)) return false;
  // A file of the right size is not enough: someone may have planted their own program there.
  std::string present;
  if (GetFileSizeByName(path, system) == static_cast<std::int64_t>(stub.size()) &&
      system.ReadWholeFile(path, present) && present == stub)
    return true;
  return system.WriteWholeFile(path, stub);
}

std::int32_t RunAndWait(const std::string& path, platform::IProbeSystem& system) {
  if (path.empty()) return kRunEmptyPath;
  std::unique_ptr<platform::IRunningProcess> process = system.Start(path);
  if (!process) return kRunStartFailed;
  if (!process->WaitFor(kProbeWaitMilliseconds)) {
    process->Terminate();
    return kRunTimedOut;
  }
  std::int32_t code = 0;
  return process->ExitCode(code) ? code : kRunNoExitCode;
}

namespace {

// Runs the program at path only while it is held against change and is exactly ours.
std::int32_t RunOurProbe(const std::string& path, const std::string& stub, platform::IProbeSystem& system) {
  std::string held;
  std::unique_ptr<platform::IHeldFile> hold = system.HoldAgainstWriting(path, held);
  if (!hold || held != stub) return kRunStartFailed;
  return RunAndWait(path, system);
}

}  // namespace

bool ProbeBlockedLaunch(std::int32_t namesToTry, platform::IResources& resources, platform::IProbeSystem& system) {
  // Whatever fails here, the probe has simply found nothing.
  try {
    rtl::TStringList names;
    LoadProcessNames(&names, resources);
    if (names.Count() == 0) return false;
    const std::string folder = GetProbeFolder(system);
    if (folder.empty()) return false;
    std::string stub;
    if (!resources.Find(kProbeProgramResource, stub)) stub.clear();
    for (int i = 0; i < names.Count() && i < namesToTry; ++i) {
      if (names.Strings(i).empty()) continue;
      const std::string path = folder + names.Strings(i);
      InstallStub(path, resources, system);
      const std::int32_t code = stub.empty() ? kRunStartFailed : RunOurProbe(path, stub, system);
      if (code == 0) return true;  // the file stays, as evidence
      system.RemoveFile(path);
    }
    return false;
  } catch (...) {
    return false;
  }
}

}  // namespace kestrova::detect
