#include "tests/support/xprobe.h"

#include <stdexcept>

#include "tests/support/xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

namespace kestrova::testing {

namespace {
Display* D(void* d) { return static_cast<Display*>(d); }

template <class F>
void EachTopLevel(Display* d, F f) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) f(children[i]);
  if (children) XFree(children);
}
}  // namespace

XProbe::XProbe() {
  FDisplay = XOpenDisplay(TestDisplay().c_str());
  if (!FDisplay) throw std::runtime_error("cannot open the test display " + TestDisplay());
}

XProbe::~XProbe() { XCloseDisplay(D(FDisplay)); }

void XProbe::Sync() { XSync(D(FDisplay), False); }

unsigned long XProbe::FindTopLevel(const std::string& name) {
  Window found = 0;
  EachTopLevel(D(FDisplay), [&](Window w) {
    char* title = nullptr;
    if (!found && XFetchName(D(FDisplay), w, &title) && title) {
      if (name == title) found = w;
      XFree(title);
    }
  });
  return found;
}

unsigned long XProbe::FindPopup() {
  Window found = 0;
  EachTopLevel(D(FDisplay), [&](Window w) {
    XWindowAttributes a;
    if (XGetWindowAttributes(D(FDisplay), w, &a) && a.override_redirect && a.map_state == IsViewable) found = w;
  });
  return found;
}

bool XProbe::Viewable(unsigned long window) {
  XWindowAttributes a;
  return XGetWindowAttributes(D(FDisplay), window, &a) && a.map_state == IsViewable;
}

void XProbe::Origin(unsigned long window, int& x, int& y) {
  Window child;
  XTranslateCoordinates(D(FDisplay), window, DefaultRootWindow(D(FDisplay)), 0, 0, &x, &y, &child);
}

XPicture XProbe::Picture(unsigned long window) {
  XPicture p;
  XWindowAttributes a;
  if (!XGetWindowAttributes(D(FDisplay), window, &a)) return p;
  XImage* image = XGetImage(D(FDisplay), window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                            AllPlanes, ZPixmap);
  if (!image) return p;
  p.Width = a.width;
  p.Height = a.height;
  // The test server's 24-bit visual is 0xRRGGBB.
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) p.Pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
  XDestroyImage(image);
  return p;
}

bool XProbe::FixedSize(unsigned long window, int& width, int& height) {
  XSizeHints hints{};
  long supplied = 0;
  if (!XGetWMNormalHints(D(FDisplay), window, &hints, &supplied)) return false;
  if (!(hints.flags & PMinSize) || !(hints.flags & PMaxSize)) return false;
  if (hints.min_width != hints.max_width || hints.min_height != hints.max_height) return false;
  width = hints.min_width;
  height = hints.min_height;
  return true;
}

std::string XProbe::NetWmName(unsigned long window) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(D(FDisplay), window, XInternAtom(D(FDisplay), "_NET_WM_NAME", False), 0, 1024, False,
                         XInternAtom(D(FDisplay), "UTF8_STRING", False), &type, &format, &count, &after, &data) != Success ||
      !data)
    return {};
  std::string name(reinterpret_cast<char*>(data), count);
  XFree(data);
  return name;
}

void XProbe::RequestClose(unsigned long window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(D(FDisplay), "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(D(FDisplay), "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(D(FDisplay), window, False, NoEventMask, &e);
  Sync();
}

void XProbe::Focus(unsigned long window) {
  XSetInputFocus(D(FDisplay), window ? window : None, window ? RevertToPointerRoot : RevertToNone, CurrentTime);
  Sync();
}

unsigned long XProbe::Cover(int x, int y, int width, int height) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0xFF00FF;
  const Window w = XCreateWindow(D(FDisplay), DefaultRootWindow(D(FDisplay)), x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(D(FDisplay), w);
  Sync();
  return w;
}

void XProbe::Destroy(unsigned long window) {
  XDestroyWindow(D(FDisplay), window);
  Sync();
}

bool XProbe::PointerFree() {
  const int rc = XGrabPointer(D(FDisplay), DefaultRootWindow(D(FDisplay)), False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  if (rc == GrabSuccess) XUngrabPointer(D(FDisplay), CurrentTime);
  Sync();
  return rc == GrabSuccess;
}

void XProbe::MoveTo(int x, int y) {
  XTestFakeMotionEvent(D(FDisplay), -1, x, y, CurrentTime);
  Sync();
}

void XProbe::Button(bool down, unsigned button) {
  XTestFakeButtonEvent(D(FDisplay), button, down ? True : False, CurrentTime);
  Sync();
}

void XProbe::Key(const std::string& key, const std::string& modifier) {
  Display* d = D(FDisplay);
  const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(key.c_str()));
  const KeyCode mod = modifier.empty() ? 0 : XKeysymToKeycode(d, XStringToKeysym(modifier.c_str()));
  if (mod) XTestFakeKeyEvent(d, mod, True, CurrentTime);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  if (mod) XTestFakeKeyEvent(d, mod, False, CurrentTime);
  Sync();
}

std::vector<unsigned long> XProbe::CursorImage() {
  XFixesCursorImage* c = XFixesGetCursorImage(D(FDisplay));
  if (!c) return {};
  std::vector<unsigned long> image(c->pixels, c->pixels + static_cast<std::size_t>(c->width) * c->height);
  image.push_back(c->xhot);
  image.push_back(c->yhot);
  XFree(c);
  return image;
}

std::vector<unsigned long> XProbe::FontCursorImage(unsigned shape) {
  Display* d = D(FDisplay);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.cursor = XCreateFontCursor(d, shape);
  const Window w = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 20, 20, 0, CopyFromParent, InputOnly, CopyFromParent,
                                 CWOverrideRedirect | CWCursor, &attributes);
  XMapRaised(d, w);
  XTestFakeMotionEvent(d, -1, 10, 10, CurrentTime);
  Sync();
  std::vector<unsigned long> image = CursorImage();
  XDestroyWindow(d, w);
  XFreeCursor(d, attributes.cursor);
  Sync();
  return image;
}

std::vector<unsigned long> XProbe::HandCursorImage() { return FontCursorImage(XC_hand2); }
std::vector<unsigned long> XProbe::ArrowCursorImage() { return FontCursorImage(XC_left_ptr); }

}  // namespace kestrova::testing
