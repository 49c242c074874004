#include "detect/namespacewalk.h"

#include <memory>

#include "detect/ruleindex.h"
#include "detect/tables.h"
#include "platform/ansitext.h"

namespace kestrova::detect {

namespace {

// The rules of the walk under way, indexed once for all the objects it records.
const TRuleIndex* CurrentIndex = nullptr;

class DirectoryGuard {
 public:
  DirectoryGuard(platform::IObjectNamespace& ns, platform::IObjectNamespace::Directory dir) : FNs(ns), FDir(dir) {}
  ~DirectoryGuard() {
    if (FDir != nullptr) FNs.CloseDirectory(FDir);
  }
  DirectoryGuard(const DirectoryGuard&) = delete;
  DirectoryGuard& operator=(const DirectoryGuard&) = delete;

 private:
  platform::IObjectNamespace& FNs;
  platform::IObjectNamespace::Directory FDir;
};

// The child's path is built from the UTF-16 names themselves: a name with characters the
// ANSI code page lacks must still be reachable, or anything below it would go unseen.
std::u16string ChildPath(const std::u16string& dir, const std::u16string& name) {
  std::u16string path = dir;
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path + name;
}

bool IsTdl3Device(const std::string& name, const std::string& dir, std::int32_t kind) {
  return kind == okDevice && dir == "\\" && name.size() == 8 && platform::AnsiLowerCase(name) == name;
}

std::int32_t KindOfType(const std::u16string& type) {
  if (type == u"Device") return okDevice;
  if (type == u"Mutant") return okMutant;
  if (type == u"Event") return okEvent;
  return 0;
}

}  // namespace

void RecordObject(const std::string& name, const std::string& dir, std::int32_t kind, const std::string& extra) {
  // A record that cannot be built is dropped; the walk goes on.
  try {
    if (!ObjectTable) return;
    auto record = std::make_unique<objs>();
    record->Dir = dir;
    record->Name = name;
    record->Target = extra;
    record->Kind = kind;
    if (IsTdl3Device(name, dir, kind)) {
      record->Hit = 4;
      record->Label = kTdl3DeviceLabel;
    }
    if (SignatureTable && !SignatureTable->empty()) {
      const std::string subject = platform::AnsiUpperCase(dir + name + extra);
      std::unique_ptr<TRuleIndex> own;
      const TRuleIndex* index = CurrentIndex;
      if (index == nullptr) index = (own = std::make_unique<TRuleIndex>(*SignatureTable)).get();
      const int rule = index->LastMatch(subject, kind);
      if (rule >= 0) {
        record->Hit = (*SignatureTable)[static_cast<std::size_t>(rule)]->RootValue;
        record->Label = (*SignatureTable)[static_cast<std::size_t>(rule)]->Name;
      }
    }
    ObjectTable->push_back(std::move(record));
  } catch (...) {
  }
}

namespace {
bool WalkDirectory(platform::IObjectNamespace& ns, const std::u16string& path);
}  // namespace

void WalkObjectDirectory(platform::IObjectNamespace& ns, const std::u16string& path) { WalkDirectory(ns, path); }

namespace {

// Answers whether the directory could be opened.
bool WalkDirectory(platform::IObjectNamespace& ns, const std::u16string& path) {
  const std::string dirText = platform::WideToAnsi(path);
  platform::IObjectNamespace::Directory dir = ns.OpenDirectory(path);
  if (dir == nullptr) return false;  // no rights, or gone: skipped with its whole subtree
  DirectoryGuard guard(ns, dir);
  // An error in the enumeration ends this directory; the guard still closes it.
  try {
    std::uint32_t context = 0;
    platform::IObjectNamespace::Entry entry;
    while (ns.QueryEntry(dir, context, entry)) {
      if (entry.TypeName == u"SymbolicLink") {
        std::string target;
        try {
          target = platform::WideToAnsi(ns.LinkTarget(ChildPath(path, entry.Name)));
        } catch (...) {
        }
        RecordObject(platform::WideToAnsi(entry.Name), dirText, okSymbolicLink, target);
      } else if (entry.TypeName == u"Directory") {
        try {
          WalkObjectDirectory(ns, ChildPath(path, entry.Name));
        } catch (...) {
        }
      } else if (std::int32_t kind = KindOfType(entry.TypeName); kind != 0) {
        RecordObject(platform::WideToAnsi(entry.Name), dirText, kind, std::string());
      }
    }
  } catch (...) {
  }
  return true;
}

}  // namespace

bool WalkObjectNamespace(platform::IObjectNamespace& ns, bool* rootOpened) {
  if (rootOpened != nullptr) *rootOpened = false;
  if (!ns.Load()) return false;
  try {
    std::unique_ptr<TRuleIndex> index;
    if (SignatureTable) index = std::make_unique<TRuleIndex>(*SignatureTable);
    CurrentIndex = index.get();
    const bool opened = WalkDirectory(ns, u"\\");
    if (rootOpened != nullptr) *rootOpened = opened;
  } catch (...) {
  }
  CurrentIndex = nullptr;
  return true;
}

bool WalkJudgesNamespace(platform::IObjectNamespace& ns) {
  bool rootOpened = false;
  const bool ran = WalkObjectNamespace(ns, &rootOpened);
  return ns.Present() ? ran && rootOpened : true;
}

}  // namespace kestrova::detect
