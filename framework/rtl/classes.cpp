#include "framework/rtl/classes.h"

#include <stdexcept>

namespace kestrova::rtl {

namespace {

[[noreturn]] void ListIndexError(int index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

const TPropertyTable& TStringList::ClassProperties() {
  using P = Published<TStringList>;
  static const TPropertyTable table(&TPersistent::ClassProperties(), {
      P::Lines(
          "Strings",
          [](TStringList& l) {
            std::vector<std::string> lines;
            lines.reserve(l.FItems.size());
            for (const Item& item : l.FItems) lines.push_back(item.Text);
            return lines;
          },
          [](TStringList& l, const std::vector<std::string>& lines) {
            l.Clear();
            l.SetCapacity(static_cast<int>(lines.size()));
            for (const std::string& line : lines) l.Add(line);
          }),
  });
  return table;
}

std::size_t TStringList::Checked(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return static_cast<std::size_t>(index);
}

int TStringList::AddObject(std::string text, int object) {
  FItems.push_back(Item{std::move(text), object});
  return Count() - 1;
}

void TStringList::InsertObject(int index, std::string text, int object) {
  if (index < 0 || index > Count()) ListIndexError(index);
  FItems.insert(FItems.begin() + index, Item{std::move(text), object});
}

void TStringList::Delete(int index) {
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
}

int TStringList::IndexOf(std::string_view text) const {
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Text == text) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kestrova::rtl
