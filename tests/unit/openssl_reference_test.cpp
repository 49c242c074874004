// OpenSSL's libcrypto as an independent reference: random keys, vectors and lengths.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <gtest/gtest.h>
#include <openssl/blowfish.h>
#include <openssl/md5.h>

#include <cstring>
#include <random>
#include <vector>

#include "crypto/imgutils.h"
#include "crypto/mathtool.h"
#include "tests/unit/blowfishframe.h"
#include "tests/unit/testhex.h"

namespace kestrova::crypto {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TRandom {
  std::mt19937 Engine{20260611};
  Bytes Next(std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(Engine());
    return b;
  }
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(Engine); }
};

struct TKeyed {
  Bytes Key, IV;
  TBlowfishData Ours;
  BF_KEY Theirs;
  explicit TKeyed(TRandom& r) : Key(r.Next(static_cast<std::size_t>(r.Between(1, 56)))), IV(r.Next(8)) {
    BlowfishInit(Ours, Key.data(), static_cast<int>(Key.size()), IV.data());
    BF_set_key(&Theirs, static_cast<int>(Key.size()), Key.data());
  }
};

TEST(OpenSslReference, BlowfishModesWithRandomKeysAndVectors) {
  TRandom r;
  for (int round = 0; round < 40; ++round) {
    TKeyed k(r);
    const std::size_t blocks = static_cast<std::size_t>(r.Between(1, 64));
    const Bytes plain = r.Next(8 * blocks);

    Bytes ours(plain.size()), theirs(plain.size()), iv = k.IV;
    for (std::size_t b = 0; b < blocks; ++b) BlowfishEncryptCBC(k.Ours, &plain[8 * b], &ours[8 * b]);
    BF_cbc_encrypt(plain.data(), theirs.data(), static_cast<long>(plain.size()), &k.Theirs, iv.data(), BF_ENCRYPT);
    EXPECT_EQ(ours, theirs) << "CBC, key of " << k.Key.size();

    BlowfishReset(k.Ours);
    iv = k.IV;
    for (std::size_t b = 0; b < blocks; ++b) BlowfishEncryptOFB(k.Ours, &plain[8 * b], &ours[8 * b]);
    int num = 0;
    BF_ofb64_encrypt(plain.data(), theirs.data(), static_cast<long>(plain.size()), &k.Theirs, iv.data(), &num);
    EXPECT_EQ(ours, theirs) << "OFB";

    // 8-bit CFB and the byte counter, built on OpenSSL's block function.
    const std::size_t n = static_cast<std::size_t>(r.Between(1, 200));
    const Bytes stream = r.Next(n);
    for (int counter = 0; counter < 2; ++counter) {
      BlowfishReset(k.Ours);
      Bytes reg = k.IV, mine(n), ref(n);
      if (counter) {
        BlowfishEncryptOFBC(k.Ours, stream.data(), mine.data(), static_cast<int>(n));
      } else {
        BlowfishEncryptCFB(k.Ours, stream.data(), mine.data(), static_cast<int>(n));
      }
      for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t t[8];
        BF_ecb_encrypt(reg.data(), t, &k.Theirs, BF_ENCRYPT);
        ref[i] = static_cast<std::uint8_t>(stream[i] ^ t[0]);
        if (counter) {
          for (int j = 7; j >= 0 && ++reg[static_cast<std::size_t>(j)] == 0; --j) {
          }
        } else {
          std::memmove(reg.data(), reg.data() + 1, 7);
          reg[7] = ref[i];
        }
      }
      EXPECT_EQ(mine, ref) << (counter ? "OFBC" : "CFB8");
    }
  }
}

TEST(OpenSslReference, TheFrameAgreesInCbcAndCfb) {
  TRandom r;
  for (int round = 0; round < 30; ++round) {
    TKeyed k(r);
    const Bytes plain = r.Next(static_cast<std::size_t>(r.Between(1, 9000)));
    for (TCipherMode mode : {CBCMode, CFBMode}) {
      testing::TBlowfishFrame f;
      f.Key.assign(k.Key.begin(), k.Key.end());
      f.IVText.assign(k.IV.begin(), k.IV.end());
      f.CipherMode = mode;
      f.SourceType = SourceString;
      f.InText.assign(plain.begin(), plain.end());
      const std::size_t outLength = mode == CBCMode ? (plain.size() + 7) / 8 * 8 : plain.size();
      Bytes ours(outLength + 8), padded = plain, theirs(outLength), iv = k.IV;
      f.OutData = ours.data();
      f.EncipherData(false);
      ours.resize(outLength);
      padded.resize(outLength, 0);
      if (mode == CBCMode) {
        BF_cbc_encrypt(padded.data(), theirs.data(), static_cast<long>(outLength), &k.Theirs, iv.data(), BF_ENCRYPT);
      } else {
        int num = 0;
        BF_cfb64_encrypt(padded.data(), theirs.data(), static_cast<long>(outLength), &k.Theirs, iv.data(), &num,
                         BF_ENCRYPT);
      }
      EXPECT_EQ(ours, theirs) << mode << " over " << plain.size();
    }
  }
}

TEST(OpenSslReference, MD5OfRandomBytesOfManyLengths) {
  TRandom r;
  std::vector<std::size_t> lengths = {0, 1, 55, 56, 63, 64, 4151, 4152, 65536, 1000003};
  for (int i = 0; i < 40; ++i) lengths.push_back(static_cast<std::size_t>(r.Between(0, 20000)));
  for (std::size_t n : lengths) {
    const Bytes data = r.Next(n);
    std::uint8_t theirs[MD5_DIGEST_LENGTH];
    MD5(data.data(), data.size(), theirs);
    const TMounDigest ours = MD5EncryptBinary(data.data(), static_cast<int>(data.size()));
    EXPECT_EQ(testing::ToHex(ours), testing::ToHex(Bytes(theirs, theirs + 16))) << n;
  }
}

}  // namespace
}  // namespace kestrova::crypto
