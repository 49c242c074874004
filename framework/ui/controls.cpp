#include "framework/ui/controls.h"

#include <algorithm>

#include "framework/ui/forms.h"
#include "framework/ui/menus.h"

namespace kestrova::ui {

using gfx::TColor;
using gfx::TRect;

namespace {
const std::vector<std::string> kAlignNames = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const std::vector<std::string> kBiDiNames = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"};
}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner) {
  FFont.OnChange = [this] {
    if (!FSettingFont) FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (TCustomForm* form = ParentForm()) form->ControlDestroying(*this);
  if (FParent) FParent->RemoveControl(*this);
}

const TPropertyTable& TControl::ClassProperties() {
  using P = Published<TControl>;
  static const TPropertyTable table(&TComponent::ClassProperties(), {
      P::Integer("Left", [](TControl& c) { return c.Left(); }, [](TControl& c, std::int64_t v) { c.SetLeft(static_cast<int>(v)); }),
      P::Integer("Top", [](TControl& c) { return c.Top(); }, [](TControl& c, std::int64_t v) { c.SetTop(static_cast<int>(v)); }),
      P::Integer("Width", [](TControl& c) { return c.Width(); }, [](TControl& c, std::int64_t v) { c.SetWidth(static_cast<int>(v)); }),
      P::Integer("Height", [](TControl& c) { return c.Height(); }, [](TControl& c, std::int64_t v) { c.SetHeight(static_cast<int>(v)); }),
      P::Enumeration<TAlign>("Align", kAlignNames, [](TControl& c) { return c.Align(); }, [](TControl& c, TAlign v) { c.SetAlign(v); }, TAlign::alNone),
      P::Enumeration<TBiDiMode>("BiDiMode", kBiDiNames, [](TControl& c) { return c.BiDiMode(); },
                                [](TControl& c, TBiDiMode v) { c.SetBiDiMode(v); }, TBiDiMode::bdLeftToRight),
      P::Text("Caption", [](TControl& c) { return c.Caption(); }, [](TControl& c, const std::string& v) { c.SetCaption(v); }),
      P::Color("Color", [](TControl& c) { return c.Color(); }, [](TControl& c, TColor v) { c.SetColor(v); }, gfx::clWindow),
      P::Integer("Cursor", [](TControl& c) { return c.Cursor(); }, [](TControl& c, std::int64_t v) { c.SetCursor(static_cast<int>(v)); }, crDefault),
      P::Boolean("Enabled", [](TControl& c) { return c.Enabled(); }, [](TControl& c, bool v) { c.SetEnabled(v); }, true),
      P::Object<gfx::TFont>("Font", [](TControl& c) { return &c.Font(); }),
      P::Text("Hint", [](TControl& c) { return c.Hint(); }, [](TControl& c, const std::string& v) { c.SetHint(v); }),
      P::Boolean("ParentBiDiMode", [](TControl& c) { return c.ParentBiDiMode(); }, [](TControl& c, bool v) { c.SetParentBiDiMode(v); }, true),
      P::Boolean("ParentColor", [](TControl& c) { return c.ParentColor(); }, [](TControl& c, bool v) { c.SetParentColor(v); }, true),
      P::Boolean("ParentFont", [](TControl& c) { return c.ParentFont(); }, [](TControl& c, bool v) { c.SetParentFont(v); }, true),
      P::Boolean("ParentShowHint", [](TControl& c) { return c.ParentShowHint(); }, [](TControl& c, bool v) { c.SetParentShowHint(v); }, true),
      P::Reference<TPopupMenu>("PopupMenu", [](TControl& c) { return c.PopupMenu(); }, [](TControl& c, TPopupMenu* v) { c.SetPopupMenu(v); }),
      P::Boolean("ShowHint", [](TControl& c) { return c.ShowHint(); }, [](TControl& c, bool v) { c.SetShowHint(v); }, false),
      P::Boolean("Visible", [](TControl& c) { return c.Visible(); }, [](TControl& c, bool v) { c.SetVisible(v); }, true),
      P::Event("OnClick", [](TControl& c, TNotifyEvent e) { c.OnClick = std::move(e); }),
      P::Event("OnDblClick", [](TControl& c, TNotifyEvent e) { c.OnDblClick = std::move(e); }),
      P::Event("OnResize", [](TControl& c, TNotifyEvent e) { c.OnResize = std::move(e); }),
      P::Event("OnMouseEnter", [](TControl& c, TNotifyEvent e) { c.OnMouseEnter = std::move(e); }),
      P::Event("OnMouseLeave", [](TControl& c, TNotifyEvent e) { c.OnMouseLeave = std::move(e); }),
      P::TypedEvent<TMouseEvent>("OnMouseDown", [](TControl& c, TMouseEvent e) { c.OnMouseDown = std::move(e); }),
      P::TypedEvent<TMouseEvent>("OnMouseUp", [](TControl& c, TMouseEvent e) { c.OnMouseUp = std::move(e); }),
      P::TypedEvent<TMouseMoveEvent>("OnMouseMove", [](TControl& c, TMouseMoveEvent e) { c.OnMouseMove = std::move(e); }),
  });
  return table;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  Invalidate();
  const bool resized = width != FWidth || height != FHeight;
  FLeft = left;
  FTop = top;
  FWidth = std::max(0, width);
  FHeight = std::max(0, height);
  if (FParent && FAlign != TAlign::alNone) FParent->Realign();
  Invalidate();
  if (resized) Resize();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  Invalidate();
  FVisible = visible;
  if (FParent && FAlign != TAlign::alNone) FParent->Realign();
  Invalidate();
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (!visible)
    if (TCustomForm* form = ParentForm()) form->ControlHidden(*this);
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
  if (!enabled)
    if (TCustomForm* form = ParentForm()) form->ControlHidden(*this);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent) {
    if (!c->FVisible || !c->FEnabled) return false;
    if (dynamic_cast<const TCustomForm*>(c)) break;
  }
  return true;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw std::invalid_argument("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(*this);
  if (parent) parent->InsertControl(*this);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor color) {
  if (color == FColor && !FParentColor) return;
  FColor = color;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint) return;
  FParentShowHint = value;
  if (value && FParent) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode mode) {
  FParentBiDiMode = false;
  if (mode == FBiDiMode) return;
  FBiDiMode = mode;
  Invalidate();
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == FParentBiDiMode) return;
  FParentBiDiMode = value;
  if (value && FParent) Perform(CM_PARENTBIDIMODECHANGED);
}

