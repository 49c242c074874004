// The X11 window host on a real X server (the tests' own Xvfb): what the window shows is read
// back from the server and compared with the headless host's pixels for the same form; input is
// synthesised with XTest and must reach the form the toolkit's way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

#include "framework/ui/dialogs.h"
#include "framework/ui/forms.h"
#include "framework/ui/headlesshost.h"
#include "platform/desktopdialogs.h"
#include "platform/x11/xdiagnostics.h"
#include "tests/support/childprocess.h"
#include "tests/support/demoform.h"
#include "tests/support/xprobe.h"
#include "tests/support/xvfb.h"

#include <X11/Xlib.h>  // last: its macros would clash with the toolkit's names

namespace kestrova::ui {
namespace {

using testing::LoadDemoForm;
using testing::TDemoForm;
using testing::TFocusBox;

constexpr char kCaption[] = "Kestrova demo";

// Pixels that differ between what the server shows and a bitmap; -1 when the sizes differ.
int Differences(const testing::XPicture& shown, const gfx::TBitmap& expected) {
  if (shown.Width != expected.Width() || shown.Height != expected.Height()) return -1;
  int n = 0;
  for (int y = 0; y < shown.Height; ++y)
    for (int x = 0; x < shown.Width; ++x) n += shown.Pixels[static_cast<std::size_t>(y) * shown.Width + x] != expected.PixelValue(x, y);
  return n;
}

// What the headless host shows for the demo form: the window, the link's hint, and the panel's
// menu after a right click at kMenuAt.
constexpr int kMenuAtX = 250, kMenuAtY = 70;
struct Reference {
  gfx::TBitmap Window, Hint, Menu;
  int HintX = 0, HintY = 0;  // relative to the client area
  int MenuX = 0, MenuY = 0;
};

void RenderHeadless(Reference& r) {
  THeadlessHost host;
  Application().SetHost(&host);
  {
    auto form = LoadDemoForm();
    form->Show();
    THeadlessWindow& w = *host.Windows.at(0);
    host.ProcessMessages();  // the repaint the first focus asked for
    r.Window.Assign(w.Picture);
    w.MouseMove(60, 44);
    host.AdvanceTime(static_cast<unsigned>(Application().HintPause));
    r.Hint.Assign(w.HintPicture);
    r.HintX = w.HintX - w.Left;
    r.HintY = w.HintY - w.Top;
    Application().CancelHint();
    host.Steps.push_back([&] {
      THeadlessWindow& menu = *host.Popup();
      r.Menu.Assign(menu.Picture);
      r.MenuX = menu.Left - w.Left;
      r.MenuY = menu.Top - w.Top;
      menu.Key(VK_ESCAPE);
    });
    w.MouseDown(kMenuAtX, kMenuAtY, TMouseButton::mbRight);
    w.MouseUp(kMenuAtX, kMenuAtY, TMouseButton::mbRight);
  }
  Application().SetHost(nullptr);
}

// A shown pixel as a colour (0x00BBGGRR).
gfx::TColorRef ColorAt(const testing::XPicture& p, int x, int y) {
  const std::uint32_t v = p.Pixels[static_cast<std::size_t>(y) * p.Width + x];
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

void SaveShot(const testing::XPicture& p, const std::string& path) {
  gfx::TBitmap b(p.Width, p.Height);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x) b.SetPixelValue(x, y, p.Pixels[static_cast<std::size_t>(y) * p.Width + x]);
  SavePicture(b, path);
}

struct X11Host : ::testing::Test {
  static void SetUpTestSuite() {
    // The menu test looks at the screen from a second thread while this one runs the menu.
    XInitThreads();
    testing::TestDisplay();
  }

  void SetUp() override {
    RenderHeadless(Ref);
    Application().SetHost(&platform::SystemWindowHost());
    Form = LoadDemoForm();
    Form->Show();
    ASSERT_TRUE(Until([&] { return (Handle = X.FindTopLevel(kCaption)) != 0 && X.Viewable(Handle); }));
    X.Focus(Handle);
    ASSERT_TRUE(Until([&] { return Screen().ActiveForm() == Form.get(); })) << "focus in activates the form";
    ASSERT_TRUE(Until([&] { return Differences(Screenshot(), Form->Bitmap()) == 0; }));
  }

  void TearDown() override {
    Application().CancelHint();
    Form.reset();
    Application().SetHost(nullptr);
  }

