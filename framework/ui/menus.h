// Popup menus and their items: captions that travel with the layout, a click per item, and the
// menu window that shows them at a screen point and tracks the pointer and the keys until an item
// is chosen or the menu is dismissed.
#pragma once
#include <vector>

#include "framework/gfx/geometry.h"
#include "framework/ui/classes.h"

namespace kestrova::gfx {
class TCanvas;
class TFont;
}  // namespace kestrova::gfx

namespace kestrova::ui {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  ~TMenuItem() override;
  const char* ClassName() const override { return "TMenuItem"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  std::string Caption;  // "-" is a separator line; "&" marks the accelerator character
  bool Enabled = true;
  bool Visible = true;
  TNotifyEvent OnClick;

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
  void Add(TMenuItem& item);
  void Remove(TMenuItem& item);
  TMenuItem* Parent() const { return FParent; }
  bool IsLine() const { return Caption == "-"; }
  void Click();
  void ReadChild(TComponent& child) override;

 private:
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
};

// The menu window's rows: the visible items of a menu, laid out at the classic menu metrics.
struct TMenuRow {
  TMenuItem* Item = nullptr;
  gfx::TRect Bounds;  // in the menu window's client area
};

class TMenuLayout {
 public:
  // The classic look at 96 pixels per inch: a 2-pixel raised edge and a 1-pixel margin, items
  // 17 pixels high for the 8-point font (the text's height plus 4 when larger), 9-pixel
  // separators, a column for check marks before the text and one for the submenu arrow after it.
  static constexpr int kFrame = 3, kMinItemHeight = 17, kItemTextMargin = 4, kLineHeight = 9, kTextLeft = 17,
                       kTextRight = 17;

  TMenuLayout(const TMenuItem& items, const gfx::TFont& font);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const std::vector<TMenuRow>& Rows() const { return FRows; }
  // The row at a client point, or -1.
  int RowAt(gfx::TPoint p) const;
  // Enabled items a keyboard can move to: not separators, not disabled.
  bool Selectable(int row) const;
  // The next selectable row after (or before) the given one, wrapping; -1 when there is none.
  int Next(int row, bool forward) const;
  // The rows whose accelerator is the character (case-blind).
  std::vector<int> WithAccelerator(char c) const;
  // The whole menu with one row highlighted (or none: -1).
  void Paint(gfx::TCanvas& canvas, int highlighted) const;

 private:
  const gfx::TFont& FFont;
  std::vector<TMenuRow> FRows;
  int FWidth = 0, FHeight = 0;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  const char* ClassName() const override { return "TPopupMenu"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TMenuItem& Items() { return FItems; }
  // Fires OnPopup, then shows the menu with its top-left corner at the screen point (flipped to
  // the other side of the point, then shifted, where it would leave the screen) and tracks it
  // modally. A chosen item's Click runs after the menu window is gone. Without a window host,
  // or with no visible item, nothing is shown.
  void Popup(int x, int y);
  int PopupCount() const { return FPopupCount; }
  // Whether the menu window is up.
  bool Tracking() const { return FTracking; }
  // The control the menu was last shown for (the toolkit sets it before Popup), or null.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component);
  TNotifyEvent OnPopup;
  void ReadChild(TComponent& child) override;

 protected:
  void Notification(TComponent& component, bool removing) override;

 private:
  TMenuItem FItems{nullptr};
  int FPopupCount = 0;
  bool FTracking = false;
  TComponent* FPopupComponent = nullptr;
};

// Where a popup of the given size goes for a point on a screen of the given size.
gfx::TPoint PlacePopup(gfx::TPoint at, int width, int height, int screenWidth, int screenHeight);

}  // namespace kestrova::ui
