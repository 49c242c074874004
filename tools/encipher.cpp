// kestrova_encipher INPUT OUTPUT: turns a plain INI text into the resource form the program
// deciphers with its built-in key (see resourcecipher.h for the layout).
#include <cstdio>
#include <exception>
#include <string>

#include "framework/rtl/streams.h"
#include "tools/resourcecipher.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kestrova_encipher INPUT OUTPUT\n");
    return 2;
  }
  try {
    kestrova::rtl::TMemoryStream input;
    input.LoadFromFile(argv[1]);
    const std::string plain(reinterpret_cast<const char*>(input.Memory()), static_cast<std::size_t>(input.Size()));
    const std::string stored = kestrova::tools::EncipherResource(plain);
    kestrova::rtl::TFileStream output(argv[2], kestrova::rtl::fmCreate);
    output.WriteBuffer(stored.data(), static_cast<std::int64_t>(stored.size()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrova_encipher: %s\n", e.what());
    return 1;
  }
  return 0;
}
