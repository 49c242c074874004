#include "crypto/mounter.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "crypto/tools.h"
#include "framework/rtl/errors.h"

namespace kestrova::crypto {

namespace {

constexpr std::size_t kChunk = 4096;

// Closes the file on every path.
struct TFileCloser {
  std::FILE* File;
  ~TFileCloser() {
    if (File != nullptr) std::fclose(File);
  }
};

bool ValidBlockSize(unsigned size) { return size >= 1 && size <= 64 && kChunk % size == 0; }

std::mt19937& RandomGenerator() {
  // Seeded once from the clock and the system's entropy, so that two vectors made in the same
  // clock tick still differ.
  static std::mt19937 generator = [] {
    std::random_device device;
    std::seed_seq seed{static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()),
                       static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()), device()};
    return std::mt19937(seed);
  }();
  return generator;
}

}  // namespace

TCrypto::~TCrypto() {
  delete[] IVBuffer;
  IVBuffer = nullptr;
  // Through a volatile pointer, so that the wipe of a dying text is not optimised away.
  volatile char* p = Key.data();
  for (std::size_t i = 0; i < Key.size(); ++i) p[i] = 0;
}

void TCrypto::StartCipher(bool continueChain) {
  // The padding and the blocks must fit Buffer and Block; a cipher that breaks this gets an error,
  // not a write past them.
  if (!ValidBlockSize(BlockSize)) throw rtl::Exception("Invalid block size " + std::to_string(BlockSize));
  if (continueChain) return;
  SetKeys();
  if (CipherMode == CBCMode || CipherMode == CFBMode) InitIV();
}

void TCrypto::InitIV() {
  if (IVText.empty()) GenIVector();
  if (IVBuffer == nullptr) IVBuffer = new std::uint8_t[64]();  // room for any block size
  // A text shorter than the block is completed with zero bytes.
  const std::size_t n = IVText.size() < BlockSize ? IVText.size() : BlockSize;
  std::memset(IVBuffer, 0, BlockSize);
  std::memcpy(IVBuffer, IVText.data(), n);
}

void TCrypto::GenIVector() {
  std::uniform_int_distribution<int> printable('!', '}');
  IVText.clear();
  for (unsigned i = 0; i < BlockSize; ++i) IVText += static_cast<char>(printable(RandomGenerator()));
}

void TCrypto::Encipher_Bytes() {
  switch (CipherMode) {
    case ECBMode:
      EncipherECB();
      break;
    case CBCMode:
      EncipherCBC();
      break;
    case CFBMode:
      EncipherCFB();
      break;
  }
}

void TCrypto::Decipher_Bytes() {
  switch (CipherMode) {
    case ECBMode:
      DecipherECB();
      break;
    case CBCMode:
      DecipherCBC();
      break;
    case CFBMode:
      DecipherCFB();
      break;
  }
}

void TCrypto::EncipherData(bool continueChain) {
  StartCipher(continueChain);
  switch (SourceType) {
    case SourceFile:
      Encipher_File();
      break;
    case SourceByteArray:
      ProcessMemory(InData, DataLength, true);
      break;
    case SourceString: {
      const std::string copy = InText;
      ProcessMemory(reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size(), true);
      break;
    }
  }
}

void TCrypto::DecipherData(bool continueChain) {
  StartCipher(continueChain);
  switch (SourceType) {
    case SourceFile:
      Decipher_File();
      break;
    case SourceByteArray:
      ProcessMemory(InData, DataLength, false);
      break;
    case SourceString: {
      // The cipher text of a text is bytes in a text: it deciphers like any bytes.
      const std::string copy = InText;
      ProcessMemory(reinterpret_cast<const std::uint8_t*>(copy.data()), copy.size(), false);
      break;
    }
  }
}

void TCrypto::ProcessMemory(const std::uint8_t* data, std::size_t length, bool encipher) {
  std::uint8_t* const target = OutData;
  const std::uint8_t* const source = InData;
  std::size_t done = 0;
  do {
    const std::size_t n = length - done < kChunk ? length - done : kChunk;
    if (n > 0) std::memcpy(Buffer, data + done, n);
    DataLength = static_cast<std::uint16_t>(n);
    InData = data + done;
    OutData = target + done;
    if (encipher) {
      Encipher_Bytes();
    } else {
      Decipher_Bytes();
    }
    done += n;
  } while (done < length);
  OutData = target;
  InData = source == data ? source : nullptr;  // a text's copy is gone after the call
}

void TCrypto::Encipher_File() { ProcessFile(true); }
void TCrypto::Decipher_File() { ProcessFile(false); }

