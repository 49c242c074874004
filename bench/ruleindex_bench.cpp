// Matching objects against a large rule list: the rule index against trying every rule.
// 10,000 rules, 100,000 object texts; both sides match the same batches of 1,000 objects, so
// their ratio is the ratio per object. The whole namespace through the index is timed too.
#include <random>

#include "bench/peer_ratio.h"
#include "detect/ruleindex.h"

namespace {

using kestrova::detect::TSignatureTable;

std::string RandomWord(std::mt19937& rng, int minLen, int maxLen) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-{}";
  std::uniform_int_distribution<int> len(minLen, maxLen), pick(0, sizeof letters - 2);
  std::string s;
  for (int i = len(rng); i > 0; --i) s += letters[pick(rng)];
  return s;
}

struct World {
  TSignatureTable Rules;
  std::vector<std::pair<std::string, int>> Objects;
  World() {
    std::mt19937 rng(42);
    for (int i = 0; i < 10000; ++i) {
      auto r = std::make_unique<kestrova::detect::_svir_def>();
      r->Name = "R" + std::to_string(i);
      r->Compare = i % 2 == 0 ? 1 : 2;
      r->Pattern = r->Compare == 1 ? "\\DEVICE\\" + RandomWord(rng, 6, 14) : RandomWord(rng, 6, 12);
      r->Objtype = static_cast<int>(rng() % 5);
      Rules.push_back(std::move(r));
    }
    const char* dirs[] = {"\\DEVICE", "\\BASENAMEDOBJECTS", "\\GLOBAL??", "\\SESSIONS\\1\\BASENAMEDOBJECTS"};
    for (int i = 0; i < 100000; ++i)
      Objects.emplace_back(std::string(dirs[i % 4]) + RandomWord(rng, 4, 30), 1 + static_cast<int>(rng() % 4));
    // A few real hits, so that both sides do the work of a match too.
    for (int i = 0; i < 100000; i += 997) Objects[i].first = Rules[static_cast<std::size_t>(i % 10000)]->Pattern;
  }
};

const World& TheWorld() {
  static World world;
  return world;
}

void BM_RuleIndexPer1000(benchmark::State& state) {
  const World& w = TheWorld();
  kestrova::detect::TRuleIndex index(w.Rules);
  std::size_t at = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i, at = (at + 1) % w.Objects.size())
      benchmark::DoNotOptimize(index.LastMatch(w.Objects[at].first, w.Objects[at].second));
  }
}
BENCHMARK(BM_RuleIndexPer1000);

void BM_PlainLoopPer1000(benchmark::State& state) {
  const World& w = TheWorld();
  std::size_t at = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i, at = (at + 1) % w.Objects.size())
      benchmark::DoNotOptimize(
          kestrova::detect::LastMatchingRulePlain(w.Rules, w.Objects[at].first, w.Objects[at].second));
  }
}
BENCHMARK(BM_PlainLoopPer1000)->Unit(benchmark::kMillisecond);

void BM_RuleIndexWholeNamespace(benchmark::State& state) {
  const World& w = TheWorld();
  for (auto _ : state) {
    kestrova::detect::TRuleIndex index(w.Rules);  // built once per walk, so it counts
    for (const auto& [subject, kind] : w.Objects) benchmark::DoNotOptimize(index.LastMatch(subject, kind));
  }
}
BENCHMARK(BM_RuleIndexWholeNamespace)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return kestrova::bench::RunWithRatios(argc, argv, {{"BM_PlainLoopPer1000", "BM_RuleIndexPer1000"}});
}
