#include <windows.h>

#include "platform/sharedfile.h"

namespace kestrova::platform {

namespace {

bool IsBusy(DWORD err) { return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION; }

HANDLE OpenForAppend(const std::string& fileName, DWORD access) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA: the system puts every write at the current end
  // of the file. Shared for reading and writing, so that other machines and readers get in too.
  return CreateFileA(fileName.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

AppendStatus TryAppendLocked(const std::string& fileName, std::string_view bytes) {
  // Locking needs read or write-data access; where only appending is granted (a drop-box share)
  // the append still lands whole, without the lock.
  bool canLock = true;
  HANDLE h = OpenForAppend(fileName, FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    canLock = false;
    h = OpenForAppend(fileName, FILE_APPEND_DATA | SYNCHRONIZE);
  }
  if (h == INVALID_HANDLE_VALUE) return IsBusy(GetLastError()) ? AppendStatus::Busy : AppendStatus::Failed;

  OVERLAPPED whole = {};
  bool locked = false;
  if (canLock) {
    locked = LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole);
    if (!locked) {
      DWORD err = GetLastError();
      if (err != ERROR_NOT_SUPPORTED && err != ERROR_INVALID_FUNCTION) {
        CloseHandle(h);
        return IsBusy(err) || err == ERROR_IO_PENDING ? AppendStatus::Busy : AppendStatus::Failed;
      }
    }
  }

  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (locked) {
    OVERLAPPED again = {};
    UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &again);
  }
  CloseHandle(h);
  return ok && written == bytes.size() ? AppendStatus::Written : AppendStatus::Failed;
}

void SleepMilliseconds(unsigned ms) { Sleep(ms); }

std::uint64_t MonotonicMilliseconds() { return GetTickCount64(); }

unsigned ProcessId() { return static_cast<unsigned>(GetCurrentProcessId()); }

}  // namespace kestrova::platform
