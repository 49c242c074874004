// Runs the registered benchmarks and, for each pair (ours, its peer), prints how many times
// slower or faster ours is, so that every figure comes with its yardstick from the same run.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::bench {

class PeerRatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit PeerRatioReporter(std::vector<std::pair<std::string, std::string>> pairs) : FPairs(std::move(pairs)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0) FTimes[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [ours, peer] : FPairs) {
      if (!FTimes.count(ours) || !FTimes.count(peer) || FTimes[peer] <= 0) continue;
      std::printf("ratio %s / %s = %.2f\n", ours.c_str(), peer.c_str(), FTimes[ours] / FTimes[peer]);
    }
  }

 private:
  std::vector<std::pair<std::string, std::string>> FPairs;
  std::map<std::string, double> FTimes;
};

inline int RunWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs) {
  benchmark::Initialize(&argc, argv);
  PeerRatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace kestrova::bench
