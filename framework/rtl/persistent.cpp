#include "framework/rtl/persistent.h"

#include <algorithm>

#include "framework/rtl/sysutils.h"

namespace kestrova::rtl {

TPropertyTable::TPropertyTable(const TPropertyTable* base, std::vector<TPropertyInfo> own) : FBase(base), FOwn(std::move(own)) {}

const TPropertyInfo* TPropertyTable::Find(const std::string& name) const {
  for (const TPropertyInfo& p : FOwn)
    if (SameText(p.Name, name)) return &p;
  return FBase ? FBase->Find(name) : nullptr;
}

std::vector<const TPropertyInfo*> TPropertyTable::All() const {
  std::vector<const TPropertyInfo*> all = FBase ? FBase->All() : std::vector<const TPropertyInfo*>{};
  for (const TPropertyInfo& p : FOwn) {
    auto same = std::find_if(all.begin(), all.end(), [&](const TPropertyInfo* q) { return SameText(q->Name, p.Name); });
    if (same != all.end()) *same = &p;
    else all.push_back(&p);
  }
  return all;
}

const TPropertyTable& TPersistent::ClassProperties() {
  static const TPropertyTable table(nullptr, {});
  return table;
}

}  // namespace kestrova::rtl
