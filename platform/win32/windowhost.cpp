// The Win32 window host: one top-level window per form. The form paints into its own bitmap; the
// window keeps a DIB section with the last picture it was given and copies it to the screen on
// WM_PAINT. Input goes to the form as the Windows messages it already speaks. Popups (menus) are
// topmost tool windows that take the mouse capture and, through the message loop, the keys.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
#undef MessageBox  // the host interface's own member of that name

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/windowhost.h"

#include "platform/inputcodes.h"

namespace kestrova::platform {

// The toolkit takes the messages and keys as Windows numbers them.
static_assert(input::msgKeyDown == WM_KEYDOWN && input::msgSysChar == WM_SYSCHAR && input::msgMouseMove == WM_MOUSEMOVE &&
              input::msgRButtonDblClk == WM_RBUTTONDBLCLK && input::vkReturn == VK_RETURN && input::vkApps == VK_APPS &&
              input::vkF10 == VK_F10 && input::vkDelete == VK_DELETE);

namespace {

constexpr char kFormClass[] = "KestrovaForm";
constexpr char kHintClass[] = "KestrovaHint";

using namespace input;

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The shown popup that the keys go to, whichever window has the focus (a menu never takes it).
HWND gKeyboardPopup = nullptr;

unsigned MouseShift(WPARAM wParam, bool dbl) {
  unsigned shift = 0;
  if (wParam & MK_SHIFT) shift |= ssShift;
  if (wParam & MK_CONTROL) shift |= ssCtrl;
  if (wParam & MK_LBUTTON) shift |= ssLeft;
  if (wParam & MK_RBUTTON) shift |= ssRight;
  if (wParam & MK_MBUTTON) shift |= ssMiddle;
  if (KeyHeld(VK_MENU)) shift |= ssAlt;
  if (dbl) shift |= ssDouble;
  return shift;
}

// System keys carry Alt in the message itself (bit 29), which holds for posted keys as well.
unsigned KeyShift(UINT msg, LPARAM lParam) {
  unsigned shift = 0;
  if (KeyHeld(VK_SHIFT)) shift |= ssShift;
  if (KeyHeld(VK_CONTROL)) shift |= ssCtrl;
  const bool system = msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP || msg == WM_SYSCHAR;
  if (KeyHeld(VK_MENU) || (system && (lParam & (1 << 29)))) shift |= ssAlt;
  return shift;
}

// A 32-bit top-down DIB section: its memory is exactly the toolkit's 0x00RRGGBB rows.
class Picture {
 public:
  ~Picture() { Free(); }
  void Assign(const std::uint32_t* pixels, int width, int height, int stride) {
    if (width <= 0 || height <= 0) {
      Free();
      return;
    }
    if (width != FWidth || height != FHeight) {
      Free();
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = -height;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
      if (!FBitmap) return;
      FWidth = width;
      FHeight = height;
    }
    GdiFlush();
    for (int y = 0; y < height; ++y)
      std::memcpy(FBits + static_cast<std::size_t>(y) * width, pixels + static_cast<std::size_t>(y) * stride,
                  static_cast<std::size_t>(width) * 4);
  }
  void Draw(HDC dc) const {
    if (!FBitmap) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, FBitmap);
    BitBlt(dc, 0, 0, FWidth, FHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

 private:
  void Free() {
    if (FBitmap) DeleteObject(FBitmap);
    FBitmap = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
  }
  HBITMAP FBitmap = nullptr;
  std::uint32_t* FBits = nullptr;
  int FWidth = 0, FHeight = 0;
};

LRESULT CALLBACK HintProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = FormProc;
    form.hInstance = GetModuleHandleA(nullptr);
    form.hIcon = LoadIconA(form.hInstance, MAKEINTRESOURCEA(1));
    if (!form.hIcon) form.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExA(&form);
    WNDCLASSEXA hint{};
    hint.cbSize = sizeof hint;
    hint.style = CS_SAVEBITS;
    hint.lpfnWndProc = HintProc;
    hint.hInstance = GetModuleHandleA(nullptr);
    hint.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    hint.lpszClassName = kHintClass;
    RegisterClassExA(&hint);
    return true;
  }();
  (void)registered;
}

class Win32Window final : public HostWindow {
 public:
  Win32Window(const WindowOptions& options, WindowListener& listener) : FListener(listener), FPopup(options.Popup) {
    RegisterClasses();
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
    if (options.Sizeable) style |= WS_THICKFRAME;
    if (options.SystemMenu) style |= WS_SYSMENU;
    if (options.MinimizeBox) style |= WS_MINIMIZEBOX;
    if (options.MaximizeBox) style |= WS_MAXIMIZEBOX;
    DWORD exStyle = WS_EX_WINDOWEDGE;
    if (FPopup) {
      style = WS_POPUP;
      exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    }
    // The form's size is its client area; the frame goes around it.
    RECT frame = {0, 0, std::max(options.ClientWidth, 0), std::max(options.ClientHeight, 0)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = options.Left, y = options.Top;
    if (options.CenterOnScreen) {
      x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
      y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    FWnd = CreateWindowExA(exStyle, kFormClass, options.Caption.c_str(), style, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), this);
    FCursor = LoadCursorA(nullptr, IDC_ARROW);
  }

  ~Win32Window() override {
    // The form is going: nothing more reaches it, not even the messages DestroyWindow sends.
    FGone = true;
    if (gKeyboardPopup == FWnd) gKeyboardPopup = nullptr;
    if (FHint) DestroyWindow(FHint);
    if (FWnd) DestroyWindow(FWnd);
  }

  void Show(bool visible) override {
    if (!FWnd) return;
    if (visible && FPopup) {
      // Above everything, without taking the activation from the form it belongs to.
      SetWindowPos(FWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      UpdateWindow(FWnd);
      SetCapture(true);
      gKeyboardPopup = FWnd;
    } else if (visible) {
      ShowWindow(FWnd, SW_SHOWNORMAL);
      SetForegroundWindow(FWnd);
      UpdateWindow(FWnd);
    } else {
      if (gKeyboardPopup == FWnd) gKeyboardPopup = nullptr;
      HideHint();
      SetCapture(false);
      ShowWindow(FWnd, SW_HIDE);
    }
  }

  void SetCaption(const std::string& caption) override {
    if (FWnd) SetWindowTextA(FWnd, caption.c_str());
  }

  void Present(const std::uint32_t* pixels, int width, int height, int stride) override {
    FPicture.Assign(pixels, width, height, stride);
    FDirty = false;
    // Inside WM_PAINT the copy to the screen follows at once; otherwise ask for it.
    if (!FPainting && FWnd) InvalidateRect(FWnd, nullptr, FALSE);
  }

  void Invalidate() override {
    FDirty = true;
    if (FWnd) InvalidateRect(FWnd, nullptr, FALSE);
  }

  void SetCapture(bool capture) override {
    if (!FWnd || capture == FCaptured) return;
    FCaptured = capture;
    if (capture) ::SetCapture(FWnd);
    else if (GetCapture() == FWnd) ReleaseCapture();
  }

  void SetCursor(MouseCursor cursor) override {
    FCursor = LoadCursorA(nullptr, cursor == MouseCursor::Hand ? IDC_HAND : IDC_ARROW);
    // At once when the pointer is over this window's client area, as WM_SETCURSOR would.
    POINT p;
    if (FWnd && GetCursorPos(&p) && WindowFromPoint(p) == FWnd) {
      ScreenToClient(FWnd, &p);
      RECT client;
      GetClientRect(FWnd, &client);
      if (PtInRect(&client, p)) ::SetCursor(FCursor);
    }
  }

  void ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) override {
    if (!FWnd) return;
    if (!FHint) {
      FHint = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kHintClass, "", WS_POPUP, 0, 0, 0, 0,
                              FWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
      if (!FHint) return;
      SetWindowLongPtrA(FHint, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FHintPicture));
    }
    FHintPicture.Assign(pixels, width, height, width);
    // Kept on the screen, as a tooltip is.
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const int x = std::max(0, std::min(screenX, screenW - width));
    const int y = std::max(0, std::min(screenY, screenH - height));
    SetWindowPos(FHint, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(FHint, nullptr, FALSE);
    UpdateWindow(FHint);
  }

  void HideHint() override {
    if (FHint) ShowWindow(FHint, SW_HIDE);
  }

  void ClientOrigin(int& x, int& y) override {
    POINT p = {0, 0};
    if (FWnd) ClientToScreen(FWnd, &p);
    x = p.x;
    y = p.y;
  }

  void SetEnabled(bool enabled) override {
    if (FWnd) EnableWindow(FWnd, enabled ? TRUE : FALSE);
  }

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (FGone) return DefWindowProcA(FWnd, msg, wParam, lParam);
    switch (msg) {
      case WM_ERASEBKGND: return 1;  // the picture covers the whole client area
      case WM_MOUSEACTIVATE:
        if (FPopup) return MA_NOACTIVATE;
        break;
      case WM_PAINT: {
        if (FDirty) {
          FPainting = true;
          FListener.HostPaint();
          FPainting = false;
          FDirty = false;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FWnd, &ps);
        FPicture.Draw(dc);
        EndPaint(FWnd, &ps);
        return 0;
      }
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
      case WM_MBUTTONDBLCLK: {
        const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
        if (msg == WM_MOUSEMOVE && !FTracking) {
          TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, FWnd, 0};
          FTracking = TrackMouseEvent(&track) != FALSE;
        }
        FListener.HostMouse(msg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), MouseShift(wParam, dbl));
        return 0;
      }
      case WM_MOUSELEAVE:
        // The pointer left the window: to the form that is a move to nowhere over its controls,
        // so hover states and a pending hint end. Under capture the moves keep coming anyway.
        FTracking = false;
        if (!FCaptured) FListener.HostMouse(WM_MOUSEMOVE, -1, -1, MouseShift(0, false));
        return 0;
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == FWnd) {
          ::SetCursor(FCursor);
          return TRUE;
        }
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
        FListener.HostKey(msg, static_cast<unsigned>(wParam), KeyShift(msg, lParam));
        return 0;
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
      case WM_SYSCHAR: {
        FListener.HostKey(msg, static_cast<unsigned>(wParam), KeyShift(msg, lParam));
        // Alt+F4 is the form's own (it closes itself once); Alt+Space still opens the system
        // menu. Other system characters were accelerators, so no beep for them.
        if (msg == WM_SYSKEYDOWN && wParam == VK_F4) return 0;
        if (msg == WM_SYSCHAR && wParam != ' ') return 0;
        break;
      }
      case WM_ACTIVATE: FListener.HostActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
      case WM_CLOSE: FListener.HostCloseRequest(); return 0;
      case WM_CAPTURECHANGED:
        if (FCaptured && reinterpret_cast<HWND>(lParam) != FWnd) {
          FCaptured = false;
          FListener.HostCaptureLost();
        }
        return 0;
      default: break;
    }
    return DefWindowProcA(FWnd, msg, wParam, lParam);
  }

  HWND FWnd = nullptr;

 private:
  WindowListener& FListener;
  HWND FHint = nullptr;
  Picture FPicture;
  Picture FHintPicture;
  HCURSOR FCursor = nullptr;
  bool FDirty = false;
  bool FPainting = false;
  bool FCaptured = false;
  bool FTracking = false;
  bool FGone = false;
  bool FPopup = false;
};

