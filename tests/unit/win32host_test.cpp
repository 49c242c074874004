// The Win32 window host with real windows under Wine: the window's frame and place, the pixels on
// the screen against the headless host's, input sent to the real window, capture, cursor, hint,
// the modal loop, the message box and the file dialogs.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "framework/gfx/bitmap.h"
#include "framework/ui/forms.h"
#include "framework/ui/headlesshost.h"
#include "tests/support/childprocess.h"
#include "tests/support/demoform.h"

#include <windows.h>
#undef MessageBox

namespace kestrova {
namespace {

using testing::LoadDemoForm;
using testing::TDemoForm;

constexpr char kFormClass[] = "KestrovaForm";
constexpr char kCaption[] = "Kestrova demo";

ui::TApplication& App() { return ui::Application(); }

// Delivers messages for about ms milliseconds, or until done() holds.
template <class Done>
bool PumpUntil(unsigned ms, Done done) {
  platform::WindowHost& host = App().Host();
  const std::uint64_t end = host.TickCount() + ms;
  for (;;) {
    App().ProcessMessages();
    if (done()) return true;
    if (host.TickCount() >= end) return false;
    host.WaitMessage(20);
  }
}

// What the screen shows of a window's client area, through the screen's own device context.
void CaptureClient(HWND wnd, gfx::TBitmap& out) {
  RECT client;
  GetClientRect(wnd, &client);
  POINT origin = {0, 0};
  ClientToScreen(wnd, &origin);
  const int w = client.right, h = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  out.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    const auto* from = static_cast<const std::uint32_t*>(bits) + static_cast<std::size_t>(y) * w;
    auto* to = reinterpret_cast<std::uint32_t*>(out.ScanLine(y));
    for (int x = 0; x < w; ++x) to[x] = from[x] & 0xFFFFFF;
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// Pixels that differ, and the first of them.
int Differences(const gfx::TBitmap& a, const gfx::TBitmap& b, std::string& first) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    first = "sizes differ";
    return -1;
  }
  int count = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.PixelValue(x, y) != b.PixelValue(x, y) && count++ == 0) {
        char text[96];
        std::snprintf(text, sizeof text, "at (%d, %d): %06X on the screen, %06X headless", x, y,
                      static_cast<unsigned>(a.PixelValue(x, y)), static_cast<unsigned>(b.PixelValue(x, y)));
        first = text;
      }
  return count;
}

std::string BesideTheTest(const std::string& name) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

