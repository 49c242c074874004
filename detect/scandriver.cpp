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

void ScanForRootkits(FindingList* list) {
  if (list == nullptr) return;
  const TScanStages& stages = ScanStages();
  bool found = false;

  // Rules and walk: an error ends this block, keeping what was collected so far.
  try {
    SignatureTable = std::make_unique<TSignatureTable>();
    ObjectTable = std::make_unique<TObjectTable>();
    if (stages.LoadSignatureTable) stages.LoadSignatureTable();
    if (stages.WalkObjectNamespace) stages.WalkObjectNamespace();
    for (const auto& record : *ObjectTable) {
      if (!record || record->Hit <= 0) continue;
      found = true;
      list->AddObject("Rootkit: " + record->Label, record->Kind == okEvent ? record->Hit : 0);
    }
  } catch (...) {
  }

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

bool DetectRootkits() {
  // The one guard of the whole scan: whatever goes wrong, the answer is "nothing found".
  try {
    FindingList findings;
    ScanForRootkits(&findings);
    return findings.Count() > 0;
  } catch (...) {
    return false;
  }
}

}  // namespace kestrova::detect
