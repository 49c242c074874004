#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crypto/imgutils.h"
#include "framework/rtl/streams.h"
#include "store/mhquickini.h"
#include "tools/resourcecipher.h"

namespace kestrova::crypto {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 31 + 7);
  return v;
}

// How many leading bytes of a and b agree.
std::size_t Agreeing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

TEST(BFBinary, TheBlockCountDecidesWhichBytesChange) {
  struct {
    int Length;
    std::size_t Changed;  // bytes from offset 0 that take part: 8 × ((length + 1) div 8)
  } cases[] = {{-9, 0}, {-1, 0}, {0, 0}, {1, 0}, {6, 0}, {7, 8}, {8, 8}, {9, 8}, {14, 8}, {15, 16},
               {1820, 1816}, {999, 1000}};
  for (const auto& c : cases) {
    const std::size_t room = (c.Length > 0 ? static_cast<std::size_t>(c.Length) : 0) + 16;
    for (auto* fn : {BFEncryptBinary, BFDecryptBinary}) {
      const auto plain = Pattern(room);
      auto work = plain;
      fn(work.data(), c.Length);
      // Every block taken differs somewhere; every byte after the last block stays.
      for (std::size_t k = 0; k < c.Changed; k += 8)
        EXPECT_NE(std::memcmp(&work[k], &plain[k], 8), 0) << c.Length << " block at " << k;
      EXPECT_EQ(std::memcmp(&work[c.Changed], &plain[c.Changed], room - c.Changed), 0) << c.Length;
    }
  }
}

TEST(BFBinary, EachCallIsItsOwnChainAndDecipheringUndoesIt) {
  for (int length : {7, 8, 15, 16, 999, 1820, 4096}) {
    const auto plain = Pattern(static_cast<std::size_t>(length) + 1);
    auto once = plain, twice = plain;
    BFEncryptBinary(once.data(), length);
    BFEncryptBinary(twice.data(), length);
    EXPECT_EQ(once, twice) << length;
    BFDecryptBinary(once.data(), length);
    EXPECT_EQ(once, plain) << length;
  }
  // CBC: a change in one block changes every later cipher block, never an earlier one.
  auto a = Pattern(32), b = Pattern(32);
  b[9] ^= 1;
  BFEncryptBinary(a.data(), 32);
  BFEncryptBinary(b.data(), 32);
  EXPECT_EQ(std::memcmp(a.data(), b.data(), 8), 0);
  EXPECT_NE(std::memcmp(a.data() + 8, b.data() + 8, 8), 0);
  EXPECT_NE(std::memcmp(a.data() + 24, b.data() + 24, 8), 0);
}

TEST(BFBinary, ARemainderOfSevenNeedsTheCipherByteBeyondTheLength) {
  const int length = 23;  // three blocks, the last ending one byte after the data
  auto stored = Pattern(24);
  const auto plain = stored;
  BFEncryptBinary(stored.data(), length);
  const std::uint8_t cipherByte = stored[23];

  auto right = stored;  // the spare byte holds what enciphering put there
  BFDecryptBinary(right.data(), length);
  EXPECT_EQ(right, plain);

  auto wrong = stored;
  wrong[23] = static_cast<std::uint8_t>(cipherByte ^ 0x5A);  // anything else
  BFDecryptBinary(wrong.data(), length);
  EXPECT_EQ(Agreeing(wrong, plain), 16u);
  EXPECT_NE(std::memcmp(&wrong[16], &plain[16], 7), 0);
}

TEST(BFString, LengthsAndRoundTrips) {
  struct {
    std::size_t Text;
    std::size_t Cipher;
  } sizes[] = {{0, 8}, {3, 16}, {4, 16}, {10, 16}, {11, 24}, {12, 24}, {19, 32}};
  for (const auto& s : sizes) EXPECT_EQ(BFEncryptString(std::string(s.Text, 'x')).size(), s.Cipher) << s.Text;

  // The empty text is eight zero bytes before enciphering.
  std::string empty = BFEncryptString("");
  BFDecryptBinary(empty.data(), 8);
  EXPECT_EQ(empty, std::string(8, '\0'));

  for (const std::string& text : {std::string(), std::string("a"), std::string("a\0b\0", 4), std::string(4000, '\xff'),
                                  std::string("[Main]\r\nKey=Value\r\n")}) {
    EXPECT_EQ(BFDecryptString(BFEncryptString(text)), text) << text.size();
    EXPECT_EQ(BFEncryptString(text), BFEncryptString(text));
  }
}

// The cipher text whose deciphered form begins with this length field and these bytes.
std::string Forged(std::int32_t n, const std::string& bytes) {
  std::string plain(4, '\0');
  for (int i = 0; i < 4; ++i) plain[i] = static_cast<char>(static_cast<std::uint32_t>(n) >> (8 * i));
  plain += bytes;
  plain.resize((plain.size() + 7) / 8 * 8, '\0');
  BFEncryptBinary(plain.data(), static_cast<int>(plain.size()));
  return plain;
}

TEST(BFString, DamagedInputGivesTheEmptyTextAndNeverReadsOutside) {
  EXPECT_EQ(BFDecryptString(Forged(4, "abcd")), "abcd");
  EXPECT_EQ(BFDecryptString(Forged(3, "abcd")), "abc");
  EXPECT_EQ(BFDecryptString(Forged(12, "abcdefghijkl")), "abcdefghijkl");
  struct {
    const char* What;
    std::string Cipher;
  } damaged[] = {
      {"negative length", Forged(-1, "abcd")},
      {"most negative length", Forged(INT32_MIN, "abcd")},
      {"length past the data", Forged(5, "abcd")},
      {"length into the padding block", Forged(8, "abcd")},
      {"huge length", Forged(0x7FFFFFFF, "abcd")},
      {"empty input", std::string()},
      {"shorter than the length field", std::string("\x01\x02\x03", 3)},
      {"truncated", BFEncryptString("a longer text that spans blocks").substr(0, 13)},
  };
  for (const auto& d : damaged) EXPECT_EQ(BFDecryptString(d.Cipher), "") << d.What;
}

TEST(ResourceForm, TheReaderGetsTheTextBackWholeAtEveryLength) {
  for (std::size_t n = 0; n <= 40; ++n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += static_cast<char>('a' + i % 26);
    const std::string stored = tools::EncipherResource(text);
    EXPECT_EQ(stored.size() % 8, 0u) << n;
    EXPECT_LT(stored.size() - n, 8u) << n;
    const std::string back = tools::DecipherResource(stored);
    EXPECT_EQ(back.substr(0, n), text) << n;
    EXPECT_EQ(back.substr(n), std::string(back.size() - n, '\0')) << n;
  }
}

TEST(ResourceForm, DecipheredRulesLoadIntoTheStore) {
  // 31 bytes: a remainder of 7, the case that loses the last block without the padding.
  const std::string text = "[Rules]\r\nCount=2\r\nName=TDL4wxyz";
  ASSERT_EQ(text.size() % 8, 7u);
  const std::string stored = tools::EncipherResource(text);
  rtl::TMemoryStream stream;
  stream.WriteBuffer(stored.data(), static_cast<std::int64_t>(stored.size()));
  BFDecryptBinary(stream.Memory(), static_cast<int>(stream.Size()));
  stream.SetPosition(0);
  store::TmhQuickIni ini(stream);
  EXPECT_EQ(ini.ReadInteger("Rules", "Count", 0), 2);
  EXPECT_EQ(ini.ReadString("Rules", "Name", ""), "TDL4wxyz");
}

}  // namespace
}  // namespace kestrova::crypto
