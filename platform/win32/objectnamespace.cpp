// The object namespace through NTDLL's native calls, resolved at run time so that a missing or
// unhooked-away entry point shows as "not available" instead of a program that cannot start.
#include <windows.h>
#include <winternl.h>

#include <vector>

#include "platform/objectnamespace.h"

namespace kestrova::platform {

namespace {

struct OBJECT_DIRECTORY_INFORMATION_ {
  UNICODE_STRING Name;
  UNICODE_STRING TypeName;
};

using ZwOpenDirectoryObjectFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
using RtlInitUnicodeStringFn = VOID(NTAPI*)(PUNICODE_STRING, PCWSTR);
using NtQueryDirectoryObjectFn = NTSTATUS(NTAPI*)(HANDLE, PVOID, ULONG, BOOLEAN, BOOLEAN, PULONG, PULONG);
using NtOpenSymbolicLinkObjectFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
using NtQuerySymbolicLinkObjectFn = NTSTATUS(NTAPI*)(HANDLE, PUNICODE_STRING, PULONG);

constexpr ACCESS_MASK kDirectoryQuery = 0x0001;
constexpr ACCESS_MASK kSymbolicLinkQuery = 0x0001;
constexpr ULONG kCaseInsensitive = 0x40;
constexpr ULONG kEntryBufferSize = 16000;
constexpr USHORT kLinkTargetBytes = 1024;

// Each open directory keeps its own entry buffer while its subdirectories are walked.
struct OpenDirectoryState {
  HANDLE Handle = nullptr;
  std::vector<unsigned char> Buffer = std::vector<unsigned char>(kEntryBufferSize);
};

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return fn != nullptr;
}

std::u16string FromCounted(const UNICODE_STRING& s) {
  if (s.Buffer == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(s.Buffer), s.Length / sizeof(WCHAR));
}

class NtObjectNamespace final : public IObjectNamespace {
 public:
  bool Present() const override { return true; }
  bool Load() override {
    HMODULE ntdll = LoadLibraryA("NTDLL.DLL");
    if (ntdll == nullptr) return false;
    return Resolve(ntdll, "ZwOpenDirectoryObject", FOpenDirectory) &&
           Resolve(ntdll, "RtlInitUnicodeString", FInitUnicodeString) &&
           Resolve(ntdll, "NtQueryDirectoryObject", FQueryDirectory) &&
           Resolve(ntdll, "NtOpenSymbolicLinkObject", FOpenLink) &&
           Resolve(ntdll, "NtQuerySymbolicLinkObject", FQueryLink);
  }

  Directory OpenDirectory(const std::u16string& path) override {
    if (FOpenDirectory == nullptr || FInitUnicodeString == nullptr) return nullptr;
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    Describe(path, name, attributes);
    HANDLE handle = nullptr;
    if (FOpenDirectory(&handle, kDirectoryQuery, &attributes) != 0 || handle == nullptr) return nullptr;
    auto* state = new OpenDirectoryState;
    state->Handle = handle;
    return state;
  }

  bool QueryEntry(Directory dir, std::uint32_t& context, Entry& entry) override {
    auto* state = static_cast<OpenDirectoryState*>(dir);
    if (state == nullptr || state->Handle == nullptr || FQueryDirectory == nullptr) return false;
    ULONG ctx = context;
    ULONG returned = 0;
    if (FQueryDirectory(state->Handle, state->Buffer.data(), kEntryBufferSize, TRUE, FALSE, &ctx, &returned) != 0)
      return false;
    context = ctx;
    const auto* info = reinterpret_cast<const OBJECT_DIRECTORY_INFORMATION_*>(state->Buffer.data());
    entry.Name = FromCounted(info->Name);
    entry.TypeName = FromCounted(info->TypeName);
    return true;
  }

  void CloseDirectory(Directory dir) override {
    auto* state = static_cast<OpenDirectoryState*>(dir);
    if (state == nullptr) return;
    if (state->Handle != nullptr) CloseHandle(state->Handle);
    delete state;
  }

  std::u16string LinkTarget(const std::u16string& path) override {
    if (FOpenLink == nullptr || FQueryLink == nullptr || FInitUnicodeString == nullptr) return {};
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    Describe(path, name, attributes);
    HANDLE link = nullptr;
    if (FOpenLink(&link, kSymbolicLinkQuery, &attributes) != 0 || link == nullptr) return {};
    // A zero-filled block: the counted string, then its 1,024-byte text area.
    struct {
      UNICODE_STRING Target;
      WCHAR Text[kLinkTargetBytes / sizeof(WCHAR) + 4];
    } block = {};
    block.Target.Length = 0;
    block.Target.MaximumLength = kLinkTargetBytes;
    block.Target.Buffer = block.Text;
    ULONG returned = 0;
    std::u16string target;
    if (FQueryLink(link, &block.Target, &returned) == 0 && block.Target.Length <= kLinkTargetBytes)
      target = FromCounted(block.Target);
    CloseHandle(link);
    return target;
  }

 private:
  void Describe(const std::u16string& path, UNICODE_STRING& name, OBJECT_ATTRIBUTES& attributes) {
    FInitUnicodeString(&name, reinterpret_cast<PCWSTR>(path.c_str()));
    InitializeObjectAttributes(&attributes, &name, kCaseInsensitive, nullptr, nullptr);
  }

  ZwOpenDirectoryObjectFn FOpenDirectory = nullptr;
  RtlInitUnicodeStringFn FInitUnicodeString = nullptr;
  NtQueryDirectoryObjectFn FQueryDirectory = nullptr;
  NtOpenSymbolicLinkObjectFn FOpenLink = nullptr;
  NtQuerySymbolicLinkObjectFn FQueryLink = nullptr;
};

}  // namespace

IObjectNamespace& SystemObjectNamespace() {
  static NtObjectNamespace ns;
  return ns;
}

}  // namespace kestrova::platform
