#include <map>

#include "platform/resources.h"

namespace kestrova::platform {

namespace {
struct Embedded {
  const unsigned char* Data;
  std::size_t Size;
};
std::map<std::string, Embedded>& Registry() {
  static std::map<std::string, Embedded> registry;
  return registry;
}

class EmbeddedResources final : public IResources {
 public:
  bool Find(const std::string& name, std::string& data) override {
    auto it = Registry().find(name);
    if (it == Registry().end()) return false;
    data.assign(reinterpret_cast<const char*>(it->second.Data), it->second.Size);
    return true;
  }
};
}  // namespace

void RegisterEmbeddedResource(const char* name, const unsigned char* data, std::size_t size) {
  Registry()[name] = Embedded{data, size};
}

IResources& OwnResources() {
  static EmbeddedResources resources;
  return resources;
}

}  // namespace kestrova::platform
