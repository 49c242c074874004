#include "framework/ui/forms.h"

#include <algorithm>
#include <stdexcept>

#include "framework/ui/menus.h"
#include "platform/messagebox.h"

namespace kestrova::ui {

using gfx::TPoint;

namespace {
const std::vector<std::string> kBorderStyleNames = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
const std::vector<std::string> kBorderIconNames = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
const std::vector<std::string> kPositionNames = {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                                 "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};

bool IsWithin(const TControl* control, const TControl& ancestor) {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == &ancestor) return true;
  return false;
}
}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  SetColor(gfx::clBtnFace);
  SetBounds(0, 0, 320, 240);
  Screen().AddForm(*this);
}

TCustomForm::~TCustomForm() {
  Screen().RemoveForm(*this);
  if (Screen().ActiveForm() == this) Screen().SetActiveForm(nullptr);
  // The controls go first, while the form still routes their last messages.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  FWindow.reset();
}

const TPropertyTable& TCustomForm::ClassProperties() {
  using P = Published<TCustomForm>;
  static const TPropertyTable table(&TWinControl::ClassProperties(), {
      P::Reference<TWinControl>("ActiveControl", [](TCustomForm& f) { return f.ActiveControl(); },
                                [](TCustomForm& f, TWinControl* c) { f.SetActiveControl(c); }),
      P::Set("BorderIcons", kBorderIconNames, [](TCustomForm& f) -> std::int64_t { return f.BorderIcons; },
             [](TCustomForm& f, std::int64_t v) { f.BorderIcons = static_cast<TBorderIcons>(v); }, biSystemMenu | biMinimize | biMaximize),
      P::Enumeration<TFormBorderStyle>("BorderStyle", kBorderStyleNames, [](TCustomForm& f) { return f.BorderStyle; },
                                       [](TCustomForm& f, TFormBorderStyle v) { f.BorderStyle = v; }, TFormBorderStyle::bsSizeable),
      P::Integer("ClientHeight", [](TCustomForm& f) { return f.ClientHeight(); }, [](TCustomForm& f, std::int64_t v) { f.SetClientHeight(static_cast<int>(v)); }),
      P::Integer("ClientWidth", [](TCustomForm& f) { return f.ClientWidth(); }, [](TCustomForm& f, std::int64_t v) { f.SetClientWidth(static_cast<int>(v)); }),
      P::Color("Color", [](TCustomForm& f) { return f.Color(); }, [](TCustomForm& f, gfx::TColor v) { f.SetColor(v); }, gfx::clBtnFace),
      // Stored by the layout designer; the toolkit draws at 96 pixels per inch.
      P::Boolean("OldCreateOrder", [](TCustomForm&) { return false; }, [](TCustomForm&, bool) {}, false),
      P::Integer("PixelsPerInch", [](TCustomForm&) -> std::int64_t { return gfx::kPixelsPerInch; }, [](TCustomForm&, std::int64_t) {}),
      P::Integer("TextHeight", [](TCustomForm&) -> std::int64_t { return 13; }, [](TCustomForm&, std::int64_t) {}),
      P::Enumeration<TPosition>("Position", kPositionNames, [](TCustomForm& f) { return f.Position; },
                                [](TCustomForm& f, TPosition v) { f.Position = v; }, TPosition::poDesigned),
      P::Event("OnCreate", [](TCustomForm& f, TNotifyEvent e) { f.OnCreate = std::move(e); }),
      P::Event("OnShow", [](TCustomForm& f, TNotifyEvent e) { f.OnShow = std::move(e); }),
      P::Event("OnClose", [](TCustomForm& f, TNotifyEvent e) { f.OnClose = std::move(e); }),
  });
  return table;
}

void TCustomForm::SetCaption(const std::string& caption) {
  TWinControl::SetCaption(caption);
  if (FWindow) FWindow->SetCaption(caption);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  Realign();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  FActiveControl = control;
  if (FShowing && control) FocusControl(control);
}

bool TCustomForm::FocusControl(TWinControl* control) {
  if (control == FFocused) return true;
  if (control && (control->ParentForm() != this || !control->CanFocus())) return false;
  TWinControl* old = FFocused;
  FFocused = control;
  if (control) FActiveControl = control;
  if (old) {
    old->Perform(WM_KILLFOCUS);
    if (old->OnExit) old->OnExit(old);
  }
  if (control) {
    control->Perform(WM_SETFOCUS);
    if (control->OnEnter) control->OnEnter(control);
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<std::intptr_t>(control));
  return FFocused == control;
}

