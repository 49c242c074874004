// The runtime's string list: ordered lines, duplicates kept, one integer slot beside each line.
#pragma once
#include <string>
#include <vector>

namespace kestrova::rtl {

class TStringList {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const { return FItems.at(Checked(index)).Text; }
  void SetStrings(int index, std::string text) { FItems.at(Checked(index)).Text = std::move(text); }
  int Objects(int index) const { return FItems.at(Checked(index)).Object; }
  void SetObjects(int index, int value) { FItems.at(Checked(index)).Object = value; }

  int Add(std::string text) { return AddObject(std::move(text), 0); }
  int AddObject(std::string text, int object);
  void Delete(int index);
  void Clear() { FItems.clear(); }
  void Assign(const TStringList& source) { FItems = source.FItems; }

  // Batches of edits; the list keeps the depth so that owners can defer their own updates.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  int UpdateCount() const { return FUpdateCount; }

 private:
  struct Item {
    std::string Text;
    int Object = 0;
  };
  static std::size_t Checked(int index);

  std::vector<Item> FItems;
  int FUpdateCount = 0;
};

}  // namespace kestrova::rtl
