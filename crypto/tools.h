// Byte-block routines shared by the cipher modes, and bit rotations.
#pragma once
#include <cstdint>

namespace kestrova::crypto {

// out[i] = in1[i] XOR in2[i] for i < length; any of the three may be the same memory.
void XorBlock(const void* in1, const void* in2, void* out, int length);
// Adds one to the block read as a big-endian number; all bytes wrapping give all zero.
void IncBlock(void* block, int length);

constexpr std::uint16_t LRot16(std::uint16_t x, int count) {
  const unsigned c = static_cast<unsigned>(count) & 15u;
  return static_cast<std::uint16_t>(c == 0 ? x : (x << c) | (x >> (16 - c)));
}
constexpr std::uint16_t RRot16(std::uint16_t x, int count) {
  const unsigned c = static_cast<unsigned>(count) & 15u;
  return static_cast<std::uint16_t>(c == 0 ? x : (x >> c) | (x << (16 - c)));
}
constexpr std::uint32_t LRot32(std::uint32_t x, int count) {
  const unsigned c = static_cast<unsigned>(count) & 31u;
  return c == 0 ? x : (x << c) | (x >> (32 - c));
}
constexpr std::uint32_t RRot32(std::uint32_t x, int count) {
  const unsigned c = static_cast<unsigned>(count) & 31u;
  return c == 0 ? x : (x >> c) | (x << (32 - c));
}

}  // namespace kestrova::crypto
