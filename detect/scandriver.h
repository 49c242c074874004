// One complete scan: the rules, the namespace walk, then the two fallback probes, in that fixed
// order, collected into a finding list. The only answer anyone uses is "found something or not".
#pragma once
#include <functional>

#include "framework/rtl/classes.h"

namespace kestrova::detect {

// Finding lines in the order found, duplicates kept; a line from an event carries its hit value.
using FindingList = rtl::TStringList;

// The four stages of a scan. An empty slot is a stage this build does not have: the scan runs
// without it. The program wires the real stages; tests wire scripted ones.
struct TScanStages {
  std::function<void()> LoadSignatureTable;
  // Answers whether the walk could judge the namespace: false when it could not run or could
  // not open the namespace root (a platform without a namespace has nothing to judge: true).
  std::function<bool()> WalkObjectNamespace;
  std::function<bool()> ProbeInjectedPath;
  std::function<bool(int namesToTry)> ProbeBlockedLaunch;
};

TScanStages& ScanStages();

// What one scan can say: something found; nothing found after a complete look; or nothing
// found by a scan that could not look everywhere (no usable rules, no namespace to walk),
// which must never pass for a clean machine.
enum class TScanVerdict { svClean, svFound, svIncomplete };

// Runs one scan with the stages of ScanStages(); true when it produced at least one finding.
bool DetectRootkits();
TScanVerdict DetectRootkitsVerdict();

// Runs one scan and appends its findings to list; a null list means no scan at all. When
// complete is given, it tells whether the rules loaded and the walk could judge the namespace.
void ScanForRootkits(FindingList* list, bool* complete = nullptr);

}  // namespace kestrova::detect