void TCrypto::ProcessFile(bool encipher) {
  TFileCloser in{std::fopen(InFileName.c_str(), "r+b")};  // read-write, the runtime's default mode
  if (in.File == nullptr) throw rtl::InOutError(InFileName);
  TFileCloser out{std::fopen(OutFileName.c_str(), "w+b")};
  if (out.File == nullptr) throw rtl::InOutError(OutFileName);
  for (;;) {
    const std::size_t n = std::fread(Buffer, 1, kChunk, in.File);
    if (n < kChunk && std::ferror(in.File)) throw rtl::InOutError(InFileName);
    DataLength = static_cast<std::uint16_t>(n);
    InData = Buffer;
    OutData = Buffer;
    if (n > 0) {
      if (encipher) {
        Encipher_Bytes();
      } else {
        Decipher_Bytes();
      }
      // A short write is an error, not a quietly shortened file.
      if (std::fwrite(Buffer, 1, DataLength, out.File) != DataLength) throw rtl::InOutError(OutFileName);
    }
    if (n != kChunk) break;
  }
  if (std::fflush(out.File) != 0) throw rtl::InOutError(OutFileName);
}

void TCrypto::Pad() {
  while (DataLength % BlockSize != 0) Buffer[DataLength++] = 0;
}

void TCrypto::EncipherECB() {
  Pad();
  for (unsigned off = 0; off < DataLength; off += BlockSize) {
    std::memcpy(Block, Buffer + off, BlockSize);
    EncipherBLOCK();
    std::memcpy(OutData + off, Block, BlockSize);
  }
}

void TCrypto::DecipherECB() {
  Pad();
  for (unsigned off = 0; off < DataLength; off += BlockSize) {
    std::memcpy(Block, Buffer + off, BlockSize);
    DecipherBLOCK();
    std::memcpy(OutData + off, Block, BlockSize);
  }
}

void TCrypto::EncipherCBC() {
  Pad();
  for (unsigned off = 0; off < DataLength; off += BlockSize) {
    XorBlock(Buffer + off, IVBuffer, Block, BlockSize);
    EncipherBLOCK();
    std::memcpy(IVBuffer, Block, BlockSize);
    std::memcpy(OutData + off, Block, BlockSize);
  }
}

void TCrypto::DecipherCBC() {
  Pad();
  for (unsigned off = 0; off < DataLength; off += BlockSize) {
    std::memcpy(Block, Buffer + off, BlockSize);
    DecipherBLOCK();
    XorBlock(Block, IVBuffer, Block, BlockSize);
    std::memcpy(IVBuffer, Buffer + off, BlockSize);  // before the output: OutData may be Buffer
    std::memcpy(OutData + off, Block, BlockSize);
  }
}

void TCrypto::EncipherCFB() {
  unsigned remaining = DataLength, position = 0;
  while (remaining > 0) {
    const unsigned k = static_cast<unsigned>(MIN(BlockSize, static_cast<int>(remaining)));
    std::memcpy(Block, IVBuffer, BlockSize);
    EncipherBLOCK();
    XorBlock(Buffer + position, Block, OutData + position, static_cast<int>(k));
    if (k == BlockSize) {
      std::memcpy(IVBuffer, OutData + position, BlockSize);
    } else {
      ShiftLeft(IVBuffer, OutData + position, static_cast<std::uint16_t>(k));
    }
    position += k;
    remaining -= k;
  }
}

void TCrypto::DecipherCFB() {
  unsigned remaining = DataLength, position = 0;
  while (remaining > 0) {
    const unsigned k = static_cast<unsigned>(MIN(BlockSize, static_cast<int>(remaining)));
    std::memcpy(Block, IVBuffer, BlockSize);
    EncipherBLOCK();
    // The register takes the cipher bytes first, so that in-place use is safe.
    if (k == BlockSize) {
      std::memcpy(IVBuffer, Buffer + position, BlockSize);
    } else {
      ShiftLeft(IVBuffer, Buffer + position, static_cast<std::uint16_t>(k));
    }
    XorBlock(Buffer + position, Block, OutData + position, static_cast<int>(k));
    position += k;
    remaining -= k;
  }
}

void TCrypto::ShiftLeft(std::uint8_t* reg, const std::uint8_t* newBytes, std::uint16_t count) {
  if (count >= BlockSize) {
    std::memmove(reg, newBytes + (count - BlockSize), BlockSize);
    return;
  }
  std::memmove(reg, reg + count, BlockSize - count);
  std::memmove(reg + (BlockSize - count), newBytes, count);
}

}  // namespace kestrova::crypto
