// The file system as a file dialog sees it: the entries of one folder, the current folder, and
// this system's rules for folder paths. Folders are written with a closing separator
// ("/home/ann/", "C:\Reports\"), so that a name appended to one is a path.
#pragma once
#include <string>
#include <vector>

namespace kestrova::platform {

struct FolderEntry {
  std::string Name;
  bool IsFolder = false;
  // Hidden by the desktop's convention (a leading "." on Linux, the hidden attribute on Windows).
  bool Hidden = false;
};

// Every entry but "." and "..", in no particular order; false when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// The process's current folder, with its closing separator.
std::string CurrentFolder();

// "/" on Linux, "\" on Windows (where "/" is read as one too).
char PathSeparator();
bool IsPathSeparator(char c);
// Rooted: "/x" on Linux; "C:\x", "\\server\share" or "\x" on Windows.
bool IsAbsolutePath(const std::string& path);
// The folder with its closing separator added when missing.
std::string WithSeparator(const std::string& folder);
// The folder above; empty for a root ("/", "C:\").
std::string ParentFolder(const std::string& folder);
// A name (or relative path) in a folder; an absolute path stays what it is.
std::string JoinPath(const std::string& folder, const std::string& name);

bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace kestrova::platform