std::string WindowText(HWND wnd) {
  char text[512] = {};
  GetWindowTextA(wnd, text, sizeof text);
  return text;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

struct Win32Host : ::testing::Test {
  void SetUp() override {
    App().SetHost(&platform::SystemWindowHost());
    Form = LoadDemoForm();
    Form->Show();
    Wnd = FindWindowA(kFormClass, kCaption);
    ASSERT_NE(Wnd, nullptr);
    // Shown and painted: no part of it is still waiting for WM_PAINT.
    ASSERT_TRUE(PumpUntil(5000, [&] { return IsWindowVisible(Wnd) && !GetUpdateRect(Wnd, nullptr, FALSE); }));
  }
  void TearDown() override {
    Form.reset();
    App().SetHost(nullptr);
  }
  ui::TControl& Control(const char* name) { return *dynamic_cast<ui::TControl*>(Form->FindComponent(name)); }
  HCURSOR CursorAt(int x, int y) {
    SendMessageA(Wnd, WM_MOUSEMOVE, 0, At(x, y));
    SendMessageA(Wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  }

  std::unique_ptr<TDemoForm> Form;
  HWND Wnd = nullptr;
};

TEST_F(Win32Host, WindowHasTheFormsFixedFrameClientSizeAndIsCentred) {
  const LONG style = GetWindowLongA(Wnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0) << "single fixed border, no maximise box";
  EXPECT_TRUE(IsWindowVisible(Wnd));
  EXPECT_EQ(WindowText(Wnd), kCaption);
  RECT client, frame;
  GetClientRect(Wnd, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 200);
  GetWindowRect(Wnd, &frame);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs(frame.left - (screenW - frame.right)), 1) << "centred across";
  EXPECT_LE(std::abs(frame.top - (screenH - frame.bottom)), 1) << "centred down";
  POINT origin = {0, 0};
  ClientToScreen(Wnd, &origin);
  EXPECT_EQ(Form->ClientOrigin().X, origin.x);
  EXPECT_EQ(Form->ClientOrigin().Y, origin.y);
  Form->SetCaption("Renamed");
  EXPECT_EQ(WindowText(Wnd), "Renamed");
}

TEST_F(Win32Host, TheScreenShowsExactlyTheHeadlessPixels) {
  // The same form rendered by the headless host, with the same text engine: every pixel of the
  // client area on the screen must be the toolkit's own.
  ui::THeadlessHost headless;
  App().SetHost(&headless);
  std::unique_ptr<TDemoForm> reference = LoadDemoForm();
  reference->Show();
  headless.ProcessMessages();  // the repaint the first focus asked for
  App().SetHost(&platform::SystemWindowHost());
  const gfx::TBitmap& expected = headless.Windows.at(0)->Picture;
  ASSERT_EQ(expected.Width(), 320);

  gfx::TBitmap screen;
  std::string first;
  int differences = -1;
  // The X server shows the window a little after it was mapped.
  PumpUntil(5000, [&] {
    CaptureClient(Wnd, screen);
    differences = Differences(screen, expected, first);
    return differences == 0;
  });
  ui::SavePicture(screen, BesideTheTest("win32host_screen.png"));
  ui::SavePicture(expected, BesideTheTest("win32host_headless.png"));
  EXPECT_EQ(differences, 0) << first;
  // Not two blank pictures: the panel's colour, the shape's outline and the picture are there.
  EXPECT_EQ(screen.PixelColor(250, 60), static_cast<gfx::TColorRef>(16514015)) << "the panel";
  EXPECT_EQ(screen.PixelColor(12 + 75, 100), static_cast<gfx::TColorRef>(13099453)) << "the shape";
  EXPECT_EQ(screen.PixelColor(12 + 10, 12 + 6), static_cast<gfx::TColorRef>(0x126E2B)) << "the picture";

  // A repaint the toolkit asks for reaches the screen too.
  Control("pnlTop").SetColor(gfx::clWhite);
  reference.reset();
  const bool repainted = PumpUntil(3000, [&] {
    CaptureClient(Wnd, screen);
    return screen.PixelColor(250, 60) == 0xFFFFFF;
  });
  EXPECT_TRUE(repainted);
}

TEST_F(Win32Host, ClickOnTheLinkLabelThroughTheWindowWithCaptureAndHandCursor) {
  // lblLink sits at (56, 40) in pnlTop at (0, 0).
  EXPECT_EQ(CursorAt(60, 44), LoadCursorA(nullptr, IDC_HAND));
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 44));
  EXPECT_EQ(GetCapture(), Wnd) << "the window holds the mouse while a button is down";
  EXPECT_EQ(Form->CaptureControl(), &Control("lblLink"));
  SendMessageA(Wnd, WM_LBUTTONUP, 0, At(60, 44));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Form->Clicked, (std::vector<std::string>{"lblLink"}));
  EXPECT_EQ(CursorAt(5, 175), LoadCursorA(nullptr, IDC_ARROW)) << "off the link";
  CursorAt(60, 44);
  SendMessageA(Wnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_NE(Form->MouseControl(), &Control("lblLink")) << "the pointer left the window";

  // Capture taken away from outside: the form hears of it and no click follows.
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 44));
  ASSERT_EQ(GetCapture(), Wnd);
  ReleaseCapture();
  EXPECT_EQ(Form->CaptureControl(), nullptr);
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 44));
  EXPECT_EQ(GetCapture(), Wnd) << "capture can be taken again after it was lost";
  SendMessageA(Wnd, WM_LBUTTONUP, 0, At(60, 44));
}

