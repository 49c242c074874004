#include "framework/ui/stdctrls.h"

#include <algorithm>
#include <cstdlib>

#include "framework/ui/menus.h"

namespace kestrova::ui {

using gfx::TRect;

namespace {
const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> kBevelNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const std::vector<std::string> kShapeNames = {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"};
constexpr unsigned kAlignments[] = {gfx::DT_LEFT, gfx::DT_RIGHT, gfx::DT_CENTER};
}  // namespace

// --- TLabel -----------------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
}

const TPropertyTable& TLabel::ClassProperties() {
  using P = Published<TLabel>;
  static const TPropertyTable table(&TControl::ClassProperties(), {
      P::Enumeration<TAlignment>("Alignment", kAlignmentNames, [](TLabel& l) { return l.Alignment(); },
                                 [](TLabel& l, TAlignment v) { l.SetAlignment(v); }, TAlignment::taLeftJustify),
      P::Boolean("AutoSize", [](TLabel& l) { return l.AutoSize(); }, [](TLabel& l, bool v) { l.SetAutoSize(v); }, true),
      P::Boolean("ShowAccelChar", [](TLabel& l) { return l.ShowAccelChar(); }, [](TLabel& l, bool v) { l.SetShowAccelChar(v); }, true),
      P::Boolean("Transparent", [](TLabel& l) { return l.Transparent(); }, [](TLabel& l, bool v) { l.SetTransparent(v); }, false),
      P::Boolean("WordWrap", [](TLabel& l) { return l.WordWrap(); }, [](TLabel& l, bool v) { l.SetWordWrap(v); }, false),
  });
  return table;
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetCaption(const std::string& caption) {
  TControl::SetCaption(caption);
  AdjustBounds();
}

void TLabel::FontChanged() {
  TControl::FontChanged();
  AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::DoDrawText(gfx::TCanvas& canvas, TRect& rect, unsigned flags) {
  std::string text = Caption();
  // An empty caption still measures one line.
  if ((flags & gfx::DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) flags |= gfx::DT_NOPREFIX;
  flags = DrawTextBiDiModeFlags(flags);
  canvas.Font.Assign(Font());
  DrawControlText(canvas, text, rect, flags, Enabled(), Font().Color());
}

void TLabel::AdjustBounds() {
  if (Loading() || !FAutoSize) return;
  TRect r = ClientRect();
  DoDrawText(Canvas(), r, gfx::DT_CALCRECT | (FWordWrap ? gfx::DT_WORDBREAK : 0u));
  int x = Left();
  TAlignment a = FAlignment;
  if (UseRightToLeftAlignment() && a != TAlignment::taCenter)
    a = a == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
  if (a == TAlignment::taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TLabel::Paint() {
  gfx::TCanvas& canvas = Canvas();
  if (!FTransparent) {
    canvas.Brush.SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  canvas.Brush.SetStyle(gfx::TBrushStyle::bsClear);
  TRect r = ClientRect();
  DoDrawText(canvas, r, (FWordWrap ? gfx::DT_WORDBREAK : 0u) | kAlignments[static_cast<int>(FAlignment)]);
}

// --- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  FControlStyle |= csOpaque;
  SetBounds(0, 0, 105, 105);
}

const TPropertyTable& TImage::ClassProperties() {
  using P = Published<TImage>;
  static const TPropertyTable table(&TControl::ClassProperties(), {
      P::Boolean("AutoSize", [](TImage& i) { return i.AutoSize(); }, [](TImage& i, bool v) { i.SetAutoSize(v); }, false),
      P::Object<gfx::TBitmap>("Picture", [](TImage& i) { return &i.Picture(); }),
      P::Boolean("Transparent", [](TImage& i) { return i.Transparent(); }, [](TImage& i, bool v) { i.SetTransparent(v); }, false),
  });
  return table;
}

void TImage::PictureChanged() {
  if (FAutoSize && !FPicture.Empty() && !Loading()) SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  FAutoSize = value;
  PictureChanged();
}

void TImage::Loaded() {
  TGraphicControl::Loaded();
  PictureChanged();
}

void TImage::Paint() {
  if (FPicture.Empty()) return;
  // Transparent pictures leave out their bottom-left pixel's colour.
  FPicture.Transparent = FTransparent;
  Canvas().Draw(0, 0, FPicture);
}

// --- TShape -----------------------------------------------------------------------------------

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 65);
  FPen.OnChange = [this] { Invalidate(); };
  FBrush.OnChange = [this] { Invalidate(); };
}

const TPropertyTable& TShape::ClassProperties() {
  using P = Published<TShape>;
  static const TPropertyTable table(&TControl::ClassProperties(), {
      P::Object<gfx::TBrush>("Brush", [](TShape& s) { return &s.Brush(); }),
      P::Object<gfx::TPen>("Pen", [](TShape& s) { return &s.Pen(); }),
      P::Enumeration<TShapeType>("Shape", kShapeNames, [](TShape& s) { return s.Shape(); }, [](TShape& s, TShapeType v) { s.SetShape(v); },
                                 TShapeType::stRectangle),
  });
  return table;
}

void TShape::SetShape(TShapeType shape) {
  if (shape == FShape) return;
  FShape = shape;
  Invalidate();
}

void TShape::Paint() {
  gfx::TCanvas& c = Canvas();
  c.Pen.Assign(FPen);
  c.Brush.Assign(FBrush);
  const int pw = FPen.Width();
  int x = pw / 2, y = pw / 2;
  int w = Width() - pw + 1, h = Height() - pw + 1;
  const int s = std::min(w, h);
  if (FShape == TShapeType::stSquare || FShape == TShapeType::stRoundSquare || FShape == TShapeType::stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (FShape) {
    case TShapeType::stRectangle:
    case TShapeType::stSquare: c.Rectangle(x, y, x + w, y + h); break;
    case TShapeType::stRoundRect:
    case TShapeType::stRoundSquare: c.RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case TShapeType::stEllipse:
    case TShapeType::stCircle: c.RoundRect(x, y, x + w, y + h, w, h); break;
  }
}

// --- TPanel -----------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  FControlStyle |= csAcceptsControls | csOpaque;
  SetBounds(0, 0, 185, 41);
  SetColor(gfx::clBtnFace);
  SetParentColor(false);
}

const TPropertyTable& TPanel::ClassProperties() {
  using P = Published<TPanel>;
  static const TPropertyTable table(&TWinControl::ClassProperties(), {
      P::Enumeration<TAlignment>("Alignment", kAlignmentNames, [](TPanel& p) { return p.Alignment(); },
                                 [](TPanel& p, TAlignment v) { p.SetAlignment(v); }, TAlignment::taCenter),
      P::Enumeration<TBevelCut>("BevelInner", kBevelNames, [](TPanel& p) { return p.BevelInner(); },
                                [](TPanel& p, TBevelCut v) { p.SetBevelInner(v); }, TBevelCut::bvNone),
      P::Enumeration<TBevelCut>("BevelOuter", kBevelNames, [](TPanel& p) { return p.BevelOuter(); },
                                [](TPanel& p, TBevelCut v) { p.SetBevelOuter(v); }, TBevelCut::bvRaised),
      P::Integer("BevelWidth", [](TPanel& p) { return p.BevelWidth(); }, [](TPanel& p, std::int64_t v) { p.SetBevelWidth(static_cast<int>(v)); }, 1),
      P::Integer("BorderWidth", [](TPanel& p) { return p.BorderWidth(); }, [](TPanel& p, std::int64_t v) { p.SetBorderWidth(static_cast<int>(v)); }, 0),
      P::Color("Color", [](TPanel& p) { return p.Color(); }, [](TPanel& p, gfx::TColor v) { p.SetColor(v); }, gfx::clBtnFace),
  });
  return table;
}

void TPanel::SetBevelInner(TBevelCut value) { FBevelInner = value; Invalidate(); }
void TPanel::SetBevelOuter(TBevelCut value) { FBevelOuter = value; Invalidate(); }
void TPanel::SetBevelWidth(int value) { FBevelWidth = std::max(1, value); Invalidate(); }
void TPanel::SetBorderWidth(int value) { FBorderWidth = std::max(0, value); Invalidate(); }
void TPanel::SetAlignment(TAlignment value) { FAlignment = value; Invalidate(); }

void TPanel::PaintBevels(TRect& r) {
  gfx::TCanvas& c = Canvas();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    const bool lowered = cut == TBevelCut::bvLowered;
    if (cut == TBevelCut::bvSpace) Frame3D(c, r, Color(), Color(), FBevelWidth);
    else Frame3D(c, r, lowered ? gfx::clBtnShadow : gfx::clBtnHighlight, lowered ? gfx::clBtnHighlight : gfx::clBtnShadow, FBevelWidth);
  };
  bevel(FBevelOuter);
  Frame3D(c, r, Color(), Color(), FBorderWidth);
  bevel(FBevelInner);
}

void TPanel::PaintBackground(const TRect& r) {
  gfx::TCanvas& c = Canvas();
  c.Brush.SetColor(Color());
  c.FillRect(r);
}

void TPanel::PaintCaption(const TRect& rect) {
  gfx::TCanvas& c = Canvas();
  TRect r = rect;
  c.Brush.SetStyle(gfx::TBrushStyle::bsClear);
  c.Font.Assign(Font());
  c.SetTextColor(Font().Color());
  c.DrawText(Caption(), r, DrawTextBiDiModeFlags(gfx::DT_SINGLELINE | gfx::DT_VCENTER | kAlignments[static_cast<int>(FAlignment)]));
}

void TPanel::Paint() {
  TRect r = ClientRect();
  PaintBevels(r);
  PaintBackground(r);
  PaintCaption(r);
}

// --- TButton ----------------------------------------------------------------------------------

namespace {
// The sunken 2-pixel border of edits and lists; rect shrinks past it.
void SunkenBorder(gfx::TCanvas& c, TRect& r) {
  Frame3D(c, r, gfx::clBtnShadow, gfx::clBtnHighlight, 1);
  Frame3D(c, r, gfx::cl3DDkShadow, gfx::cl3DLight, 1);
}
}  // namespace

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(gfx::clBtnFace);
  SetParentColor(false);
}

const TPropertyTable& TButton::ClassProperties() {
  using P = Published<TButton>;
  static const TPropertyTable table(&TWinControl::ClassProperties(), {
      P::Boolean("Cancel", [](TButton& b) { return b.Cancel(); }, [](TButton& b, bool v) { b.SetCancel(v); }, false),
      P::Boolean("Default", [](TButton& b) { return b.Default(); }, [](TButton& b, bool v) { b.SetDefault(v); }, false),
      P::Integer("ModalResult", [](TButton& b) -> std::int64_t { return b.ModalResult(); },
                 [](TButton& b, std::int64_t v) { b.SetModalResult(static_cast<TModalResult>(v)); }, mrNone),
      P::Boolean("TabStop", [](TButton& b) { return b.TabStop(); }, [](TButton& b, bool v) { b.SetTabStop(v); }, true),
  });
  return table;
}

void TButton::SetDefault(bool value) {
  if (value == FDefault) return;
  FDefault = value;
  // Active unless another button has the focus now.
  const TCustomForm* form = ParentForm();
  const TWinControl* focused = form ? form->FocusedControl() : nullptr;
  FActive = dynamic_cast<const TButton*>(focused) ? focused == this : value;
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* form = ParentForm(); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
  TCustomControl::Click();
}

void TButton::SetPressed(bool value) {
  if (value == FPressed) return;
  FPressed = value;
  Invalidate();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGKEY: {
      const bool plain = (static_cast<TShiftState>(m.LParam) & (ssAlt | ssCtrl)) == 0;
      if (plain && ((m.WParam == VK_RETURN && FActive) || (m.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
        Click();
        m.Result = 1;
      }
      return;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<unsigned>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Click();
        m.Result = 1;
      }
      return;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TWinControl*>(m.LParam);
      const bool active = dynamic_cast<TButton*>(sender) ? sender == this : FDefault;
      if (active != FActive) {
        FActive = active;
        Invalidate();
      }
      return;
    }
    case WM_SETFOCUS: Invalidate(); break;
    case WM_KILLFOCUS:
      FSpaceDown = false;
      SetPressed(false);
      Invalidate();
      break;
    case WM_CAPTURECHANGED:
      FMouseDown = false;
      if (!FSpaceDown) SetPressed(false);
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(false);
        Click();
        return;
      }
      break;
    default: break;
  }
  TCustomControl::Dispatch(m);
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    if (CanFocus()) SetFocus();
    FMouseDown = true;
    SetPressed(true);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (FMouseDown) SetPressed(ClientRect().Contains({x, y}));
  TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    FMouseDown = false;
    if (!FSpaceDown) SetPressed(false);
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(unsigned& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  // Enter needs nothing here: the focused button is the active one, which the form's dialog
  // key clicks.
  if (key == VK_SPACE && !FMouseDown) {
    FSpaceDown = true;
    SetPressed(true);
  }
}

void TButton::Paint() {
  gfx::TCanvas& c = Canvas();
  TRect r = ClientRect();
  // The default button (and the focused one) has a black frame around its bevel.
  if (FActive) Frame3D(c, r, gfx::clWindowFrame, gfx::clWindowFrame, 1);
  if (FPressed && FActive) {
    Frame3D(c, r, gfx::clBtnShadow, gfx::clBtnShadow, 1);
  } else if (FPressed) {
    Frame3D(c, r, gfx::cl3DDkShadow, gfx::clBtnHighlight, 1);
    Frame3D(c, r, gfx::clBtnShadow, gfx::cl3DLight, 1);
  } else {
    Frame3D(c, r, gfx::clBtnHighlight, gfx::cl3DDkShadow, 1);
    Frame3D(c, r, gfx::cl3DLight, gfx::clBtnShadow, 1);
  }
  c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
  c.Brush.SetColor(Color());
  c.FillRect(r);
  c.Font.Assign(Font());
  TRect text = FPressed ? r.Offset(1, 1) : r;
  c.Brush.SetStyle(gfx::TBrushStyle::bsClear);
  DrawControlText(c, Caption(), text, DrawTextBiDiModeFlags(gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE), Enabled(),
                  gfx::clBtnText);
  if (Focused()) c.DrawFocusRect({4, 4, Width() - 4, Height() - 4});
}

// --- TEdit ------------------------------------------------------------------------------------

namespace {
// The sunken border, then one pixel of space before the text.
constexpr int kEditBorder = 2, kEditMargin = 1;
}  // namespace

TEdit::TEdit(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(gfx::clWindow);
  SetParentColor(false);
}

const TPropertyTable& TEdit::ClassProperties() {
  using P = Published<TEdit>;
  static const TPropertyTable table(&TWinControl::ClassProperties(), {
      P::Color("Color", [](TEdit& e) { return e.Color(); }, [](TEdit& e, gfx::TColor v) { e.SetColor(v); }, gfx::clWindow),
      P::Integer("MaxLength", [](TEdit& e) -> std::int64_t { return e.MaxLength(); },
                 [](TEdit& e, std::int64_t v) { e.SetMaxLength(static_cast<int>(v)); }, 0),
      P::Boolean("ReadOnly", [](TEdit& e) { return e.ReadOnly(); }, [](TEdit& e, bool v) { e.SetReadOnly(v); }, false),
      P::Boolean("TabStop", [](TEdit& e) { return e.TabStop(); }, [](TEdit& e, bool v) { e.SetTabStop(v); }, true),
      P::Text("Text", [](TEdit& e) { return e.Text(); }, [](TEdit& e, const std::string& v) { e.SetText(v); }),
      P::Event("OnChange", [](TEdit& e, TNotifyEvent h) { e.OnChange = std::move(h); }),
  });
  return table;
}

void TEdit::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  FAnchor = FCaret = 0;
  FScroll = 0;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TEdit::SetSelStart(int value) {
  FAnchor = FCaret = std::clamp(value, 0, static_cast<int>(FText.size()));
  ScrollToCaret();
  Invalidate();
}

void TEdit::SetSelLength(int value) {
  const int start = SelStart();
  FAnchor = start;
  FCaret = std::clamp(start + value, 0, static_cast<int>(FText.size()));
  ScrollToCaret();
  Invalidate();
}

void TEdit::SelectAll() {
  FAnchor = 0;
  FCaret = static_cast<int>(FText.size());
  ScrollToCaret();
  Invalidate();
}

int TEdit::TextAreaWidth() const { return std::max(0, Width() - 2 * (kEditBorder + kEditMargin)); }

int TEdit::TextWidthOf(std::string_view text) {
  gfx::TCanvas& c = Canvas();
  c.Font.Assign(Font());
  return c.TextWidth(text);
}

int TEdit::CaretX() { return kEditBorder + kEditMargin - FScroll + TextWidthOf(std::string_view(FText).substr(0, static_cast<std::size_t>(FCaret))); }

int TEdit::CharAt(int x) {
  // The character boundary nearest to the point.
  const int target = x - (kEditBorder + kEditMargin) + FScroll;
  int best = 0, bestDistance = std::abs(target);
  for (std::size_t i = 1; i <= FText.size(); ++i) {
    const int d = std::abs(TextWidthOf(std::string_view(FText).substr(0, i)) - target);
    if (d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    }
  }
  return best;
}

void TEdit::ScrollToCaret() {
  // The caret is one pixel wide: it stays inside the text area, and no more text scrolls out
  // at the left than the caret needs.
  const int area = TextAreaWidth();
  const int caret = TextWidthOf(std::string_view(FText).substr(0, static_cast<std::size_t>(FCaret)));
  const int whole = TextWidthOf(FText);
  if (caret - FScroll > area - 1) FScroll = caret - area + 1;
  if (caret < FScroll) FScroll = caret;
  FScroll = std::clamp(FScroll, 0, std::max(0, whole - area + 1));
  FScroll = std::min(FScroll, caret);
}

void TEdit::MoveCaret(int position, bool extend) {
  FCaret = std::clamp(position, 0, static_cast<int>(FText.size()));
  if (!extend) FAnchor = FCaret;
  ScrollToCaret();
  Invalidate();
}

void TEdit::ReplaceSelection(const std::string& with) {
  const int start = SelStart();
  FText.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(SelLength()), with);
  FAnchor = FCaret = start + static_cast<int>(with.size());
  ScrollToCaret();
  Invalidate();
  if (OnChange) OnChange(this);
}

void TEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    case WM_CAPTURECHANGED: FSelecting = false; break;
    default: break;
  }
  TCustomControl::Dispatch(m);
}

