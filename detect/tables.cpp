#include "detect/tables.h"

namespace kestrova::detect {

std::unique_ptr<TSignatureTable> SignatureTable;
std::unique_ptr<TObjectTable> ObjectTable;

namespace {
template <typename Table>
void ReleaseBackToFront(Table& table) {
  for (auto it = table.rbegin(); it != table.rend(); ++it) it->reset();
  table.clear();
}
}  // namespace

void FreeObjectTable(TObjectTable& table) { ReleaseBackToFront(table); }
void FreeSignatureTable(TSignatureTable& table) { ReleaseBackToFront(table); }

}  // namespace kestrova::detect
