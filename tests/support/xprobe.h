// A second client of the tests' X server that looks at the program's windows from outside the
// way a person or a window manager would: finds them, reads their pixels, properties and the
// cursor, and synthesises input with XTest. Windows are plain X ids here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::testing {

struct XPicture {
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB, top-down
};

class XProbe {
 public:
  XProbe();  // on TestDisplay()
  ~XProbe();
  XProbe(const XProbe&) = delete;
  XProbe& operator=(const XProbe&) = delete;

  // Waits until the server has handled everything asked so far.
  void Sync();
  // A top-level window by its WM_NAME; 0 when there is none.
  unsigned long FindTopLevel(const std::string& name);
  // The viewable override-redirect top-level window (a hint), or 0.
  unsigned long FindPopup();
  bool Viewable(unsigned long window);
  void Origin(unsigned long window, int& x, int& y);
  XPicture Picture(unsigned long window);
  // WM_NORMAL_HINTS minimum and maximum size; false when either is missing.
  bool FixedSize(unsigned long window, int& width, int& height);
  std::string NetWmName(unsigned long window);
  // The window manager's close request (WM_DELETE_WINDOW).
  void RequestClose(unsigned long window);
  // Gives the keyboard focus to the window; 0 takes it from every window.
  void Focus(unsigned long window);
  // A plain window of the probe's own over part of the screen, and its end.
  unsigned long Cover(int x, int y, int width, int height);
  void Destroy(unsigned long window);
  // True when the probe could take the pointer (it is released again at once).
  bool PointerFree();

  // Input in screen coordinates; keys by their X keysym names ("Tab", "Shift_L", "F4").
  void MoveTo(int x, int y);
  void Button(bool down, unsigned button = 1);  // 1 left, 3 right
  void Key(const std::string& key, const std::string& modifier = "");
  // The cursor now shown, as pixels and hot spot; the image of a standard cursor for comparison.
  std::vector<unsigned long> CursorImage();
  std::vector<unsigned long> HandCursorImage();
  std::vector<unsigned long> ArrowCursorImage();

 private:
  std::vector<unsigned long> FontCursorImage(unsigned shape);
  void* FDisplay = nullptr;
};

}  // namespace kestrova::testing
