// The window host: one top-level window per form that shows the form's 32-bit bitmap and
// delivers input as toolkit messages; the message loop; the desktop's services (message box,
// file dialogs, "open" for web addresses). Win32, X11 and a headless host for tests implement it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/messagebox.h"

namespace kestrova::platform {

struct WindowOptions {
  std::string Caption;
  int ClientWidth = 0;
  int ClientHeight = 0;
  bool Sizeable = false;
  bool SystemMenu = true;
  bool MinimizeBox = true;
  bool MaximizeBox = false;
  bool CenterOnScreen = false;
  int Left = 0;
  int Top = 0;
  // A popup (a menu): no frame, above every other window, not in the task bar, its client area at
  // (Left, Top) on the screen. While shown it holds the pointer and the keyboard, so that a click
  // anywhere, and every key, reach it; losing them from outside is a capture loss.
  bool Popup = false;
};

enum class MouseCursor { Arrow, Hand };

// What a window tells its form. Mouse positions are client coordinates; messages and key codes
// are the Windows numbers; shift is the toolkit's shift set.
class WindowListener {
 public:
  virtual ~WindowListener() = default;
  virtual void HostPaint() = 0;
  virtual void HostMouse(unsigned msg, int x, int y, unsigned shift) = 0;
  virtual void HostKey(unsigned msg, unsigned key, unsigned shift) = 0;
  virtual void HostActivate(bool active) = 0;
  virtual void HostCloseRequest() = 0;
  virtual void HostCaptureLost() = 0;
};

class HostWindow {
 public:
  virtual ~HostWindow() = default;
  virtual void Show(bool visible) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // 0x00RRGGBB pixels, top-down, stride in pixels.
  virtual void Present(const std::uint32_t* pixels, int width, int height, int stride) = 0;
  virtual void Invalidate() = 0;
  virtual void SetCapture(bool capture) = 0;
  virtual void SetCursor(MouseCursor cursor) = 0;
  virtual void ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) = 0;
  virtual void HideHint() = 0;
  // The client area's top-left corner on the screen.
  virtual void ClientOrigin(int& x, int& y) = 0;
  // A disabled window takes no input (a modal form of the application runs).
  virtual void SetEnabled(bool enabled) = 0;
};

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual std::unique_ptr<HostWindow> CreateHostWindow(const WindowOptions& options, WindowListener& listener) = 0;
  // Delivers everything pending without waiting; WaitMessage waits for more, at most timeoutMs.
  virtual void ProcessMessages() = 0;
  virtual void WaitMessage(unsigned timeoutMs) = 0;
  virtual std::uint64_t TickCount() = 0;
  // The screen's size in pixels: popups are kept on it.
  virtual void ScreenSize(int& width, int& height) = 0;
  // The desktop's "open" action on a web address; false when it could not be asked.
  virtual bool OpenAddress(const std::string& address) = 0;
  // True for OK or Yes: the system's box, unless the host shows its own.
  virtual bool MessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind) {
    return ShowMessageBox(text, caption, kind);
  }
  // The chosen file, or empty when cancelled.
  virtual std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) = 0;
};

// The operating system's own host, created on first use and kept for the process.
WindowHost& SystemWindowHost();

}  // namespace kestrova::platform
