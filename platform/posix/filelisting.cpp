#include "platform/filelisting.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace kestrova::platform {

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return false;
  const std::string base = WithSeparator(folder);
  while (const dirent* e = readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.Name = name;
    entry.Hidden = name[0] == '.';
    // stat, not the entry's type: a link to a folder is a folder to open.
    struct stat st {};
    entry.IsFolder = stat((base + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back(std::move(entry));
  }
  return true;
}

std::string CurrentFolder() {
  std::string buffer(4096, '\0');
  if (!getcwd(buffer.data(), buffer.size())) return "/";
  buffer.resize(buffer.find('\0'));
  return WithSeparator(buffer);
}

char PathSeparator() { return '/'; }
bool IsPathSeparator(char c) { return c == '/'; }
bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

std::string ParentFolder(const std::string& folder) {
  std::string f = WithSeparator(folder);
  if (f.size() <= 1) return {};
  f.pop_back();
  const std::size_t cut = f.rfind('/');
  return cut == std::string::npos ? std::string() : f.substr(0, cut + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return IsAbsolutePath(name) ? name : WithSeparator(folder) + name;
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace kestrova::platform
