#include "app/stages.h"

#include "detect/blockedlaunch.h"
#include "detect/injectedpath.h"
#include "detect/namespacewalk.h"
#include "detect/scandriver.h"
#include "detect/signatures.h"
#include "platform/memoryregions.h"
#include "platform/objectnamespace.h"
#include "platform/probefiles.h"
#include "platform/resources.h"

namespace kestrova::app {

void InstallScanStages() {
  detect::TScanStages& stages = detect::ScanStages();
  if (!stages.LoadSignatureTable)
    stages.LoadSignatureTable = [] { detect::LoadSignatureTable(platform::OwnResources()); };
  if (!stages.WalkObjectNamespace)
    stages.WalkObjectNamespace = [] { return detect::WalkJudgesNamespace(platform::SystemObjectNamespace()); };
  if (!stages.ProbeInjectedPath)
    stages.ProbeInjectedPath = [] { return detect::ProbeInjectedPath(platform::OwnMemoryRegions()); };
  if (!stages.ProbeBlockedLaunch)
    stages.ProbeBlockedLaunch = [](int names) {
      return detect::ProbeBlockedLaunch(names, platform::OwnResources(), platform::SystemProbeSystem());
    };
}

}  // namespace kestrova::app
