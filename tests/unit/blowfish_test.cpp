#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "crypto/mathtool.h"
#include "crypto/tools.h"
#include "tests/unit/testhex.h"

namespace kestrova::crypto {
namespace {

using testing::Hex;
using testing::ToHex;

// Eric Young's Blowfish test set as published by the cipher's designer: key, plain, cipher.
const char* const kEcbVectors[][3] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// The same set's key-length vectors: the first 1 to 24 bytes of this key, this plain block.
const char kSetKeyKey[] = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
const char kSetKeyPlain[] = "FEDCBA9876543210";
const char* const kSetKeyCiphers[24] = {
    "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05", "B39E44481BDB1E6E",
    "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0",
    "3A833C9AFFC537F6", "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
    "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
    "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(Blowfish, PublishedEcbVectors) {
  TBlowfishData data;
  for (const auto& v : kEcbVectors) {
    const auto key = Hex(v[0]), plain = Hex(v[1]);
    BlowfishInit(data, key.data(), 8, nullptr);
    std::uint8_t block[8];
    BlowfishEncryptECB(data, plain.data(), block);
    EXPECT_EQ(ToHex(block), Lower(v[2])) << v[0];
    BlowfishDecryptECB(data, block, block);  // in place
    EXPECT_EQ(ToHex(block), Lower(v[1])) << v[0];
  }
}

TEST(Blowfish, KeysOfEveryLengthUpTo56AndNoOther) {
  TBlowfishData data;
  const auto key = Hex(kSetKeyKey), plain = Hex(kSetKeyPlain);
  for (int n = 1; n <= 24; ++n) {
    BlowfishInit(data, key.data(), n, nullptr);
    std::uint8_t block[8];
    BlowfishEncryptECB(data, plain.data(), block);
    EXPECT_EQ(ToHex(block), Lower(kSetKeyCiphers[n - 1])) << n << " key bytes";
  }
  // A short key repeats: one byte K is the same key as K K K K.
  std::uint8_t one[1] = {0x5A}, four[4] = {0x5A, 0x5A, 0x5A, 0x5A}, a[8], b[8];
  BlowfishInit(data, one, 1, nullptr);
  BlowfishEncryptECB(data, plain.data(), a);
  BlowfishInit(data, four, 4, nullptr);
  BlowfishEncryptECB(data, plain.data(), b);
  EXPECT_EQ(ToHex(a), ToHex(b));

  std::vector<std::uint8_t> longKey(57, 0x11);
  EXPECT_NO_THROW(BlowfishInit(data, longKey.data(), 56, nullptr));
  TBlowfishData before = data;
  for (int bad : {57, 0, -1}) {
    try {
      BlowfishInit(data, longKey.data(), bad, nullptr);
      ADD_FAILURE() << bad;
    } catch (const EBlowfishError& e) {
      EXPECT_STREQ(e.what(), "Invalid length");
    }
    EXPECT_EQ(std::memcmp(&before, &data, sizeof data), 0) << "state touched by length " << bad;
  }
}

TEST(Blowfish, CbcChainsFromTheVectorAcrossCalls) {
  // The test set's chaining vector: 32 bytes, key and vector as below.
  const auto key = Hex("0123456789ABCDEFF0E1D2C3B4A59687"), iv = Hex("FEDCBA9876543210");
  const std::string plain("7654321 Now is the time for \0\0\0\0", 32);
  const std::string expected = "6b77b4d63006dee605b156e27403979358deb9e7154616d959f1652bd5ff92cc";
  TBlowfishData data;
  BlowfishInit(data, key.data(), static_cast<int>(key.size()), iv.data());
  EXPECT_EQ(ToHex(data.InitVector), Lower("FEDCBA9876543210"));
  EXPECT_EQ(ToHex(data.ChainBlock), Lower("FEDCBA9876543210"));
  std::uint8_t out[32];
  for (int k = 0; k < 4; ++k) BlowfishEncryptCBC(data, plain.data() + 8 * k, out + 8 * k);
  EXPECT_EQ(ToHex(out), expected);
  EXPECT_EQ(ToHex(data.ChainBlock), expected.substr(48));

  // The run of blocks is the same chain as block after block, in place or not.
  BlowfishReset(data);
  std::uint8_t run[32];
  BlowfishEncryptCBCBlocks(data, plain.data(), run, 4);
  EXPECT_EQ(ToHex(run), expected);
  BlowfishReset(data);
  BlowfishDecryptCBCBlocks(data, run, run, 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(run), 32), plain);

  BlowfishReset(data);
  std::uint8_t separate[32];
  for (int k = 0; k < 4; ++k) BlowfishDecryptCBC(data, out + 8 * k, separate + 8 * k);
  BlowfishReset(data);
  for (int k = 0; k < 4; ++k) BlowfishDecryptCBC(data, out + 8 * k, out + 8 * k);  // in place
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 32), plain);
  EXPECT_EQ(std::memcmp(out, separate, 32), 0);
}

