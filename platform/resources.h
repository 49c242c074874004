// The program's own named data resources (RCDATA on Windows; tables built into the program on
// Linux, registered at start-up by the generated resource unit).
#pragma once
#include <cstddef>
#include <string>

namespace kestrova::platform {

class IResources {
 public:
  virtual ~IResources() = default;
  // The bytes of the resource of that name; false when the program carries none.
  virtual bool Find(const std::string& name, std::string& data) = 0;
};

IResources& OwnResources();

// Used by the generated resource unit of the Linux build.
void RegisterEmbeddedResource(const char* name, const unsigned char* data, std::size_t size);

}  // namespace kestrova::platform
