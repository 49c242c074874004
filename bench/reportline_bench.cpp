// The cost of a report line that cannot be lost or torn (open for appending, lock, one write,
// unlock) against the plain open-seek-write that many tools use.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/reportmode.h"
#include "bench/peer_ratio.h"

namespace {

const std::string kLine = "0, WKS-07, 12/6/2026 10:39:35 AM";

std::string FreshFile(const char* name) {
  char dir[] = "/tmp/kestrova-bench-XXXXXX";
  std::string path = std::string(mkdtemp(dir)) + "/" + name;
  return path;
}

void BM_AppendReportLine(benchmark::State& state) {
  const std::string file = FreshFile("locked.csv");
  for (auto _ : state) kestrova::app::AppendReportLine(file, kLine);
  unlink(file.c_str());
}
BENCHMARK(BM_AppendReportLine);

void BM_PlainSeekAndWrite(benchmark::State& state) {
  const std::string file = FreshFile("plain.csv");
  const std::string bytes = kLine + "\r\n";
  for (auto _ : state) {
    FILE* f = std::fopen(file.c_str(), "r+b");
    if (f == nullptr) f = std::fopen(file.c_str(), "w+b");
    std::fseek(f, 0, SEEK_END);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  unlink(file.c_str());
}
BENCHMARK(BM_PlainSeekAndWrite);

}  // namespace

int main(int argc, char** argv) {
  return kestrova::bench::RunWithRatios(argc, argv, {{"BM_AppendReportLine", "BM_PlainSeekAndWrite"}});
}
