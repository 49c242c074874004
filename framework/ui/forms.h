// Forms, the application object and the screen: a form owns its controls, routes the host's
// input the toolkit's way (capture, hit test, focus, dialog keys, accelerators, Tab) and paints
// the whole tree into one 32-bit bitmap that its host window shows.
#pragma once
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/controls.h"
#include "platform/windowhost.h"

namespace kestrova::ui {

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : std::uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = std::uint8_t;
enum class TPosition : std::uint8_t {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter
};
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

// Asked before a form closes; a handler that clears canClose keeps it open.
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TCustomForm : public TWinControl, private platform::WindowListener {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  const char* ClassName() const override { return "TCustomForm"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  void SetCaption(const std::string& caption) override;
  // The form's bounds are its client area; the host adds the frame.
  void SetClientWidth(int width) { SetWidth(width); }
  void SetClientHeight(int height) { SetHeight(height); }
  TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition Position = TPosition::poDesigned;

  TWinControl* ActiveControl() const { return FFocused ? FFocused : FActiveControl; }
  void SetActiveControl(TWinControl* control);
  TWinControl* FocusedControl() const { return FFocused; }
  // Moves the input focus; false when the control cannot take it.
  bool FocusControl(TWinControl* control);
  // Tab order: the next focusable control with a tab stop after the current one, wrapping.
  void SelectNext(bool forward);

  TControl* CaptureControl() const { return FCapture; }
  void SetCaptureControl(TControl* control);
  TControl* MouseControl() const { return FMouseControl; }
  // The deepest visible, enabled control at a client point (the form itself when none);
  // allowDisabled counts disabled ones too, as the toolkit's hit test does.
  TControl* FindControlAt(gfx::TPoint p, bool allowDisabled) const;

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  void Show();
  void Hide();
  // Runs until a ModalResult is set (and OnCloseQuery lets the form close) or the form goes;
  // the application's other forms take no input meanwhile.
  TModalResult ShowModal();
  void Close();
  // OnCloseQuery's answer: true when the form may close.
  virtual bool CloseQuery();
  bool IsShown() const { return FShowing; }
  bool Modal() const { return FModal; }
  // Whether the form's window takes input; a modal form turns it off for the others.
  bool WindowEnabled() const { return FWindowEnabled; }
  void SetWindowEnabled(bool enabled);

  // Painting: a request, or at once; Render draws the tree into the form's bitmap only.
  void InvalidateRect();
  void PaintNow();
  void Render();
  gfx::TBitmap& Bitmap() { return FBitmap; }
  gfx::TPoint ClientOrigin() const;
  platform::HostWindow* HostWindow() const { return FWindow.get(); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Kept by the controls so that focus, capture and pointer never name a control that went.
  void ControlDestroying(TControl& control);
  void ControlHidden(TControl& control);

  void Loaded() override;
  void Dispatch(TMessage& message) override;

 protected:
  void Notification(TComponent& component, bool removing) override;

 private:
  void HostPaint() override { PaintNow(); }
  void HostMouse(unsigned msg, int x, int y, unsigned shift) override;
  void HostKey(unsigned msg, unsigned key, unsigned shift) override;
  void HostActivate(bool active) override;
  void HostCloseRequest() override { Close(); }
  void HostCaptureLost() override;
  void UpdateMouseControl(TControl* control);
  void EnsureWindow();

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocused = nullptr;
  TControl* FCapture = nullptr;
  TControl* FMouseControl = nullptr;
  TModalResult FModalResult = mrNone;
  bool FShowing = false;
  bool FModal = false;
  bool FActive = false;
  bool FWindowEnabled = true;
  gfx::TBitmap FBitmap;
  std::unique_ptr<platform::HostWindow> FWindow;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  const char* ClassName() const override { return "TForm"; }
};

class TApplication : public TComponent {
 public:
  TApplication() : TComponent(nullptr) {}
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  std::string Title;
  int HintPause = 500;
  int HintHidePause = 2500;
  bool ShowHint = true;

  void Initialize();
  bool Initialized() const { return FInitialized; }
  // The form the program runs on: the first one created.
  TCustomForm* MainForm() const { return FMainForm; }
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (!FMainForm) FMainForm = reference;
  }
  // Shows the main form and runs the message loop until it closes; without a main form there is
  // nothing to run.
  void Run();
  void ProcessMessages();
  // Waits for the next message (or the next hint step) and handles it.
  void HandleMessage();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // The standard display of an error nobody handled: its message in a box titled with the title.
  void ShowException(const std::exception& e);

  // The window host every form uses; the program sets the operating system's, tests a headless one.
  void SetHost(platform::WindowHost* host) { FHost = host; }
  platform::WindowHost& Host() const;
  bool HasHost() const { return FHost != nullptr; }

  // Hints: the pointer came over or left a control; the host's clock drives the delays.
  void HintMouseEnter(TControl* control);
  void CancelHint();
  const std::string& HintShown() const { return FHintShown; }

  // The desktop's "open" on a web address; any failure is the caller's to ignore.
  bool OpenAddress(const std::string& address);

  void Notification(TComponent& component, bool removing) override;

 private:
  void DoHints();

  bool FInitialized = false;
  bool FTerminated = false;
  TCustomForm* FMainForm = nullptr;
  platform::WindowHost* FHost = nullptr;
  TControl* FHintControl = nullptr;
  std::uint64_t FHintStart = 0;
  bool FHintVisible = false;
  std::string FHintShown;
};

TApplication& Application();

class TScreen {
 public:
  TCustomForm* ActiveForm() const { return FActiveForm; }
  // The focused control of the active form.
  TWinControl* ActiveControl() const { return FActiveForm ? FActiveForm->FocusedControl() : nullptr; }
  void SetActiveForm(TCustomForm* form) { FActiveForm = form; }
  // Every form that exists, in the order they were created.
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const { return FForms.at(static_cast<std::size_t>(index)); }
  void AddForm(TCustomForm& form);
  void RemoveForm(TCustomForm& form);
  int IndexOf(const TCustomForm& form) const;

 private:
  TCustomForm* FActiveForm = nullptr;
  std::vector<TCustomForm*> FForms;
};

TScreen& Screen();

}  // namespace kestrova::ui
