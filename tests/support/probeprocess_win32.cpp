#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "tests/support/childprocess.h"
#include "tests/support/probeprocess.h"

namespace kestrova::testing {

std::string RealProbeFolder() {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path) < 0) return "Tavisk\\";
  return std::string(path) + "\\Tavisk\\";
}

bool EndProbeProcess(const std::string& fileName, unsigned parentPid, int exitCode, unsigned timeoutMs) {
  for (unsigned waited = 0; waited <= timeoutMs; waited += 50) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool ended = false;
    for (BOOL ok = Process32First(snapshot, &entry); ok && !ended; ok = Process32Next(snapshot, &entry)) {
      if (_stricmp(entry.szExeFile, fileName.c_str()) != 0 || entry.th32ParentProcessID != parentPid) continue;
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
      if (process == nullptr) continue;
      ended = TerminateProcess(process, static_cast<UINT>(exitCode)) != FALSE;
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
    CloseHandle(snapshot);
    if (ended) return true;
    SleepMs(50);
  }
  return false;
}

bool RunningAsAdministrator() { return true; }

}  // namespace kestrova::testing
