// What kestrova.exe carries: the manifest asking for administrator rights and its version.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/childprocess.h"

namespace kestrova::testing {
namespace {

std::string VersionString(const std::vector<char>& info, const char* key) {
  char* value = nullptr;
  UINT size = 0;
  std::string path = std::string("\\StringFileInfo\\040904E4\\") + key;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) || size == 0) return {};
  return std::string(value);
}

TEST(Executable, AsksForAdministratorRightsAndNamesItsVersion) {
  const std::string exe = ProgramBeside("kestrova");
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(res, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, res))), SizeofResource(module, res));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  FreeLibrary(module);

  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  EXPECT_EQ(VersionString(info, "ProductName"), "Kestrova");
  EXPECT_EQ(VersionString(info, "ProductVersion"), "3.00");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 3u);
  EXPECT_EQ(LOWORD(fixed->dwProductVersionMS), 0u);
}

TEST(Executable, IsAWindowsGuiProgramWithoutDllsOfOurs) {
  const std::string exe = ProgramBeside("kestrova");
  std::string image = ReadWholeFile(exe);
  ASSERT_GT(image.size(), 0x200u);
  const auto peOffset = *reinterpret_cast<const DWORD*>(image.data() + 0x3c);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + peOffset);
  ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  // Only system DLLs may be imported: a static build names no compiler runtime.
  for (const char* runtime : {"libstdc++", "libgcc_s", "libwinpthread"})
    EXPECT_EQ(image.find(runtime), std::string::npos) << runtime;
}

}  // namespace
}  // namespace kestrova::testing
#endif