void TEdit::Resize() {
  TCustomControl::Resize();
  ScrollToCaret();
}

void TEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    if (CanFocus()) SetFocus();
    if (shift & ssDouble) {
      SelectAll();
    } else {
      MoveCaret(CharAt(x), (shift & ssShift) != 0);
      FSelecting = true;
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TEdit::MouseMove(TShiftState shift, int x, int y) {
  if (FSelecting) MoveCaret(CharAt(x), true);
  TCustomControl::MouseMove(shift, x, y);
}

void TEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) FSelecting = false;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TEdit::KeyDown(unsigned& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool extend = (shift & ssShift) != 0;
  const int length = static_cast<int>(FText.size());
  switch (key) {
    case VK_LEFT:
      // Without Shift a selection collapses to its start first.
      if (!extend && SelLength() > 0) MoveCaret(SelStart(), false);
      else MoveCaret(FCaret - 1, extend);
      break;
    case VK_RIGHT:
      if (!extend && SelLength() > 0) MoveCaret(SelStart() + SelLength(), false);
      else MoveCaret(FCaret + 1, extend);
      break;
    case VK_HOME: MoveCaret(0, extend); break;
    case VK_END: MoveCaret(length, extend); break;
    case VK_DELETE:
      if (FReadOnly) break;
      if (SelLength() == 0) {
        if (FCaret >= length) break;
        FAnchor = FCaret + 1;
      }
      ReplaceSelection({});
      break;
    case 'A':
      if (shift & ssCtrl) SelectAll();
      break;
    default: break;
  }
}

