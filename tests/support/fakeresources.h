// Resources held in memory for a test, the lists enciphered exactly as the build does it.
#pragma once
#include <map>
#include <string>

#include "platform/resources.h"
#include "tools/resourcecipher.h"

namespace kestrova::testing {

class FakeResources : public platform::IResources {
 public:
  std::map<std::string, std::string> Data;

  FakeResources& Plain(const std::string& name, const std::string& bytes) {
    Data[name] = bytes;
    return *this;
  }
  FakeResources& Enciphered(const std::string& name, const std::string& iniText) {
    Data[name] = tools::EncipherResource(iniText);
    return *this;
  }
  bool Find(const std::string& name, std::string& data) override {
    auto it = Data.find(name);
    if (it == Data.end()) return false;
    data = it->second;
    return true;
  }
};

}  // namespace kestrova::testing