TEST(Blowfish, CbcWithoutVectorStartsFromZeroAndResetStartsAgain) {
  const auto key = Hex("0123456789ABCDEF");
  TBlowfishData data;
  BlowfishInit(data, key.data(), 8, nullptr);
  const std::uint8_t plain[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::uint8_t ecb[8], first[8], second[8], afterReset[8];
  BlowfishEncryptECB(data, plain, ecb);
  BlowfishEncryptCBC(data, plain, first);
  BlowfishEncryptCBC(data, plain, second);
  BlowfishReset(data);
  BlowfishEncryptCBC(data, plain, afterReset);
  EXPECT_EQ(ToHex(first), ToHex(ecb));
  EXPECT_NE(ToHex(second), ToHex(first));
  EXPECT_EQ(ToHex(afterReset), ToHex(first));
}

TEST(Blowfish, StreamModesRoundTripInPlaceAndCostNothingForNoBytes) {
  const auto key = Hex("F0E1D2C3B4A59687"), iv = Hex("0102030405060708");
  TBlowfishData enc, dec;
  BlowfishInit(enc, key.data(), 8, iv.data());
  BlowfishInit(dec, key.data(), 8, iv.data());
  std::uint8_t register0[8];
  std::memcpy(register0, enc.ChainBlock, 8);
  std::uint8_t none[1] = {0};
  BlowfishEncryptCFB(enc, none, none, 0);
  BlowfishEncryptOFBC(enc, none, none, -3);
  EXPECT_EQ(std::memcmp(register0, enc.ChainBlock, 8), 0);

  std::vector<std::uint8_t> text(37);
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<std::uint8_t>(i * 13);
  const auto original = text;
  using Mode = void (*)(TBlowfishData&, const void*, void*, int);
  const Mode pairs[][2] = {{BlowfishEncryptCFB, BlowfishDecryptCFB}, {BlowfishEncryptOFBC, BlowfishDecryptOFBC}};
  for (const auto& p : pairs) {
    BlowfishReset(enc);
    BlowfishReset(dec);
    p[0](enc, text.data(), text.data(), 20);  // two calls form one stream
    p[0](enc, text.data() + 20, text.data() + 20, 17);
    EXPECT_NE(text, original);
    p[1](dec, text.data(), text.data(), 37);
    EXPECT_EQ(text, original);
  }
  // CFB: the register ends as the last eight cipher bytes.
  BlowfishReset(enc);
  std::vector<std::uint8_t> cipher(16);
  BlowfishEncryptCFB(enc, text.data(), cipher.data(), 16);
  EXPECT_EQ(std::memcmp(enc.ChainBlock, cipher.data() + 8, 8), 0);
  // OFBC: the register counts one per byte.
  BlowfishReset(enc);
  BlowfishEncryptOFBC(enc, text.data(), cipher.data(), 3);
  EXPECT_EQ(ToHex(enc.ChainBlock), "010203040506070b");

  BlowfishReset(enc);
  BlowfishReset(dec);
  std::uint8_t block[8], back[8];
  BlowfishEncryptOFB(enc, original.data(), block);
  std::uint8_t keystream[8];
  std::memcpy(keystream, enc.ChainBlock, 8);
  BlowfishDecryptOFB(dec, block, back);
  EXPECT_EQ(std::memcmp(back, original.data(), 8), 0);
  BlowfishReset(dec);
  std::uint8_t expectedStream[8];
  BlowfishEncryptECB(dec, iv.data(), expectedStream);
  EXPECT_EQ(ToHex(keystream), ToHex(expectedStream));
}

TEST(Blowfish, SelfTestPassesAndBurnLeavesNothing) {
  EXPECT_TRUE(BlowfishSelfTest());
  TBlowfishData data;
  const auto key = Hex("0123456789ABCDEF");
  BlowfishInit(data, key.data(), 8, key.data());
  BlowfishBurn(data);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&data);
  EXPECT_TRUE(std::all_of(bytes, bytes + sizeof data, [](std::uint8_t b) { return b == 0; }));
}

TEST(BlockTools, XorIncrementAndRotations) {
  std::uint8_t a[4] = {0xF0, 0x0F, 0xAA, 0x55}, b[4] = {0xFF, 0xFF, 0x0F, 0x55};
  XorBlock(a, b, a, 4);
  EXPECT_EQ(ToHex(a), "0ff0a500");
  XorBlock(a, b, a, 0);
  EXPECT_EQ(ToHex(a), "0ff0a500");

  struct {
    const char* Before;
    const char* After;
  } inc[] = {
      {"00000000000000ff", "0000000000000100"},
      {"ffffffffffffffff", "0000000000000000"},
      {"00ffffffffffffff", "0100000000000000"},
      {"0000000000000001", "0000000000000002"},
  };
  for (const auto& c : inc) {
    auto block = Hex(c.Before);
    IncBlock(block.data(), 8);
    EXPECT_EQ(ToHex(block), c.After);
  }
  EXPECT_EQ(LRot32(0x80000001u, 1), 0x00000003u);
  EXPECT_EQ(LRot32(0x12345678u, 33), 0x2468ACF0u);
  EXPECT_EQ(RRot32(0x00000003u, 1), 0x80000001u);
  EXPECT_EQ(RRot32(0x12345678u, 0), 0x12345678u);
  EXPECT_EQ(LRot16(0x8001, 1), 0x0003);
  EXPECT_EQ(RRot16(0x0003, 17), 0x8001);
  EXPECT_EQ(LRot16(0x1234, 16), 0x1234);
}

}  // namespace
}  // namespace kestrova::crypto
