#include "framework/ui/menus.h"

#include <algorithm>
#include <memory>

#include "framework/gfx/bitmap.h"
#include "framework/gfx/canvas.h"
#include "framework/ui/forms.h"

namespace kestrova::ui {

using gfx::TPoint;
using gfx::TRect;

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

// --- the menu's look ----------------------------------------------------------------------------

namespace {
constexpr unsigned kTextFormat = gfx::DT_LEFT | gfx::DT_SINGLELINE | gfx::DT_VCENTER;
}  // namespace

TMenuLayout::TMenuLayout(const TMenuItem& items, const gfx::TFont& font) : FFont(font) {
  gfx::TBitmap scratch(1, 1);
  gfx::TCanvas measure(scratch);
  measure.Font.Assign(font);
  const int itemHeight = std::max(kMinItemHeight, measure.TextHeight("Wg") + kItemTextMargin);
  int textWidth = 0;
  int y = kFrame;
  for (int i = 0; i < items.Count(); ++i) {
    TMenuItem* item = items.Items(i);
    if (!item->Visible) continue;
    const int height = item->IsLine() ? kLineHeight : itemHeight;
    if (!item->IsLine()) {
      TRect r{0, 0, 0, 0};
      measure.DrawText(item->Caption, r, kTextFormat | gfx::DT_CALCRECT);
      textWidth = std::max(textWidth, r.Width());
    }
    FRows.push_back({item, {kFrame, y, 0, y + height}});
    y += height;
  }
  FWidth = kFrame + kTextLeft + textWidth + kTextRight + kFrame;
  FHeight = y + kFrame;
  for (TMenuRow& row : FRows) row.Bounds.Right = FWidth - kFrame;
}

int TMenuLayout::RowAt(TPoint p) const {
  for (std::size_t i = 0; i < FRows.size(); ++i)
    if (FRows[i].Bounds.Contains(p)) return static_cast<int>(i);
  return -1;
}

bool TMenuLayout::Selectable(int row) const {
  if (row < 0 || row >= static_cast<int>(FRows.size())) return false;
  const TMenuItem& item = *FRows[static_cast<std::size_t>(row)].Item;
  return item.Enabled && !item.IsLine();
}

int TMenuLayout::Next(int row, bool forward) const {
  const int n = static_cast<int>(FRows.size());
  if (n == 0) return -1;
  int at = row < 0 ? (forward ? -1 : n) : row;
  for (int step = 0; step < n; ++step) {
    at = forward ? (at + 1) % n : (at - 1 + n) % n;
    if (Selectable(at)) return at;
  }
  return -1;
}

std::vector<int> TMenuLayout::WithAccelerator(char c) const {
  std::vector<int> rows;
  for (std::size_t i = 0; i < FRows.size(); ++i) {
    if (IsAccel(static_cast<unsigned char>(c), FRows[i].Item->Caption) && !FRows[i].Item->IsLine()) rows.push_back(static_cast<int>(i));
  }
  return rows;
}

void TMenuLayout::Paint(gfx::TCanvas& canvas, int highlighted) const {
  canvas.Brush.SetColor(gfx::clMenu);
  canvas.FillRect({0, 0, FWidth, FHeight});
  // The raised edge: light and dark shadow outside, highlight and shadow inside.
  TRect edge{0, 0, FWidth, FHeight};
  Frame3D(canvas, edge, gfx::cl3DLight, gfx::cl3DDkShadow, 1);
  Frame3D(canvas, edge, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
  canvas.Font.Assign(FFont);
  for (std::size_t i = 0; i < FRows.size(); ++i) {
    const TMenuRow& row = FRows[i];
    const TMenuItem& item = *row.Item;
    const TRect& b = row.Bounds;
    if (item.IsLine()) {
      // An etched line across the middle.
      const int y = b.Top + kLineHeight / 2;
      canvas.Pen.SetColor(gfx::clBtnShadow);
      canvas.MoveTo(b.Left + 1, y);
      canvas.LineTo(b.Right - 1, y);
      canvas.Pen.SetColor(gfx::clBtnHighlight);
      canvas.MoveTo(b.Left + 1, y + 1);
      canvas.LineTo(b.Right - 1, y + 1);
      continue;
    }
    const bool hot = static_cast<int>(i) == highlighted;
    if (hot) {
      canvas.Brush.SetColor(gfx::clHighlight);
      canvas.FillRect(b);
    }
    canvas.SetBkMode(gfx::TRANSPARENT);  // a solid brush made it opaque
    TRect text{b.Left + kTextLeft, b.Top, b.Right - kTextRight, b.Bottom};
    // A disabled item is grey on the highlight bar, embossed elsewhere.
    gfx::TColor color = hot ? (item.Enabled ? gfx::clHighlightText : gfx::clGrayText) : gfx::clMenuText;
    DrawControlText(canvas, item.Caption, text, kTextFormat, item.Enabled || hot, color);
    if (!item.Enabled && !hot) color = gfx::clBtnShadow;
    if (item.Count() > 0) {
      // A submenu's arrow: a small triangle pointing right, in the text's colour.
      canvas.Pen.SetColor(color);
      const int x = b.Right - kTextRight / 2 - 2, mid = (b.Top + b.Bottom) / 2;
      for (int k = 0; k < 4; ++k) {
        canvas.MoveTo(x + k, mid - 3 + k);
        canvas.LineTo(x + k, mid + 4 - k);
      }
    }
  }
}

gfx::TPoint PlacePopup(TPoint at, int width, int height, int screenWidth, int screenHeight) {
  auto place = [](int p, int size, int screen) {
    if (p + size > screen) p -= size;  // the other side of the point
    return std::max(0, std::min(p, screen - size));
  };
  return {place(at.X, width, screenWidth), place(at.Y, height, screenHeight)};
}

// --- the menu window ------------------------------------------------------------------------------

namespace {

// One shown menu: its window, the highlighted row, and the choice once tracking ends.
class TMenuWindow final : private platform::WindowListener {
 public:
  TMenuWindow(const TMenuItem& items, const gfx::TFont& font) : FLayout(items, font) {}

  // Shows the menu at the screen point and runs the message loop until it closes; the chosen
  // item, or null.
  TMenuItem* Track(TPoint at) {
    if (FLayout.Rows().empty()) return nullptr;
    platform::WindowHost& host = Application().Host();
    int screenW = 0, screenH = 0;
    host.ScreenSize(screenW, screenH);
    const TPoint p = PlacePopup(at, FLayout.Width(), FLayout.Height(), screenW, screenH);
    platform::WindowOptions o;
    o.Popup = true;
    o.ClientWidth = FLayout.Width();
    o.ClientHeight = FLayout.Height();
    o.Left = p.X;
    o.Top = p.Y;
    FBitmap.SetSize(FLayout.Width(), FLayout.Height());
    FWindow = host.CreateHostWindow(o, *this);
    HostPaint();
    FWindow->Show(true);
    while (!FDone && !Application().Terminated()) Application().HandleMessage();
    FWindow->Show(false);
    FWindow.reset();
    return FChosen;
  }

 private:
  void HostPaint() override {
    FLayout.Paint(FBitmap.Canvas(), FHot);
    if (!FWindow) return;
    FWindow->Present(reinterpret_cast<const std::uint32_t*>(FBitmap.ScanLine(0)), FBitmap.Width(), FBitmap.Height(),
                     FBitmap.Stride() / 4);
  }

  void SetHot(int row) {
    if (row == FHot) return;
    FHot = row;
    HostPaint();
  }

  void End(TMenuItem* chosen) {
    FChosen = chosen;
    FDone = true;
  }

  // Separators are never highlighted; disabled items are, under the pointer, but cannot be chosen.
  int PointerRow(int x, int y) const {
    const int row = FLayout.RowAt({x, y});
    return row >= 0 && !FLayout.Rows()[static_cast<std::size_t>(row)].Item->IsLine() ? row : -1;
  }

  void Choose(int row) {
    if (FLayout.Selectable(row) && FLayout.Rows()[static_cast<std::size_t>(row)].Item->Count() == 0)
      End(FLayout.Rows()[static_cast<std::size_t>(row)].Item);
  }

  void HostMouse(unsigned msg, int x, int y, unsigned) override {
    if (FDone) return;
    const bool inside = TRect{0, 0, FLayout.Width(), FLayout.Height()}.Contains({x, y});
    switch (msg) {
      case WM_MOUSEMOVE: SetHot(PointerRow(x, y)); return;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        // A press anywhere else dismisses the menu, and goes no further.
        if (!inside) End(nullptr);
        else SetHot(PointerRow(x, y));
        return;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (inside) Choose(PointerRow(x, y));
        return;
      default: return;
    }
  }

  void HostKey(unsigned msg, unsigned key, unsigned) override {
    if (FDone) return;
    switch (msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        switch (key) {
          case VK_ESCAPE: End(nullptr); return;
          case VK_UP:
          case VK_DOWN: SetHot(FLayout.Next(FHot, key == VK_DOWN)); return;
          case VK_RETURN:
            if (FLayout.Selectable(FHot)) Choose(FHot);
            else End(nullptr);
            return;
          default: return;
        }
      case WM_CHAR:
      case WM_SYSCHAR: {
        // One item with the character is chosen; among several, each press moves to the next.
        std::vector<int> rows;
        for (int row : FLayout.WithAccelerator(static_cast<char>(key)))
          if (FLayout.Selectable(row)) rows.push_back(row);
        if (rows.size() == 1) {
          SetHot(rows[0]);
          Choose(rows[0]);
        } else if (!rows.empty()) {
          auto next = std::upper_bound(rows.begin(), rows.end(), FHot);
          SetHot(next == rows.end() ? rows[0] : *next);
        }
        return;
      }
      default: return;
    }
  }

  void HostActivate(bool) override {}
  void HostCloseRequest() override { End(nullptr); }
  // The pointer or the keyboard was taken from outside: the menu goes, as a menu does.
  void HostCaptureLost() override { End(nullptr); }

  TMenuLayout FLayout;
  gfx::TBitmap FBitmap;
  std::unique_ptr<platform::HostWindow> FWindow;
  int FHot = -1;
  bool FDone = false;
  TMenuItem* FChosen = nullptr;
};

// The items are drawn in the font of the form the menu belongs to.
const gfx::TFont& MenuFont(TComponent* popupComponent, TComponent* owner) {
  if (auto* control = dynamic_cast<TControl*>(popupComponent))
    if (TCustomForm* form = control->ParentForm()) return form->Font();
  for (TComponent* c = owner; c; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form->Font();
  static const gfx::TFont standard;
  return standard;
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

const TPropertyTable& TPopupMenu::ClassProperties() {
  using P = Published<TPopupMenu>;
  static const TPropertyTable table(&TComponent::ClassProperties(), {
      P::Event("OnPopup", [](TPopupMenu& m, TNotifyEvent e) { m.OnPopup = std::move(e); }),
  });
  return table;
}

void TPopupMenu::SetPopupComponent(TComponent* component) { FPopupComponent = component; }

void TPopupMenu::Popup(int x, int y) {
  ++FPopupCount;
  if (OnPopup) OnPopup(this);
  if (FTracking || !Application().HasHost()) return;
  Application().CancelHint();
  // A control that holds the pointer lets it go: from now on it is the menu's.
  if (auto* control = dynamic_cast<TControl*>(FPopupComponent))
    if (TCustomForm* form = control->ParentForm()) form->SetCaptureControl(nullptr);
  TMenuItem* chosen = nullptr;
  FTracking = true;
  try {
    TMenuWindow window(FItems, MenuFont(FPopupComponent, Owner()));
    chosen = window.Track({x, y});
  } catch (...) {
    FTracking = false;
    throw;
  }
  FTracking = false;
  if (chosen) chosen->Click();
}

void TPopupMenu::ReadChild(TComponent& child) {
  if (auto* item = dynamic_cast<TMenuItem*>(&child)) FItems.Add(*item);
}

void TPopupMenu::Notification(TComponent& component, bool removing) {
  TComponent::Notification(component, removing);
  if (removing && &component == FPopupComponent) FPopupComponent = nullptr;
}

}  // namespace kestrova::ui
