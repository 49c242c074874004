// The runtime's string list: ordered lines, duplicates kept, one integer slot beside each line.
// Its lines are its one published property ("Strings").
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "framework/rtl/persistent.h"

namespace kestrova::rtl {

class TStringList : public TPersistent {
 public:
  const char* ClassName() const override { return "TStringList"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const { return FItems[Checked(index)].Text; }
  void SetStrings(int index, std::string text) { FItems[Checked(index)].Text = std::move(text); }
  int Objects(int index) const { return FItems[Checked(index)].Object; }
  void SetObjects(int index, int value) { FItems[Checked(index)].Object = value; }

  int Add(std::string text) { return AddObject(std::move(text), 0); }
  int AddObject(std::string text, int object);
  // index may be Count(): the line goes to the end.
  void Insert(int index, std::string text) { InsertObject(index, std::move(text), 0); }
  void InsertObject(int index, std::string text, int object);
  void Delete(int index);
  void Clear() { FItems.clear(); }
  void Assign(const TStringList& source) {
    if (&source != this) FItems = source.FItems;
  }
  // Position of the first line equal to text (exact, byte for byte), or -1.
  int IndexOf(std::string_view text) const;
  // Room for this many lines without growing again: a bulk load asks once.
  void SetCapacity(int capacity) {
    if (capacity > 0) FItems.reserve(static_cast<std::size_t>(capacity));
  }

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
  // A valid position of an existing line, or the runtime's list-index error.
  std::size_t Checked(int index) const;

  std::vector<Item> FItems;
  int FUpdateCount = 0;
};

// Holds a list in update mode for one scope, and leaves it on every path.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TStringList& list) : FList(list) { FList.BeginUpdate(); }
  ~TUpdateGuard() { FList.EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TStringList& FList;
};

}  // namespace kestrova::rtl