void TEdit::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  if (FReadOnly || c == 0) return;
  if (c == VK_BACK) {
    if (SelLength() == 0) {
      if (FCaret == 0) return;
      FAnchor = FCaret - 1;
    }
    ReplaceSelection({});
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  if (FMaxLength > 0 && static_cast<int>(FText.size()) - SelLength() >= FMaxLength) return;
  ReplaceSelection(std::string(1, key));
}

void TEdit::Paint() {
  gfx::TCanvas& c = Canvas();
  TRect r = ClientRect();
  SunkenBorder(c, r);
  c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
  c.Brush.SetColor(Enabled() ? Color() : gfx::clBtnFace);
  c.FillRect(r);
  c.IntersectClipRect({r.Left + kEditMargin, r.Top, r.Right - kEditMargin, r.Bottom});
  c.Font.Assign(Font());
  const int height = c.TextHeight("Wg");
  const int x0 = r.Left + kEditMargin - FScroll;
  const int y = r.Top + std::max(0, (r.Height() - height) / 2);
  const std::string_view text = FText;
  const auto start = static_cast<std::size_t>(SelStart()), length = static_cast<std::size_t>(SelLength());
  // The selection shows while the edit has the focus, in the highlight colours.
  const bool selection = Focused() && length > 0;
  c.SetBkMode(gfx::TRANSPARENT);
  c.SetTextColor(Enabled() ? Font().Color() : gfx::clGrayText);
  c.TextOut(x0, y, selection ? text.substr(0, start) : text);
  if (selection) {
    const int sx = x0 + c.TextWidth(text.substr(0, start));
    const int sw = c.TextWidth(text.substr(start, length));
    c.Brush.SetColor(gfx::clHighlight);
    c.FillRect({sx, y, sx + sw, y + height});
    c.SetBkMode(gfx::TRANSPARENT);
    c.SetTextColor(gfx::clHighlightText);
    c.TextOut(sx, y, text.substr(start, length));
    c.SetTextColor(Enabled() ? Font().Color() : gfx::clGrayText);
    c.TextOut(sx + sw, y, text.substr(start + length));
  }
  if (Focused()) {
    const int cx = x0 + c.TextWidth(text.substr(0, static_cast<std::size_t>(FCaret)));
    c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
    c.Brush.SetColor(gfx::clWindowText);
    c.FillRect({cx, y, cx + 1, y + height});
  }
}

