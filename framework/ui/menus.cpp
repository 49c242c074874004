#include "framework/ui/menus.h"

#include <algorithm>

namespace kestrova::ui {

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(*this);
  for (TMenuItem* item : FItems) item->FParent = nullptr;
}

const TPropertyTable& TMenuItem::ClassProperties() {
  using P = Published<TMenuItem>;
  static const TPropertyTable table(&TComponent::ClassProperties(), {
      P::Text("Caption", [](TMenuItem& m) { return m.Caption; }, [](TMenuItem& m, const std::string& v) { m.Caption = v; }),
      P::Boolean("Enabled", [](TMenuItem& m) { return m.Enabled; }, [](TMenuItem& m, bool v) { m.Enabled = v; }, true),
      P::Boolean("Visible", [](TMenuItem& m) { return m.Visible; }, [](TMenuItem& m, bool v) { m.Visible = v; }, true),
      P::Event("OnClick", [](TMenuItem& m, TNotifyEvent e) { m.OnClick = std::move(e); }),
  });
  return table;
}

void TMenuItem::Add(TMenuItem& item) {
  if (item.FParent) item.FParent->Remove(item);
  item.FParent = this;
  FItems.push_back(&item);
}

void TMenuItem::Remove(TMenuItem& item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), &item), FItems.end());
  item.FParent = nullptr;
}

void TMenuItem::Click() {
  if (Enabled && OnClick) OnClick(this);
}

void TMenuItem::ReadChild(TComponent& child) {
  if (auto* item = dynamic_cast<TMenuItem*>(&child)) Add(*item);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

const TPropertyTable& TPopupMenu::ClassProperties() {
  using P = Published<TPopupMenu>;
  static const TPropertyTable table(&TComponent::ClassProperties(), {
      P::Event("OnPopup", [](TPopupMenu& m, TNotifyEvent e) { m.OnPopup = std::move(e); }),
  });
  return table;
}

void TPopupMenu::Popup(int, int) {
  ++FPopupCount;
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::ReadChild(TComponent& child) {
  if (auto* item = dynamic_cast<TMenuItem*>(&child)) FItems.Add(*item);
}

}  // namespace kestrova::ui
