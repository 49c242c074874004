// The window host on Linux: one Xlib window per form showing the form's bitmap (through shared
// memory where the server offers it, else with XPutImage), popups as override-redirect windows
// that grab the pointer and the keyboard, X input turned into the Windows mouse and key messages
// the toolkit expects, the message loop over the X connection, "open" through xdg-open. X errors
// are noted rather than fatal; a lost connection ends the program with a plain message.
#include "platform/windowhost.h"

#include "platform/inputcodes.h"

#include "platform/desktopdialogs.h"
#include "platform/x11/xdiagnostics.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <spawn.h>
#include <sys/ipc.h>
#include <sys/select.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrova::platform {

namespace {

x11::XErrorNote gLastError;
x11::PresentCounts gPresents;

// Xlib's own handler ends the process on any error. A request on a window that another client
// destroyed, or a grab the server refused, is no reason to: note it and go on.
int NoteXError(Display*, XErrorEvent* e) {
  ++gLastError.Count;
  gLastError.Code = e->error_code;
  gLastError.Request = e->request_code;
  gLastError.Resource = e->resourceid;
  return 0;
}

// Without the connection nothing can go on (Xlib ends the process when this returns); say so
// plainly instead of Xlib's text.
int ConnectionLost(Display* display) {
  std::fprintf(stderr, "kestrova: the connection to the X display \"%s\" was lost; the program ends.\n",
               display ? DisplayString(display) : "");
  std::fflush(stderr);
  std::_Exit(1);
}

using namespace input;
// The Windows defaults: a second press within this time and distance is a double-click.
constexpr Time kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 4;

unsigned ShiftOf(unsigned state) {
  unsigned shift = 0;
  if (state & ShiftMask) shift |= ssShift;
  if (state & Mod1Mask) shift |= ssAlt;
  if (state & ControlMask) shift |= ssCtrl;
  if (state & Button1Mask) shift |= ssLeft;
  if (state & Button2Mask) shift |= ssMiddle;
  if (state & Button3Mask) shift |= ssRight;
  return shift;
}

unsigned ButtonShift(unsigned button) { return button == Button1 ? ssLeft : button == Button3 ? ssRight : ssMiddle; }

// The Windows virtual key for the keys the toolkit knows; 0 for the rest.
unsigned VirtualKeyOf(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<unsigned>(sym - XK_a) + 'A';
  if (sym >= XK_A && sym <= XK_Z) return static_cast<unsigned>(sym - XK_A) + 'A';
  if (sym >= XK_0 && sym <= XK_9) return static_cast<unsigned>(sym - XK_0) + '0';
  if (sym >= XK_F1 && sym <= XK_F12) return static_cast<unsigned>(sym - XK_F1) + vkF1;
  switch (sym) {
    case XK_BackSpace: return vkBack;
    case XK_Tab:
    case XK_ISO_Left_Tab: return vkTab;
    case XK_Return:
    case XK_KP_Enter: return vkReturn;
    case XK_Shift_L:
    case XK_Shift_R: return vkShift;
    case XK_Control_L:
    case XK_Control_R: return vkControl;
    case XK_Alt_L:
    case XK_Alt_R: return vkMenu;
    case XK_Escape: return vkEscape;
    case XK_space: return vkSpace;
    case XK_Left: return vkLeft;
    case XK_Up: return vkUp;
    case XK_Right: return vkRight;
    case XK_Down: return vkDown;
    case XK_Prior:
    case XK_KP_Prior: return vkPrior;
    case XK_Next:
    case XK_KP_Next: return vkNext;
    case XK_End:
    case XK_KP_End: return vkEnd;
    case XK_Home:
    case XK_KP_Home: return vkHome;
    case XK_Delete:
    case XK_KP_Delete: return vkDelete;
    case XK_Menu: return vkApps;
    default: return 0;
  }
}

// Captions are ANSI (Latin-1 here); _NET_WM_NAME wants UTF-8.
std::string Utf8Of(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    if (c < 0x80) out += static_cast<char>(c);
    else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Motif hints: the window manager's frame without a maximise box and without resizing.
struct MotifHints {
  unsigned long Flags, Functions, Decorations;
  long InputMode;
  unsigned long State;
};
constexpr unsigned long kMwmHintsFunctions = 1, kMwmHintsDecorations = 2;
constexpr unsigned long kMwmFuncResize = 2, kMwmFuncMove = 4, kMwmFuncMinimize = 8, kMwmFuncMaximize = 16, kMwmFuncClose = 32;
constexpr unsigned long kMwmDecorBorder = 2, kMwmDecorResizeH = 4, kMwmDecorTitle = 8, kMwmDecorMenu = 16,
                        kMwmDecorMinimize = 32, kMwmDecorMaximize = 64;

class X11Host;

// The pixels of one window, converted to the visual's layout when it is not 0x00RRGGBB, and sent
// to the server through a shared-memory image when the host may, by XPutImage otherwise.
class X11Picture {
 public:
  X11Picture() = default;
  X11Picture(const X11Picture&) = delete;
  X11Picture& operator=(const X11Picture&) = delete;
  ~X11Picture() { ReleaseShared(); }
  // Whether this picture may use shared memory at all (the host still decides whether it can).
  void AllowShared(bool allow) { FAllowShared = allow; }
  void Set(const std::uint32_t* pixels, int width, int height, int stride) {
    FWidth = width;
    FHeight = height;
    FPixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      std::memcpy(&FPixels[static_cast<std::size_t>(y) * width], pixels + static_cast<std::size_t>(y) * stride,
                  static_cast<std::size_t>(width) * 4);
  }
  bool Empty() const { return FPixels.empty(); }
  // Draws the part of the picture inside the rectangle.
  void Put(X11Host& host, Drawable target, GC gc, int x, int y, int w, int h);

 private:
  // Fills the rectangle of an image of the picture's size from the pixels.
  void Fill(XImage* image, Visual* visual, int x, int y, int w, int h) const;
  bool PutShared(X11Host& host, Drawable target, GC gc, int x, int y, int w, int h);
  void ReleaseShared();

  int FWidth = 0, FHeight = 0;
  std::vector<std::uint32_t> FPixels;
  bool FAllowShared = true;
  Display* FSharedDisplay = nullptr;
  XImage* FShared = nullptr;
  XShmSegmentInfo FSegment{};
};

class X11Window final : public HostWindow {
 public:
  X11Window(X11Host& host, const WindowOptions& options, WindowListener& listener);
  ~X11Window() override;

  void Show(bool visible) override;
  void SetCaption(const std::string& caption) override;
  void Present(const std::uint32_t* pixels, int width, int height, int stride) override;
  void Invalidate() override { FNeedsPaint = true; }
  void SetCapture(bool capture) override;
  void SetCursor(MouseCursor cursor) override;
  void ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) override;
  void HideHint() override;
  void ClientOrigin(int& x, int& y) override;
  // X has no disabled windows: this one drops its input itself while a modal form runs.
  void SetEnabled(bool enabled) override;

  void HandleEvent(XEvent& event);
  bool IsPopup() const { return FPopup; }
  // A repaint that was asked for, delivered from the message loop.
  bool PaintIfNeeded();
  bool NeedsPaint() const { return FNeedsPaint && FVisible; }
  Window Handle() const { return FWindow; }
  Window HintHandle() const { return FHint; }

 private:
  void Draw(int x, int y, int w, int h);
  void DrawHint();
  void MouseMove(int x, int y, unsigned shift);
  void Button(XButtonEvent& e, bool down);
  void Key(XKeyEvent& e, bool down);
  void ReleaseCapture(bool notify);
  void GrabKeyboard(bool grab);

  X11Host& FHost;
  Display* FDisplay;
  WindowListener& FListener;
  Window FWindow = 0;
  GC FGC = nullptr;
  Window FHint = 0;
  X11Picture FPicture;
  X11Picture FHintPicture;
  bool FVisible = false;
  bool FNeedsPaint = false;
  bool FCaptured = false;
  bool FKeyboardGrabbed = false;
  bool FPopup = false;
  bool FActive = false;
  bool FEnabled = true;
  int FMouseX = -1, FMouseY = -1;
  unsigned FLastButton = 0;
  Time FLastPress = 0;
  int FLastPressX = 0, FLastPressY = 0;
  bool FLastWasDouble = false;
};

class X11Host final : public WindowHost {
 public:
  ~X11Host() override {
    if (FDisplay) {
      XFreeCursor(FDisplay, FArrow);
      XFreeCursor(FDisplay, FHand);
      XCloseDisplay(FDisplay);
    }
  }

