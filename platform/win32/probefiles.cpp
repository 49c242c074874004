#include <windows.h>

#include "platform/probefiles.h"

namespace kestrova::platform {

namespace {

using SHGetFolderPathAFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

class HeldFile final : public IHeldFile {
 public:
  explicit HeldFile(HANDLE h) : FHandle(h) {}
  ~HeldFile() override { CloseHandle(FHandle); }

 private:
  HANDLE FHandle;
};

class RunningProcess final : public IRunningProcess {
 public:
  explicit RunningProcess(const PROCESS_INFORMATION& info) : FInfo(info) {}
  ~RunningProcess() override {
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
  }
  bool WaitFor(unsigned timeoutMs) override { return WaitForSingleObject(FInfo.hProcess, timeoutMs) == WAIT_OBJECT_0; }
  bool ExitCode(std::int32_t& code) override {
    DWORD value = 0;
    if (!GetExitCodeProcess(FInfo.hProcess, &value)) return false;
    code = static_cast<std::int32_t>(value);
    return true;
  }
  void Terminate() override {
    TerminateProcess(FInfo.hProcess, 1);
    WaitForSingleObject(FInfo.hProcess, 5000);
  }

 private:
  PROCESS_INFORMATION FInfo;
};

bool ReadHandle(HANDLE h, std::string& data) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size) || size.QuadPart > 64 * 1024 * 1024) return false;
  data.resize(static_cast<size_t>(size.QuadPart));
  DWORD done = 0;
  return data.empty() || (ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) && done == data.size());
}

class Win32ProbeSystem final : public IProbeSystem {
 public:
  char Separator() override { return '\\'; }

  std::string SpecialFolder(int csidl) override {
    // Only the system's own SHFOLDER.DLL: a copy planted beside the program or in the current
    // folder must never be loaded into a process with administrator rights.
    char system[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    HMODULE shfolder = LoadLibraryA((std::string(system, n) + "\\SHFOLDER.DLL").c_str());
    if (shfolder == nullptr) return {};
    std::string result;
    auto fn = reinterpret_cast<SHGetFolderPathAFn>(reinterpret_cast<void*>(GetProcAddress(shfolder, "SHGetFolderPathA")));
    char path[MAX_PATH + 1] = {};
    if (fn != nullptr && fn(nullptr, csidl, nullptr, 0, path) >= 0) result = std::string(path) + "\\";
    FreeLibrary(shfolder);
    return result;
  }

  bool CreateProbeFolder(const std::string& folder) override {
    CreateDirectoryA(folder.c_str(), nullptr);  // an existing folder is fine
    return true;
  }

  std::int64_t FileSizeByName(const std::string& path) override {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return -1;
    FindClose(h);
    return (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  }

  bool ReadWholeFile(const std::string& path, std::string& data) override {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = ReadHandle(h, data);
    CloseHandle(h);
    return ok;
  }

  bool WriteWholeFile(const std::string& path, const std::string& data) override {
    // A planted read-only, hidden or system copy is replaced like any other.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    bool ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) && done == data.size();
    CloseHandle(h);
    return ok;
  }

  bool RemoveFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != FALSE; }

  std::unique_ptr<IHeldFile> HoldAgainstWriting(const std::string& path, std::string& data) override {
    // Shared for reading only: nobody may write, rename or delete it while we hold it.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    auto held = std::make_unique<HeldFile>(h);
    if (!ReadHandle(h, data)) return nullptr;
    return held;
  }

  std::unique_ptr<IRunningProcess> Start(const std::string& path) override {
    // The path is the program name as well as the command line: with blanks in it, a bare
    // command line could start C:\Program.exe instead.
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return nullptr;
    return std::make_unique<RunningProcess>(pi);
  }
};

}  // namespace

IProbeSystem& SystemProbeSystem() {
  static Win32ProbeSystem system;
  return system;
}

}  // namespace kestrova::platform
