#include "detect/scandriver.h"

#include "detect/tables.h"

namespace kestrova::detect {

namespace {

// A probe that fails in any way has simply not found anything.
template <typename Probe, typename... Args>
bool AskProbe(const Probe& probe, Args... args) {
  if (!probe) return false;
  try {
    return probe(args...);
  } catch (...) {
    return false;
  }
}

}  // namespace

TScanStages& ScanStages() {
  static TScanStages stages;
  return stages;
}

void ScanForRootkits(FindingList* list, bool* complete) {
  if (list == nullptr) return;
  const TScanStages& stages = ScanStages();
  bool found = false;
  // The scan could judge only if the rules loaded and the walk looked at the whole namespace;
  // an error that ends the block below leaves it unjudged too.
  bool judged = false;

  // Rules and walk: an error ends this block, keeping what was collected so far.
  try {
    SignatureTable = std::make_unique<TSignatureTable>();
    ObjectTable = std::make_unique<TObjectTable>();
    if (stages.LoadSignatureTable) stages.LoadSignatureTable();
    const bool rulesLoaded = !SignatureTable->empty();
    const bool walked = stages.WalkObjectNamespace && stages.WalkObjectNamespace();
    for (const auto& record : *ObjectTable) {
      if (!record || record->Hit <= 0) continue;
      found = true;
      list->AddObject("Rootkit: " + record->Label, record->Kind == okEvent ? record->Hit : 0);
    }
    judged = rulesLoaded && walked;
  } catch (...) {
  }
  if (complete != nullptr) *complete = judged;

  if (!found && AskProbe(stages.ProbeInjectedPath)) {
    list->Add("TDL3 Inject");
    found = true;
  }
  if (!found && AskProbe(stages.ProbeBlockedLaunch, 1)) list->Add("TDL4.3");

  // Release both tables; nothing here may fail the scan.
  try {
    if (ObjectTable) FreeObjectTable(*ObjectTable);
    ObjectTable.reset();
    if (SignatureTable) FreeSignatureTable(*SignatureTable);
    SignatureTable.reset();
  } catch (...) {
  }
}

TScanVerdict DetectRootkitsVerdict() {
  // The one guard of the whole scan: whatever goes wrong, nothing was found, and the scan
  // could not say so with confidence.
  try {
    FindingList findings;
    bool complete = false;
    ScanForRootkits(&findings, &complete);
    if (findings.Count() > 0) return TScanVerdict::svFound;
    return complete ? TScanVerdict::svClean : TScanVerdict::svIncomplete;
  } catch (...) {
    return TScanVerdict::svIncomplete;
  }
}

bool DetectRootkits() { return DetectRootkitsVerdict() == TScanVerdict::svFound; }

}  // namespace kestrova::detect
