#include "framework/rtl/classes.h"

#include <stdexcept>

namespace kestrova::rtl {

std::size_t TStringList::Checked(int index) {
  if (index < 0) throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return static_cast<std::size_t>(index);
}

int TStringList::AddObject(std::string text, int object) {
  FItems.push_back(Item{std::move(text), object});
  return Count() - 1;
}

void TStringList::Delete(int index) {
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
}

}  // namespace kestrova::rtl