  // Runs the program's message loop until the condition holds; false after the time limit.
  bool Until(const std::function<bool()>& condition, int limitMs = 3000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
      X.Sync();
      Application().ProcessMessages();
      if (condition()) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      Application().Host().WaitMessage(10);
    }
  }

  testing::XPicture Screenshot(unsigned long window = 0) { return X.Picture(window ? window : Handle); }

  // Input at client coordinates of the form's window.
  void MoveTo(int x, int y) {
    int ox, oy;
    X.Origin(Handle, ox, oy);
    X.MoveTo(ox + x, oy + y);
  }
  void Click(int x, int y) {
    MoveTo(x, y);
    X.Button(true);
    X.Button(false);
  }

  TControl& Control(const char* name) { return *dynamic_cast<TControl*>(Form->FindComponent(name)); }

  testing::XProbe X;
  Reference Ref;
  std::unique_ptr<TDemoForm> Form;
  unsigned long Handle = 0;
};

TEST_F(X11Host, TheWindowShowsTheHeadlessPixelsAndRedrawsWhatWasCovered) {
  const testing::XPicture shot = Screenshot();
  SaveShot(shot, "x11demo.png");
  SavePicture(Ref.Window, "x11demo-headless.png");
  EXPECT_EQ(Differences(shot, Ref.Window), 0) << "see x11demo.png and x11demo-headless.png in " << testing::ProgramBeside("");
  EXPECT_GT(platform::x11::Presents().Shared, 0u) << "the server offers shared memory: it is used";
  EXPECT_EQ(ColorAt(shot, 0, 0), gfx::ColorToRGB(gfx::clBtnHighlight)) << "the panel's bevel, not some channel order";
  EXPECT_EQ(ColorAt(shot, 12 + 10, 12 + 6), gfx::RGB(0x2B, 0x6E, 0x12)) << "the picture's green disc";
  EXPECT_EQ(ColorAt(shot, 12 + 16, 12 + 22), ColorAt(shot, 12 + 16, 12 + 30)) << "its blue (bottom-left) colour left out";

  // Another window over part of ours, then gone: the uncovered part is drawn again.
  int ox, oy;
  X.Origin(Handle, ox, oy);
  X.Destroy(X.Cover(ox + 100, oy + 50, 150, 100));
  EXPECT_TRUE(Until([&] { return Differences(Screenshot(), Ref.Window) == 0; }));
}

TEST_F(X11Host, FixedSizeCentredWithTheCaptionAndTheDesktopsCloseRequest) {
  int ox, oy;
  X.Origin(Handle, ox, oy);
  EXPECT_EQ(ox, (1024 - 320) / 2);
  EXPECT_EQ(oy, (768 - 200) / 2);
  int fx, fy;
  Form->HostWindow()->ClientOrigin(fx, fy);
  EXPECT_EQ(fx, ox);
  EXPECT_EQ(fy, oy);

  int width = 0, height = 0;
  ASSERT_TRUE(X.FixedSize(Handle, width, height)) << "minimum and maximum size the same";
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 200);

  EXPECT_EQ(X.NetWmName(Handle), kCaption);
  Form->SetCaption("Caf\xE9");
  EXPECT_TRUE(Until([&] { return X.FindTopLevel("Caf\xE9") == Handle; })) << "WM_NAME is Latin-1";
  EXPECT_EQ(X.NetWmName(Handle), "Caf\xC3\xA9") << "_NET_WM_NAME is UTF-8";

  bool closed = false;
  Form->OnClose = [&](TComponent*) { closed = true; };
  X.RequestClose(Handle);
  EXPECT_TRUE(Until([&] { return closed && !Form->IsShown() && !X.Viewable(Handle); }));
}