  std::unique_ptr<HostWindow> CreateHostWindow(const WindowOptions& options, WindowListener& listener) override {
    Connect();
    auto window = std::make_unique<X11Window>(*this, options, listener);
    FWindows[window->Handle()] = window.get();
    return window;
  }

  void ProcessMessages() override {
    if (!FDisplay) return;
    XFlush(FDisplay);
    while (XPending(FDisplay) > 0) {
      XEvent event;
      XNextEvent(FDisplay, &event);
      // The window may go while it handles the event (a close): look it up for each one.
      if (auto it = FWindows.find(event.xany.window); it != FWindows.end()) it->second->HandleEvent(event);
    }
    for (X11Window* w : Windows()) w->PaintIfNeeded();
    XFlush(FDisplay);
  }

  void WaitMessage(unsigned timeoutMs) override {
    if (!FDisplay) {
      timespec pause{static_cast<time_t>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000000L};
      nanosleep(&pause, nullptr);
      return;
    }
    XFlush(FDisplay);
    if (XPending(FDisplay) > 0) return;
    for (X11Window* w : Windows())
      if (w->NeedsPaint()) return;
    const int fd = ConnectionNumber(FDisplay);
    fd_set read;
    FD_ZERO(&read);
    FD_SET(fd, &read);
    timeval timeout{static_cast<time_t>(timeoutMs / 1000), static_cast<suseconds_t>((timeoutMs % 1000) * 1000)};
    select(fd + 1, &read, nullptr, nullptr, &timeout);
  }

