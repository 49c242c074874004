#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/childprocess.h"

namespace kestrova::testing {

std::string ProgramBeside(const std::string& name) {
  char self[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) throw std::runtime_error("cannot find the test program itself");
  std::string path(self, n);
  return path.substr(0, path.find_last_of("\\/") + 1) + name + ".exe";
}

std::string MakeTempFolder() {
  static unsigned counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  for (;;) {
    std::string folder = std::string(temp) + "kestrova-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++counter);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return RememberFolder(folder + "\\");
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + folder);
  }
}

char FolderSeparator() { return '\\'; }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void CreateFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) RememberFolder(path);
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void SleepMs(unsigned ms) { Sleep(ms); }

struct ChildProcess::Impl {
  PROCESS_INFORMATION Info = {};
  bool Started = false;
  int Status = -2;
};

namespace {

// Our own splitting rules: quotes group, backslashes are plain characters.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  return "\"" + arg + "\"";
}

struct MessageBoxSearch {
  DWORD Pid;
  HWND Found;
};

BOOL CALLBACK FindDialogOfProcess(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid == search->Pid && IsWindowVisible(hwnd) && std::string(cls) == "#32770") {
    search->Found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM param) {
  auto* text = reinterpret_cast<std::string*>(param);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  char buf[1024] = {};
  if (_stricmp(cls, "Static") == 0 && GetWindowTextA(hwnd, buf, sizeof buf) > 0) {
    *text = buf;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args)
    : FImpl(std::make_unique<Impl>()) {
  std::string commandLine = QuoteArgument(program);
  for (const auto& a : args) {
    commandLine += ' ';
    commandLine += QuoteArgument(a);
  }
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  FImpl->Started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &FImpl->Info) != FALSE;
}

ChildProcess::~ChildProcess() {
  if (FImpl->Started) {
    if (FImpl->Status == -2) Wait(0);
    CloseHandle(FImpl->Info.hThread);
    CloseHandle(FImpl->Info.hProcess);
  }
}

bool ChildProcess::Started() const { return FImpl->Started; }
bool ChildProcess::Running() {
  return FImpl->Started && FImpl->Status == -2 && WaitForSingleObject(FImpl->Info.hProcess, 0) == WAIT_TIMEOUT;
}

unsigned ChildProcess::Pid() const { return FImpl->Info.dwProcessId; }

int ChildProcess::Wait(unsigned timeoutMs) {
  if (!FImpl->Started) return -1;
  if (FImpl->Status != -2) return FImpl->Status;
  if (WaitForSingleObject(FImpl->Info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(FImpl->Info.hProcess, 99);
    WaitForSingleObject(FImpl->Info.hProcess, 5000);
    FImpl->Status = -1;
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(FImpl->Info.hProcess, &code);
  FImpl->Status = static_cast<int>(code);
  return FImpl->Status;
}

std::string ChildProcess::StdErr() const { return {}; }

std::string ChildProcess::AnswerMessageBox(unsigned timeoutMs) {
  if (!FImpl->Started) return {};
  for (unsigned waited = 0; waited <= timeoutMs; waited += 50) {
    MessageBoxSearch search = {FImpl->Info.dwProcessId, nullptr};
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) {
      std::string text;
      EnumChildWindows(search.Found, CollectStaticText, reinterpret_cast<LPARAM>(&text));
      // Answered only once it is whole: its text and its button there.
      HWND ok = GetDlgItem(search.Found, IDOK);
      if (!text.empty() && ok) {
        PostMessageA(search.Found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        return text;
      }
    }
    if (WaitForSingleObject(FImpl->Info.hProcess, 50) == WAIT_OBJECT_0) return {};
  }
  return {};
}

struct FileHolder::Impl {
  HANDLE Handle = INVALID_HANDLE_VALUE;
};

FileHolder::FileHolder(const std::string& path, How how) : FImpl(std::make_unique<Impl>()) {
  DWORD share = how == How::Lock ? (FILE_SHARE_READ | FILE_SHARE_WRITE) : FILE_SHARE_READ;
  FImpl->Handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FImpl->Handle == INVALID_HANDLE_VALUE || how != How::Lock) return;
  OVERLAPPED whole = {};
  if (!LockFileEx(FImpl->Handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole))
    Release();
}

FileHolder::~FileHolder() { Release(); }
bool FileHolder::Holding() const { return FImpl->Handle != INVALID_HANDLE_VALUE; }
void FileHolder::Release() {
  if (FImpl->Handle != INVALID_HANDLE_VALUE) CloseHandle(FImpl->Handle);
  FImpl->Handle = INVALID_HANDLE_VALUE;
}

}  // namespace kestrova::testing
