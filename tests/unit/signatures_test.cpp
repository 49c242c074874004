// Loading the rule table from an enciphered rule resource.
#include <gtest/gtest.h>

#include "detect/signatures.h"
#include "detect/tables.h"
#include "tests/support/fakeresources.h"

namespace kestrova::detect {
namespace {

// "Name RootValue Pattern Compare Paladin FileVirus Objtype" per loaded rule.
std::vector<std::string> Loaded(testing::FakeResources& resources) {
  SignatureTable = std::make_unique<TSignatureTable>();
  LoadSignatureTable(resources);
  std::vector<std::string> out;
  for (const auto& r : *SignatureTable)
    out.push_back(r->Name + " " + std::to_string(r->RootValue) + " " + r->Pattern + " " + std::to_string(r->Compare) +
                  " " + std::to_string(r->Paladin) + " " + std::to_string(r->FileVirus) + " " +
                  std::to_string(r->Objtype));
  SignatureTable.reset();
  return out;
}

TEST(Signatures, LoadsTheRulesOfTheRootSectionInOrder) {
  struct {
    const char* What;
    const char* Text;
    std::vector<std::string> Rules;
  } cases[] = {
      {"only values above 0", "[Root]\nP=1\nQ=0\nR=-3\nT=x\n[P]\nS=\\P\n[Q]\nS=\\Q\n[R]\nS=\\R\n[T]\nS=\\T\n",
       {"P 1 \\P 1 1 0 0"}},
      {"every field read", "[Root]\nA=7\n[A]\nS=ABC\nCompare=2\nPaladin=0\nFileVirus=1\nObjtype=3\n",
       {"A 7 ABC 2 0 1 3"}},
      {"table order is the order of the lines", "[Root]\nZ=2\nP=1\n[P]\nS=p\n[Z]\nS=z\n",
       {"Z 2 z 1 1 0 0", "P 1 p 1 1 0 0"}},
      {"a name listed twice loads twice", "[Root]\nD=1\nD=1\n[D]\nS=d\n", {"D 1 d 1 1 0 0", "D 1 d 1 1 0 0"}},
      {"a compare that never matches still loads", "[Root]\nC=1\n[C]\nS=c\nCompare=3\n", {"C 1 c 3 1 0 0"}},
      {"no pattern, no rule", "[Root]\nN=1\nE=1\nM=1\n[N]\nCompare=2\n[E]\nS=\n[M]\nS=m\n", {"M 1 m 1 1 0 0"}},
      {"no root section", "[P]\nS=p\n", {}},
      {"empty text", "", {}},
  };
  for (const auto& c : cases) {
    testing::FakeResources resources;
    resources.Enciphered(kRulesResource, c.Text);
    EXPECT_EQ(Loaded(resources), c.Rules) << c.What;
  }
}

TEST(Signatures, AMissingOrDamagedResourceLoadsNothing) {
  testing::FakeResources missing;
  EXPECT_TRUE(Loaded(missing).empty());
  testing::FakeResources plain;  // not enciphered: deciphers to noise
  plain.Plain(kRulesResource, "[Root]\r\nP=1\r\n[P]\r\nS=p\r\n");
  EXPECT_TRUE(Loaded(plain).empty());
  testing::FakeResources empty;
  empty.Plain(kRulesResource, "");
  EXPECT_TRUE(Loaded(empty).empty());
}

}  // namespace
}  // namespace kestrova::detect