// --- TListBox ---------------------------------------------------------------------------------

namespace {
constexpr int kListBorder = 2, kScrollBarWidth = 16;
}  // namespace

TListBox::TListBox(TComponent* owner) : TCustomControl(owner) {
  // Clicks are selection changes here, not releases of the button.
  FControlStyle = static_cast<std::uint16_t>(FControlStyle & ~csClickEvents);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(gfx::clWindow);
  SetParentColor(false);
}

const TPropertyTable& TListBox::ClassProperties() {
  using P = Published<TListBox>;
  static const TPropertyTable table(&TWinControl::ClassProperties(), {
      P::Color("Color", [](TListBox& l) { return l.Color(); }, [](TListBox& l, gfx::TColor v) { l.SetColor(v); }, gfx::clWindow),
      P::Integer("ItemHeight", [](TListBox& l) -> std::int64_t { return l.ItemHeight(); },
                 [](TListBox& l, std::int64_t v) { l.SetItemHeight(static_cast<int>(v)); }, 13),
      P::Integer("ItemIndex", [](TListBox& l) -> std::int64_t { return l.ItemIndex(); },
                 [](TListBox& l, std::int64_t v) { l.SetItemIndex(static_cast<int>(v)); }, -1),
      P::Object<rtl::TStringList>("Items", [](TListBox& l) { return &l.Items(); }),
      P::Boolean("TabStop", [](TListBox& l) { return l.TabStop(); }, [](TListBox& l, bool v) { l.SetTabStop(v); }, true),
  });
  return table;
}

