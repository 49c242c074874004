// Popup menus and their items: captions that travel with the layout, and a click per item.
#pragma once
#include <vector>

#include "framework/ui/classes.h"

namespace kestrova::ui {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  ~TMenuItem() override;
  const char* ClassName() const override { return "TMenuItem"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
  TNotifyEvent OnClick;

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
  void Add(TMenuItem& item);
  void Remove(TMenuItem& item);
  TMenuItem* Parent() const { return FParent; }
  void Click();
  void ReadChild(TComponent& child) override;

 private:
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  const char* ClassName() const override { return "TPopupMenu"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TMenuItem& Items() { return FItems; }
  // Asks for the menu at a screen point: fires OnPopup and counts the requests (no menu window
  // is drawn yet; this program never shows its one menu).
  void Popup(int x, int y);
  int PopupCount() const { return FPopupCount; }
  TNotifyEvent OnPopup;
  void ReadChild(TComponent& child) override;

 private:
  TMenuItem FItems{nullptr};
  int FPopupCount = 0;
};

}  // namespace kestrova::ui
