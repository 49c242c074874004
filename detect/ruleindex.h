// Which signature rule an object's text matches: the last matching rule in table order decides.
// The index answers exactly what trying every rule in turn answers, at a cost per object that
// does not grow with the number of rules.
#pragma once
#include <array>
#include <map>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "detect/tables.h"

namespace kestrova::detect {

// Trying every rule in turn: the reference the index must agree with.
int LastMatchingRulePlain(const TSignatureTable& rules, const std::string& subject, std::int32_t kind);

class TRuleIndex {
 public:
  explicit TRuleIndex(const TSignatureTable& rules);
  // The table position of the last rule that matches, or -1.
  int LastMatch(const std::string& subject, std::int32_t kind) const;

 private:
  // Best (highest) table position per object kind 1..4; -1 for none.
  using PerKind = std::array<int, 4>;
  struct Node {
    std::uint32_t FirstEdge = 0, EdgeCount = 0;
    int Fail = 0;
    PerKind Best = {-1, -1, -1, -1};
  };
  struct Edge {
    unsigned char Byte;
    int Target;
  };

  static void Note(PerKind& best, int position, std::int32_t objtype);
  int Child(int node, unsigned char c) const;
  void BuildAutomaton(const std::vector<std::pair<std::string, int>>& patterns,
                      const std::vector<std::int32_t>& objtypes);
  void BuildTransitionTable(const std::vector<std::map<unsigned char, int>>& children);

  const TSignatureTable& FRules;
  // Whole-text rules by their case-insensitive key.
  std::unordered_map<std::string, PerKind> FWhole;
  // Containment rules: one multi-pattern automaton over the stored patterns.
  std::vector<Node> FNodes;
  std::vector<Edge> FEdges;
  std::array<int, 256> FRootNext{};
  // Where it fits, every transition resolved in advance, over the bytes the patterns use (class
  // 0 stands for every other byte): one table step per byte of the text, no failure links.
  std::array<std::uint8_t, 256> FByteClass{};
  int FClassCount = 0;
  std::vector<std::int32_t> FDelta;
};

}  // namespace kestrova::detect
