// Blowfish through the generic block-cipher frame: the one concrete cipher the tests derive.
#pragma once
#include "crypto/mathtool.h"
#include "crypto/mounter.h"

namespace kestrova::testing {

class TBlowfishFrame : public crypto::TCrypto {
 public:
  TBlowfishFrame() { BlockSize = 8; }
  ~TBlowfishFrame() override { crypto::BlowfishBurn(FData); }
  void EncipherBLOCK() override { crypto::BlowfishEncryptECB(FData, Block, Block); }
  void DecipherBLOCK() override { crypto::BlowfishDecryptECB(FData, Block, Block); }
  void SetKeys() override { crypto::BlowfishInit(FData, Key.data(), static_cast<int>(Key.size()), nullptr); }
  const crypto::TBlowfishData& Data() const { return FData; }

 private:
  crypto::TBlowfishData FData{};
};

}  // namespace kestrova::testing
