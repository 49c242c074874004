// The toolkit's messages: the Windows numbers for window messages, and the toolkit's own
// (CM_*) and reflected (CN_*) ones above them. Handlers set Result to mark a message handled.
#pragma once
#include <cstdint>

#include "platform/inputcodes.h"

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

namespace in = platform::input;
constexpr unsigned WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
                   WM_ERASEBKGND = 0x0014, WM_SETCURSOR = 0x0020, WM_CONTEXTMENU = 0x007B, WM_COMMAND = 0x0111,
                   WM_CAPTURECHANGED = 0x0215;
// What the hosts deliver.
constexpr unsigned WM_KEYDOWN = in::msgKeyDown, WM_KEYUP = in::msgKeyUp, WM_CHAR = in::msgChar,
                   WM_SYSKEYDOWN = in::msgSysKeyDown, WM_SYSKEYUP = in::msgSysKeyUp, WM_SYSCHAR = in::msgSysChar,
                   WM_MOUSEMOVE = in::msgMouseMove, WM_LBUTTONDOWN = in::msgLButtonDown, WM_LBUTTONUP = in::msgLButtonUp,
                   WM_LBUTTONDBLCLK = in::msgLButtonDblClk, WM_RBUTTONDOWN = in::msgRButtonDown,
                   WM_RBUTTONUP = in::msgRButtonUp, WM_RBUTTONDBLCLK = in::msgRButtonDblClk;

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
constexpr unsigned VK_BACK = in::vkBack, VK_TAB = in::vkTab, VK_RETURN = in::vkReturn, VK_SHIFT = in::vkShift,
                   VK_CONTROL = in::vkControl, VK_MENU = in::vkMenu, VK_ESCAPE = in::vkEscape, VK_SPACE = in::vkSpace,
                   VK_PRIOR = in::vkPrior, VK_NEXT = in::vkNext, VK_END = in::vkEnd, VK_HOME = in::vkHome,
                   VK_LEFT = in::vkLeft, VK_UP = in::vkUp, VK_RIGHT = in::vkRight, VK_DOWN = in::vkDown,
                   VK_DELETE = in::vkDelete, VK_APPS = in::vkApps, VK_F4 = in::vkF4, VK_F10 = in::vkF10;

// Modifier keys and mouse buttons held, as a set.
using enum platform::input::ShiftFlag;
using TShiftState = platform::input::ShiftState;

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