void TCustomForm::SelectNext(bool forward) {
  std::vector<TWinControl*> all;
  GetTabOrderList(all);
  std::vector<TWinControl*> stops;
  for (TWinControl* c : all)
    if (c->TabStop() && c->CanFocus()) stops.push_back(c);
  if (stops.empty()) return;
  auto at = std::find(stops.begin(), stops.end(), FFocused);
  std::size_t next;
  if (at == stops.end()) next = forward ? 0 : stops.size() - 1;
  else {
    const std::size_t i = static_cast<std::size_t>(at - stops.begin());
    next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
  }
  FocusControl(stops[next]);
}

void TCustomForm::SetCaptureControl(TControl* control) {
  if (control == FCapture) return;
  TControl* old = FCapture;
  FCapture = control;
  if (old) old->Perform(WM_CAPTURECHANGED);
  if (FWindow) FWindow->SetCapture(control != nullptr);
}

TControl* TCustomForm::FindControlAt(TPoint p, bool allowDisabled) const {
  const TWinControl* w = this;
  TControl* found = const_cast<TCustomForm*>(this);
  for (;;) {
    TControl* child = w->ControlAtPos(p, allowDisabled);
    if (!child) return found;
    found = child;
    p = {p.X - child->Left(), p.Y - child->Top()};
    auto* inner = dynamic_cast<TWinControl*>(child);
    if (!inner) return found;
    w = inner;
  }
}

void TCustomForm::UpdateMouseControl(TControl* control) {
  if (control == FMouseControl) return;
  TControl* old = FMouseControl;
  FMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
  Application().HintMouseEnter(control);
  if (FWindow)
    FWindow->SetCursor(control && control->Cursor() == crHandPoint ? platform::MouseCursor::Hand : platform::MouseCursor::Arrow);
}

void TCustomForm::HostMouse(unsigned msg, int x, int y, unsigned shift) {
  if (msg == WM_MOUSEMOVE) UpdateMouseControl(FindControlAt({x, y}, false));
  else Application().CancelHint();
  TControl* target = FCapture ? FCapture : FindControlAt({x, y}, false);
  if (!target) return;
  const TPoint o = target->FormOrigin();
  target->Perform(msg, shift, PointToLParam(x - o.X, y - o.Y));
}

void TCustomForm::HostKey(unsigned msg, unsigned key, unsigned shift) {
  TWinControl* control = FFocused ? FFocused : this;
  Application().CancelHint();
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (control->Perform(CN_KEYDOWN, key, shift) != 0) return;
      const bool altF4 = msg == WM_SYSKEYDOWN && key == VK_F4 && (shift & (ssAlt | ssCtrl | ssShift)) == ssAlt;
      const bool dialogKey = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || (key >= VK_LEFT && key <= VK_DOWN) || altF4;
      if (dialogKey) {
        if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
          SelectNext(!(shift & ssShift));
          return;
        }
        if (Perform(CM_DIALOGKEY, key, shift) != 0) return;
        if (altF4) {
          Close();
          return;
        }
      }
      control->Perform(WM_KEYDOWN, key, shift);
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: control->Perform(WM_KEYUP, key, shift); return;
    case WM_CHAR:
    case WM_SYSCHAR:
      // Accelerators: offered to the whole form unless the focused control takes characters.
      if ((msg == WM_SYSCHAR || !control->WantsChars()) && Perform(CM_DIALOGCHAR, key, shift) != 0) return;
      if (msg == WM_CHAR) control->Perform(WM_CHAR, key, shift);
      return;
    default: return;
  }
}

void TCustomForm::HostActivate(bool active) {
  FActive = active;
  if (active) Screen().SetActiveForm(this);
  if (FFocused) FFocused->Perform(active ? WM_SETFOCUS : WM_KILLFOCUS);
}

void TCustomForm::HostCaptureLost() {
  TControl* old = FCapture;
  FCapture = nullptr;
  if (old) old->Perform(WM_CAPTURECHANGED);
}

void TCustomForm::ControlDestroying(TControl& control) {
  if (FFocused == &control) FFocused = nullptr;
  if (FActiveControl == &control) FActiveControl = nullptr;
  if (FCapture == &control) SetCaptureControl(nullptr);
  if (FMouseControl == &control) FMouseControl = nullptr;
  Application().Notification(control, true);
}

void TCustomForm::ControlHidden(TControl& control) {
  if (FFocused && IsWithin(FFocused, control)) FocusControl(nullptr);
  if (FCapture && IsWithin(FCapture, control)) SetCaptureControl(nullptr);
  if (FMouseControl && IsWithin(FMouseControl, control)) UpdateMouseControl(nullptr);
}

void TCustomForm::Notification(TComponent& component, bool removing) {
  TWinControl::Notification(component, removing);
  if (auto* control = dynamic_cast<TControl*>(&component); removing && control) ControlDestroying(*control);
}

void TCustomForm::Dispatch(TMessage& m) {
  if (m.Msg == WM_CLOSE) {
    Close();
    return;
  }
  TWinControl::Dispatch(m);
}

