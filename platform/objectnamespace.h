// The NT object namespace: directories of named objects, read one entry at a time.
// Windows: the NTDLL entry points, resolved at run time. Linux has no namespace.
#pragma once
#include <cstdint>
#include <string>

namespace kestrova::platform {

class IObjectNamespace {
 public:
  struct Entry {
    std::u16string Name;
    std::u16string TypeName;
  };
  using Directory = void*;

  virtual ~IObjectNamespace() = default;
  // Whether this platform has an object namespace at all (Linux: no).
  virtual bool Present() const = 0;
  // Loads the library and resolves every entry point the walk needs; false when one is missing.
  virtual bool Load() = 0;
  // Opens a directory by its full path; null when it cannot be opened.
  virtual Directory OpenDirectory(const std::u16string& path) = 0;
  // The entry after context (0 before the first); false at the end of the directory or on error.
  virtual bool QueryEntry(Directory dir, std::uint32_t& context, Entry& entry) = 0;
  virtual void CloseDirectory(Directory dir) = 0;
  // A symbolic link's target by the link's full path; empty when it cannot be opened or read.
  virtual std::u16string LinkTarget(const std::u16string& path) = 0;
};

IObjectNamespace& SystemObjectNamespace();

}  // namespace kestrova::platform
