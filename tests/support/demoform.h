// The demo form every window host shows: a bevelled panel, labels, a link-style label with a
// hint, a 24-bit picture and a rounded shape, built from tests/data/demoform.dfm.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/forms.h"

namespace kestrova::testing {

class TDemoForm final : public ui::TForm {
 public:
  explicit TDemoForm(ui::TComponent* owner);
  const char* ClassName() const override { return "TfrmDemo"; }
  std::vector<std::string> Clicked;  // the controls whose OnClick fired, by name
  int Closes = 0;                    // how often OnClose ran
};

// A new demo form read from its layout; the standard controls are registered first.
std::unique_ptr<TDemoForm> LoadDemoForm();

}  // namespace kestrova::testing