void TCustomForm::EnsureWindow() {
  if (FWindow) return;
  platform::WindowOptions o;
  o.Caption = Caption();
  o.ClientWidth = Width();
  o.ClientHeight = Height();
  o.Sizeable = BorderStyle == TFormBorderStyle::bsSizeable || BorderStyle == TFormBorderStyle::bsSizeToolWin;
  o.SystemMenu = (BorderIcons & biSystemMenu) != 0;
  o.MinimizeBox = (BorderIcons & biMinimize) != 0 && BorderStyle != TFormBorderStyle::bsDialog;
  o.MaximizeBox = (BorderIcons & biMaximize) != 0 && o.Sizeable;
  o.CenterOnScreen = Position == TPosition::poScreenCenter || Position == TPosition::poDesktopCenter;
  o.Left = Left();
  o.Top = Top();
  FWindow = Application().Host().CreateHostWindow(o, *this);
  if (!FWindowEnabled) FWindow->SetEnabled(false);
}

void TCustomForm::Show() {
  HandleNeeded();
  EnsureWindow();
  if (FShowing) return;
  FShowing = true;
  if (OnShow) OnShow(this);
  PaintNow();
  FWindow->Show(true);
  HostActivate(true);
  TWinControl* first = FActiveControl;
  if (!first || !first->CanFocus()) {
    first = nullptr;
    std::vector<TWinControl*> all;
    GetTabOrderList(all);
    for (TWinControl* c : all)
      if (c->TabStop() && c->CanFocus()) {
        first = c;
        break;
      }
  }
  if (first && !FFocused) FocusControl(first);
}

void TCustomForm::Hide() {
  if (!FShowing) return;
  FShowing = false;
  if (FWindow) FWindow->Show(false);
  if (Screen().ActiveForm() == this) Screen().SetActiveForm(nullptr);
}

void TCustomForm::SetWindowEnabled(bool enabled) {
  if (enabled == FWindowEnabled) return;
  FWindowEnabled = enabled;
  if (FWindow) FWindow->SetEnabled(enabled);
}

namespace {
// The other forms that take input while a modal form runs; they get it back however the modal
// loop ends (a result, the form going, an exception), before the modal form hides so that the
// desktop can hand the activation back to them.
class TModalGuard {
 public:
  explicit TModalGuard(const TCustomForm& modal) {
    for (int i = 0; i < Screen().FormCount(); ++i) {
      TCustomForm* form = Screen().Forms(i);
      if (form != &modal && form->WindowEnabled()) FDisabled.push_back(form);
    }
    for (TCustomForm* form : FDisabled) form->SetWindowEnabled(false);
  }
  ~TModalGuard() {
    for (TCustomForm* form : FDisabled)
      if (Screen().IndexOf(*form) >= 0) form->SetWindowEnabled(true);
  }
  TModalGuard(const TModalGuard&) = delete;
  TModalGuard& operator=(const TModalGuard&) = delete;

 private:
  std::vector<TCustomForm*> FDisabled;
};
}  // namespace

TModalResult TCustomForm::ShowModal() {
  FModalResult = mrNone;
  struct TEnd {
    TCustomForm& Form;
    ~TEnd() {
      Form.FModal = false;
      Form.Hide();
    }
  } end{*this};
  {
    TModalGuard others(*this);
    FModal = true;
    Show();
    for (;;) {
      Application().HandleMessage();
      if (Application().Terminated() || !FShowing) {  // the loop cannot go on
        if (FModalResult == mrNone) FModalResult = mrCancel;
        break;
      }
      if (FModalResult == mrNone) continue;
      // A result closes the form only when it agrees; otherwise it stays, with no result.
      if (CloseQuery()) {
        if (OnClose) OnClose(this);
        break;
      }
      FModalResult = mrNone;
    }
  }
  return FModalResult;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  // A modal form closes from its loop, which asks OnCloseQuery and fires OnClose.
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  if (OnClose) OnClose(this);
  Hide();
  if (Application().MainForm() == this) Application().Terminate();
}

void TCustomForm::InvalidateRect() {
  if (FWindow) FWindow->Invalidate();
}

void TCustomForm::Render() {
  if (FBitmap.Width() != Width() || FBitmap.Height() != Height()) FBitmap.SetSize(Width(), Height());
  gfx::TCanvas& canvas = FBitmap.Canvas();
  const int level = canvas.SaveDC();
  canvas.SetViewportOrg(0, 0);
  canvas.SelectClipRect(nullptr);
  PaintControlTree(*this, canvas);
  canvas.RestoreDC(level);
}

void TCustomForm::PaintNow() {
  Render();
  if (FWindow && !FBitmap.Empty())
    FWindow->Present(reinterpret_cast<const std::uint32_t*>(FBitmap.ScanLine(0)), FBitmap.Width(), FBitmap.Height(), FBitmap.Stride() / 4);
}

