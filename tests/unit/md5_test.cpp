#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/imgutils.h"
#include "crypto/mountool.h"
#include "framework/rtl/errors.h"
#include "tests/support/childprocess.h"
#include "tests/unit/testhex.h"

namespace kestrova::crypto {
namespace {

using testing::ToHex;

TEST(MD5, Rfc1321Suite) {
  const char* const suite[][2] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& s : suite) {
    const std::string text = s[0];
    EXPECT_EQ(ToHex(MD5EncryptString(text)), s[1]) << text;
    EXPECT_EQ(ToHex(MD5EncryptBinary(text.data(), static_cast<int>(text.size()))), s[1]) << text;
  }
  EXPECT_EQ(ToHex(MD5EncryptString(std::string("a\0b", 3))), "70350f6027bce3713f6b76473084309b");
}

TEST(MD5, EveryPaddingBoundaryAndLongSourcesAlikeFromBytesTextAndFile) {
  // Digests of the bytes (i × 7 + 3) mod 256, i = 0 .. n-1.
  const struct {
    std::size_t Length;
    const char* Digest;
  } cases[] = {
      {55, "52c0e574e1198de5fe3f8f11440dcb1b"},   {56, "46c9907fc908ee68b1e7b8e71286a518"},
      {57, "1c805dd236c35cab25fcb1bc73802c51"},   {63, "a62f6d59e837867693f042f5b8f5a236"},
      {64, "7160b8fb5e9e4023d549c3971fbaeead"},   {65, "70bd662e7aefbda85a0f7244167b7897"},
      {4095, "53de317667ca40d9642e2d859bfbfd16"}, {4096, "d105289f5617c241f52a191c6b2fc809"},
      {4097, "c7cfb8a6d3d4929f9035e0918250b62d"}, {4151, "c51c3bbd473b00604e149c4f9cf5990d"},
      {4152, "461b3fc7f99bb6109dd381b9bc3b77f6"}, {8192, "e7d9befc38280c62a9fa40eae7633c90"},
      {10000, "941546d1c333e2f0d9efd902e5cb94b7"}, {1048576, "d8a469bb35fb5fad7156842ba2242434"},
  };
  const std::string folder = testing::MakeTempFolder();
  for (const auto& c : cases) {
    std::string data(c.Length, '\0');
    for (std::size_t i = 0; i < c.Length; ++i) data[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    EXPECT_EQ(ToHex(MD5EncryptBinary(data.data(), static_cast<int>(data.size()))), c.Digest) << c.Length;
    EXPECT_EQ(ToHex(MD5EncryptString(data)), c.Digest) << c.Length;
    const std::string file = folder + std::to_string(c.Length) + ".bin";
    testing::WriteWholeFile(file, data);
    EXPECT_EQ(ToHex(MD5EncryptFile(file)), c.Digest) << c.Length;
  }
  testing::WriteWholeFile(folder + "empty", "");
  EXPECT_EQ(ToHex(MD5EncryptFile(folder + "empty")), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(MD5, AMissingFileRaisesAndLeavesTheTargetAlone) {
  const std::string folder = testing::MakeTempFolder();
  EXPECT_THROW(MD5EncryptFile(folder + "none"), rtl::EInOutError);
  TMounDigest digest;
  digest.fill(0xEE);
  TMoun moun;
  moun.SourceType = SourceFile;
  moun.SourceFileName = folder + "none";
  moun.DigestTarget = &digest;
  EXPECT_THROW(moun.Moun_Hash(), rtl::EInOutError);
  EXPECT_EQ(ToHex(digest), std::string(32, 'e'));
}

TEST(MD5, TheObjectPadsBytesAndToleratesRepeatedStartAndFinish) {
  const std::string text = "message digest";
  TMounDigest digest{};
  TMoun moun;
  moun.SourceType = SourceByteArray;
  moun.SourceBytes = reinterpret_cast<const std::uint8_t*>(text.data());
  moun.SourceLength = static_cast<std::int32_t>(text.size());
  moun.DigestTarget = &digest;
  moun.Moun_Initialize();
  moun.Moun_Hash();
  moun.Moun_Finish();
  EXPECT_EQ(ToHex(digest), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(moun.SourceLength, 64);
  for (std::uint32_t w : moun.MessageBlock) EXPECT_EQ(w, 0u);
  // A negative length digests nothing.
  moun.SourceLength = -5;
  moun.Moun_Hash();
  EXPECT_EQ(ToHex(digest), "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
}  // namespace kestrova::crypto