  void ScreenSize(int& width, int& height) override {
    Connect();
    const int screen = DefaultScreen(FDisplay);
    width = DisplayWidth(FDisplay, screen);
    height = DisplayHeight(FDisplay, screen);
  }

  std::uint64_t TickCount() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec / 1000000);
  }

  bool OpenAddress(const std::string& address) override {
    // An address that begins like an option would be taken as one by xdg-open.
    if (address.empty() || address[0] == '-') return false;
    std::string program = "xdg-open";
    std::vector<char*> argv = {program.data(), const_cast<char*>(address.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0) return false;
    // xdg-open hands the address to the browser and ends; its exit is collected out of the way
    // of the message loop so that it leaves no zombie behind.
    std::thread([pid] {
      int status = 0;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
    return true;
  }

  std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) override {
    if (DesktopDialogs* dialogs = RegisteredDesktopDialogs()) return dialogs->FileDialog(save, filter, initialName);
    return {};
  }

  void Forget(Window window) { FWindows.erase(window); }
  Display* Connection() const { return FDisplay; }
  // Shared memory for pictures: the server has MIT-SHM, the display is on this machine, and no
  // attach has failed yet.
  bool SharedMemory() const { return FSharedMemory; }
  void SharedMemoryFailed() { FSharedMemory = false; }
  Atom Protocols = 0, DeleteWindow = 0, NetWmName = 0, Utf8String = 0, MotifWmHints = 0;
  Cursor FArrow = 0, FHand = 0;

 private:
  void Connect() {
    if (FDisplay) return;
    XSetErrorHandler(NoteXError);
    XSetIOErrorHandler(ConnectionLost);
    const char* name = std::getenv("DISPLAY");
    FDisplay = XOpenDisplay(nullptr);
    if (!FDisplay)
      throw std::runtime_error(std::string("Cannot open the X display \"") + (name ? name : "") +
                               "\": the window needs a graphical desktop");
    // A segment of this machine's memory means nothing to a server elsewhere.
    const char* shown = DisplayString(FDisplay);
    const bool local = shown[0] == ':' || std::strncmp(shown, "unix:", 5) == 0;
    FSharedMemory = local && XShmQueryExtension(FDisplay);
    Protocols = XInternAtom(FDisplay, "WM_PROTOCOLS", False);
    DeleteWindow = XInternAtom(FDisplay, "WM_DELETE_WINDOW", False);
    NetWmName = XInternAtom(FDisplay, "_NET_WM_NAME", False);
    Utf8String = XInternAtom(FDisplay, "UTF8_STRING", False);
    MotifWmHints = XInternAtom(FDisplay, "_MOTIF_WM_HINTS", False);
    FArrow = XCreateFontCursor(FDisplay, XC_left_ptr);
    FHand = XCreateFontCursor(FDisplay, XC_hand2);
  }

  std::vector<X11Window*> Windows() const {
    std::vector<X11Window*> list;
    for (auto& [handle, window] : FWindows)
      if (handle == window->Handle()) list.push_back(window);
    return list;
  }

  Display* FDisplay = nullptr;
  bool FSharedMemory = false;
  std::map<Window, X11Window*> FWindows;
  friend class X11Window;
};

void X11Picture::Fill(XImage* image, Visual* visual, int x, int y, int w, int h) const {
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && visual->red_mask == 0xFF0000 &&
                      visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
  if (direct) {
    for (int py = y; py < y + h; ++py)
      std::memcpy(image->data + static_cast<std::size_t>(py) * image->bytes_per_line + static_cast<std::size_t>(x) * 4,
                  &FPixels[static_cast<std::size_t>(py) * FWidth + x], static_cast<std::size_t>(w) * 4);
    return;
  }
  // Any other true-colour layout: each pixel placed through the image's own routine.
  auto scale = [](unsigned value, unsigned long mask) {
    if (!mask) return 0ul;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return ((static_cast<unsigned long>(value) * max + 127) / 255) << shift;
  };
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px) {
      const std::uint32_t p = FPixels[static_cast<std::size_t>(py) * FWidth + px];
      XPutPixel(image, px, py,
                scale((p >> 16) & 0xFF, visual->red_mask) | scale((p >> 8) & 0xFF, visual->green_mask) |
                    scale(p & 0xFF, visual->blue_mask));
    }
}

