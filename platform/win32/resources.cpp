#include <windows.h>

#include "platform/resources.h"

namespace kestrova::platform {

namespace {
class ModuleResources final : public IResources {
 public:
  bool Find(const std::string& name, std::string& data) override {
    HRSRC info = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (info == nullptr) return false;
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return false;
    data.assign(static_cast<const char*>(bytes), SizeofResource(nullptr, info));
    return true;
  }
};
}  // namespace

void RegisterEmbeddedResource(const char*, const unsigned char*, std::size_t) {}

IResources& OwnResources() {
  static ModuleResources resources;
  return resources;
}

}  // namespace kestrova::platform
