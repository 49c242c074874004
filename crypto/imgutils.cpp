#include "crypto/imgutils.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "crypto/mathtool.h"

namespace kestrova::crypto {

namespace {

// The key the rule resources are enciphered with (tools/encipher uses these same functions).
constexpr std::uint8_t kBuiltInKey[8] = {0x4B, 0x73, 0xD2, 0x19, 0x8E, 0x05, 0xA7, 0x6C};

// The unit's cipher state: keyed when first needed (at the latest at start-up, below) and
// wiped when the program ends.
class TUnitState {
 public:
  TUnitState() { BlowfishInit(FData, kBuiltInKey, sizeof kBuiltInKey, nullptr); }
  ~TUnitState() { BlowfishBurn(FData); }
  TBlowfishData& Data() { return FData; }

 private:
  TBlowfishData FData;
};

TBlowfishData& State() {
  static TUnitState state;
  return state.Data();
}

// Keys the state while the program starts, as the unit's initialisation.
[[maybe_unused]] const bool kKeyedAtStart = (State(), true);

int BlockCount(int length) { return length < 0 ? 0 : static_cast<int>((static_cast<std::int64_t>(length) + 1) / 8); }

}  // namespace

void BFReset() { BlowfishReset(State()); }

void BFEncryptBinary(void* buffer, int length) {
  BFReset();
  BlowfishEncryptCBCBlocks(State(), buffer, buffer, BlockCount(length));
}

void BFDecryptBinary(void* buffer, int length) {
  BFReset();
  BlowfishDecryptCBCBlocks(State(), buffer, buffer, BlockCount(length));
}

std::string BFEncryptString(const std::string& text) {
  BFReset();
  const std::size_t n = text.size();
  const std::size_t count = (n + 5) / 8 + 1;
  std::vector<std::uint8_t> work(8 * count, 0);
  const auto length = static_cast<std::uint32_t>(n);
  for (int i = 0; i < 4; ++i) work[i] = static_cast<std::uint8_t>(length >> (8 * i));
  if (n > 0) std::memcpy(work.data() + 4, text.data(), n);
  for (std::size_t k = 0; k < count; ++k) BlowfishEncryptCBC(State(), &work[8 * k], &work[8 * k]);
  return std::string(reinterpret_cast<const char*>(work.data()), work.size());
}

std::string BFDecryptString(const std::string& cipher) {
  BFReset();
  const std::size_t m = cipher.size();
  const std::size_t count = (m + 1) / 8 + 1;
  std::vector<std::uint8_t> work(8 * count, 0);
  if (m > 0) std::memcpy(work.data(), cipher.data(), m);
  for (std::size_t k = 0; k < count; ++k) BlowfishDecryptCBC(State(), &work[8 * k], &work[8 * k]);
  const std::int32_t n = static_cast<std::int32_t>(std::uint32_t{work[0]} | (std::uint32_t{work[1]} << 8) |
                                                   (std::uint32_t{work[2]} << 16) | (std::uint32_t{work[3]} << 24));
  // Only bytes that came from the input can hold text: a length field that is negative or reaches
  // beyond them comes from a wrong key or damaged data.
  if (n < 0 || m < 4 || static_cast<std::size_t>(n) > m - 4) return {};
  return std::string(reinterpret_cast<const char*>(work.data()) + 4, static_cast<std::size_t>(n));
}

TMounDigest MD5EncryptString(const std::string& text) {
  TMounDigest digest{};
  TMoun moun;
  moun.SourceType = SourceString;
  moun.SourceText = text;
  moun.SourceLength = static_cast<std::int32_t>(text.size());
  moun.DigestTarget = &digest;
  moun.Moun_Initialize();
  moun.Moun_Hash();
  moun.Moun_Finish();
  return digest;
}

TMounDigest MD5EncryptBinary(const void* data, int length) {
  TMounDigest digest{};
  TMoun moun;
  moun.SourceType = SourceByteArray;
  moun.SourceBytes = static_cast<const std::uint8_t*>(data);
  moun.SourceLength = length;
  moun.DigestTarget = &digest;
  moun.Moun_Initialize();
  moun.Moun_Hash_Bytes();
  moun.Moun_Finish();
  return digest;
}

TMounDigest MD5EncryptFile(const std::string& fileName) {
  TMounDigest digest{};
  TMoun moun;
  moun.SourceType = SourceFile;
  moun.SourceFileName = fileName;
  moun.DigestTarget = &digest;
  moun.Moun_Initialize();
  moun.Moun_Hash();
  moun.Moun_Finish();
  return digest;
}

}  // namespace kestrova::crypto