void X11Picture::Put(X11Host& host, Drawable target, GC gc, int x, int y, int w, int h) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  w = std::min(w, FWidth - x);
  h = std::min(h, FHeight - y);
  if (w <= 0 || h <= 0) return;
  if (FAllowShared && host.SharedMemory() && PutShared(host, target, gc, x, y, w, h)) {
    ++gPresents.Shared;
    return;
  }
  Display* display = host.Connection();
  const int screen = DefaultScreen(display);
  Visual* visual = DefaultVisual(display, screen);
  XImage* image = XCreateImage(display, visual, static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(FWidth), static_cast<unsigned>(FHeight), 32, 0);
  if (!image) return;
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && visual->red_mask == 0xFF0000 &&
                      visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF &&
                      image->bytes_per_line == FWidth * 4;
  if (direct) {
    image->data = reinterpret_cast<char*>(FPixels.data());
  } else {
    image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line), static_cast<std::size_t>(FHeight)));
    if (!image->data) {
      XDestroyImage(image);
      return;
    }
    Fill(image, visual, x, y, w, h);
  }
  XPutImage(display, target, gc, image, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (direct) image->data = nullptr;  // the pixels stay ours
  XDestroyImage(image);
  ++gPresents.Copied;
}

bool X11Picture::PutShared(X11Host& host, Drawable target, GC gc, int x, int y, int w, int h) {
  Display* display = host.Connection();
  const int screen = DefaultScreen(display);
  Visual* visual = DefaultVisual(display, screen);
  if (FShared && (FShared->width != FWidth || FShared->height != FHeight)) ReleaseShared();
  if (!FShared) {
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, nullptr,
                                    &FSegment, static_cast<unsigned>(FWidth), static_cast<unsigned>(FHeight));
    if (!image) return false;
    FSegment.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height),
                            IPC_CREAT | 0600);
    if (FSegment.shmid < 0) {
      XDestroyImage(image);
      return false;
    }
    FSegment.shmaddr = image->data = static_cast<char*>(shmat(FSegment.shmid, nullptr, 0));
    FSegment.readOnly = False;
    const unsigned long errors = gLastError.Count;
    const bool attached = FSegment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &FSegment);
    // An attach the server refuses (another machine's server after all, or no permission)
    // shows only as an error once the server has answered.
    if (attached) XSync(display, False);
    // The segment goes once both sides let go of it, whatever happens now.
    shmctl(FSegment.shmid, IPC_RMID, nullptr);
    if (!attached || gLastError.Count != errors) {
      if (FSegment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(FSegment.shmaddr);
      image->data = nullptr;
      XDestroyImage(image);
      host.SharedMemoryFailed();
      return false;
    }
    FShared = image;
    FSharedDisplay = display;
  }
  Fill(FShared, visual, x, y, w, h);
  XShmPutImage(display, target, gc, FShared, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), False);
  // The server reads the segment while it handles the request: it must be done before the
  // segment is written again.
  XSync(display, False);
  return true;
}

