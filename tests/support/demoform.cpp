#include "tests/support/demoform.h"

#include "framework/ui/layoutreader.h"
#include "framework/ui/stdctrls.h"
#include "tests/support/demoform_layout.h"

namespace kestrova::testing {

void TFocusBox::Dispatch(ui::TMessage& m) {
  if (m.Msg == ui::WM_SETFOCUS || m.Msg == ui::WM_KILLFOCUS) {
    Log.push_back(m.Msg == ui::WM_SETFOCUS ? "set" : "kill");
    Invalidate();
  }
  ui::TCustomControl::Dispatch(m);
}

void TFocusBox::Paint() {
  gfx::TCanvas& c = Canvas();
  c.Brush.SetColor(gfx::clWindow);
  c.Pen.SetColor(gfx::clBtnShadow);
  c.Rectangle(0, 0, Width(), Height());
  if (Focused()) c.DrawFocusRect({3, 3, Width() - 3, Height() - 3});
}

TDemoForm::TDemoForm(ui::TComponent* owner) : ui::TForm(owner) {
  const auto clicked = [this](ui::TComponent* sender) { Clicked.push_back(sender->Name()); };
  PublishMethod("lblLinkClick", clicked);
  PublishMethod("boxClick", clicked);
  PublishMethod("mniClick", clicked);
  OnClose = [this](ui::TComponent*) { ++Closes; };
}

std::unique_ptr<TDemoForm> LoadDemoForm() {
  static const bool registered = [] {
    ui::RegisterStandardControls();
    ui::RegisterClass<TFocusBox>("TFocusBox");
    return true;
  }();
  (void)registered;
  auto form = std::make_unique<TDemoForm>(nullptr);
  ui::ReadLayout(kDemoFormLayout, *form);
  return form;
}

}  // namespace kestrova::testing
