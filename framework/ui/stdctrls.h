// The text label, the standard picture, shape and panel controls, and the push button, the
// single-line edit and the list box, painted in the classic raised and sunken 3-D look.
#pragma once
#include "framework/rtl/classes.h"
#include "framework/ui/controls.h"
#include "framework/ui/forms.h"

namespace kestrova::ui {

enum class TShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  const char* ClassName() const override { return "TLabel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  void SetCaption(const std::string& caption) override;
  void Loaded() override;
  // Fits the size to the text (AutoSize), keeping the right edge for right-justified text.
  void AdjustBounds();

 protected:
  void Paint() override;
  void FontChanged() override;
  // Draws (or with DT_CALCRECT measures) the caption.
  void DoDrawText(gfx::TCanvas& canvas, gfx::TRect& rect, unsigned flags);

 private:
  bool FTransparent = false;
  bool FAutoSize = true;
  bool FWordWrap = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  bool FShowAccelChar = true;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  const char* ClassName() const override { return "TImage"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  gfx::TBitmap& Picture() { return FPicture; }
  // Call after changing the picture's pixels or size.
  void PictureChanged();
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  void Loaded() override;

 protected:
  void Paint() override;

 private:
  gfx::TBitmap FPicture;
  bool FTransparent = false;
  bool FAutoSize = false;
};

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);
  const char* ClassName() const override { return "TShape"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType shape);
  gfx::TPen& Pen() { return FPen; }
  gfx::TBrush& Brush() { return FBrush; }

 protected:
  void Paint() override;

 private:
  TShapeType FShape = TShapeType::stRectangle;
  gfx::TPen FPen;
  gfx::TBrush FBrush;
};

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  const char* ClassName() const override { return "TPanel"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

 protected:
  // The three steps of Paint, for a descendant that adds to them: the bevels and border (rect
  // shrinks past them), the background in the panel's colour, the caption.
  void PaintBevels(gfx::TRect& rect);
  void PaintBackground(const gfx::TRect& rect);
  void PaintCaption(const gfx::TRect& rect);
  void Paint() override;

 private:
  TBevelCut FBevelInner = TBevelCut::bvNone;
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TAlignment FAlignment = TAlignment::taCenter;
};

// A push button: clicks on release inside, on Space released or Enter while focused; the form's
// Enter clicks the default button (or the focused one), Escape the cancel button. A ModalResult
// becomes the form's when it is clicked.
class TButton : public TCustomControl {
 public:
  explicit TButton(TComponent* owner);
  const char* ClassName() const override { return "TButton"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  // Drawn pushed in: the left button held inside, or Space held.
  bool Pressed() const { return FPressed; }
  // Drawn with the default frame: the default button while no other button has the focus, or
  // the focused button.
  bool Active() const { return FActive; }

  void Click() override;
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(unsigned& key, TShiftState shift) override;

 private:
  void SetPressed(bool value);

  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = mrNone;
  bool FActive = false;
  bool FPressed = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

// A single-line text field: caret, selection by keys and mouse, horizontal scrolling that keeps
// the caret in view. Positions count characters from 0.
class TEdit : public TCustomControl {
 public:
  explicit TEdit(TComponent* owner);
  const char* ClassName() const override { return "TEdit"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  const std::string& Text() const { return FText; }
  // Puts the caret at the start, as setting a window's text does; fires OnChange.
  void SetText(const std::string& text);
  // 0: no limit. Typing stops at the limit; text set in code is kept whole.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = std::max(0, value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

  int SelStart() const { return std::min(FAnchor, FCaret); }
  void SetSelStart(int value);
  int SelLength() const { return std::abs(FCaret - FAnchor); }
  void SetSelLength(int value);
  std::string SelText() const { return FText.substr(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength())); }
  void SelectAll();
  // Where the caret is (the moving end of the selection).
  int CaretPosition() const { return FCaret; }
  // Pixels of text scrolled out of view at the left.
  int ScrollOffset() const { return FScroll; }
  // The caret's x in client coordinates.
  int CaretX();
  // The width the text can show in.
  int TextAreaWidth() const;

  bool WantsChars() const override { return true; }
  void Dispatch(TMessage& message) override;

  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(unsigned& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Resize() override;

 private:
  int TextWidthOf(std::string_view text);
  int CharAt(int x);
  void MoveCaret(int position, bool extend);
  void ReplaceSelection(const std::string& with);
  void ScrollToCaret();

  std::string FText;
  int FMaxLength = 0;
  bool FReadOnly = false;
  int FAnchor = 0, FCaret = 0;
  int FScroll = 0;
  bool FSelecting = false;
};

// A list of strings with one selected item, scrolled by keys and by its scroll bar when the
// items do not fit. OnClick follows a change of the selection by the user.
class TListBox : public TCustomControl {
 public:
  explicit TListBox(TComponent* owner);
  const char* ClassName() const override { return "TListBox"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  rtl::TStringList& Items() { return FItems; }
  // Call after changing Items: the selection and the scroll position stay in range.
  void ItemsChanged();
  int Count() const { return FItems.Count(); }
  // -1: none.
  int ItemIndex() const { return FItemIndex < FItems.Count() ? FItemIndex : -1; }
  void SetItemIndex(int index);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int index);
  // Whole items that fit; the item at a client point (-1 for none or the scroll bar).
  int VisibleItems() const;
  int ItemAtPos(gfx::TPoint p) const;
  bool HasScrollBar() const { return FItems.Count() > VisibleItems(); }
  void Loaded() override;
  void Dispatch(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(unsigned& key, TShiftState shift) override;
  void Resize() override;

 private:
  gfx::TRect ItemsRect() const;
  gfx::TRect ScrollBarRect() const;
  // The thumb's place on the scroll bar, in client coordinates.
  gfx::TRect ThumbRect() const;
  void PaintScrollBar(gfx::TCanvas& c);
  void SelectByUser(int index);
  void MakeVisible(int index);

  rtl::TStringList FItems;
  int FItemIndex = -1;
  int FItemHeight = 13;
  int FTopIndex = 0;
  bool FSelecting = false;
  bool FThumbDrag = false;
  int FDragStartY = 0, FDragStartTop = 0;
};

// Makes TLabel, TImage, TShape, TPanel, TButton, TEdit, TListBox, TPopupMenu and TMenuItem known
// to the layout reader.
void RegisterStandardControls();

}  // namespace kestrova::ui
