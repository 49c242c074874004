// TCrypto: the frame of a block cipher of up to 64-byte blocks. It chains blocks in ECB, CBC or
// CFB and feeds them from bytes, a text or a file; a concrete cipher supplies BlockSize, one-block
// encipher and decipher, and its key schedule.
#pragma once
#include <cstdint>
#include <string>

#include "crypto/mountool.h"

namespace kestrova::crypto {

enum TCipherMode : std::uint8_t { ECBMode = 0, CBCMode = 1, CFBMode = 2 };

class TCrypto {
 public:
  TCrypto() = default;
  TCrypto(const TCrypto&) = delete;
  TCrypto& operator=(const TCrypto&) = delete;
  // Frees the chaining register and overwrites every character of Key with a zero byte.
  virtual ~TCrypto();

  std::string IVText;
  std::uint8_t* IVBuffer = nullptr;  // BlockSize bytes, owned
  std::string Key;
  TSourceType SourceType = SourceFile;
  TCipherMode CipherMode = ECBMode;
  std::string InFileName;
  std::string OutFileName;
  const std::uint8_t* InData = nullptr;
  std::uint8_t* OutData = nullptr;
  std::string InText;
  std::uint16_t DataLength = 0;
  std::uint8_t Buffer[4097] = {};
  std::uint8_t Block[65] = {};
  std::uint8_t BlockSize = 0;

  virtual void EncipherBLOCK() = 0;
  virtual void DecipherBLOCK() = 0;
  virtual void SetKeys() = 0;
  virtual void Encipher_Bytes();
  virtual void Decipher_Bytes();

  // continueChain false: new keys and, in CBC and CFB, the register from IVText. True: both carry on.
  // Byte sources give DataLength bytes at InData; a text source gives all of InText. Results go to
  // OutData, padded in ECB and CBC to a multiple of BlockSize. Sources longer than Buffer are
  // taken in Buffer-sized pieces of one chain.
  void EncipherData(bool continueChain);
  void DecipherData(bool continueChain);
  void StartCipher(bool continueChain);
  void InitIV();
  void GenIVector();
  void Encipher_File();
  void Decipher_File();
  void EncipherECB();
  void DecipherECB();
  void EncipherCBC();
  void DecipherCBC();
  void EncipherCFB();
  void DecipherCFB();
  void ShiftLeft(std::uint8_t* reg, const std::uint8_t* newBytes, std::uint16_t count);
  static int MIN(int a, int b) { return a < b ? a : b; }

 private:
  void Pad();
  void ProcessFile(bool encipher);
  void ProcessMemory(const std::uint8_t* data, std::size_t length, bool encipher);
};

}  // namespace kestrova::crypto