unsigned TControl::DrawTextBiDiModeFlags(unsigned flags) const {
  // Right-to-left alignment mirrors left and right (centred text stays centred).
  if (UseRightToLeftAlignment() && !(flags & gfx::DT_CENTER)) flags ^= gfx::DT_RIGHT;
  if (UseRightToLeftReading()) flags |= gfx::DT_RTLREADING;
  return flags;
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Perform(CM_TEXTCHANGED);
  Invalidate();
}

void TControl::SetControlStateFlag(std::uint16_t flag, bool on) {
  if (on) FControlState |= flag;
  else FControlState &= static_cast<std::uint16_t>(~flag);
}

std::intptr_t TControl::Perform(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::MouseMessage(TMessage& m, TMouseButton button, bool down, bool dbl) {
  const int x = LParamX(m.LParam), y = LParamY(m.LParam);
  const auto shift = static_cast<TShiftState>(m.WParam);
  if (down) {
    if (button == TMouseButton::mbLeft) {
      if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (FControlStyle & csClickEvents) FControlState |= csClicked;
    }
    if (dbl) DblClick();
    MouseDown(button, dbl ? static_cast<TShiftState>(shift | ssDouble) : shift, x, y);
    return;
  }
  if (button == TMouseButton::mbLeft) {
    if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
    if (FControlState & csClicked) {
      FControlState &= static_cast<std::uint16_t>(~csClicked);
      if (ClientRect().Contains({x, y})) Click();
    }
  }
  MouseUp(button, shift, x, y);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: MouseMessage(m, TMouseButton::mbLeft, true, false); break;
    case WM_LBUTTONDBLCLK: MouseMessage(m, TMouseButton::mbLeft, true, true); break;
    case WM_LBUTTONUP: MouseMessage(m, TMouseButton::mbLeft, false, false); break;
    case WM_RBUTTONDOWN: MouseMessage(m, TMouseButton::mbRight, true, false); break;
    case WM_RBUTTONUP: {
      MouseMessage(m, TMouseButton::mbRight, false, false);
      // The release asks for the context menu at the pointer, as Windows does after it.
      const gfx::TPoint p = ClientToScreen({LParamX(m.LParam), LParamY(m.LParam)});
      Perform(WM_CONTEXTMENU, 0, PointToLParam(p.X, p.Y));
      break;
    }
    case WM_CONTEXTMENU:
      // This control's menu, or else its parent's: the request goes up until someone has one.
      if (FPopupMenu) {
        const gfx::TPoint p = m.LParam == kContextMenuFromKeyboard ? ClientToScreen({0, 0})
                                                                  : gfx::TPoint{LParamX(m.LParam), LParamY(m.LParam)};
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(p.X, p.Y);
        m.Result = 1;
      } else if (FParent) {
        m.Result = FParent->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
      }
      break;
    case WM_MOUSEMOVE: MouseMove(static_cast<TShiftState>(m.WParam), LParamX(m.LParam), LParamY(m.LParam)); break;
    case CM_MOUSEENTER: MouseEnter(); break;
    case CM_MOUSELEAVE: MouseLeave(); break;
    case CM_ENABLEDCHANGED: Invalidate(); break;
    case CM_PARENTFONTCHANGED:
      if (FParentFont && FParent) {
        FSettingFont = true;
        FFont.Assign(FParent->Font());
        FSettingFont = false;
      }
      break;
    case CM_PARENTCOLORCHANGED:
      if (FParentColor && FParent) {
        FColor = FParent->Color();
        Invalidate();
      }
      break;
    case CM_PARENTSHOWHINTCHANGED:
      if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
      break;
    case CM_PARENTBIDIMODECHANGED:
      if (FParentBiDiMode && FParent) FBiDiMode = FParent->BiDiMode();
      break;
    case CM_HITTEST: m.Result = 1; break;
    default: break;
  }
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::FontChanged() { Invalidate(); }

void TControl::Invalidate() {
  if (!FVisible) return;
  if (TCustomForm* form = ParentForm()) form->InvalidateRect();
}

void TControl::Repaint() {
  if (TCustomForm* form = ParentForm()) form->PaintNow();
}

bool TControl::MouseCapture() const {
  const TCustomForm* form = ParentForm();
  return form && form->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool capture) {
  TCustomForm* form = ParentForm();
  if (!form) return;
  if (capture) form->SetCaptureControl(this);
  else if (form->CaptureControl() == this) form->SetCaptureControl(nullptr);
}

gfx::TPoint TControl::FormOrigin() const {
  gfx::TPoint p;
  for (const TControl* c = this; c->FParent; c = c->FParent) {
    p.X += c->FLeft;
    p.Y += c->FTop;
  }
  return p;
}

gfx::TPoint TControl::ClientToScreen(gfx::TPoint p) const {
  const gfx::TPoint o = FormOrigin();
  gfx::TPoint screen{p.X + o.X, p.Y + o.Y};
  if (const TCustomForm* form = ParentForm()) {
    const gfx::TPoint f = form->ClientOrigin();
    screen.X += f.X;
    screen.Y += f.Y;
  }
  return screen;
}

gfx::TPoint TControl::ScreenToClient(gfx::TPoint p) const {
  const gfx::TPoint zero = ClientToScreen({0, 0});
  return {p.X - zero.X, p.Y - zero.Y};
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Notification(TComponent& component, bool removing) {
  if (removing && &component == FPopupMenu) FPopupMenu = nullptr;
}

// ---------------------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Leave the parent while this is still a windowed control, so it leaves the right list.
  if (TCustomForm* form = ParentForm()) form->ControlDestroying(*this);
  if (Parent()) Parent()->RemoveControl(*this);
  // Children owned elsewhere outlive their parent here: they lose it.
  for (TControl* c : std::vector<TControl*>(FGraphic)) c->FParent = nullptr;
  for (TWinControl* c : std::vector<TWinControl*>(FWindowed)) c->FParent = nullptr;
}

const TPropertyTable& TWinControl::ClassProperties() {
  using P = Published<TWinControl>;
  static const TPropertyTable table(&TControl::ClassProperties(), {
      P::Integer("TabOrder", [](TWinControl& c) { return c.TabOrder(); }, [](TWinControl& c, std::int64_t v) { c.SetTabOrder(static_cast<int>(v)); }),
      P::Boolean("TabStop", [](TWinControl& c) { return c.TabStop(); }, [](TWinControl& c, bool v) { c.SetTabStop(v); }, false),
      P::Event("OnEnter", [](TWinControl& c, TNotifyEvent e) { c.OnEnter = std::move(e); }),
      P::Event("OnExit", [](TWinControl& c, TNotifyEvent e) { c.OnExit = std::move(e); }),
      P::TypedEvent<TKeyEvent>("OnKeyDown", [](TWinControl& c, TKeyEvent e) { c.OnKeyDown = std::move(e); }),
      P::TypedEvent<TKeyEvent>("OnKeyUp", [](TWinControl& c, TKeyEvent e) { c.OnKeyUp = std::move(e); }),
      P::TypedEvent<TKeyPressEvent>("OnKeyPress", [](TWinControl& c, TKeyPressEvent e) { c.OnKeyPress = std::move(e); }),
  });
  return table;
}

TControl* TWinControl::Controls(int index) const {
  const auto i = static_cast<std::size_t>(index);
  if (i < FGraphic.size()) return FGraphic[i];
  return FWindowed.at(i - FGraphic.size());
}

void TWinControl::InsertControl(TControl& control) {
  control.FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(&control)) {
    FWindowed.push_back(w);
    FTabList.push_back(w);
    if (FHandleAllocated) w->HandleNeeded();
  } else {
    FGraphic.push_back(&control);
  }
  control.Perform(CM_PARENTFONTCHANGED);
  control.Perform(CM_PARENTCOLORCHANGED);
  control.Perform(CM_PARENTSHOWHINTCHANGED);
  control.Perform(CM_PARENTBIDIMODECHANGED);
  if (control.Align() != TAlign::alNone) Realign();
  control.Invalidate();
}

