#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "crypto/mathtool.h"
#include "framework/rtl/errors.h"
#include "tests/support/childprocess.h"
#include "tests/unit/blowfishframe.h"
#include "tests/unit/testhex.h"

namespace kestrova::crypto {
namespace {

using testing::Hex;
using testing::TBlowfishFrame;
using testing::ToHex;

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The published chaining vector: key, vector and 29 bytes of text (with its NUL).
const std::string kKey = Text(Hex("0123456789ABCDEFF0E1D2C3B4A59687"));
const std::string kIV = Text(Hex("FEDCBA9876543210"));
const std::string kPlain("7654321 Now is the time for \0\0\0\0", 32);

std::string RunBytes(TCipherMode mode, const std::string& data, bool encipher, std::uint16_t* length = nullptr) {
  TBlowfishFrame f;
  f.Key = kKey;
  f.IVText = kIV;
  f.CipherMode = mode;
  f.SourceType = SourceByteArray;
  f.InData = reinterpret_cast<const std::uint8_t*>(data.data());
  f.DataLength = static_cast<std::uint16_t>(data.size());
  std::vector<std::uint8_t> out(data.size() + 8, 0xEE);
  f.OutData = out.data();
  encipher ? f.EncipherData(false) : f.DecipherData(false);
  if (length != nullptr) *length = f.DataLength;
  return Text(out).substr(0, (mode == CFBMode ? data.size() : (data.size() + 7) / 8 * 8));
}

TEST(CipherFrame, PublishedCbcAndCfbVectors) {
  EXPECT_EQ(ToHex(RunBytes(CBCMode, kPlain, true)), "6b77b4d63006dee605b156e27403979358deb9e7154616d959f1652bd5ff92cc");
  EXPECT_EQ(ToHex(RunBytes(CFBMode, kPlain.substr(0, 29), true)),
            "e73214a2822139caf26ecf6d2eb9e76e3da3de04d1517200519d57a6c3");
  EXPECT_EQ(RunBytes(CBCMode, Text(Hex("6b77b4d63006dee605b156e27403979358deb9e7154616d959f1652bd5ff92cc")), false), kPlain);
  EXPECT_EQ(RunBytes(CFBMode, Text(Hex("e73214a2822139caf26ecf6d2eb9e76e3da3de04d1517200519d57a6c3")), false),
            kPlain.substr(0, 29));
}

TEST(CipherFrame, FiveBytesArePaddedInEcbAndCbcButNotInCfb) {
  const std::string five = "abcde";
  TBlowfishData bf;
  BlowfishInit(bf, kKey.data(), static_cast<int>(kKey.size()), kIV.data());
  std::uint8_t padded[8] = {'a', 'b', 'c', 'd', 'e', 0, 0, 0}, block[8];

  std::uint16_t length = 0;
  BlowfishEncryptECB(bf, padded, block);
  EXPECT_EQ(ToHex(RunBytes(ECBMode, five, true, &length)), ToHex(block));
  EXPECT_EQ(length, 8);
  BlowfishEncryptCBC(bf, padded, block);
  EXPECT_EQ(ToHex(RunBytes(CBCMode, five, true, &length)), ToHex(block));
  EXPECT_EQ(length, 8);
  EXPECT_EQ(RunBytes(ECBMode, RunBytes(ECBMode, five, true), false), std::string("abcde\0\0\0", 8));

  TBlowfishFrame f;
  f.Key = kKey;
  f.IVText = kIV;
  f.CipherMode = CFBMode;
  f.SourceType = SourceByteArray;
  f.InData = reinterpret_cast<const std::uint8_t*>(five.data());
  f.DataLength = 5;
  std::uint8_t out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  f.OutData = out;
  f.EncipherData(false);
  EXPECT_EQ(f.DataLength, 5);
  EXPECT_EQ(out[5], 0xEE);  // nothing written past the data
  std::uint8_t keystream[8];
  BlowfishEncryptECB(bf, kIV.data(), keystream);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], five[i] ^ keystream[i]);
  // The register moved left by five and took the five cipher bytes at its end.
  EXPECT_EQ(ToHex(std::vector<std::uint8_t>(f.IVBuffer, f.IVBuffer + 8)),
            ToHex(Text(Hex("543210")) + std::string(reinterpret_cast<char*>(out), 5)));
}

TEST(CipherFrame, ContinuedCallsFormOneChain) {
  std::string data(4096 + 40, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 11);
  for (TCipherMode mode : {CBCMode, CFBMode}) {
    const std::string whole = RunBytes(mode, data, true);
    TBlowfishFrame f;
    f.Key = kKey;
    f.IVText = kIV;
    f.CipherMode = mode;
    f.SourceType = SourceByteArray;
    std::vector<std::uint8_t> out(data.size());
    std::size_t done = 0;
    for (std::size_t piece : {16u, 4000u, 8u, 112u}) {
      f.InData = reinterpret_cast<const std::uint8_t*>(data.data()) + done;
      f.DataLength = static_cast<std::uint16_t>(piece);
      f.OutData = out.data() + done;
      f.EncipherData(done > 0);
      done += piece;
    }
    EXPECT_EQ(Text(out), whole) << mode;
    // Starting afresh reloads the same vector: the first piece comes out as before.
    f.InData = reinterpret_cast<const std::uint8_t*>(data.data());
    f.DataLength = 16;
    f.OutData = out.data();
    f.EncipherData(false);
    EXPECT_EQ(Text(out).substr(0, 16), whole.substr(0, 16)) << mode;
  }
}