void TListBox::Loaded() {
  TCustomControl::Loaded();
  ItemsChanged();
}

void TListBox::ItemsChanged() {
  if (FItemIndex >= FItems.Count()) FItemIndex = -1;
  SetTopIndex(FTopIndex);
  Invalidate();
}

void TListBox::SetItemIndex(int index) {
  // A layout sets the index before Loaded; the items may not all be there yet.
  if (!Loading()) index = index < 0 || index >= FItems.Count() ? -1 : index;
  if (index == FItemIndex) return;
  FItemIndex = index;
  if (!Loading() && index >= 0) MakeVisible(index);
  Invalidate();
}

void TListBox::SetItemHeight(int value) {
  FItemHeight = std::max(1, value);
  SetTopIndex(FTopIndex);
  Invalidate();
}

void TListBox::SetTopIndex(int index) {
  const int top = std::clamp(index, 0, std::max(0, FItems.Count() - VisibleItems()));
  if (top == FTopIndex) return;
  FTopIndex = top;
  Invalidate();
}

void TListBox::Resize() {
  TCustomControl::Resize();
  SetTopIndex(FTopIndex);
}

TRect TListBox::ItemsRect() const {
  TRect r{kListBorder, kListBorder, Width() - kListBorder, Height() - kListBorder};
  if (HasScrollBar()) r.Right -= kScrollBarWidth;
  return r;
}