void X11Picture::ReleaseShared() {
  if (!FShared) return;
  XShmDetach(FSharedDisplay, &FSegment);
  XSync(FSharedDisplay, False);
  shmdt(FSegment.shmaddr);
  FShared->data = nullptr;
  XDestroyImage(FShared);
  FShared = nullptr;
}

X11Window::X11Window(X11Host& host, const WindowOptions& options, WindowListener& listener)
    : FHost(host), FDisplay(host.Connection()), FListener(listener), FPopup(options.Popup) {
  const int screen = DefaultScreen(FDisplay);
  const int width = std::max(1, options.ClientWidth), height = std::max(1, options.ClientHeight);
  int left = options.Left, top = options.Top;
  if (options.CenterOnScreen) {
    left = (DisplayWidth(FDisplay, screen) - width) / 2;
    top = (DisplayHeight(FDisplay, screen) - height) / 2;
  }
  const char* shm = std::getenv("KESTROVA_X11_SHM");
  const bool allowShared = !(shm && std::strcmp(shm, "0") == 0);
  FPicture.AllowShared(allowShared);
  FHintPicture.AllowShared(allowShared);
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;  // no flash of the server's background before a paint
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                          KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask;
  attributes.cursor = host.FArrow;
  // A popup is no window of the window manager's: no frame, no place in its lists, on top.
  attributes.override_redirect = FPopup ? True : False;
  attributes.save_under = FPopup ? True : False;
  FWindow = XCreateWindow(FDisplay, RootWindow(FDisplay, screen), left, top, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixmap | CWEventMask | CWCursor | CWOverrideRedirect | CWSaveUnder, &attributes);
  FGC = XCreateGC(FDisplay, FWindow, 0, nullptr);
  if (FPopup) return;

  XSizeHints* size = XAllocSizeHints();
  size->flags = PPosition | USPosition;
  size->x = left;
  size->y = top;
  if (!options.Sizeable) {
    size->flags |= PMinSize | PMaxSize;
    size->min_width = size->max_width = width;
    size->min_height = size->max_height = height;
  }
  XWMHints* wm = XAllocWMHints();
  wm->flags = InputHint | StateHint;
  wm->input = True;
  wm->initial_state = NormalState;
  XClassHint* cls = XAllocClassHint();
  std::string resName = "kestrova", resClass = "Kestrova";
  cls->res_name = resName.data();
  cls->res_class = resClass.data();
  XSetWMProperties(FDisplay, FWindow, nullptr, nullptr, nullptr, 0, size, wm, cls);
  XFree(size);
  XFree(wm);
  XFree(cls);
  XSetWMProtocols(FDisplay, FWindow, &host.DeleteWindow, 1);

  MotifHints motif{};
  motif.Flags = kMwmHintsFunctions | kMwmHintsDecorations;
  motif.Functions = kMwmFuncMove | (options.SystemMenu ? kMwmFuncClose : 0) | (options.MinimizeBox ? kMwmFuncMinimize : 0) |
                    (options.MaximizeBox ? kMwmFuncMaximize : 0) | (options.Sizeable ? kMwmFuncResize : 0);
  motif.Decorations = kMwmDecorBorder | kMwmDecorTitle | (options.SystemMenu ? kMwmDecorMenu : 0) |
                      (options.MinimizeBox ? kMwmDecorMinimize : 0) | (options.MaximizeBox ? kMwmDecorMaximize : 0) |
                      (options.Sizeable ? kMwmDecorResizeH : 0);
  XChangeProperty(FDisplay, FWindow, host.MotifWmHints, host.MotifWmHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&motif), 5);
  SetCaption(options.Caption);
}

X11Window::~X11Window() {
  ReleaseCapture(false);
  GrabKeyboard(false);
  HideHint();
  if (FHint) XDestroyWindow(FDisplay, FHint);
  FHost.Forget(FWindow);
  if (FHint) FHost.Forget(FHint);
  XFreeGC(FDisplay, FGC);
  XDestroyWindow(FDisplay, FWindow);
  XFlush(FDisplay);
}

void X11Window::Show(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (visible) {
    XMapRaised(FDisplay, FWindow);
    if (FPopup) {
      // Every click and key is the popup's now, wherever the pointer is.
      SetCapture(true);
      GrabKeyboard(true);
    }
  } else {
    ReleaseCapture(!FPopup);
    GrabKeyboard(false);
    HideHint();
    XUnmapWindow(FDisplay, FWindow);
  }
  XFlush(FDisplay);
}

