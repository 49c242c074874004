// The parts of the test support that are the same on every platform.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/childprocess.h"

namespace kestrova::testing {

namespace {
std::vector<std::string>& MadeFolders() {
  static std::vector<std::string> folders;
  return folders;
}
void RemoveMadeFolders() {
  std::error_code ignored;
  for (const std::string& folder : MadeFolders()) std::filesystem::remove_all(folder, ignored);
}
}  // namespace

std::string RememberFolder(std::string folder) {
  // Every folder a test made goes again when the test program ends.
  if (MadeFolders().empty()) std::atexit(RemoveMadeFolders);
  MadeFolders().push_back(folder);
  return folder;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace kestrova::testing