LRESULT CALLBACK FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    window->FWnd = wnd;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!window || window->FWnd != wnd) return DefWindowProcA(wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    return DefWindowProcA(wnd, msg, wParam, lParam);
  }
  return window->Handle(msg, wParam, lParam);
}

LRESULT CALLBACK HintProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;  // the pointer passes through to the form
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      if (auto* picture = reinterpret_cast<const Picture*>(GetWindowLongPtrA(wnd, GWLP_USERDATA))) picture->Draw(dc);
      EndPaint(wnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(wnd, msg, wParam, lParam);
  }
}

// "Text files (*.txt)|*.txt|All files|*.*" becomes the pairs of strings the dialog wants.
std::string DialogFilter(const std::string& filter) {
  std::string out = filter;
  std::replace(out.begin(), out.end(), '|', '\0');
  out.append(2, '\0');
  return out;
}

class Win32Host final : public WindowHost {
 public:
  std::unique_ptr<HostWindow> CreateHostWindow(const WindowOptions& options, WindowListener& listener) override {
    return std::make_unique<Win32Window>(options, listener);
  }

  void ProcessMessages() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Not ours to end the loop with; leave it for whoever asked to quit.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      // A shown popup has the keyboard, as a menu has while it tracks.
      if (gKeyboardPopup && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) msg.hwnd = gKeyboardPopup;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  void WaitMessage(unsigned timeoutMs) override {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }

  std::uint64_t TickCount() override { return GetTickCount64(); }

  void ScreenSize(int& width, int& height) override {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
  }

  bool OpenAddress(const std::string& address) override {
    // Only web addresses: "open" on anything else would start programs or documents.
    const bool web = address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
    if (!web || address.find_first_of("\"\r\n") != std::string::npos) return false;
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
  }

  std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) override {
    std::vector<char> name(32768, '\0');
    // A name longer than the buffer would not be a name the dialog could give back: start empty.
    if (initialName.size() < name.size()) std::copy(initialName.begin(), initialName.end(), name.begin());
    const std::string filters = DialogFilter(filter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return chosen ? std::string(name.data()) : std::string();
  }
};

}  // namespace

WindowHost& SystemWindowHost() {
  static Win32Host host;
  return host;
}

}  // namespace kestrova::platform
