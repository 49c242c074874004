#include "platform/objectnamespace.h"

namespace kestrova::platform {

namespace {
// Linux has no object namespace: the library the walk needs is simply missing.
class NoObjectNamespace final : public IObjectNamespace {
 public:
  bool Present() const override { return false; }
  bool Load() override { return false; }
  Directory OpenDirectory(const std::u16string&) override { return nullptr; }
  bool QueryEntry(Directory, std::uint32_t&, Entry&) override { return false; }
  void CloseDirectory(Directory) override {}
  std::u16string LinkTarget(const std::u16string&) override { return {}; }
};
}  // namespace

IObjectNamespace& SystemObjectNamespace() {
  static NoObjectNamespace none;
  return none;
}

}  // namespace kestrova::platform
