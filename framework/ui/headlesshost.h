// The headless host: no window. Forms render into their bitmaps as usual; input, dialog answers
// and the clock are scripted; the addresses it was asked to open and the message boxes it was
// asked to show are recorded; a form's picture can be written as PNG or BMP for a person to see.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/gfx/bitmap.h"
#include "framework/ui/messages.h"
#include "platform/windowhost.h"

namespace kestrova::ui {

class THeadlessHost;

class THeadlessWindow final : public platform::HostWindow {
 public:
  THeadlessWindow(THeadlessHost& host, const platform::WindowOptions& options, platform::WindowListener& listener);
  ~THeadlessWindow() override;

  // A popup holds the pointer and the keyboard while it is shown.
  void Show(bool visible) override {
    Visible = visible;
    if (Options.Popup) Captured = visible;
  }
  void SetCaption(const std::string& caption) override { Options.Caption = caption; }
  void Present(const std::uint32_t* pixels, int width, int height, int stride) override;
  void Invalidate() override { NeedsPaint = true; }
  void SetCapture(bool capture) override { Captured = capture; }
  void SetCursor(platform::MouseCursor cursor) override { Cursor = cursor; }
  void ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) override;
  void HideHint() override { HintVisible = false; }
  void ClientOrigin(int& x, int& y) override;
  void SetEnabled(bool enabled) override { Enabled = enabled; }

  // Scripted input, in client coordinates; a disabled window ignores it, as a desktop's would.
  void MouseMove(int x, int y, TShiftState shift = 0);
  void MouseDown(int x, int y, TMouseButton button = TMouseButton::mbLeft, TShiftState shift = 0);
  void MouseUp(int x, int y, TMouseButton button = TMouseButton::mbLeft, TShiftState shift = 0);
  void Click(int x, int y);
  void DoubleClick(int x, int y);
  // Key down and up; Alt makes it a system key.
  void Key(unsigned key, TShiftState shift = 0);
  void Char(char c, TShiftState shift = 0);
  void Activate(bool active) { FListener.HostActivate(active); }
  void CloseBox();
  void PaintIfNeeded();

  platform::WindowOptions Options;
  bool Visible = false;
  bool Enabled = true;
  bool NeedsPaint = false;
  bool Captured = false;
  platform::MouseCursor Cursor = platform::MouseCursor::Arrow;
  gfx::TBitmap Picture;  // what was last presented
  int Presented = 0;
  bool HintVisible = false;
  int HintX = 0, HintY = 0;
  gfx::TBitmap HintPicture;
  int Left = 0, Top = 0;  // the client area on the headless screen

 private:
  THeadlessHost& FHost;
  platform::WindowListener& FListener;
};

class THeadlessHost final : public platform::WindowHost {
 public:
  std::unique_ptr<platform::HostWindow> CreateHostWindow(const platform::WindowOptions& options,
                                                         platform::WindowListener& listener) override;
  void ProcessMessages() override;
  // A message loop's wait: the clock moves on and the next scripted step runs.
  void WaitMessage(unsigned timeoutMs) override;
  std::uint64_t TickCount() override { return FNow; }
  void ScreenSize(int& width, int& height) override {
    width = ScreenWidth;
    height = ScreenHeight;
  }
  bool OpenAddress(const std::string& address) override;
  bool MessageBox(const std::string& text, const std::string& caption, platform::MessageBoxKind kind) override;
  std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) override;

  // The clock only moves when told; pending repaints and hint steps run at each step.
  void AdvanceTime(unsigned ms);
  int ScreenWidth = 1024, ScreenHeight = 768;

  std::vector<THeadlessWindow*> Windows;
  std::vector<std::string> OpenedAddresses;
  bool OpenSucceeds = true;
  std::vector<std::string> MessageBoxes;  // "caption: text"
  std::deque<bool> MessageBoxAnswers;     // empty: OK
  std::deque<std::string> FileDialogAnswers;
  // Input for the time a message loop runs (a modal form): one step per wait. A loop that goes on
  // waiting with nothing left to do is a test that would never end: it throws instead.
  std::deque<std::function<void()>> Steps;
  int IdleWaitLimit = 1000;
  // The window shown last that is a popup, or null.
  THeadlessWindow* Popup() const;

 private:
  std::uint64_t FNow = 0;
  int FIdleWaits = 0;
};

// For people to look at: the form's picture as a PNG or BMP file (by the name's extension).
void SavePicture(const gfx::TBitmap& picture, const std::string& path);

}  // namespace kestrova::ui
