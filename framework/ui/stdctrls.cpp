#include "framework/ui/stdctrls.h"

#include "framework/ui/menus.h"

namespace kestrova::ui {

using gfx::TRect;

namespace {
const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> kBevelNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const std::vector<std::string> kShapeNames = {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"};
const std::vector<std::string> kPenStyleNames = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
const std::vector<std::string> kBrushStyleNames = {"bsSolid", "bsClear"};
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
  canvas.SetTextColor(Font().Color());
  if (!Enabled()) {
    // The embossed look of disabled text: a highlight one pixel down and right, then the shadow.
    TRect shifted = rect.Offset(1, 1);
    canvas.SetTextColor(gfx::clBtnHighlight);
    canvas.DrawText(text, shifted, flags);
    canvas.SetTextColor(gfx::clBtnShadow);
  }
  canvas.DrawText(text, rect, flags);
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
      P::Picture("Picture", [](TImage& i) { return &i.Picture(); }),
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
      P::Color("Brush.Color", [](TShape& s) { return s.Brush().Color(); }, [](TShape& s, gfx::TColor v) { s.Brush().SetColor(v); }, gfx::clWhite),
      P::Enumeration<gfx::TBrushStyle>("Brush.Style", kBrushStyleNames, [](TShape& s) { return s.Brush().Style(); },
                                       [](TShape& s, gfx::TBrushStyle v) { s.Brush().SetStyle(v); }, gfx::TBrushStyle::bsSolid),
      P::Color("Pen.Color", [](TShape& s) { return s.Pen().Color(); }, [](TShape& s, gfx::TColor v) { s.Pen().SetColor(v); }, gfx::clBlack),
      P::Enumeration<gfx::TPenStyle>("Pen.Style", kPenStyleNames, [](TShape& s) { return s.Pen().Style(); },
                                     [](TShape& s, gfx::TPenStyle v) { s.Pen().SetStyle(v); }, gfx::TPenStyle::psSolid),
      P::Integer("Pen.Width", [](TShape& s) { return s.Pen().Width(); }, [](TShape& s, std::int64_t v) { s.Pen().SetWidth(static_cast<int>(v)); }, 1),
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

void TPanel::Paint() {
  gfx::TCanvas& c = Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    const bool lowered = cut == TBevelCut::bvLowered;
    if (cut == TBevelCut::bvSpace) Frame3D(c, r, Color(), Color(), FBevelWidth);
    else Frame3D(c, r, lowered ? gfx::clBtnShadow : gfx::clBtnHighlight, lowered ? gfx::clBtnHighlight : gfx::clBtnShadow, FBevelWidth);
  };
  bevel(FBevelOuter);
  Frame3D(c, r, Color(), Color(), FBorderWidth);
  bevel(FBevelInner);
  c.Brush.SetColor(Color());
  c.FillRect(r);
  c.Brush.SetStyle(gfx::TBrushStyle::bsClear);
  c.Font.Assign(Font());
  c.SetTextColor(Font().Color());
  c.DrawText(Caption(), r, DrawTextBiDiModeFlags(gfx::DT_SINGLELINE | gfx::DT_VCENTER | kAlignments[static_cast<int>(FAlignment)]));
}

void RegisterStandardControls() {
  RegisterClass<TLabel>("TLabel");
  RegisterClass<TImage>("TImage");
  RegisterClass<TShape>("TShape");
  RegisterClass<TPanel>("TPanel");
  RegisterClass<TPopupMenu>("TPopupMenu");
  RegisterClass<TMenuItem>("TMenuItem");
}

}  // namespace kestrova::ui
