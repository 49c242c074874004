// libFuzzer: BFDecryptString over any bytes stays inside its data, and every text survives
// BFEncryptString and BFDecryptString whole.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "crypto/imgutils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = kestrova::crypto::BFDecryptString(input);
  if (text.size() + 4 > size && !text.empty()) std::abort();
  if (kestrova::crypto::BFDecryptString(kestrova::crypto::BFEncryptString(input)) != input) std::abort();

  // The binary form in place over a buffer with the reader's spare byte.
  std::string buffer = input;
  buffer.push_back('\0');
  kestrova::crypto::BFEncryptBinary(buffer.data(), static_cast<int>(size));
  kestrova::crypto::BFDecryptBinary(buffer.data(), static_cast<int>(size));
  if (buffer.compare(0, size, input) != 0) std::abort();
  return 0;
}
