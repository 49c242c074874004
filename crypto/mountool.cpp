#include "crypto/mountool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "crypto/tools.h"
#include "framework/rtl/errors.h"

namespace kestrova::crypto {

namespace {

constexpr std::size_t kChunk = 4096;

inline std::uint32_t LoadLE(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

inline void StoreLE(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The RFC 1321 auxiliary functions, in forms that need fewer operations.
inline std::uint32_t Fn(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t Gn(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (x & z) + (y & ~z); }
inline std::uint32_t Hn(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t In(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

// The word and the constant join a before the function of b, c and d is ready: off the critical path.
#define KESTROVA_MD5_STEP(fn, a, b, c, d, x, s, ac) a = b + LRot32(fn(b, c, d) + (a + (x) + (ac)), s)

// The 64 steps over the 16 words of one block.
void Digest(std::uint32_t state[4], const std::uint32_t x[16]) {
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  KESTROVA_MD5_STEP(Fn, a, b, c, d, x[0], 7, 0xd76aa478);
  KESTROVA_MD5_STEP(Fn, d, a, b, c, x[1], 12, 0xe8c7b756);
  KESTROVA_MD5_STEP(Fn, c, d, a, b, x[2], 17, 0x242070db);
  KESTROVA_MD5_STEP(Fn, b, c, d, a, x[3], 22, 0xc1bdceee);
  KESTROVA_MD5_STEP(Fn, a, b, c, d, x[4], 7, 0xf57c0faf);
  KESTROVA_MD5_STEP(Fn, d, a, b, c, x[5], 12, 0x4787c62a);
  KESTROVA_MD5_STEP(Fn, c, d, a, b, x[6], 17, 0xa8304613);
  KESTROVA_MD5_STEP(Fn, b, c, d, a, x[7], 22, 0xfd469501);
  KESTROVA_MD5_STEP(Fn, a, b, c, d, x[8], 7, 0x698098d8);
  KESTROVA_MD5_STEP(Fn, d, a, b, c, x[9], 12, 0x8b44f7af);
  KESTROVA_MD5_STEP(Fn, c, d, a, b, x[10], 17, 0xffff5bb1);
  KESTROVA_MD5_STEP(Fn, b, c, d, a, x[11], 22, 0x895cd7be);
  KESTROVA_MD5_STEP(Fn, a, b, c, d, x[12], 7, 0x6b901122);
  KESTROVA_MD5_STEP(Fn, d, a, b, c, x[13], 12, 0xfd987193);
  KESTROVA_MD5_STEP(Fn, c, d, a, b, x[14], 17, 0xa679438e);
  KESTROVA_MD5_STEP(Fn, b, c, d, a, x[15], 22, 0x49b40821);

  KESTROVA_MD5_STEP(Gn, a, b, c, d, x[1], 5, 0xf61e2562);
  KESTROVA_MD5_STEP(Gn, d, a, b, c, x[6], 9, 0xc040b340);
  KESTROVA_MD5_STEP(Gn, c, d, a, b, x[11], 14, 0x265e5a51);
  KESTROVA_MD5_STEP(Gn, b, c, d, a, x[0], 20, 0xe9b6c7aa);
  KESTROVA_MD5_STEP(Gn, a, b, c, d, x[5], 5, 0xd62f105d);
  KESTROVA_MD5_STEP(Gn, d, a, b, c, x[10], 9, 0x02441453);
  KESTROVA_MD5_STEP(Gn, c, d, a, b, x[15], 14, 0xd8a1e681);
  KESTROVA_MD5_STEP(Gn, b, c, d, a, x[4], 20, 0xe7d3fbc8);
  KESTROVA_MD5_STEP(Gn, a, b, c, d, x[9], 5, 0x21e1cde6);
  KESTROVA_MD5_STEP(Gn, d, a, b, c, x[14], 9, 0xc33707d6);
  KESTROVA_MD5_STEP(Gn, c, d, a, b, x[3], 14, 0xf4d50d87);
  KESTROVA_MD5_STEP(Gn, b, c, d, a, x[8], 20, 0x455a14ed);
  KESTROVA_MD5_STEP(Gn, a, b, c, d, x[13], 5, 0xa9e3e905);
  KESTROVA_MD5_STEP(Gn, d, a, b, c, x[2], 9, 0xfcefa3f8);
  KESTROVA_MD5_STEP(Gn, c, d, a, b, x[7], 14, 0x676f02d9);
  KESTROVA_MD5_STEP(Gn, b, c, d, a, x[12], 20, 0x8d2a4c8a);

  KESTROVA_MD5_STEP(Hn, a, b, c, d, x[5], 4, 0xfffa3942);
  KESTROVA_MD5_STEP(Hn, d, a, b, c, x[8], 11, 0x8771f681);
  KESTROVA_MD5_STEP(Hn, c, d, a, b, x[11], 16, 0x6d9d6122);
  KESTROVA_MD5_STEP(Hn, b, c, d, a, x[14], 23, 0xfde5380c);
  KESTROVA_MD5_STEP(Hn, a, b, c, d, x[1], 4, 0xa4beea44);
  KESTROVA_MD5_STEP(Hn, d, a, b, c, x[4], 11, 0x4bdecfa9);
  KESTROVA_MD5_STEP(Hn, c, d, a, b, x[7], 16, 0xf6bb4b60);
  KESTROVA_MD5_STEP(Hn, b, c, d, a, x[10], 23, 0xbebfbc70);
  KESTROVA_MD5_STEP(Hn, a, b, c, d, x[13], 4, 0x289b7ec6);
  KESTROVA_MD5_STEP(Hn, d, a, b, c, x[0], 11, 0xeaa127fa);
  KESTROVA_MD5_STEP(Hn, c, d, a, b, x[3], 16, 0xd4ef3085);
  KESTROVA_MD5_STEP(Hn, b, c, d, a, x[6], 23, 0x04881d05);
  KESTROVA_MD5_STEP(Hn, a, b, c, d, x[9], 4, 0xd9d4d039);
  KESTROVA_MD5_STEP(Hn, d, a, b, c, x[12], 11, 0xe6db99e5);
  KESTROVA_MD5_STEP(Hn, c, d, a, b, x[15], 16, 0x1fa27cf8);
  KESTROVA_MD5_STEP(Hn, b, c, d, a, x[2], 23, 0xc4ac5665);

  KESTROVA_MD5_STEP(In, a, b, c, d, x[0], 6, 0xf4292244);
  KESTROVA_MD5_STEP(In, d, a, b, c, x[7], 10, 0x432aff97);
  KESTROVA_MD5_STEP(In, c, d, a, b, x[14], 15, 0xab9423a7);
  KESTROVA_MD5_STEP(In, b, c, d, a, x[5], 21, 0xfc93a039);
  KESTROVA_MD5_STEP(In, a, b, c, d, x[12], 6, 0x655b59c3);
  KESTROVA_MD5_STEP(In, d, a, b, c, x[3], 10, 0x8f0ccc92);
  KESTROVA_MD5_STEP(In, c, d, a, b, x[10], 15, 0xffeff47d);
  KESTROVA_MD5_STEP(In, b, c, d, a, x[1], 21, 0x85845dd1);
  KESTROVA_MD5_STEP(In, a, b, c, d, x[8], 6, 0x6fa87e4f);
  KESTROVA_MD5_STEP(In, d, a, b, c, x[15], 10, 0xfe2ce6e0);
  KESTROVA_MD5_STEP(In, c, d, a, b, x[6], 15, 0xa3014314);
  KESTROVA_MD5_STEP(In, b, c, d, a, x[13], 21, 0x4e0811a1);
  KESTROVA_MD5_STEP(In, a, b, c, d, x[4], 6, 0xf7537e82);
  KESTROVA_MD5_STEP(In, d, a, b, c, x[11], 10, 0xbd3af235);
  KESTROVA_MD5_STEP(In, c, d, a, b, x[2], 15, 0x2ad7d2bb);
  KESTROVA_MD5_STEP(In, b, c, d, a, x[9], 21, 0xeb86d391);
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

#undef KESTROVA_MD5_STEP

// Closes the file on every path.
struct TFileCloser {
  std::FILE* File;
  ~TFileCloser() {
    if (File != nullptr) std::fclose(File);
  }
};

}  // namespace

void TMoun::Moun_Initialize() {
  StateA = 0x67452301;
  StateB = 0xefcdab89;
  StateC = 0x98badcfe;
  StateD = 0x10325476;
  RefA = &StateA;
  RefB = &StateB;
  RefC = &StateC;
  RefD = &StateD;
}

void TMoun::FF(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
               std::uint8_t s, std::uint32_t ac) {
  a = b + LRot32(a + Fn(b, c, d) + x + ac, s);
}
void TMoun::GG(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
               std::uint8_t s, std::uint32_t ac) {
  a = b + LRot32(a + Gn(b, c, d) + x + ac, s);
}
void TMoun::HH(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
               std::uint8_t s, std::uint32_t ac) {
  a = b + LRot32(a + Hn(b, c, d) + x + ac, s);
}
void TMoun::II(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, const std::uint32_t& x,
               std::uint8_t s, std::uint32_t ac) {
  a = b + LRot32(a + In(b, c, d) + x + ac, s);
}

void TMoun::Moun_Transform() {
  SavedA = *RefA;
  SavedB = *RefB;
  SavedC = *RefC;
  SavedD = *RefD;
  std::uint32_t state[4] = {SavedA, SavedB, SavedC, SavedD};
  Digest(state, MessageBlock);
  *RefA = state[0];
  *RefB = state[1];
  *RefC = state[2];
  *RefD = state[3];
  std::memset(MessageBlock, 0, sizeof MessageBlock);
}

void TMoun::TransformBytes(const std::uint8_t* block) {
  for (int i = 0; i < 16; ++i) MessageBlock[i] = LoadLE(block + 4 * i);
  Moun_Transform();
}

void TMoun::TransformBlocks(const std::uint8_t* blocks, std::size_t count) {
  // The same steps as Moun_Transform, without a round trip through MessageBlock per block.
  std::uint32_t state[4] = {*RefA, *RefB, *RefC, *RefD};
  std::uint32_t x[16];
  for (std::size_t k = 0; k < count; ++k, blocks += 64) {
    for (int i = 0; i < 16; ++i) x[i] = LoadLE(blocks + 4 * i);
    Digest(state, x);
  }
  *RefA = state[0];
  *RefB = state[1];
  *RefC = state[2];
  *RefD = state[3];
}

void TMoun::HashFinal(std::uint8_t* chunk, std::size_t n, std::uint64_t totalBytes) {
  // chunk has room for n bytes plus 72: one 0x80, zeros up to 56 modulo 64, the bit length.
  chunk[n] = 0x80;
  std::size_t padded = (n + 8) / 64 * 64 + 64;
  std::memset(chunk + n + 1, 0, padded - n - 1);
  const std::uint64_t bits = totalBytes * 8;
  for (int i = 0; i < 8; ++i) chunk[padded - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  for (std::size_t off = 0; off < padded; off += 64) TransformBytes(chunk + off);
}

void TMoun::Moun_Hash() {
  Moun_Initialize();
  switch (SourceType) {
    case SourceFile:
      Moun_Hash_File();
      break;
    case SourceByteArray:
      Moun_Hash_Bytes();
      break;
    case SourceString: {
      // A copy of its own, so that every byte of the text, zero bytes included, is digested.
      const std::string copy = SourceText;
      const std::uint8_t* saved = SourceBytes;
      SourceBytes = reinterpret_cast<const std::uint8_t*>(copy.data());
      SourceLength = static_cast<std::int32_t>(copy.size());
      try {
        Moun_Hash_Bytes();
      } catch (...) {
        SourceBytes = saved;
        throw;
      }
      SourceBytes = saved;
      break;
    }
  }
  Moun_Finish();
}

void TMoun::Moun_Hash_Bytes() {
  const std::size_t length = SourceLength > 0 && SourceBytes != nullptr ? static_cast<std::size_t>(SourceLength) : 0;
  std::size_t done = 0;
  if (length >= 64) {
    TransformBlocks(SourceBytes, length / 64);
    done = length / 64 * 64;
  }
  std::uint8_t tail[128];
  if (length > done) std::memcpy(tail, SourceBytes + done, length - done);
  HashFinal(tail, length - done, length);
  const std::uint64_t padded = (std::uint64_t{length} + 8) / 64 * 64 + 64;
  SourceLength = padded <= 0x7FFFFFFF ? static_cast<std::int32_t>(padded) : SourceLength;
}

void TMoun::Moun_Hash_File() {
  // Read-write, the runtime's default open mode for files of bytes.
  TFileCloser file{std::fopen(SourceFileName.c_str(), "r+b")};
  if (file.File == nullptr) throw rtl::InOutError(SourceFileName);
  std::uint8_t buffer[kChunk + 64 + 8];
  std::uint64_t count = 0;
  for (;;) {
    const std::size_t n = std::fread(buffer, 1, kChunk, file.File);
    if (n < kChunk && std::ferror(file.File)) throw rtl::InOutError(SourceFileName);
    count += n;
    if (n == kChunk) {
      TransformBlocks(buffer, kChunk / 64);
      continue;
    }
    HashFinal(buffer, n, count);
    break;
  }
}

void TMoun::Moun_Finish() {
  if (DigestTarget == nullptr) return;
  StoreLE(DigestTarget->data(), StateA);
  StoreLE(DigestTarget->data() + 4, StateB);
  StoreLE(DigestTarget->data() + 8, StateC);
  StoreLE(DigestTarget->data() + 12, StateD);
}

}  // namespace kestrova::crypto