void TWinControl::RemoveControl(TControl& control) {
  control.Invalidate();
  if (auto* w = dynamic_cast<TWinControl*>(&control)) {
    FWindowed.erase(std::remove(FWindowed.begin(), FWindowed.end(), w), FWindowed.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    FGraphic.erase(std::remove(FGraphic.begin(), FGraphic.end(), &control), FGraphic.end());
  }
  control.FParent = nullptr;
  if (control.Align() != TAlign::alNone) Realign();
}

TControl* TWinControl::ControlAtPos(gfx::TPoint p, bool allowDisabled) const {
  auto hit = [&](TControl* c) { return c->Visible() && (c->Enabled() || allowDisabled) && c->BoundsRect().Contains(p); };
  for (auto it = FWindowed.rbegin(); it != FWindowed.rend(); ++it)
    if (hit(*it)) return *it;
  for (auto it = FGraphic.rbegin(); it != FGraphic.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

int TWinControl::TabOrder() const {
  const TWinControl* parent = Parent();
  if (!parent) return 0;
  auto it = std::find(parent->FTabList.begin(), parent->FTabList.end(), this);
  return it == parent->FTabList.end() ? -1 : static_cast<int>(it - parent->FTabList.begin());
}

void TWinControl::SetTabOrder(int order) {
  TWinControl* parent = Parent();
  if (!parent) return;
  auto& list = parent->FTabList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

bool TWinControl::CanFocus() const {
  const TCustomForm* form = ParentForm();
  return form && Showing();
}

bool TWinControl::Focused() const {
  const TCustomForm* form = ParentForm();
  return form && form->FocusedControl() == this;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = ParentForm()) form->FocusControl(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

void TWinControl::Broadcast(TMessage& message) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WndProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::HandleNeeded() {
  if (FHandleAllocated) return;
  FHandleAllocated = true;
  CreateWnd();
  for (TWinControl* w : std::vector<TWinControl*>(FWindowed)) w->HandleNeeded();
}

void TWinControl::ReadChild(TComponent& child) {
  if (auto* control = dynamic_cast<TControl*>(&child)) control->SetParent(this);
}

void TWinControl::PaintWindow(gfx::TCanvas&) { Paint(); }

void TWinControl::KeyDown(unsigned& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED: Broadcast(m); return;
    case WM_ERASEBKGND:
      if (gfx::TCanvas* given = CanvasOf(m)) {
        auto canvas = PaintCanvasFor(*given);
        canvas->Brush.SetColor(Color());
        canvas->FillRect(ClientRect());
      }
      m.Result = 1;
      return;
    case WM_PAINT:
      if (gfx::TCanvas* given = CanvasOf(m)) PaintWindow(*given);
      return;
    case WM_KEYDOWN: {
      unsigned key = static_cast<unsigned>(m.WParam);
      const auto shift = static_cast<TShiftState>(m.LParam);
      KeyDown(key, shift);
      if (key == 0) {
        m.Result = 1;
        return;
      }
      // The keyboard's context menu: the menu key, or Shift+F10.
      const TShiftState mods = shift & (ssShift | ssAlt | ssCtrl);
      if ((key == VK_APPS && mods == 0) || (key == VK_F10 && mods == ssShift))
        m.Result = Perform(WM_CONTEXTMENU, 0, kContextMenuFromKeyboard);
      return;
    }
    case WM_KEYUP: {
      unsigned key = static_cast<unsigned>(m.WParam);
      if (OnKeyUp) OnKeyUp(this, key, static_cast<TShiftState>(m.LParam));
      return;
    }
    case WM_CHAR: {
      char key = static_cast<char>(m.WParam);
      KeyPress(key);
      return;
    }
    default: break;
  }
  TControl::Dispatch(m);
  // What changed here changes for the children that follow their parent.
  unsigned notify = 0;
  switch (m.Msg) {
    case CM_COLORCHANGED: notify = CM_PARENTCOLORCHANGED; break;
    case CM_PARENTCOLORCHANGED: notify = CM_PARENTCOLORCHANGED; break;
    case CM_SHOWHINTCHANGED:
    case CM_PARENTSHOWHINTCHANGED: notify = CM_PARENTSHOWHINTCHANGED; break;
    case CM_PARENTBIDIMODECHANGED: notify = CM_PARENTBIDIMODECHANGED; break;
    case CM_ENABLEDCHANGED: Invalidate(); break;
    default: break;
  }
  if (notify)
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(notify);
}


void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != Width() || height != Height();
  TControl::SetBounds(left, top, width, height);
  if (resized) Realign();
}

void TWinControl::Realign() {
  TRect free = ClientRect();
  auto place = [&](TAlign which) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() != which || !c->Visible()) continue;
      TRect r;
      switch (which) {
        case TAlign::alTop: r = {free.Left, free.Top, free.Right, free.Top + c->Height()}; free.Top = r.Bottom; break;
        case TAlign::alBottom: r = {free.Left, free.Bottom - c->Height(), free.Right, free.Bottom}; free.Bottom = r.Top; break;
        case TAlign::alLeft: r = {free.Left, free.Top, free.Left + c->Width(), free.Bottom}; free.Left = r.Right; break;
        case TAlign::alRight: r = {free.Right - c->Width(), free.Top, free.Right, free.Bottom}; free.Right = r.Left; break;
        case TAlign::alClient: r = free; break;
        case TAlign::alNone: break;
      }
      c->FLeft = r.Left;
      c->FTop = r.Top;
      const bool resized = c->FWidth != r.Width() || c->FHeight != r.Height();
      c->FWidth = std::max(0, r.Width());
      c->FHeight = std::max(0, r.Height());
      if (resized) {
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->Realign();
        c->Resize();
      }
    }
  };
  for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) place(a);
  Invalidate();
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<gfx::TCanvas> PaintCanvasFor(gfx::TCanvas& given) {
  auto canvas = std::make_unique<gfx::TCanvas>(given.Target());
  canvas->AdoptDeviceState(given);
  return canvas;
}

