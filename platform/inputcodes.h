// The input codes that every window host delivers and the toolkit's messages carry: the Windows
// numbers of the input messages and virtual keys, and the set of modifier keys and mouse buttons
// held. Named without the Windows macro names, which <windows.h> defines to the same numbers.
#pragma once
#include <cstdint>

namespace kestrova::platform::input {

enum Message : unsigned {
  msgKeyDown = 0x0100, msgKeyUp = 0x0101, msgChar = 0x0102,
  msgSysKeyDown = 0x0104, msgSysKeyUp = 0x0105, msgSysChar = 0x0106,
  msgMouseMove = 0x0200, msgLButtonDown = 0x0201, msgLButtonUp = 0x0202, msgLButtonDblClk = 0x0203,
  msgRButtonDown = 0x0204, msgRButtonUp = 0x0205, msgRButtonDblClk = 0x0206,
};

enum VirtualKey : unsigned {
  vkBack = 0x08, vkTab = 0x09, vkReturn = 0x0D, vkShift = 0x10, vkControl = 0x11, vkMenu = 0x12,
  vkEscape = 0x1B, vkSpace = 0x20, vkPrior = 0x21, vkNext = 0x22, vkEnd = 0x23, vkHome = 0x24,
  vkLeft = 0x25, vkUp = 0x26, vkRight = 0x27, vkDown = 0x28, vkDelete = 0x2E, vkApps = 0x5D,
  vkF1 = 0x70, vkF4 = 0x73, vkF10 = 0x79, vkF12 = 0x7B,
};

// Modifier keys and mouse buttons held, as a set; ssDouble marks the second press of a double-click.
enum ShiftFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using ShiftState = std::uint8_t;

}  // namespace kestrova::platform::input
