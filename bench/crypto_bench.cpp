// The settings store and the cryptography against their peers, in one run: MD5 and Blowfish-CBC
// over 1 MiB against OpenSSL's, loading a 10 MB INI text into TmhQuickIni against inih parsing it.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <ini.h>
#include <openssl/blowfish.h>
#include <openssl/md5.h>

#include <string>
#include <vector>

#include "bench/peer_ratio.h"
#include "crypto/imgutils.h"
#include "framework/rtl/streams.h"
#include "store/mhquickini.h"

namespace {

constexpr std::size_t kMiB = 1 << 20;

std::vector<unsigned char> Data(std::size_t n) {
  std::vector<unsigned char> v(n + 8);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<unsigned char>(i * 131 + 17);
  return v;
}

void BM_MD5_Kestrova(benchmark::State& state) {
  const auto data = Data(kMiB);
  for (auto _ : state) benchmark::DoNotOptimize(kestrova::crypto::MD5EncryptBinary(data.data(), static_cast<int>(kMiB)));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_MD5_Kestrova);

void BM_MD5_OpenSSL(benchmark::State& state) {
  const auto data = Data(kMiB);
  unsigned char digest[MD5_DIGEST_LENGTH];
  for (auto _ : state) {
    MD5(data.data(), kMiB, digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_MD5_OpenSSL);

void BM_BlowfishCBC_Kestrova(benchmark::State& state) {
  auto data = Data(kMiB);
  for (auto _ : state) {
    kestrova::crypto::BFEncryptBinary(data.data(), static_cast<int>(kMiB));
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_BlowfishCBC_Kestrova);

void BM_BlowfishCBC_OpenSSL(benchmark::State& state) {
  auto data = Data(kMiB);
  const unsigned char key[8] = {0x4B, 0x73, 0xD2, 0x19, 0x8E, 0x05, 0xA7, 0x6C};
  BF_KEY schedule;
  BF_set_key(&schedule, 8, key);
  for (auto _ : state) {
    unsigned char iv[8] = {};  // a chain from a zero register each time, as BFEncryptBinary does
    BF_cbc_encrypt(data.data(), data.data(), static_cast<long>(kMiB), &schedule, iv, BF_ENCRYPT);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_BlowfishCBC_OpenSSL);

// About 10 MB of rule-like INI text: sections of keys with values, comments and blank lines.
const std::string& IniText() {
  static const std::string text = [] {
    std::string t;
    t.reserve(10'500'000);
    for (int s = 0; t.size() < 10'000'000; ++s) {
      t += "[Rule" + std::to_string(s) + "]\r\n; signature " + std::to_string(s) + "\r\n";
      t += "Name=TDL" + std::to_string(s % 5) + " Device\r\n";
      t += "RootValue = " + std::to_string(s * 7) + "\r\n";
      t += "Pattern=\\Device\\Harddisk" + std::to_string(s % 4) + "\\DR" + std::to_string(s) + "\r\n";
      t += "Compare=1\r\nPaladin=1\r\nFileVirus=0\r\nObjtype=" + std::to_string(s % 4 + 1) + "\r\n\r\n";
    }
    return t;
  }();
  return text;
}

void BM_IniLoad10MB_Kestrova(benchmark::State& state) {
  kestrova::rtl::TMemoryStream stream;
  stream.WriteBuffer(IniText().data(), static_cast<std::int64_t>(IniText().size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    kestrova::store::TmhQuickIni ini(stream);
    benchmark::DoNotOptimize(ini.Lines().Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * IniText().size()));
}
BENCHMARK(BM_IniLoad10MB_Kestrova)->Unit(benchmark::kMillisecond);

int CountPair(void* user, const char*, const char*, const char*) {
  ++*static_cast<long*>(user);
  return 1;
}

void BM_IniLoad10MB_inih(benchmark::State& state) {
  for (auto _ : state) {
    long pairs = 0;
    ini_parse_string(IniText().c_str(), CountPair, &pairs);
    benchmark::DoNotOptimize(pairs);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * IniText().size()));
}
BENCHMARK(BM_IniLoad10MB_inih)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return kestrova::bench::RunWithRatios(argc, argv,
                                        {{"BM_MD5_Kestrova", "BM_MD5_OpenSSL"},
                                         {"BM_BlowfishCBC_Kestrova", "BM_BlowfishCBC_OpenSSL"},
                                         {"BM_IniLoad10MB_Kestrova", "BM_IniLoad10MB_inih"}});
}
