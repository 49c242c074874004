// Hexadecimal text to bytes and back, for tables of published vectors.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::testing {

inline std::vector<std::uint8_t> Hex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

template <typename Bytes>
std::string ToHex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (auto b : bytes) {
    s += kDigits[static_cast<std::uint8_t>(b) >> 4];
    s += kDigits[static_cast<std::uint8_t>(b) & 15];
  }
  return s;
}

}  // namespace kestrova::testing
