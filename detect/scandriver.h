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
  std::function<bool()> WalkObjectNamespace;
  std::function<bool()> ProbeInjectedPath;
  std::function<bool(int namesToTry)> ProbeBlockedLaunch;
};

TScanStages& ScanStages();

// Runs one scan with the stages of ScanStages(); true when it produced at least one finding.
bool DetectRootkits();

// Runs one scan and appends its findings to list; a null list means no scan at all.
void ScanForRootkits(FindingList* list);

}  // namespace kestrova::detect
