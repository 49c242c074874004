#include "framework/ui/headlesshost.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "framework/gfx/bmpcodec.h"
#include "framework/ui/forms.h"

namespace kestrova::ui {

namespace {
void CopyPixels(gfx::TBitmap& to, const std::uint32_t* pixels, int width, int height, int stride) {
  to.SetSize(width, height);
  for (int y = 0; y < height; ++y) std::memcpy(to.ScanLine(y), pixels + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(width) * 4);
}
}  // namespace

THeadlessWindow::THeadlessWindow(THeadlessHost& host, const platform::WindowOptions& options, platform::WindowListener& listener)
    : Options(options), FHost(host), FListener(listener) {
  if (options.CenterOnScreen) {
    Left = (host.ScreenWidth - options.ClientWidth) / 2;
    Top = (host.ScreenHeight - options.ClientHeight) / 2;
  } else {
    Left = options.Left;
    Top = options.Top;
  }
}

THeadlessWindow::~THeadlessWindow() {
  auto& list = FHost.Windows;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void THeadlessWindow::Present(const std::uint32_t* pixels, int width, int height, int stride) {
  CopyPixels(Picture, pixels, width, height, stride);
  NeedsPaint = false;
  ++Presented;
}

void THeadlessWindow::ShowHint(int screenX, int screenY, const std::uint32_t* pixels, int width, int height) {
  HintVisible = true;
  HintX = screenX;
  HintY = screenY;
  CopyPixels(HintPicture, pixels, width, height, width);
}

void THeadlessWindow::PaintIfNeeded() {
  if (NeedsPaint && Visible) FListener.HostPaint();
}

void THeadlessWindow::ClientOrigin(int& x, int& y) {
  x = Left;
  y = Top;
}

void THeadlessWindow::MouseMove(int x, int y, TShiftState shift) {
  if (!Enabled) return;
  FListener.HostMouse(WM_MOUSEMOVE, x, y, shift);
  FHost.ProcessMessages();
}

void THeadlessWindow::MouseDown(int x, int y, TMouseButton button, TShiftState shift) {
  if (!Enabled) return;
  FListener.HostMouse(WM_MOUSEMOVE, x, y, shift);
  FListener.HostMouse(button == TMouseButton::mbLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, x, y,
                      static_cast<unsigned>(shift | (button == TMouseButton::mbLeft ? ssLeft : ssRight)));
  FHost.ProcessMessages();
}

void THeadlessWindow::MouseUp(int x, int y, TMouseButton button, TShiftState shift) {
  if (!Enabled) return;
  FListener.HostMouse(button == TMouseButton::mbLeft ? WM_LBUTTONUP : WM_RBUTTONUP, x, y, shift);
  FHost.ProcessMessages();
}

void THeadlessWindow::Click(int x, int y) {
  MouseDown(x, y);
  MouseUp(x, y);
}

void THeadlessWindow::DoubleClick(int x, int y) {
  if (!Enabled) return;
  Click(x, y);
  FListener.HostMouse(WM_LBUTTONDBLCLK, x, y, ssLeft);
  MouseUp(x, y);
}

void THeadlessWindow::CloseBox() {
  if (Enabled) FListener.HostCloseRequest();
}

void THeadlessWindow::Key(unsigned key, TShiftState shift) {
  if (!Enabled) return;
  const bool sys = (shift & ssAlt) != 0;
  FListener.HostKey(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, key, shift);
  FListener.HostKey(sys ? WM_SYSKEYUP : WM_KEYUP, key, shift);
  FHost.ProcessMessages();
}

void THeadlessWindow::Char(char c, TShiftState shift) {
  if (!Enabled) return;
  FListener.HostKey((shift & ssAlt) ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(c), shift);
  FHost.ProcessMessages();
}

std::unique_ptr<platform::HostWindow> THeadlessHost::CreateHostWindow(const platform::WindowOptions& options,
                                                                      platform::WindowListener& listener) {
  auto window = std::make_unique<THeadlessWindow>(*this, options, listener);
  Windows.push_back(window.get());
  return window;
}

void THeadlessHost::ProcessMessages() {
  // Repaints that were asked for, as a real host would deliver them.
  for (THeadlessWindow* w : std::vector<THeadlessWindow*>(Windows)) w->PaintIfNeeded();
}

void THeadlessHost::WaitMessage(unsigned timeoutMs) {
  FNow += timeoutMs;
  if (Steps.empty()) {
    if (++FIdleWaits > IdleWaitLimit) {
      FIdleWaits = 0;
      throw std::runtime_error("The headless host waited with no scripted input left");
    }
    return;
  }
  FIdleWaits = 0;
  std::function<void()> step = std::move(Steps.front());
  Steps.pop_front();
  step();
}

THeadlessWindow* THeadlessHost::Popup() const {
  for (auto it = Windows.rbegin(); it != Windows.rend(); ++it)
    if ((*it)->Options.Popup && (*it)->Visible) return *it;
  return nullptr;
}

void THeadlessHost::AdvanceTime(unsigned ms) {
  FNow += ms;
  Application().ProcessMessages();
}

bool THeadlessHost::OpenAddress(const std::string& address) {
  OpenedAddresses.push_back(address);
  return OpenSucceeds;
}

bool THeadlessHost::MessageBox(const std::string& text, const std::string& caption, platform::MessageBoxKind) {
  MessageBoxes.push_back(caption + ": " + text);
  if (MessageBoxAnswers.empty()) return true;
  const bool answer = MessageBoxAnswers.front();
  MessageBoxAnswers.pop_front();
  return answer;
}

std::string THeadlessHost::FileDialog(bool, const std::string&, const std::string&) {
  if (FileDialogAnswers.empty()) return {};
  std::string answer = FileDialogAnswers.front();
  FileDialogAnswers.pop_front();
  return answer;
}

void SavePicture(const gfx::TBitmap& picture, const std::string& path) {
  const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  const std::string data = png ? gfx::WritePNG(picture) : gfx::WriteBMP(picture);
  std::ofstream out(path, std::ios::binary);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("Cannot create file \"" + path + "\"");
}

}  // namespace kestrova::ui