TRect TListBox::ScrollBarRect() const {
  if (!HasScrollBar()) return {};
  return {Width() - kListBorder - kScrollBarWidth, kListBorder, Width() - kListBorder, Height() - kListBorder};
}

int TListBox::VisibleItems() const { return std::max(1, (Height() - 2 * kListBorder) / FItemHeight); }

int TListBox::ItemAtPos(gfx::TPoint p) const {
  const TRect r = ItemsRect();
  if (!r.Contains(p)) return -1;
  const int index = FTopIndex + (p.Y - r.Top) / FItemHeight;
  return index < FItems.Count() ? index : -1;
}

TRect TListBox::ThumbRect() const {
  const TRect bar = ScrollBarRect();
  if (bar.IsEmpty()) return {};
  const int track = bar.Height() - 2 * kScrollBarWidth;
  const int count = FItems.Count(), visible = VisibleItems();
  const int thumb = std::clamp(track * visible / std::max(1, count), 8, std::max(8, track));
  const int range = std::max(1, count - visible);
  const int top = bar.Top + kScrollBarWidth + (track - thumb) * FTopIndex / range;
  return {bar.Left, top, bar.Right, top + thumb};
}

void TListBox::MakeVisible(int index) {
  if (index < FTopIndex) SetTopIndex(index);
  else if (index >= FTopIndex + VisibleItems()) SetTopIndex(index - VisibleItems() + 1);
}