TEST(CipherFrame, TextsOfAnyLengthGoThroughAsOneChain) {
  std::string text(10000, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 + 1);
  for (TCipherMode mode : {ECBMode, CBCMode, CFBMode}) {
    TBlowfishFrame f;
    f.Key = kKey;
    f.IVText = kIV;
    f.CipherMode = mode;
    f.SourceType = SourceString;
    f.InText = text;
    std::vector<std::uint8_t> out(text.size() + 8, 0);
    f.OutData = out.data();
    f.EncipherData(false);
    const std::string cipher = Text(out).substr(0, mode == CFBMode ? text.size() : 10000);
    EXPECT_EQ(cipher.substr(0, 4096), RunBytes(mode, text.substr(0, 4096), true)) << mode;
    f.InText = cipher;
    std::vector<std::uint8_t> back(text.size() + 8, 0);
    f.OutData = back.data();
    f.DecipherData(false);
    EXPECT_EQ(Text(back).substr(0, text.size()), text) << mode;
  }
}

TEST(CipherFrame, FilesChunkByChunk) {
  const std::string folder = testing::MakeTempFolder();
  struct {
    TCipherMode Mode;
    std::size_t Length;
    std::size_t CipherLength;
  } cases[] = {{CBCMode, 4096, 4096}, {CBCMode, 0, 0}, {CBCMode, 5003, 5008}, {ECBMode, 8193, 8200},
               {CFBMode, 5003, 5003}, {CFBMode, 4096 * 2, 4096 * 2}};
  for (const auto& c : cases) {
    std::string data(c.Length, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 5 + 3);
    testing::WriteWholeFile(folder + "plain", data);
    TBlowfishFrame f;
    f.Key = kKey;
    f.IVText = kIV;
    f.CipherMode = c.Mode;
    f.SourceType = SourceFile;
    f.InFileName = folder + "plain";
    f.OutFileName = folder + "cipher";
    f.EncipherData(false);
    const std::string cipher = testing::ReadWholeFile(folder + "cipher");
    ASSERT_EQ(cipher.size(), c.CipherLength) << c.Mode << "/" << c.Length;
    if (c.Length > 0 && c.Length <= 4096) {
      EXPECT_EQ(cipher, RunBytes(c.Mode, data, true)) << c.Mode;
    }
    f.InFileName = folder + "cipher";
    f.OutFileName = folder + "back";
    f.DecipherData(false);
    std::string expected = data;
    expected.resize(c.CipherLength, '\0');  // ECB and CBC keep their padding zeros
    EXPECT_EQ(testing::ReadWholeFile(folder + "back"), expected) << c.Mode << "/" << c.Length;
  }
  TBlowfishFrame f;
  f.Key = kKey;
  f.SourceType = SourceFile;
  f.InFileName = folder + "none";
  f.OutFileName = folder + "out";
  EXPECT_THROW(f.EncipherData(false), rtl::EInOutError);
}

TEST(CipherFrame, VectorsAreGeneratedOnceAndShortOnesAreCompleted) {
  TBlowfishFrame f;
  f.BlockSize = 16;
  f.GenIVector();
  ASSERT_EQ(f.IVText.size(), 16u);
  for (char c : f.IVText) EXPECT_TRUE(c >= '!' && c <= '}') << c;
  f.BlockSize = 8;
  f.IVText.clear();
  f.Key = kKey;
  f.CipherMode = CBCMode;
  f.SourceType = SourceByteArray;
  std::uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8}, out[8];
  f.InData = data;
  f.DataLength = 8;
  f.OutData = out;
  f.EncipherData(false);
  const std::string generated = f.IVText;
  EXPECT_EQ(generated.size(), 8u);
  f.EncipherData(false);
  EXPECT_EQ(f.IVText, generated);

  auto withVector = [&](const std::string& iv) {
    TBlowfishFrame g;
    g.Key = kKey;
    g.IVText = iv;
    g.CipherMode = CBCMode;
    g.SourceType = SourceByteArray;
    g.InData = data;
    g.DataLength = 8;
    std::uint8_t result[8];
    g.OutData = result;
    g.EncipherData(false);
    return ToHex(result);
  };
  EXPECT_EQ(withVector("ab"), withVector(std::string("ab\0\0\0\0\0\0", 8)));

  TBlowfishFrame bad;
  bad.Key = kKey;
  bad.BlockSize = 3;
  EXPECT_THROW(bad.EncipherData(false), rtl::Exception);
  bad.BlockSize = 0;
  EXPECT_THROW(bad.EncipherData(false), rtl::Exception);
}

TEST(CipherFrame, DestructionWipesTheKeyText) {
  alignas(TBlowfishFrame) unsigned char storage[sizeof(TBlowfishFrame)];
  auto* f = new (storage) TBlowfishFrame;
  f->Key = "SecretKey";  // short enough to live inside the object
  const std::string_view all(reinterpret_cast<const char*>(storage), sizeof storage);
  ASSERT_NE(all.find("SecretKey"), std::string_view::npos);
  f->~TBlowfishFrame();
  EXPECT_EQ(all.find("SecretKey"), std::string_view::npos);
}

}  // namespace
}  // namespace kestrova::crypto