TEST_F(Win32Host, PostedKeysMoveTheFocusThroughTheMessageLoop) {
  ASSERT_EQ(Form->FocusedControl(), &Control("boxA"));
  PostMessageA(Wnd, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageA(Wnd, WM_KEYUP, VK_TAB, 0xC00F0001);
  EXPECT_TRUE(PumpUntil(2000, [&] { return Form->FocusedControl() == &Control("boxB"); }));
  PostMessageA(Wnd, WM_KEYDOWN, VK_TAB, 0x000F0001);
  EXPECT_TRUE(PumpUntil(2000, [&] { return Form->FocusedControl() == &Control("boxA"); })) << "wraps round";
}

TEST_F(Win32Host, EveryWayOfClosingClosesTheFormOnce) {
  struct Case {
    const char* Name;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  const Case cases[] = {
      {"WM_CLOSE", WM_CLOSE, 0, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 0x203E0001},  // bit 29: Alt held
      {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, 0},
  };
  for (const Case& c : cases) {
    Form.reset();
    Form = LoadDemoForm();
    Form->Show();
    Wnd = FindWindowA(kFormClass, kCaption);
    ASSERT_NE(Wnd, nullptr);
    PostMessageA(Wnd, c.Msg, c.WParam, c.LParam);
    EXPECT_TRUE(PumpUntil(2000, [&] { return !Form->IsShown(); })) << c.Name;
    EXPECT_TRUE(PumpUntil(2000, [&] { return !IsWindowVisible(Wnd); })) << c.Name;
    EXPECT_EQ(Form->Closes, 1) << c.Name;
  }
}

TEST_F(Win32Host, HintWindowAppearsBelowTheLinkWithoutTakingActivation) {
  // The real pointer too, or the window would hear that it left.
  POINT over = {60, 44};
  ClientToScreen(Wnd, &over);
  SetCursorPos(over.x, over.y);
  SendMessageA(Wnd, WM_MOUSEMOVE, 0, At(60, 44));
  HWND hint = nullptr;
  const bool shown = PumpUntil(3000, [&] {
    hint = FindWindowA("KestrovaHint", nullptr);
    return hint && IsWindowVisible(hint);
  });
  ASSERT_TRUE(shown) << "after the hint delay";
  EXPECT_EQ(App().HintShown(), "Visit official web site");
  const LONG ex = GetWindowLongA(hint, GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(GetWindowLongA(hint, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
  EXPECT_NE(GetActiveWindow(), hint);
  RECT r;
  GetWindowRect(hint, &r);
  ui::TControl& link = Control("lblLink");
  POINT label = {link.Left(), link.Top() + link.Height() + 2};
  ClientToScreen(Wnd, &label);
  EXPECT_EQ(r.left, label.x);
  EXPECT_EQ(r.top, label.y) << "two pixels below the label";
  // What the screen shows of it, once it is there.
  gfx::TBitmap pixels;
  PumpUntil(2000, [&] {
    CaptureClient(hint, pixels);
    return pixels.PixelColor(0, 0) == 0 && pixels.PixelColor(pixels.Width() - 1, pixels.Height() - 1) == 0;
  });
  ui::SavePicture(pixels, BesideTheTest("win32host_hint.png"));
  EXPECT_TRUE(IsWindowVisible(hint));
  {
    // Exactly the picture the toolkit draws for this hint, as the headless host has it.
    ui::THeadlessHost headless;
    App().SetHost(&headless);
    std::unique_ptr<TDemoForm> reference = LoadDemoForm();
    reference->Show();
    headless.Windows.at(0)->MouseMove(60, 44);
    headless.AdvanceTime(static_cast<unsigned>(App().HintPause));
    std::string first;
    EXPECT_EQ(Differences(pixels, headless.Windows.at(0)->HintPicture, first), 0) << first;
    reference.reset();
    App().SetHost(&platform::SystemWindowHost());
  }
  SendMessageA(Wnd, WM_MOUSEMOVE, 0, At(5, 175));  // off the link and back for the hint again
  SendMessageA(Wnd, WM_MOUSEMOVE, 0, At(60, 44));
  ASSERT_TRUE(PumpUntil(3000, [&] { return IsWindowVisible(hint) != FALSE; }));
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 44));
  EXPECT_FALSE(IsWindowVisible(hint)) << "a click takes it away";
  SendMessageA(Wnd, WM_LBUTTONUP, 0, At(60, 44));
}

// The first visible window of a thread of the given class (and extended style bits, if any).
HWND FindThreadWindow(DWORD thread, const char* className, LONG exStyle = 0) {
  struct Search {
    const char* Class;
    LONG ExStyle;
    HWND Found = nullptr;
  } search{className, exStyle};
  EnumThreadWindows(
      thread,
      [](HWND wnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        char cls[32] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
        if (std::strcmp(cls, s.Class) != 0 || !IsWindowVisible(wnd) || (ex & s.ExStyle) != s.ExStyle) return TRUE;
        s.Found = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The menu window of a thread: a visible topmost tool window of the toolkit's class.
HWND FindMenuWindow(DWORD thread) { return FindThreadWindow(thread, kFormClass, WS_EX_TOOLWINDOW); }

TEST_F(Win32Host, ARightClickShowsATopmostMenuWindowWithTheHeadlessPixelsAndItsItemsRun) {
  // The headless host's menu for a right click on the panel at (250, 70), and where it goes.
  gfx::TBitmap expected;
  POINT offset = {0, 0};
  {
    ui::THeadlessHost headless;
    App().SetHost(&headless);
    std::unique_ptr<TDemoForm> reference = LoadDemoForm();
    reference->Show();
    ui::THeadlessWindow& w = *headless.Windows.at(0);
    headless.Steps.push_back([&] {
      ui::THeadlessWindow& menu = *headless.Popup();
      expected.Assign(menu.Picture);
      offset = {menu.Left - w.Left, menu.Top - w.Top};
      menu.Key(VK_ESCAPE);
    });
    w.MouseDown(250, 70, ui::TMouseButton::mbRight);
    w.MouseUp(250, 70, ui::TMouseButton::mbRight);
    reference.reset();
    App().SetHost(&platform::SystemWindowHost());
  }
  ASSERT_FALSE(expected.Empty());

  // The menu's loop runs on this thread; another one watches the screen and answers the menu.
  struct Seen {
    HWND Menu = nullptr;
    LONG Style = 0, ExStyle = 0;
    RECT Bounds = {};
    HWND Capture = nullptr, Active = nullptr;
    std::shared_ptr<gfx::TBitmap> Pixels = std::make_shared<gfx::TBitmap>();
    int Unlike = -1;  // pixels unlike the headless ones
    std::string First;
  };
  const DWORD thread = GetCurrentThreadId();
  const HWND form = Wnd;
  auto answer = [thread, form, &expected](bool withKeys) {
    return std::async(std::launch::async, [=, &expected] {
      Seen seen;
      for (int waited = 0; waited < 5000 && !(seen.Menu = FindMenuWindow(thread)); waited += 10) SleepEx(10, FALSE);
      if (!seen.Menu) return seen;
      seen.Style = GetWindowLongA(seen.Menu, GWL_STYLE);
      seen.ExStyle = GetWindowLongA(seen.Menu, GWL_EXSTYLE);
      GetWindowRect(seen.Menu, &seen.Bounds);
      // The menu window shows first and takes the mouse a moment later, on its own thread: wait
      // for the capture rather than catch the moment between the two.
      for (int waited = 0; waited < 5000; waited += 10) {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (GetGUIThreadInfo(thread, &gui)) {
          seen.Capture = gui.hwndCapture;
          seen.Active = gui.hwndActive;
        }
        if (seen.Capture == seen.Menu) break;
        SleepEx(10, FALSE);
      }
      for (int waited = 0; waited < 5000; waited += 20) {
        CaptureClient(seen.Menu, *seen.Pixels);
        if ((seen.Unlike = Differences(*seen.Pixels, expected, seen.First)) == 0) break;
        SleepEx(20, FALSE);
      }
      if (withKeys) {
        // Keys go to the form's window, as the keyboard sends them; the menu takes them.
        PostMessageA(form, WM_KEYDOWN, VK_DOWN, 0x00500001);
        PostMessageA(form, WM_KEYDOWN, VK_DOWN, 0x00500001);
        PostMessageA(form, WM_KEYDOWN, VK_RETURN, 0x001C0001);
      } else {
        PostMessageA(seen.Menu, WM_MOUSEMOVE, 0, At(30, 10));
        PostMessageA(seen.Menu, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 10));
        PostMessageA(seen.Menu, WM_LBUTTONUP, 0, At(30, 10));
      }
      return seen;
    });
  };

  auto watching = answer(false);
  PostMessageA(Wnd, WM_RBUTTONDOWN, MK_RBUTTON, At(250, 70));
  PostMessageA(Wnd, WM_RBUTTONUP, 0, At(250, 70));
  EXPECT_TRUE(PumpUntil(10000, [&] { return !Form->Clicked.empty(); }));
  const Seen seen = watching.get();
  ASSERT_NE(seen.Menu, nullptr) << "a menu window";
  ui::SavePicture(*seen.Pixels, BesideTheTest("win32host_menu.png"));
  EXPECT_EQ(seen.Unlike, 0) << seen.First;
  EXPECT_EQ(seen.Style & (WS_POPUP | WS_CAPTION), static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(seen.ExStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  POINT at = offset;
  ClientToScreen(Wnd, &at);
  EXPECT_EQ(seen.Bounds.left, at.x);
  EXPECT_EQ(seen.Bounds.top, at.y);
  EXPECT_EQ(seen.Bounds.right - seen.Bounds.left, expected.Width());
  EXPECT_EQ(seen.Capture, seen.Menu) << "it holds the mouse";
  EXPECT_EQ(seen.Active, Wnd) << "the form stays active";
  EXPECT_EQ(Form->Clicked, std::vector<std::string>{"mniScan"});
  EXPECT_FALSE(IsWindow(seen.Menu)) << "the menu window is gone";
  EXPECT_EQ(GetCapture(), nullptr);

  // Down twice passes the disabled item and the separator; Enter chooses the last item.
  watching = answer(true);
  PostMessageA(Wnd, WM_RBUTTONDOWN, MK_RBUTTON, At(250, 70));
  PostMessageA(Wnd, WM_RBUTTONUP, 0, At(250, 70));
  EXPECT_TRUE(PumpUntil(10000, [&] { return Form->Clicked.size() == 2; }));
  EXPECT_NE(watching.get().Menu, nullptr);
  EXPECT_EQ(Form->Clicked, (std::vector<std::string>{"mniScan", "mniAbout"}));
}

TEST_F(Win32Host, ModalLoopEndsWhenItsWindowIsClosedAndDisablesTheOtherForms) {
  std::unique_ptr<TDemoForm> modal = LoadDemoForm();
  modal->SetCaption("Modal demo");
  bool ownerEnabled = true;
  modal->OnShow = [&](ui::TComponent*) {
    ownerEnabled = IsWindowEnabled(Wnd) != FALSE;
    HWND wnd = FindWindowA(kFormClass, "Modal demo");
    if (wnd) PostMessageA(wnd, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(modal->ShowModal(), ui::mrCancel);
  EXPECT_FALSE(IsWindowVisible(FindWindowA(kFormClass, "Modal demo")));
  EXPECT_EQ(modal->Closes, 1);
  EXPECT_FALSE(ownerEnabled) << "the other form's window is disabled while the modal one runs";
  EXPECT_TRUE(IsWindowEnabled(Wnd)) << "and enabled again after";
}

TEST_F(Win32Host, WaitMessageWakesForAPostedMessage) {
  platform::WindowHost& host = platform::SystemWindowHost();
  const std::uint64_t before = host.TickCount();
  PostMessageA(Wnd, WM_NULL, 0, 0);
  host.WaitMessage(20000);
  EXPECT_LT(host.TickCount() - before, 10000u) << "it returned for the message, not the timeout";
  host.ProcessMessages();
}

// A dialog box of this thread: its caption, its static texts, and a button pressed.
struct Answered {
  std::string Caption;
  std::string Text;
  bool HasNo = false;
};

HWND FindDialog(DWORD thread) { return FindThreadWindow(thread, "#32770"); }

// Waits (bounded) for a dialog of the thread that runs its own loop with the button there, lets
// prepare() act on it until it reports success, then presses button.
template <class Prepare>
std::future<Answered> AnswerDialog(DWORD thread, int button, Prepare prepare) {
  return std::async(std::launch::async, [=] {
    Answered a;
    for (int waited = 0; waited < 10000; waited += 20, SleepEx(20, FALSE)) {
      HWND dlg = FindDialog(thread);
      if (!dlg) continue;
      HWND target = GetDlgItem(dlg, button);
      DWORD_PTR ignored = 0;
      // A message sent to it returns only once its loop runs: its start-up is over.
      if (!target || !IsWindowEnabled(target) || !SendMessageTimeoutA(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored)) continue;
      if (!prepare(dlg)) continue;
      a.Caption = WindowText(dlg);
      EnumChildWindows(
          dlg,
          [](HWND child, LPARAM out) -> BOOL {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            if (std::strcmp(cls, "Static") == 0) *reinterpret_cast<std::string*>(out) += WindowText(child);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&a.Text));
      a.HasNo = GetDlgItem(dlg, IDNO) != nullptr;
      PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(target));
      return a;
    }
    return a;
  });
}

TEST_F(Win32Host, MessageBoxShowsTheTextAndGivesTheAnswer) {
  struct Case {
    platform::MessageBoxKind Kind;
    int Button;
    bool Expected;
  };
  const Case cases[] = {
      {platform::MessageBoxKind::Information, IDOK, true},
      {platform::MessageBoxKind::Error, IDOK, true},
      {platform::MessageBoxKind::Question, IDYES, true},
      {platform::MessageBoxKind::Question, IDNO, false},
  };
  for (const Case& c : cases) {
    auto answered = AnswerDialog(GetCurrentThreadId(), c.Button, [](HWND) { return true; });
    const bool result = platform::SystemWindowHost().MessageBox("Remove the rootkit now?", "Kestrova", c.Kind);
    const Answered a = answered.get();
    EXPECT_EQ(result, c.Expected) << c.Button;
    EXPECT_EQ(a.Caption, "Kestrova");
    EXPECT_NE(a.Text.find("Remove the rootkit now?"), std::string::npos) << a.Text;
    EXPECT_EQ(a.HasNo, c.Kind == platform::MessageBoxKind::Question);
  }
}

TEST_F(Win32Host, FileDialogsGiveTheChosenNameOrNothing) {
  const std::string folder = testing::MakeTempFolder();
  const std::string existing = folder + "report.txt";
  testing::WriteWholeFile(existing, "x");
  struct Case {
    bool Save;
    int Button;
    std::string Typed;
    std::string Expected;
  };
  const Case cases[] = {
      {false, IDOK, existing, existing},
      {true, IDOK, folder + "new.txt", folder + "new.txt"},
      {false, IDCANCEL, "", ""},
      {true, IDCANCEL, "", ""},
  };
  for (const Case& c : cases) {
    const std::string typed = c.Typed;
    auto answered = AnswerDialog(GetCurrentThreadId(), c.Button, [typed](HWND dlg) {
      if (typed.empty()) return true;
      // The file name box: an edit (edt1) or, in newer layouts, a combo box (cmb13). Done when it
      // reads back what was typed.
      const int box = GetDlgItem(dlg, 0x480) ? 0x480 : 0x47C;
      SetDlgItemTextA(dlg, box, typed.c_str());
      char now[MAX_PATH] = {};
      GetDlgItemTextA(dlg, box, now, sizeof now);
      return typed == now;
    });
    const std::string chosen =
        platform::SystemWindowHost().FileDialog(c.Save, "Text files (*.txt)|*.txt|All files|*.*", c.Save ? "report.txt" : "");
    answered.get();
    EXPECT_EQ(chosen, c.Expected) << (c.Save ? "save " : "open ") << c.Button;
  }
}

TEST(Win32HostAddress, OnlyWebAddressesAreOpened) {
  // Nothing here may reach ShellExecute: each would start a program or a document.
  const char* refused[] = {"C:\\windows\\notepad.exe", "notepad", "file:///c:/windows/win.ini", "",
                           "javascript:alert(1)", "http://example.com/\"x"};
  for (const char* address : refused) EXPECT_FALSE(platform::SystemWindowHost().OpenAddress(address)) << address;
}

}  // namespace
}  // namespace kestrova