TEST_F(X11Host, ClicksReachTheControlUnderThePointerAndDoubleClicksAreTimed) {
  Click(60, 44);  // the link label
  Click(200, 120);
  EXPECT_TRUE(Until([&] { return Form->Clicked.size() == 2; }));
  EXPECT_EQ(Form->Clicked, (std::vector<std::string>{"lblLink", "boxA"}));

  int doubles = 0;
  Control("boxB").OnDblClick = [&](TComponent*) { ++doubles; };
  std::this_thread::sleep_for(std::chrono::milliseconds(600));  // past the double-click time
  Click(270, 120);
  Click(270, 120);
  EXPECT_TRUE(Until([&] { return doubles == 1; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  // The press is handled when its click arrives; a double click would have come with it.
  const std::size_t clicks = Form->Clicked.size();
  Click(270, 120);
  EXPECT_TRUE(Until([&] { return Form->Clicked.size() == clicks + 1; }));
  EXPECT_EQ(doubles, 1) << "a press after the double-click time is a click again";
}

TEST_F(X11Host, APressedControlCapturesThePointerUntilRelease) {
  // Capture without a button held (the server's own grab lasts only while one is) is a real grab.
  Form->SetCaptureControl(&Control("boxA"));
  EXPECT_TRUE(Until([&] { return !X.PointerFree(); })) << "while captured, another client cannot take the pointer";
  Form->SetCaptureControl(nullptr);
  EXPECT_TRUE(Until([&] { return X.PointerFree(); }));

  MoveTo(200, 120);
  X.Button(true);
  ASSERT_TRUE(Until([&] { return Form->CaptureControl() == &Control("boxA"); }));
  MoveTo(-100, -100);  // outside the window: still boxA's
  X.Button(false);
  EXPECT_TRUE(Until([&] { return Form->CaptureControl() == nullptr; }));
  EXPECT_TRUE(Until([&] { return X.PointerFree(); }));
  EXPECT_TRUE(Form->Clicked.empty()) << "released elsewhere: no click";
}

TEST_F(X11Host, TabMovesTheFocusOnScreenAndAltF4Closes) {
  auto* boxA = dynamic_cast<TWinControl*>(&Control("boxA"));
  auto* boxB = dynamic_cast<TWinControl*>(&Control("boxB"));
  ASSERT_EQ(Form->FocusedControl(), boxA);
  const testing::XPicture before = Screenshot();
  X.Key("Tab");
  ASSERT_TRUE(Until([&] { return Form->FocusedControl() == boxB; }));
  EXPECT_TRUE(Until([&] { return Differences(Screenshot(), Form->Bitmap()) == 0; })) << "the focus repainted on screen";
  EXPECT_NE(Screenshot().Pixels, before.Pixels);
  X.Key("Tab", "Shift_L");
  EXPECT_TRUE(Until([&] { return Form->FocusedControl() == boxA; }));

  // The keyboard focus leaving the window takes it from the focused control; coming back returns it.
  auto& log = dynamic_cast<TFocusBox*>(boxA)->Log;
  log.clear();
  MoveTo(-100, -100);
  X.Focus(0);
  EXPECT_TRUE(Until([&] { return log == std::vector<std::string>{"kill"}; }));
  X.Focus(Handle);
  EXPECT_TRUE(Until([&] { return log == (std::vector<std::string>{"kill", "set"}); }));

  X.Key("F4", "Alt_L");
  EXPECT_TRUE(Until([&] { return !Form->IsShown() && !X.Viewable(Handle); }));
}

TEST_F(X11Host, TheLinkShowsTheHandCursorAndItsHintAfterTheDelay) {
  const std::vector<unsigned long> hand = X.HandCursorImage();
  const std::vector<unsigned long> arrow = X.ArrowCursorImage();
  ASSERT_NE(hand, arrow);
  MoveTo(250, 170);
  EXPECT_TRUE(Until([&] { return X.CursorImage() == arrow; }));
  MoveTo(60, 44);
  EXPECT_TRUE(Until([&] { return X.CursorImage() == hand; }));

  unsigned long hint = 0;
  ASSERT_TRUE(Until([&] { return (hint = X.FindPopup()) != 0; })) << "the hint after the delay";
  EXPECT_EQ(Application().HintShown(), "Visit official web site");
  int hx, hy, ox, oy;
  X.Origin(hint, hx, hy);
  X.Origin(Handle, ox, oy);
  EXPECT_EQ(hx - ox, Ref.HintX);
  EXPECT_EQ(hy - oy, Ref.HintY);
  EXPECT_EQ(Differences(Screenshot(hint), Ref.Hint), 0);

  MoveTo(250, 170);
  EXPECT_TRUE(Until([&] { return X.CursorImage() == arrow && X.FindPopup() == 0; })) << "off the link: arrow, no hint";
}

TEST_F(X11Host, DialogsComeFromTheToolkitsRegistrationOrAnswerSafely) {
  struct Recorder : platform::DesktopDialogs {
    bool MessageBox(const std::string& text, const std::string& caption, platform::MessageBoxKind) override {
      Asked.push_back(caption + ": " + text);
      return false;
    }
    std::string FileDialog(bool save, const std::string& filter, const std::string& name) override {
      Asked.push_back((save ? "save " : "open ") + filter + " " + name);
      return "/tmp/chosen.txt";
    }
    std::vector<std::string> Asked;
  } recorder;
  platform::WindowHost& host = platform::SystemWindowHost();
  EXPECT_FALSE(host.MessageBox("Remove it?", "Kestrova", platform::MessageBoxKind::Question)) << "unasked: the safe answer";
  EXPECT_TRUE(host.MessageBox("Done", "Kestrova", platform::MessageBoxKind::Information));
  EXPECT_EQ(host.FileDialog(true, "Text|*.txt", "report.txt"), "") << "unasked: cancelled";
  platform::SetDesktopDialogs(&recorder);
  EXPECT_FALSE(host.MessageBox("Done", "Kestrova", platform::MessageBoxKind::Information));
  EXPECT_EQ(host.FileDialog(true, "Text|*.txt", "report.txt"), "/tmp/chosen.txt");
  platform::SetDesktopDialogs(nullptr);
  EXPECT_EQ(recorder.Asked, (std::vector<std::string>{"Kestrova: Done", "save Text|*.txt report.txt"}));
}

TEST_F(X11Host, TheToolkitsMessageBoxShowsOnTheServerAndTakesAKeyPress) {
  // What the box must look like: the same form on the headless host, with the same text engine.
  gfx::TBitmap expected;
  {
    THeadlessHost headless;
    Application().SetHost(&headless);
    TMessageForm reference(nullptr, "Remove the rootkit now?", "Kestrova question", platform::MessageBoxKind::Question);
    reference.Show();
    headless.ProcessMessages();
    expected.Assign(headless.Windows.at(0)->Picture);
    reference.Hide();
    Application().SetHost(&platform::SystemWindowHost());
  }
  RegisterToolkitDialogs();
  // The box runs its own message loop here; a second thread looks at the server and answers it.
  int differences = -2;
  std::thread person([&] {
    unsigned long box = 0;
    for (int i = 0; i < 500 && differences != 0; ++i) {
      if (!box) box = X.FindTopLevel("Kestrova question");
      if (box && X.Viewable(box)) differences = Differences(X.Picture(box), expected);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (differences == 0) SaveShot(X.Picture(box), "x11messagebox.png");
    if (!box) return;
    X.Focus(box);
    X.Key("Escape");
  });
  const bool answer = platform::SystemWindowHost().MessageBox("Remove the rootkit now?", "Kestrova question",
                                                              platform::MessageBoxKind::Question);
  person.join();
  platform::SetDesktopDialogs(nullptr);
  EXPECT_EQ(differences, 0) << "the box on the server is the toolkit's picture";
  EXPECT_FALSE(answer) << "Escape answers No";
  EXPECT_TRUE(Until([&] { return X.FindTopLevel("Kestrova question") == 0; })) << "the box's window is gone";
  EXPECT_TRUE(Form->WindowEnabled()) << "the form takes input again";
}

TEST_F(X11Host, OpenAddressStartsXdgOpenWithTheAddressAlone) {
  // A stand-in xdg-open first on the path writes down what it was given.
  const std::string folder = testing::MakeTempFolder();
  const std::string log = folder + "opened";
  testing::WriteWholeFile(folder + "xdg-open", "#!/bin/sh\nprintf '%s|' \"$@\" > " + log + ".part && mv " + log + ".part " + log + "\n");
  ASSERT_EQ(std::system(("chmod +x " + folder + "xdg-open").c_str()), 0);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (folder + ":" + path).c_str(), 1);
  platform::WindowHost& host = platform::SystemWindowHost();
  EXPECT_FALSE(host.OpenAddress("--help")) << "an address is never taken as an option";
  EXPECT_FALSE(host.OpenAddress(""));
  EXPECT_TRUE(host.OpenAddress("http://example.com/a b;$(x)"));
  EXPECT_TRUE(Until([&] { return testing::FileExists(log); }));
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(testing::ReadWholeFile(log), "http://example.com/a b;$(x)|");
}

TEST_F(X11Host, WithoutSharedMemoryTheSamePixelsArrive) {
  setenv("KESTROVA_X11_SHM", "0", 1);
  const platform::x11::PresentCounts before = platform::x11::Presents();
  auto copy = LoadDemoForm();
  copy->SetCaption("Kestrova demo, copied");
  copy->Show();
  unsetenv("KESTROVA_X11_SHM");
  unsigned long handle = 0;
  ASSERT_TRUE(Until([&] { return (handle = X.FindTopLevel("Kestrova demo, copied")) != 0 && X.Viewable(handle); }));
  EXPECT_TRUE(Until([&] { return Differences(Screenshot(handle), Ref.Window) == 0; }));
  EXPECT_GT(platform::x11::Presents().Copied, before.Copied) << "by XPutImage";
}

TEST_F(X11Host, AWindowDestroyedByAnotherClientIsANotedErrorNotTheEnd) {
  const platform::x11::XErrorNote before = platform::x11::LastXError();
  X.Destroy(Handle);
  // Requests on the window that is gone: a caption, a cursor, a picture.
  Form->SetCaption("Gone");
  Form->HostWindow()->SetCursor(platform::MouseCursor::Hand);
  Form->PaintNow();
  EXPECT_TRUE(Until([&] { return platform::x11::LastXError().Count > before.Count; }));
  const platform::x11::XErrorNote error = platform::x11::LastXError();
  EXPECT_TRUE(error.Code == BadWindow || error.Code == BadDrawable) << error.Code;
  EXPECT_EQ(error.Resource, Handle);
  // Still connected and working: another window shows its pixels.
  auto other = LoadDemoForm();
  other->SetCaption("Kestrova demo, again");
  other->Show();
  unsigned long handle = 0;
  ASSERT_TRUE(Until([&] { return (handle = X.FindTopLevel("Kestrova demo, again")) != 0 && X.Viewable(handle); }));
  EXPECT_TRUE(Until([&] { return Differences(Screenshot(handle), Ref.Window) == 0; }));
}

TEST_F(X11Host, ARightClickShowsTheMenuWindowWithTheHeadlessPixelsAndAClickRunsTheItem) {
  // The menu's loop runs on this thread until the menu closes; a second client looks at it and
  // clicks its first item meanwhile.
  struct Seen {
    testing::XPicture Menu;
    int X = 0, Y = 0;
    bool Found = false;
  };
  std::future<Seen> outside = std::async(std::launch::async, [&] {
    testing::XProbe probe;
    Seen seen;
    unsigned long menu = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline && !(menu = probe.FindPopup()))
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!menu) return seen;
    seen.Found = true;
    while (std::chrono::steady_clock::now() < deadline && Differences(seen.Menu = probe.Picture(menu), Ref.Menu) != 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    probe.Origin(menu, seen.X, seen.Y);
    probe.MoveTo(seen.X + 30, seen.Y + 10);
    probe.Button(true);
    probe.Button(false);
    return seen;
  });
  MoveTo(kMenuAtX, kMenuAtY);
  X.Button(true, 3);
  X.Button(false, 3);
  EXPECT_TRUE(Until([&] { return !Form->Clicked.empty(); }, 8000));
  const Seen seen = outside.get();
  ASSERT_TRUE(seen.Found) << "an override-redirect menu window";
  SaveShot(seen.Menu, "x11menu.png");
  EXPECT_EQ(Differences(seen.Menu, Ref.Menu), 0) << "see x11menu.png in " << testing::ProgramBeside("");
  int ox, oy;
  X.Origin(Handle, ox, oy);
  EXPECT_EQ(seen.X - ox, Ref.MenuX);
  EXPECT_EQ(seen.Y - oy, Ref.MenuY);
  EXPECT_EQ(Form->Clicked, std::vector<std::string>{"mniScan"});
  EXPECT_TRUE(Until([&] { return X.FindPopup() == 0 && X.PointerFree(); })) << "the menu is gone with its grab";

  // Escape through the keyboard grab closes the next one without a choice.
  std::future<bool> escape = std::async(std::launch::async, [&] {
    testing::XProbe probe;
    for (int i = 0; i < 500; ++i) {
      if (probe.FindPopup()) {
        probe.Key("Escape");
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  });
  X.Button(true, 3);
  X.Button(false, 3);
  Until([&] { return escape.wait_for(std::chrono::seconds(0)) == std::future_status::ready && X.FindPopup() == 0; }, 8000);
  EXPECT_TRUE(escape.get());
  EXPECT_EQ(Form->Clicked.size(), 1u);
}

}  // namespace
}  // namespace kestrova::ui
