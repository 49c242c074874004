// The control tree: graphic controls paint into their parent, windowed controls hold children
// and take the focus. All of them draw into the form's one bitmap; only the form has a host window.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gfx/canvas.h"
#include "framework/ui/classes.h"
#include "framework/ui/messages.h"

namespace kestrova::ui {

class TWinControl;
class TCustomForm;
class TPopupMenu;

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crHandPoint = -21;

enum TControlStateFlag : std::uint16_t { csLButtonDown = 1, csClicked = 2, csPaintCopy = 4, csFocusing = 8 };
enum TControlStyleFlag : std::uint16_t { csCaptureMouse = 1, csClickEvents = 2, csOpaque = 4, csAcceptsControls = 8 };

using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, unsigned& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  gfx::TRect BoundsRect() const { return gfx::Bounds(FLeft, FTop, FWidth, FHeight); }
  virtual gfx::TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  // Visible and enabled, up the parent chain.
  bool Showing() const;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  TCustomForm* ParentForm() const;

  gfx::TFont& Font() { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  gfx::TColor Color() const { return FColor; }
  void SetColor(gfx::TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode mode);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == TBiDiMode::bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != TBiDiMode::bdLeftToRight; }
  // DrawText formats adjusted for right-to-left text.
  unsigned DrawTextBiDiModeFlags(unsigned flags) const;
  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& caption);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }

  std::uint16_t ControlState() const { return FControlState; }
  void SetControlStateFlag(std::uint16_t flag, bool on);
  std::uint16_t ControlStyle() const { return FControlStyle; }

  // Messages: WndProc sees every message first and passes it to Dispatch, whose handlers call the
  // base class's Dispatch for the toolkit's own handling.
  std::intptr_t Perform(unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);

  // A repaint request; Repaint paints at once.
  virtual void Invalidate();
  void Repaint();
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);
  gfx::TPoint ClientToScreen(gfx::TPoint p) const;
  gfx::TPoint ScreenToClient(gfx::TPoint p) const;
  // Position in the form's client area.
  gfx::TPoint FormOrigin() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  // The pointer came over the control, or left it (graphic controls too: the form tracks them).
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  virtual void Click();
  virtual void DblClick();

 protected:
  virtual void Paint() {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void FontChanged();
  virtual void Resize();
  // The canvas of the paint in progress, or null.
  gfx::TCanvas* PaintCanvas() const { return FPaintCanvas; }
  void Notification(TComponent& component, bool removing) override;

  std::uint16_t FControlStyle = csCaptureMouse | csClickEvents;
  std::uint16_t FControlState = 0;
  gfx::TCanvas* FPaintCanvas = nullptr;
  friend class TWinControl;

 private:
  void MouseMessage(TMessage& m, TMouseButton button, bool down, bool dbl);

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = TAlign::alNone;
  bool FVisible = true;
  bool FEnabled = true;
  TWinControl* FParent = nullptr;
  gfx::TFont FFont;
  bool FParentFont = true;
  bool FSettingFont = false;
  gfx::TColor FColor = gfx::clWindow;
  bool FParentColor = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
  bool FParentBiDiMode = true;
  std::string FCaption;
  TPopupMenu* FPopupMenu = nullptr;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // Graphic controls first, then windowed ones, each in the order they were added.
  int ControlCount() const { return static_cast<int>(FGraphic.size() + FWindowed.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl& control);
  void RemoveControl(TControl& control);
  // The topmost visible child at a client point (disabled ones too when asked), or null.
  TControl* ControlAtPos(gfx::TPoint p, bool allowDisabled) const;

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // Windowed children in tab order, all levels, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // Offers a message to every child in order until one marks it handled.
  void Broadcast(TMessage& message);

  bool HandleAllocated() const { return FHandleAllocated; }
  void HandleNeeded();
  // Whether the control takes WM_CHAR itself (edits) rather than letting the form try accelerators.
  virtual bool WantsChars() const { return false; }

  void ReadChild(TComponent& child) override;
  void Dispatch(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;
  // Places the aligned children.
  void Realign();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  virtual void CreateWnd() {}
  virtual void PaintWindow(gfx::TCanvas& canvas);
  virtual void KeyDown(unsigned& key, TShiftState shift);
  virtual void KeyPress(char& key);
  friend class TControl;

 private:
  std::vector<TControl*> FGraphic;
  std::vector<TWinControl*> FWindowed;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  bool FHandleAllocated = false;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
  const char* ClassName() const override { return "TGraphicControl"; }
  void Dispatch(TMessage& message) override;

 protected:
  // Valid inside Paint.
  gfx::TCanvas& Canvas();

 private:
  std::unique_ptr<gfx::TCanvas> FCanvas;
};

// A windowed control with a canvas of its own and a Paint to override.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCustomControl"; }

 protected:
  gfx::TCanvas& Canvas();
  void PaintWindow(gfx::TCanvas& canvas) override;

 private:
  std::unique_ptr<gfx::TCanvas> FCanvas;
};

// The toolkit's bevel: width rings of top-left and bottom-right lines; rect shrinks past them.
void Frame3D(gfx::TCanvas& canvas, gfx::TRect& rect, gfx::TColor topColor, gfx::TColor bottomColor, int width);

// The accelerator of a caption: the character after a single "&" ("&&" is a plain "&"), or 0.
char AcceleratorOf(const std::string& caption);
// Whether a character is a caption's accelerator, letter case ignored.
bool IsAccel(unsigned key, const std::string& caption);

// Text in a control's classic look: in the colour given, or when disabled embossed (a highlight
// one pixel down and right, the shadow over it). With DT_CALCRECT it only measures into rect.
void DrawControlText(gfx::TCanvas& canvas, std::string_view text, gfx::TRect& rect, unsigned flags, bool enabled, gfx::TColor color);

// A canvas for one paint: its own pen, brush and font, the given canvas's target, origin and clip.
std::unique_ptr<gfx::TCanvas> PaintCanvasFor(gfx::TCanvas& given);

}  // namespace kestrova::ui

namespace kestrova::ui {
// A windowed control's own picture, without its children: its background, then its painting.
void PaintControlSelf(TWinControl& control, gfx::TCanvas& canvas);
// One control whose top-left corner is at the canvas's point at: the canvas's origin moved there
// and clipped to the control for the paint, then restored. A windowed control brings its children.
void PaintControl(TControl& control, gfx::TCanvas& canvas, gfx::TPoint at);
// Erases and paints a windowed control, then its visible graphic children, then its windowed
// ones, each where it lies in the control.
void PaintControlTree(TWinControl& control, gfx::TCanvas& canvas);
}  // namespace kestrova::ui