TPoint TCustomForm::ClientOrigin() const {
  if (!FWindow) return {Left(), Top()};
  TPoint p;
  FWindow->ClientOrigin(p.X, p.Y);
  return p;
}

// --- TApplication -----------------------------------------------------------------------------

TApplication::~TApplication() { FMainForm = nullptr; }

void TApplication::Initialize() {
  FInitialized = true;
  if (Title.empty()) Title = "kestrova";
}

platform::WindowHost& TApplication::Host() const {
  if (!FHost) throw std::logic_error("No window host");
  return *FHost;
}

void TApplication::Run() {
  if (!FMainForm) return;
  FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::ProcessMessages() {
  if (!FHost) return;
  FHost->ProcessMessages();
  DoHints();
}

void TApplication::HandleMessage() {
  Host().WaitMessage(FHintControl ? 50 : 500);
  ProcessMessages();
}

void TApplication::ShowException(const std::exception& e) {
  std::string message = e.what();
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  const std::string caption = Title.empty() ? "kestrova" : Title;
  // The host's box (the system's own, or the one a test host records); without a host the
  // system's. The system's box itself falls back to standard error where it cannot show.
  if (FHost) FHost->MessageBox(message, caption, platform::MessageBoxKind::Error);
  else platform::ShowMessageBox(message, caption, platform::MessageBoxKind::Error);
}

void TApplication::HintMouseEnter(TControl* control) {
  CancelHint();
  if (!ShowHint || !control || control->Hint().empty() || !control->ShowHint() || !FHost) return;
  FHintControl = control;
  FHintStart = FHost->TickCount();
}

void TApplication::CancelHint() {
  if (FHintVisible && FHintControl)
    if (TCustomForm* form = FHintControl->ParentForm(); form && form->HostWindow()) form->HostWindow()->HideHint();
  FHintVisible = false;
  FHintControl = nullptr;
  FHintShown.clear();
}

void TApplication::DoHints() {
  if (!FHintControl || !FHost) return;
  const std::uint64_t elapsed = FHost->TickCount() - FHintStart;
  TCustomForm* form = FHintControl->ParentForm();
  if (!form || !form->HostWindow()) return;
  if (!FHintVisible && elapsed >= static_cast<std::uint64_t>(HintPause)) {
    // The hint window: info colours, a one-pixel frame, the text with a small margin.
    gfx::TBitmap pad(1, 1);
    pad.Canvas().Font.Assign(FHintControl->Font());
    pad.Canvas().Font.SetColor(gfx::clInfoText);
    pad.Canvas().Font.SetStyle(0);
    const std::string& text = FHintControl->Hint();
    const gfx::TSize size = pad.Canvas().TextExtent(text);
    pad.SetSize(size.cx + 8, size.cy + 4);
    gfx::TCanvas& c = pad.Canvas();
    c.Brush.SetColor(gfx::clInfoBk);
    c.Pen.SetColor(gfx::clBlack);
    c.Rectangle(0, 0, pad.Width(), pad.Height());
    c.SetBkMode(gfx::TRANSPARENT);
    c.TextOut(4, 2, text);
    const TPoint at = FHintControl->ClientToScreen({0, FHintControl->Height() + 2});
    form->HostWindow()->ShowHint(at.X, at.Y, reinterpret_cast<const std::uint32_t*>(pad.ScanLine(0)), pad.Width(), pad.Height());
    FHintVisible = true;
    FHintShown = text;
  } else if (FHintVisible && elapsed >= static_cast<std::uint64_t>(HintPause + HintHidePause)) {
    form->HostWindow()->HideHint();
    FHintVisible = false;
    FHintShown.clear();
  }
}

bool TApplication::OpenAddress(const std::string& address) { return FHost && FHost->OpenAddress(address); }

void TApplication::Notification(TComponent& component, bool removing) {
  if (!removing) return;
  if (&component == FMainForm) FMainForm = nullptr;
  if (&component == FHintControl) {
    FHintControl = nullptr;
    FHintVisible = false;
  }
}

TApplication& Application() {
  static TApplication app;
  return app;
}

void TScreen::AddForm(TCustomForm& form) { FForms.push_back(&form); }

void TScreen::RemoveForm(TCustomForm& form) { FForms.erase(std::remove(FForms.begin(), FForms.end(), &form), FForms.end()); }

int TScreen::IndexOf(const TCustomForm& form) const {
  auto it = std::find(FForms.begin(), FForms.end(), &form);
  return it == FForms.end() ? -1 : static_cast<int>(it - FForms.begin());
}

TScreen& Screen() {
  // Never destroyed: forms freed at exit still ask it.
  static TScreen* screen = new TScreen;
  return *screen;
}

}  // namespace kestrova::ui
