// The text label and the standard picture, shape and panel controls.
#pragma once
#include "framework/ui/controls.h"

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
  void Paint() override;

 private:
  TBevelCut FBevelInner = TBevelCut::bvNone;
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TAlignment FAlignment = TAlignment::taCenter;
};

// Makes TLabel, TImage, TShape, TPanel, TPopupMenu and TMenuItem known to the layout reader.
void RegisterStandardControls();

}  // namespace kestrova::ui
