// TMoun: the MD5 message digest (RFC 1321) of a file, a block of bytes or a text.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace kestrova::crypto {

enum TSourceType : std::uint8_t { SourceFile = 0, SourceByteArray = 1, SourceString = 2 };

// The four state words A to D, each least significant byte first.
using TMounDigest = std::array<std::uint8_t, 16>;

class TMoun {
 public:
  TSourceType SourceType = SourceFile;
  std::string SourceFileName;
  const std::uint8_t* SourceBytes = nullptr;
  std::string SourceText;
  TMounDigest* DigestTarget = nullptr;
  // Bytes at SourceBytes; ends as the padded length once they are digested.
  std::int32_t SourceLength = 0;
  std::uint32_t MessageBlock[16] = {};
  std::uint32_t StateA = 0, StateB = 0, StateC = 0, StateD = 0;
  std::uint32_t SavedA = 0, SavedB = 0, SavedC = 0, SavedD = 0;
  std::uint32_t* RefA = &StateA;
  std::uint32_t* RefB = &StateB;
  std::uint32_t* RefC = &StateC;
  std::uint32_t* RefD = &StateD;

  TMoun() = default;
  TMoun(const TMoun&) = delete;
  TMoun& operator=(const TMoun&) = delete;

  void Moun_Initialize();
  static void FF(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
                 std::uint8_t s, std::uint32_t ac);
  static void GG(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
                 std::uint8_t s, std::uint32_t ac);
  static void HH(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
                 std::uint8_t s, std::uint32_t ac);
  static void II(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
                 std::uint8_t s, std::uint32_t ac);
  // Digests MessageBlock into the state, then clears it.
  void Moun_Transform();
  // Initialise, digest the source chosen by SourceType, finish.
  void Moun_Hash();
  // Any length: whole 64-byte blocks straight from the source, then the padded tail.
  void Moun_Hash_Bytes();
  // The file, opened for reading and writing, in 4096-byte chunks; errors raise EInOutError.
  void Moun_Hash_File();
  // Writes the state to DigestTarget (when set).
  void Moun_Finish();

 private:
  void TransformBytes(const std::uint8_t* block);
  void TransformBlocks(const std::uint8_t* blocks, std::size_t count);
  // Pads the n bytes at chunk (room for n + 72) and digests the result; totalBytes sets the bit length.
  void HashFinal(std::uint8_t* chunk, std::size_t n, std::uint64_t totalBytes);
};

}  // namespace kestrova::crypto
