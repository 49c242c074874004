// The toolkit's messages: the Windows numbers for window messages, and the toolkit's own
// (CM_*) and reflected (CN_*) ones above them. Handlers set Result to mark a message handled.
#pragma once
#include <cstdint>

namespace kestrova::gfx {
class TCanvas;
}

namespace kestrova::ui {

struct TMessage {
  unsigned Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

constexpr unsigned WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
                   WM_CONTEXTMENU = 0x007B,
                   WM_ERASEBKGND = 0x0014, WM_SETCURSOR = 0x0020, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
                   WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106,
                   WM_COMMAND = 0x0111, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
                   WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
                   WM_CAPTURECHANGED = 0x0215;

constexpr unsigned CM_BASE = 0xB000;
constexpr unsigned CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_DIALOGKEY = CM_BASE + 5,
                   CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7, CM_PARENTFONTCHANGED = CM_BASE + 8,
                   CM_PARENTCOLORCHANGED = CM_BASE + 9, CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                   CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14,
                   CM_CURSORCHANGED = CM_BASE + 15, CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19,
                   CM_MOUSELEAVE = CM_BASE + 20, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                   CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
                   CM_CHILDKEY = CM_BASE + 46, CM_HINTSHOW = CM_BASE + 48, CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr unsigned CN_BASE = 0xBC00;
constexpr unsigned CN_COMMAND = CN_BASE + WM_COMMAND, CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_CHAR = CN_BASE + WM_CHAR,
                   CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;

// Virtual keys.
constexpr unsigned VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                   VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
                   VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                   VK_DELETE = 0x2E, VK_APPS = 0x5D, VK_F4 = 0x73, VK_F10 = 0x79;

// Modifier keys and mouse buttons held, as a set.
enum TShiftFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = std::uint8_t;

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Mouse messages carry client coordinates in LParam (x low word, y high word, both signed) and
// the shift state in WParam; key messages the key in WParam and the shift state in LParam.
inline std::intptr_t PointToLParam(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(x))) |
                                    (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}
inline int LParamX(std::intptr_t l) { return static_cast<std::int16_t>(l & 0xFFFF); }
inline int LParamY(std::intptr_t l) { return static_cast<std::int16_t>((l >> 16) & 0xFFFF); }

// WM_CONTEXTMENU carries the screen point in LParam, or this when it comes from the keyboard.
constexpr std::intptr_t kContextMenuFromKeyboard = 0xFFFFFFFF;

// WM_PAINT and WM_ERASEBKGND with a given canvas carry it in WParam.
inline std::uintptr_t CanvasParam(gfx::TCanvas& canvas) { return reinterpret_cast<std::uintptr_t>(&canvas); }
inline gfx::TCanvas* CanvasOf(const TMessage& m) { return reinterpret_cast<gfx::TCanvas*>(m.WParam); }

}  // namespace kestrova::ui
