// The demo form every window host shows, headless, under X11 and under Wine: a bevelled panel
// with a picture, labels and a link-style label with a hint and the hand cursor, a rounded
// shape, two focusable boxes, and a popup menu on the panel; built from tests/data/demoform.dfm.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/forms.h"

namespace kestrova::testing {

// A focusable box that shows its focus with the focus rectangle and notes focus changes.
class TFocusBox final : public ui::TCustomControl {
 public:
  explicit TFocusBox(ui::TComponent* owner) : ui::TCustomControl(owner) { SetTabStop(true); }
  const char* ClassName() const override { return "TFocusBox"; }
  void Dispatch(ui::TMessage& m) override;
  std::vector<std::string> Log;  // "set" and "kill", in order

 protected:
  void Paint() override;
};

class TDemoForm final : public ui::TForm {
 public:
  explicit TDemoForm(ui::TComponent* owner);
  const char* ClassName() const override { return "TfrmDemo"; }
  std::vector<std::string> Clicked;  // the controls and menu items whose OnClick fired, by name
  int Closes = 0;                    // how often OnClose ran
};

// A new demo form read from its layout; the standard controls are registered first.
std::unique_ptr<TDemoForm> LoadDemoForm();

}  // namespace kestrova::testing
