#include "detect/ruleindex.h"

#include <algorithm>
#include <map>
#include <queue>

#include "platform/ansitext.h"

namespace kestrova::detect {

namespace {
bool KindAllowed(std::int32_t objtype, std::int32_t kind) { return objtype <= 0 || objtype == kind; }
bool KindIndexed(std::int32_t kind) { return kind >= okDevice && kind <= okEvent; }
}  // namespace

int LastMatchingRulePlain(const TSignatureTable& rules, const std::string& subject, std::int32_t kind) {
  int last = -1;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const _svir_def* rule = rules[i].get();
    if (rule == nullptr || !KindAllowed(rule->Objtype, kind)) continue;
    bool match = false;
    if (rule->Compare == 1) match = platform::AnsiSameText(subject, rule->Pattern);
    else if (rule->Compare == 2) match = subject.find(rule->Pattern) != std::string::npos;
    if (match) last = static_cast<int>(i);
  }
  return last;
}

void TRuleIndex::Note(PerKind& best, int position, std::int32_t objtype) {
  for (std::int32_t kind = okDevice; kind <= okEvent; ++kind)
    if (KindAllowed(objtype, kind)) best[kind - 1] = std::max(best[kind - 1], position);
}

TRuleIndex::TRuleIndex(const TSignatureTable& rules) : FRules(rules) {
  std::vector<std::pair<std::string, int>> contained;
  std::vector<std::int32_t> objtypes;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const _svir_def* rule = rules[i].get();
    if (rule == nullptr) continue;
    if (rule->Compare == 1) {
      auto [it, added] = FWhole.try_emplace(platform::AnsiSameTextKey(rule->Pattern), PerKind{-1, -1, -1, -1});
      Note(it->second, static_cast<int>(i), rule->Objtype);
    } else if (rule->Compare == 2 && !rule->Pattern.empty()) {
      contained.emplace_back(rule->Pattern, static_cast<int>(i));
      objtypes.push_back(rule->Objtype);
    }
  }
  BuildAutomaton(contained, objtypes);
}

void TRuleIndex::BuildAutomaton(const std::vector<std::pair<std::string, int>>& patterns,
                                const std::vector<std::int32_t>& objtypes) {
  // The trie first, with ordered children, then flattened into one edge array.
  std::vector<std::map<unsigned char, int>> children(1);
  std::vector<PerKind> best(1, PerKind{-1, -1, -1, -1});
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    int node = 0;
    for (char ch : patterns[p].first) {
      const auto c = static_cast<unsigned char>(ch);
      auto it = children[node].find(c);
      if (it == children[node].end()) {
        children.emplace_back();
        best.push_back(PerKind{-1, -1, -1, -1});
        it = children[node].emplace(c, static_cast<int>(children.size()) - 1).first;
      }
      node = it->second;
    }
    Note(best[node], patterns[p].second, objtypes[p]);
  }
  FNodes.assign(children.size(), Node{});
  for (std::size_t n = 0; n < children.size(); ++n) {
    FNodes[n].FirstEdge = static_cast<std::uint32_t>(FEdges.size());
    FNodes[n].EdgeCount = static_cast<std::uint32_t>(children[n].size());
    FNodes[n].Best = best[n];
    for (const auto& [c, target] : children[n]) FEdges.push_back(Edge{c, target});
  }
  FRootNext.fill(0);
  for (const auto& [c, target] : children[0]) FRootNext[c] = target;

  // Failure links in breadth-first order; each node also inherits what its suffixes match.
  std::queue<int> pending;
  for (const auto& [c, target] : children[0]) pending.push(target);
  while (!pending.empty()) {
    const int node = pending.front();
    pending.pop();
    for (const auto& [c, target] : children[node]) {
      int f = FNodes[node].Fail;
      while (f != 0 && Child(f, c) < 0) f = FNodes[f].Fail;
      const int next = f == 0 ? FRootNext[c] : Child(f, c);
      FNodes[target].Fail = next == target ? 0 : next;
      for (int k = 0; k < 4; ++k)
        FNodes[target].Best[k] = std::max(FNodes[target].Best[k], FNodes[FNodes[target].Fail].Best[k]);
      pending.push(target);
    }
  }
  BuildTransitionTable(children);
}

void TRuleIndex::BuildTransitionTable(const std::vector<std::map<unsigned char, int>>& children) {
  FByteClass.fill(0);
  FClassCount = 1;
  for (const auto& edges : children)
    for (const auto& [c, target] : edges)
      if (FByteClass[c] == 0) FByteClass[c] = static_cast<std::uint8_t>(FClassCount++);
  constexpr std::size_t kTableBudget = 8u << 20;  // entries: 32 MB at most
  if (FClassCount > 255 || FNodes.size() * static_cast<std::size_t>(FClassCount) > kTableBudget) {
    FClassCount = 0;  // too big: walk the failure links instead
    return;
  }
  const std::size_t width = static_cast<std::size_t>(FClassCount);
  FDelta.assign(FNodes.size() * width, 0);
  std::queue<int> pending;
  pending.push(0);
  while (!pending.empty()) {
    const int node = pending.front();
    pending.pop();
    std::int32_t* row = &FDelta[static_cast<std::size_t>(node) * width];
    // A byte with no edge here goes where it goes from the longest suffix; rows of shallower
    // nodes are complete by the time a deeper one is filled.
    if (node != 0) {
      const std::int32_t* fallback = &FDelta[static_cast<std::size_t>(FNodes[node].Fail) * width];
      std::copy(fallback, fallback + width, row);
    }
    for (const auto& [c, target] : children[static_cast<std::size_t>(node)]) {
      row[FByteClass[c]] = target;
      pending.push(target);
    }
  }
}

int TRuleIndex::Child(int node, unsigned char c) const {
  const Node& n = FNodes[node];
  const Edge* first = FEdges.data() + n.FirstEdge;
  const Edge* last = first + n.EdgeCount;
  const Edge* it = std::lower_bound(first, last, c, [](const Edge& e, unsigned char b) { return e.Byte < b; });
  return it != last && it->Byte == c ? it->Target : -1;
}

int TRuleIndex::LastMatch(const std::string& subject, std::int32_t kind) const {
  // An object kind outside the four the walk records is rare enough to try every rule.
  if (!KindIndexed(kind)) return LastMatchingRulePlain(FRules, subject, kind);
  const int k = kind - 1;
  int last = -1;
  if (!FWhole.empty()) {
    auto it = FWhole.find(platform::AnsiSameTextKey(subject));
    if (it != FWhole.end()) last = it->second[k];
  }
  if (FNodes.size() > 1 && FClassCount > 0) {
    const std::size_t width = static_cast<std::size_t>(FClassCount);
    std::size_t node = 0;
    for (char ch : subject) {
      node = static_cast<std::size_t>(FDelta[node * width + FByteClass[static_cast<unsigned char>(ch)]]);
      last = std::max(last, FNodes[node].Best[k]);
    }
  } else if (FNodes.size() > 1) {
    int node = 0;
    for (char ch : subject) {
      const auto c = static_cast<unsigned char>(ch);
      int next;
      while ((next = node == 0 ? FRootNext[c] : Child(node, c)) < 0) node = FNodes[node].Fail;
      node = next;
      last = std::max(last, FNodes[node].Best[k]);
    }
  }
  return last;
}

}  // namespace kestrova::detect
