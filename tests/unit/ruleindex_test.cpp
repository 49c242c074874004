// The rule index must answer exactly what trying every rule answers, on random rule sets and
// random object texts built from an alphabet that invites near misses.
#include <gtest/gtest.h>

#include <random>

#include "detect/ruleindex.h"
#include "platform/ansitext.h"

namespace kestrova::detect {
namespace {

std::string RandomText(std::mt19937& rng, const std::string& alphabet, int maxLen) {
  std::uniform_int_distribution<int> len(1, maxLen), pick(0, static_cast<int>(alphabet.size()) - 1);
  std::string s;
  for (int i = len(rng); i > 0; --i) s += alphabet[static_cast<std::size_t>(pick(rng))];
  return s;
}

TEST(RuleIndex, AgreesWithTryingEveryRule) {
  // Few letters so that patterns overlap, nest and repeat; "\xC6" and "AE", "\xDF" and "SS"
  // are equal under some locales' rules, so the whole-text comparison must be the system's.
  const std::string alphabet = "ABab\\E\xC6\xE6S\xDF-";
  std::mt19937 rng(20261210);
  for (int round = 0; round < 40; ++round) {
    TSignatureTable rules;
    const int count = 1 + static_cast<int>(rng() % 60);
    for (int i = 0; i < count; ++i) {
      auto r = std::make_unique<_svir_def>();
      r->Name = "R" + std::to_string(i);
      r->Pattern = RandomText(rng, alphabet, 4);
      r->Compare = static_cast<std::int32_t>(rng() % 4);  // 0 and 3 never match
      r->Objtype = static_cast<std::int32_t>(rng() % 7) - 1;
      if (rng() % 10 == 0) rules.push_back(nullptr);
      rules.push_back(std::move(r));
    }
    if (round % 2 == 1) {
      // A pattern with every byte value: too wide for the resolved transition table, so these
      // rounds check the automaton's other way of stepping.
      auto wide = std::make_unique<_svir_def>();
      wide->Name = "every byte";
      for (int b = 0; b < 256; ++b) wide->Pattern += static_cast<char>(b);
      wide->Compare = 2;
      rules.push_back(std::move(wide));
    }
    TRuleIndex index(rules);
    for (int o = 0; o < 200; ++o) {
      const std::string subject = platform::AnsiUpperCase(RandomText(rng, alphabet, 8));
      const std::int32_t kind = 1 + static_cast<std::int32_t>(rng() % 4);
      ASSERT_EQ(index.LastMatch(subject, kind), LastMatchingRulePlain(rules, subject, kind))
          << "subject " << subject << " kind " << kind << " round " << round;
    }
  }
}

TEST(RuleIndex, EqualTextKeysMeanEqualTexts) {
  const std::string alphabet = "aAeE\xC6\xE6sS\xDF-'\xAD";
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    const std::string a = RandomText(rng, alphabet, 3), b = RandomText(rng, alphabet, 3);
    ASSERT_EQ(platform::AnsiSameText(a, b), platform::AnsiSameTextKey(a) == platform::AnsiSameTextKey(b))
        << a << " / " << b;
  }
}

}  // namespace
}  // namespace kestrova::detect
