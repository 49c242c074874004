#include "framework/gfx/colors.h"

#include <array>
#include <cstdio>
#include "framework/rtl/sysutils.h"

namespace kestrova::gfx {

namespace {

// One fixed table on every host, so that a form paints the same pixels on Windows, under X11 and
// headless: the Windows defaults of the standard scheme.
constexpr std::array<TColorRef, 25> kSystemColors = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 0, 0),        // desktop
    RGB(153, 180, 209),  // active caption
    RGB(191, 205, 219),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(100, 100, 100),  // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(0, 0, 0),        // caption text
    RGB(180, 180, 180),  // active border
    RGB(244, 247, 252),  // inactive border
    RGB(171, 171, 171),  // application work space
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(109, 109, 109),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(0, 0, 0),        // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3D dark shadow
    RGB(227, 227, 227),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
};

struct NamedColor {
  const char* Name;
  TColor Color;
};

constexpr NamedColor kNames[] = {
    {"clBlack", clBlack},   {"clMaroon", clMaroon},
    {"clGreen", clGreen},   {"clOlive", clOlive},
    {"clNavy", clNavy},     {"clPurple", clPurple},
    {"clTeal", clTeal},     {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed},
    {"clLime", clLime},     {"clYellow", clYellow},
    {"clBlue", clBlue},     {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},     {"clWhite", clWhite},
    {"clNone", clNone},     {"clDefault", clDefault},
    {"clScrollBar", clScrollBar}, {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption}, {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},     {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText},
    {"clWindowText", clWindowText}, {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder}, {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace}, {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
    {"clBtnText", clBtnText}, {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight}, {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

}  // namespace

TColorRef ColorToRGB(TColor color) {
  const auto bits = static_cast<std::uint32_t>(color);
  if (bits & 0x80000000u) {
    const std::uint32_t index = bits & 0xFF;
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
  }
  return bits & 0x00FFFFFFu;
}

bool IdentToColor(const std::string& name, TColor& color) {
  for (const NamedColor& n : kNames) {
    if (rtl::SameText(n.Name, name)) {
      color = n.Color;
      return true;
    }
  }
  return false;
}

std::string ColorToString(TColor color) {
  for (const NamedColor& n : kNames)
    if (n.Color == color) return n.Name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

}  // namespace kestrova::gfx
