// Blowfish (64-bit block, 1 to 56 key bytes, 16 rounds) over one state record, with the chaining
// modes ECB, CBC, 8-bit CFB, OFB and a byte-wise counter mode (OFBC). Blocks are two big-endian
// 32-bit halves. No operation allocates; input and output may be the same memory.
#pragma once
#include <cstdint>

#include "framework/rtl/errors.h"

namespace kestrova::crypto {

inline constexpr char kInvalidLength[] = "Invalid length";

class EBlowfishError : public rtl::Exception {
  using rtl::Exception::Exception;
};

struct TBlowfishData {
  std::uint8_t InitVector[8];
  std::uint8_t ChainBlock[8];  // CBC: last cipher block; CFB: shift register; OFB: keystream; OFBC: counter
  std::uint32_t SBoxes[4][256];
  std::uint32_t PArray[18];
};

// Raises EBlowfishError "Invalid length" for a key length outside 1..56, leaving the state as it was.
// iv may be null: the vector is eight zero bytes.
void BlowfishInit(TBlowfishData& data, const void* key, int length, const void* iv);

void BlowfishEncryptECB(const TBlowfishData& data, const void* inBlock, void* outBlock);
void BlowfishDecryptECB(const TBlowfishData& data, const void* inBlock, void* outBlock);
void BlowfishEncryptCBC(TBlowfishData& data, const void* inBlock, void* outBlock);
void BlowfishDecryptCBC(TBlowfishData& data, const void* inBlock, void* outBlock);
// count consecutive blocks in one CBC chain, the same as count single-block calls.
void BlowfishEncryptCBCBlocks(TBlowfishData& data, const void* inBlocks, void* outBlocks, int count);
void BlowfishDecryptCBCBlocks(TBlowfishData& data, const void* inBlocks, void* outBlocks, int count);
void BlowfishEncryptCFB(TBlowfishData& data, const void* inData, void* outData, int length);
void BlowfishDecryptCFB(TBlowfishData& data, const void* inData, void* outData, int length);
void BlowfishEncryptOFB(TBlowfishData& data, const void* inBlock, void* outBlock);
void BlowfishDecryptOFB(TBlowfishData& data, const void* inBlock, void* outBlock);
void BlowfishEncryptOFBC(TBlowfishData& data, const void* inData, void* outData, int length);
void BlowfishDecryptOFBC(TBlowfishData& data, const void* inData, void* outData, int length);

// The chain starts again from the initialisation vector; the key schedule stays.
void BlowfishReset(TBlowfishData& data);
// Every byte of the record becomes zero: the key material is gone.
void BlowfishBurn(TBlowfishData& data);
// Whether a published test vector enciphers and deciphers as published.
bool BlowfishSelfTest();

}  // namespace kestrova::crypto
