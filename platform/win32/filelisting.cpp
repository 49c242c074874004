#include <windows.h>

#include "platform/filelisting.h"

namespace kestrova::platform {

namespace {
// The length of the root part: "C:\" 3, "\\server\share\" up to its last separator, "\" 1.
std::size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsPathSeparator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    std::size_t at = path.find_first_of("\\/", 2);
    if (at == std::string::npos) return path.size();
    at = path.find_first_of("\\/", at + 1);
    return at == std::string::npos ? path.size() : at + 1;
  }
  return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }
}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((WithSeparator(folder.empty() ? "." : folder) + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.Name = name;
    entry.IsFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.Hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}

std::string CurrentFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  if (n == 0 || n > MAX_PATH) return "C:\\";
  return WithSeparator(buffer);
}

char PathSeparator() { return '\\'; }
bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }
bool IsAbsolutePath(const std::string& path) { return RootLength(path) > 0; }

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || IsPathSeparator(folder.back())) return folder;
  return folder + '\\';
}

std::string ParentFolder(const std::string& folder) {
  std::string f = WithSeparator(folder);
  const std::size_t root = RootLength(f);
  if (f.size() <= root) return {};
  f.pop_back();
  const std::size_t cut = f.find_last_of("\\/");
  if (cut == std::string::npos || cut + 1 < root) return f.substr(0, root);
  return f.substr(0, cut + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return IsAbsolutePath(name) ? name : WithSeparator(folder) + name;
}

bool FolderExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace kestrova::platform