void X11Window::SetCaption(const std::string& caption) {
  XTextProperty name{};
  std::string copy = caption;
  char* list[] = {copy.data()};
  if (XStringListToTextProperty(list, 1, &name)) {
    XSetWMName(FDisplay, FWindow, &name);
    XSetWMIconName(FDisplay, FWindow, &name);
    XFree(name.value);
  }
  const std::string utf8 = Utf8Of(caption);
  XChangeProperty(FDisplay, FWindow, FHost.NetWmName, FHost.Utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}

void X11Window::Present(const std::uint32_t* pixels, int width, int height, int stride) {
  FPicture.Set(pixels, width, height, stride);
  FNeedsPaint = false;
  if (FVisible) Draw(0, 0, width, height);
}

void X11Window::Draw(int x, int y, int w, int h) { FPicture.Put(FHost, FWindow, FGC, x, y, w, h); }

bool X11Window::PaintIfNeeded() {
  if (!NeedsPaint()) return false;
  FListener.HostPaint();
  return true;
}

// Another client's grab (a window manager's, briefly) refuses ours: try again for a moment.
template <class Grab>
bool GrabWithRetries(Grab grab) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (grab() == GrabSuccess) return true;
    timespec pause{0, 5 * 1000000L};
    nanosleep(&pause, nullptr);
  }
  return false;
}

void X11Window::SetCapture(bool capture) {
  if (capture == FCaptured) return;
  FCaptured = capture;
  if (capture)
    GrabWithRetries([&] {
      return XGrabPointer(FDisplay, FWindow, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                          GrabModeAsync, None, None, CurrentTime);
    });
  else
    XUngrabPointer(FDisplay, CurrentTime);
  XFlush(FDisplay);
}

void X11Window::GrabKeyboard(bool grab) {
  if (grab == FKeyboardGrabbed) return;
  FKeyboardGrabbed = grab;
  if (grab) GrabWithRetries([&] { return XGrabKeyboard(FDisplay, FWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime); });
  else XUngrabKeyboard(FDisplay, CurrentTime);
  XFlush(FDisplay);
}

void X11Window::ReleaseCapture(bool notify) {
  if (!FCaptured) return;
  SetCapture(false);
  if (notify) FListener.HostCaptureLost();
}

void X11Window::SetCursor(MouseCursor cursor) {
  XDefineCursor(FDisplay, FWindow, cursor == MouseCursor::Hand ? FHost.FHand : FHost.FArrow);
  XFlush(FDisplay);
}

void X11Window::ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) {
  if (width <= 0 || height <= 0) return;
  FHintPicture.Set(pixels, width, height, width);
  const int screen = DefaultScreen(FDisplay);
  if (!FHint) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // a hint is no window of the window manager's
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask;
    attributes.save_under = True;
    FHint = XCreateWindow(FDisplay, RootWindow(FDisplay, screen), screenX, screenY, static_cast<unsigned>(width),
                          static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixmap | CWEventMask | CWSaveUnder, &attributes);
    FHost.FWindows[FHint] = this;
  } else {
    XMoveResizeWindow(FDisplay, FHint, screenX, screenY, static_cast<unsigned>(width), static_cast<unsigned>(height));
  }
  XMapRaised(FDisplay, FHint);
  DrawHint();
  XFlush(FDisplay);
}

void X11Window::DrawHint() { FHintPicture.Put(FHost, FHint, FGC, 0, 0, 1 << 15, 1 << 15); }

void X11Window::HideHint() {
  if (!FHint) return;
  XUnmapWindow(FDisplay, FHint);
  XFlush(FDisplay);
}

void X11Window::ClientOrigin(int& x, int& y) {
  Window child = 0;
  x = y = 0;
  XTranslateCoordinates(FDisplay, FWindow, DefaultRootWindow(FDisplay), 0, 0, &x, &y, &child);
}

void X11Window::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (!enabled) ReleaseCapture(true);
}

void X11Window::MouseMove(int x, int y, unsigned shift) {
  FMouseX = x;
  FMouseY = y;
  FListener.HostMouse(msgMouseMove, x, y, shift);
}