gfx::TCanvas& TGraphicControl::Canvas() {
  if (!FCanvas) {
    // Outside a paint the canvas only measures.
    static gfx::TBitmap scratch(1, 1);
    FCanvas = std::make_unique<gfx::TCanvas>(scratch);
  }
  return *FCanvas;
}

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    if (gfx::TCanvas* given = CanvasOf(m)) {
      FCanvas = PaintCanvasFor(*given);
      FPaintCanvas = FCanvas.get();
      Paint();
      FPaintCanvas = nullptr;
      FCanvas.reset();
    }
    return;
  }
  TControl::Dispatch(m);
}

gfx::TCanvas& TCustomControl::Canvas() {
  if (!FCanvas) {
    static gfx::TBitmap scratch(1, 1);
    FCanvas = std::make_unique<gfx::TCanvas>(scratch);
  }
  return *FCanvas;
}

void TCustomControl::PaintWindow(gfx::TCanvas& canvas) {
  FCanvas = PaintCanvasFor(canvas);
  FPaintCanvas = FCanvas.get();
  Paint();
  FPaintCanvas = nullptr;
  FCanvas.reset();
}

void Frame3D(gfx::TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas.Pen.SetWidth(1);
  canvas.Pen.SetStyle(gfx::TPenStyle::psSolid);
  --rect.Bottom;
  --rect.Right;
  while (width-- > 0) {
    canvas.Pen.SetColor(topColor);
    canvas.Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    canvas.Pen.SetColor(bottomColor);
    canvas.Polyline({{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
    rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  }
  ++rect.Bottom;
  ++rect.Right;
}

char AcceleratorOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;
  }
  return 0;
}

bool IsAccel(unsigned key, const std::string& caption) {
  auto upper = [](unsigned c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  const char a = AcceleratorOf(caption);
  return a != 0 && upper(static_cast<unsigned char>(a)) == upper(key);
}

void DrawControlText(gfx::TCanvas& canvas, std::string_view text, TRect& rect, unsigned flags, bool enabled, TColor color) {
  if (!enabled) {
    TRect shifted = rect.Offset(1, 1);
    canvas.SetTextColor(gfx::clBtnHighlight);
    canvas.DrawText(text, shifted, flags);
    color = gfx::clBtnShadow;
  }
  canvas.SetTextColor(color);
  canvas.DrawText(text, rect, flags);
}

void PaintControlSelf(TWinControl& control, gfx::TCanvas& canvas) {
  control.Perform(WM_ERASEBKGND, CanvasParam(canvas));
  control.Perform(WM_PAINT, CanvasParam(canvas));
}

void PaintControl(TControl& control, gfx::TCanvas& canvas, gfx::TPoint at) {
  canvas.SaveDC();
  canvas.OffsetViewportOrg(at.X, at.Y);
  canvas.IntersectClipRect(control.ClientRect());
  if (auto* w = dynamic_cast<TWinControl*>(&control)) PaintControlTree(*w, canvas);
  else control.Perform(WM_PAINT, CanvasParam(canvas));
  canvas.RestoreDC(-1);
}

void PaintControlTree(TWinControl& control, gfx::TCanvas& canvas) {
  PaintControlSelf(control, canvas);
  for (int i = 0; i < control.ControlCount(); ++i) {
    TControl* child = control.Controls(i);
    if (!child->Visible() || gfx::IntersectRect(child->BoundsRect(), canvas.ClipRect()).IsEmpty()) continue;
    PaintControl(*child, canvas, {child->Left(), child->Top()});
  }
}

}  // namespace kestrova::ui
