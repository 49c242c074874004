#include "tools/resourcecipher.h"

#include <climits>
#include <stdexcept>

#include "crypto/imgutils.h"
#include "framework/rtl/streams.h"

namespace kestrova::tools {

std::string EncipherResource(const std::string& plain) {
  std::string data = plain;
  data.resize((plain.size() + 7) / 8 * 8, '\0');
  if (data.size() > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long for a resource");
  crypto::BFEncryptBinary(data.data(), static_cast<int>(data.size()));
  return data;
}

std::string DecipherResource(const std::string& stored) {
  if (stored.size() > static_cast<std::size_t>(INT_MAX)) throw std::length_error("resource too long");
  rtl::TMemoryStream stream;
  stream.WriteBuffer(stored.data(), static_cast<std::int64_t>(stored.size()));
  crypto::BFDecryptBinary(stream.Memory(), static_cast<int>(stream.Size()));
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

}  // namespace kestrova::tools
