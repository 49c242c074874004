// A made-up object namespace for the walk: directories by full path, each a list of entries,
// link targets by path, directories that refuse opening, and a count of open directories.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/objectnamespace.h"

namespace kestrova::testing {

class SyntheticNamespace : public platform::IObjectNamespace {
 public:
  bool Loads = true;
  std::map<std::u16string, std::vector<Entry>> Directories;
  std::map<std::u16string, std::u16string> Links;
  std::set<std::u16string> Refused;
  std::vector<std::u16string> Opened;
  int OpenNow = 0;

  void Add(const std::u16string& dir, const std::u16string& name, const std::u16string& type) {
    Directories[dir].push_back(Entry{name, type});
    if (type == u"Directory") Directories[dir == u"\\" ? u"\\" + name : dir + u"\\" + name];
  }

  bool Present() const override { return true; }
  bool Load() override { return Loads; }
  Directory OpenDirectory(const std::u16string& path) override {
    Opened.push_back(path);
    auto it = Directories.find(path);
    if (it == Directories.end() || Refused.count(path)) return nullptr;
    ++OpenNow;
    return &it->second;
  }
  bool QueryEntry(Directory dir, std::uint32_t& context, Entry& entry) override {
    auto* entries = static_cast<std::vector<Entry>*>(dir);
    if (context >= entries->size()) return false;
    entry = (*entries)[context++];
    return true;
  }
  void CloseDirectory(Directory) override { --OpenNow; }
  std::u16string LinkTarget(const std::u16string& path) override {
    auto it = Links.find(path);
    return it == Links.end() ? std::u16string() : it->second;
  }
};

}  // namespace kestrova::testing
