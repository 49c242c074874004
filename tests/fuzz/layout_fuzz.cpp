// libFuzzer: any text read as a layout into a form. The reader may refuse it with an error but
// never crashes or leaks; whatever it built is freed with the form, and a form that did load can
// be painted.
#include <cstdint>
#include <exception>
#include <string>

#include "framework/gfx/textengine.h"
#include "framework/ui/forms.h"
#include "framework/ui/layoutreader.h"
#include "framework/ui/stdctrls.h"
#include "tests/support/testfont.h"

using namespace kestrova;

namespace {

struct Setup {
  Setup() {
    ui::RegisterStandardControls();
    gfx::SetTextEngine(&Font);
  }
  testing::TFixedTestFont Font;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setup setup;
  const std::string text(reinterpret_cast<const char*>(data), size);
  ui::TForm form(nullptr);
  form.PublishMethod("Clicked", [](ui::TComponent*) {});
  try {
    ui::ReadLayout(text, form);
  } catch (const std::exception&) {
    return 0;
  }
  // Painting a loaded form walks every control's own drawing; a huge client area is only memory.
  if (form.Width() > 0 && form.Height() > 0 && form.Width() <= 2048 && form.Height() <= 2048) {
    try {
      form.Render();
    } catch (const std::exception&) {
    }
  }
  return 0;
}
