// The two process-wide tables of one scan: the signature rules and the recorded objects.
// Both slots are empty outside a scan; the scan driver creates and releases them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrova::detect {

// Kinds of recorded object; the same codes restrict a rule to one kind.
enum TObjectKind : std::int32_t { okDevice = 1, okSymbolicLink = 2, okMutant = 3, okEvent = 4 };

// One signature rule.
struct _svir_def {
  std::string Name;
  std::int32_t RootValue = 0;
  std::string Pattern;
  std::int32_t Compare = 1;
  bool Paladin = true;
  bool FileVirus = false;
  std::int32_t Objtype = 0;
};

// One recorded namespace object.
struct objs {
  std::string Dir;
  std::string Name;
  std::string Target;
  std::int32_t Kind = 0;
  std::int32_t Hit = 0;
  std::string Label;
};

// Both tables own their records; a null entry is an empty slot and is skipped.
using TSignatureTable = std::vector<std::unique_ptr<_svir_def>>;
using TObjectTable = std::vector<std::unique_ptr<objs>>;

extern std::unique_ptr<TSignatureTable> SignatureTable;
extern std::unique_ptr<TObjectTable> ObjectTable;

// Releases every record, last to first, then empties the list.
void FreeObjectTable(TObjectTable& table);
void FreeSignatureTable(TSignatureTable& table);

}  // namespace kestrova::detect