void X11Window::Button(XButtonEvent& e, bool down) {
  if (e.button != Button1 && e.button != Button3) return;  // the middle button and the wheel mean nothing here
  const bool left = e.button == Button1;
  // The button that changes is in the state after the event, as Windows reports it.
  const unsigned shift = down ? ShiftOf(e.state) | ButtonShift(e.button) : ShiftOf(e.state) & ~ButtonShift(e.button);
  if (e.x != FMouseX || e.y != FMouseY) MouseMove(e.x, e.y, ShiftOf(e.state));
  if (!down) {
    FListener.HostMouse(left ? msgLButtonUp : msgRButtonUp, e.x, e.y, shift);
    return;
  }
  const bool dbl = !FLastWasDouble && e.button == FLastButton && e.time - FLastPress <= kDoubleClickTime &&
                   std::abs(e.x - FLastPressX) <= kDoubleClickDistance && std::abs(e.y - FLastPressY) <= kDoubleClickDistance;
  FLastButton = e.button;
  FLastPress = e.time;
  FLastPressX = e.x;
  FLastPressY = e.y;
  FLastWasDouble = dbl;  // a third press starts over
  FListener.HostMouse(dbl ? (left ? msgLButtonDblClk : msgRButtonDblClk) : (left ? msgLButtonDown : msgRButtonDown), e.x, e.y, shift);
}

void X11Window::Key(XKeyEvent& e, bool down) {
  char text[8] = {};
  KeySym sym = NoSymbol;
  const int length = XLookupString(&e, text, sizeof text, &sym, nullptr);
  const unsigned shift = ShiftOf(e.state) & (ssShift | ssAlt | ssCtrl);
  const bool alt = (shift & ssAlt) != 0;
  if (const unsigned key = VirtualKeyOf(sym)) FListener.HostKey(down ? (alt ? msgSysKeyDown : msgKeyDown) : (alt ? msgSysKeyUp : msgKeyUp), key, shift);
  if (!down) return;
  // Printable characters and backspace; the dialog keys (Tab, Enter, Escape) act as keys only.
  for (int i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c >= 0x20 && c != 0x7F) || c == 0x08) FListener.HostKey(alt ? msgSysChar : msgChar, c, shift);
  }
}

void X11Window::HandleEvent(XEvent& event) {
  if (event.xany.window == FHint) {
    if (event.type == Expose && event.xexpose.count == 0) DrawHint();
    return;
  }
  if (!FEnabled) {
    switch (event.type) {
      case MotionNotify:
      case LeaveNotify:
      case ButtonPress:
      case ButtonRelease:
      case KeyPress:
      case KeyRelease:
      case ClientMessage: return;
      default: break;
    }
  }
  switch (event.type) {
    case Expose:
      if (FPicture.Empty()) FNeedsPaint = true;
      else Draw(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      break;
    case MotionNotify: {
      // Only the latest position matters.
      XEvent next;
      while (XCheckTypedWindowEvent(FDisplay, FWindow, MotionNotify, &next)) event = next;
      MouseMove(event.xmotion.x, event.xmotion.y, ShiftOf(event.xmotion.state));
      break;
    }
    case LeaveNotify:
      // The pointer left the window: no control is under it any more.
      if (!FCaptured && event.xcrossing.mode == NotifyNormal) MouseMove(event.xcrossing.x, event.xcrossing.y, ShiftOf(event.xcrossing.state));
      break;
    case ButtonPress: Button(event.xbutton, true); break;
    case ButtonRelease: Button(event.xbutton, false); break;
    case KeyPress: Key(event.xkey, true); break;
    case KeyRelease: Key(event.xkey, false); break;
    case FocusIn:
    case FocusOut: {
      if (event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab || event.xfocus.detail == NotifyPointer) break;
      const bool active = event.type == FocusIn;
      if (active == FActive) break;
      FActive = active;
      FListener.HostActivate(active);
      break;
    }
    case UnmapNotify: ReleaseCapture(true); break;
    case ClientMessage:
      if (event.xclient.message_type == FHost.Protocols && static_cast<Atom>(event.xclient.data.l[0]) == FHost.DeleteWindow)
        FListener.HostCloseRequest();
      break;
    default: break;
  }
}

}  // namespace

namespace x11 {
XErrorNote LastXError() { return gLastError; }
PresentCounts Presents() { return gPresents; }
}  // namespace x11

WindowHost& SystemWindowHost() {
  // Never destroyed: forms freed at exit still close their windows through it.
  static X11Host* host = new X11Host;
  return *host;
}

}  // namespace kestrova::platform