void TListBox::SelectByUser(int index) {
  index = std::clamp(index, 0, FItems.Count() - 1);
  if (FItems.Count() == 0) return;
  MakeVisible(index);
  if (index == ItemIndex()) return;
  SetItemIndex(index);
  Click();
}

void TListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
      // A quick second press on the scroll bar is one more press there, not a double-click.
      if (ScrollBarRect().Contains({LParamX(m.LParam), LParamY(m.LParam)})) m.Msg = WM_LBUTTONDOWN;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    case WM_CAPTURECHANGED: FSelecting = FThumbDrag = false; break;
    default: break;
  }
  TCustomControl::Dispatch(m);
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    if (CanFocus()) SetFocus();
    const TRect bar = ScrollBarRect();
    if (bar.Contains({x, y})) {
      const TRect thumb = ThumbRect();
      const int page = std::max(1, VisibleItems() - 1);
      if (y < bar.Top + kScrollBarWidth) SetTopIndex(FTopIndex - 1);
      else if (y >= bar.Bottom - kScrollBarWidth) SetTopIndex(FTopIndex + 1);
      else if (y < thumb.Top) SetTopIndex(FTopIndex - page);
      else if (y >= thumb.Bottom) SetTopIndex(FTopIndex + page);
      else {
        FThumbDrag = true;
        FDragStartY = y;
        FDragStartTop = FTopIndex;
      }
    } else if (const int index = ItemAtPos({x, y}); index >= 0) {
      FSelecting = true;
      SelectByUser(index);
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TListBox::MouseMove(TShiftState shift, int x, int y) {
  if (FThumbDrag) {
    const TRect bar = ScrollBarRect(), thumb = ThumbRect();
    const int track = bar.Height() - 2 * kScrollBarWidth - thumb.Height();
    if (track > 0) SetTopIndex(FDragStartTop + (y - FDragStartY) * (FItems.Count() - VisibleItems()) / track);
  } else if (FSelecting) {
    // Dragging over the items selects the one under the pointer, scrolling at the edges.
    const TRect r = ItemsRect();
    const int row = y < r.Top ? -1 : (y - r.Top) / FItemHeight;
    SelectByUser(FTopIndex + row);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) FSelecting = FThumbDrag = false;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TListBox::KeyDown(unsigned& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int current = ItemIndex(), page = std::max(1, VisibleItems() - 1);
  switch (key) {
    case VK_UP: SelectByUser(current < 0 ? 0 : current - 1); break;
    case VK_DOWN: SelectByUser(current + 1); break;
    case VK_PRIOR: SelectByUser(current - page); break;
    case VK_NEXT: SelectByUser(current + page); break;
    case VK_HOME: SelectByUser(0); break;
    case VK_END: SelectByUser(FItems.Count() - 1); break;
    default: break;
  }
}

void TListBox::PaintScrollBar(gfx::TCanvas& c) {
  const TRect bar = ScrollBarRect();
  const gfx::TColor arrow = Enabled() ? gfx::clBtnText : gfx::clGrayText;
  auto button = [&](TRect r, bool up) {
    Frame3D(c, r, gfx::cl3DLight, gfx::cl3DDkShadow, 1);
    Frame3D(c, r, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
    c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
    c.Brush.SetColor(gfx::clBtnFace);
    c.FillRect(r);
    // A small solid triangle, four rows from the point to its base.
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2 - 2;
    c.Brush.SetColor(arrow);
    for (int row = 0; row < 4; ++row) {
      const int y = up ? cy + row : cy + 3 - row;
      c.FillRect({cx - row, y, cx + row + 1, y + 1});
    }
  };
  button({bar.Left, bar.Top, bar.Right, bar.Top + kScrollBarWidth}, true);
  button({bar.Left, bar.Bottom - kScrollBarWidth, bar.Right, bar.Bottom}, false);
  // The track in the classic dither of highlight and face.
  const gfx::TColor light = gfx::clBtnHighlight, face = gfx::clBtnFace;
  for (int y = bar.Top + kScrollBarWidth; y < bar.Bottom - kScrollBarWidth; ++y)
    for (int x = bar.Left; x < bar.Right; ++x) c.SetPixel(x, y, ((x + y) & 1) ? face : light);
  TRect thumb = ThumbRect();
  Frame3D(c, thumb, gfx::cl3DLight, gfx::cl3DDkShadow, 1);
  Frame3D(c, thumb, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
  c.Brush.SetColor(gfx::clBtnFace);
  c.FillRect(thumb);
}

void TListBox::Paint() {
  gfx::TCanvas& c = Canvas();
  TRect r = ClientRect();
  SunkenBorder(c, r);
  c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
  c.Brush.SetColor(Color());
  c.FillRect(ItemsRect());
  if (HasScrollBar()) PaintScrollBar(c);
  const TRect items = ItemsRect();
  c.Font.Assign(Font());
  const int textHeight = c.TextHeight("Wg");
  for (int i = FTopIndex; i < FItems.Count(); ++i) {
    const int top = items.Top + (i - FTopIndex) * FItemHeight;
    if (top >= items.Bottom) break;
    const TRect row{items.Left, top, items.Right, std::min(top + FItemHeight, items.Bottom)};
    const bool selected = i == ItemIndex();
    if (selected) {
      c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
      c.Brush.SetColor(gfx::clHighlight);
      c.FillRect(row);
    }
    c.SetBkMode(gfx::TRANSPARENT);
    c.SetTextColor(!Enabled() ? gfx::clGrayText : selected ? gfx::clHighlightText : Font().Color());
    c.TextRect(row, row.Left + 2, top + (FItemHeight - textHeight) / 2, FItems.Strings(i));
  }
  if (Focused()) {
    const int at = ItemIndex() >= 0 ? ItemIndex() : FTopIndex;
    const int top = items.Top + (at - FTopIndex) * FItemHeight;
    if (at >= FTopIndex && top < items.Bottom) c.DrawFocusRect({items.Left, top, items.Right, top + FItemHeight});
  }
}

void RegisterStandardControls() {
  RegisterClass<TLabel>("TLabel");
  RegisterClass<TImage>("TImage");
  RegisterClass<TShape>("TShape");
  RegisterClass<TPanel>("TPanel");
  RegisterClass<TButton>("TButton");
  RegisterClass<TEdit>("TEdit");
  RegisterClass<TListBox>("TListBox");
  RegisterClass<TPopupMenu>("TPopupMenu");
  RegisterClass<TMenuItem>("TMenuItem");
}

}  // namespace kestrova::ui
