#include "tests/support/demoform.h"

#include "framework/ui/layoutreader.h"
#include "framework/ui/stdctrls.h"
#include "tests/support/demoform_layout.h"

namespace kestrova::testing {

TDemoForm::TDemoForm(ui::TComponent* owner) : ui::TForm(owner) {
  PublishMethod("lblLinkClick", [this](ui::TComponent* sender) { Clicked.push_back(sender->Name()); });
  OnClose = [this](ui::TComponent*) { ++Closes; };
}

std::unique_ptr<TDemoForm> LoadDemoForm() {
  static const bool registered = [] {
    ui::RegisterStandardControls();
    return true;
  }();
  (void)registered;
  auto form = std::make_unique<TDemoForm>(nullptr);
  ui::ReadLayout(kDemoFormLayout, *form);
  return form;
}

}  // namespace kestrova::testing
