// A full repaint of a 628 x 256 form like the main window (two panels, bevels, five labels with
// real text, two 48 x 48 pictures drawn transparent, a rounded frame) through the raster canvas,
// against one plain fill of the same bitmap.
#include "bench/peer_ratio.h"
#include "framework/ui/forms.h"
#include "framework/ui/stdctrls.h"

namespace {

using namespace kestrova;

std::unique_ptr<ui::TForm> MainLikeForm() {
  auto form = std::make_unique<ui::TForm>(nullptr);
  form->SetBounds(0, 0, 628, 256);
  auto* bottom = new ui::TPanel(form.get());
  bottom->SetParent(form.get());
  bottom->SetBounds(0, 185, 628, 71);
  bottom->SetAlign(ui::TAlign::alBottom);
  auto* top = new ui::TPanel(form.get());
  top->SetParent(form.get());
  top->SetAlign(ui::TAlign::alClient);
  top->SetColor(gfx::clWhite);
  auto label = [&](ui::TWinControl* parent, int x, int y, const char* text, gfx::TFontStyles style) {
    auto* l = new ui::TLabel(form.get());
    l->SetParent(parent);
    l->SetTransparent(true);
    l->SetBounds(x, y, 170, 13);
    l->Font().SetName("MS Shell Dlg 2");
    l->Font().SetColor(0x2B6E12);
    l->Font().SetStyle(style);
    l->SetCaption(text);
  };
  auto* shape = new ui::TShape(form.get());
  shape->SetParent(top);
  shape->SetBounds(20, 40, 177, 141);
  shape->SetShape(ui::TShapeType::stRoundRect);
  shape->Pen().SetColor(0xC7E1BD);
  shape->Brush().SetStyle(gfx::TBrushStyle::bsClear);
  for (int i = 0; i < 2; ++i) {
    auto* image = new ui::TImage(form.get());
    image->SetParent(top);
    image->SetBounds(77, 58 + 54 * i, 48, 48);
    image->Picture().SetSize(48, 48);
    image->Picture().Canvas().Brush.SetColor(gfx::clGreen);
    image->Picture().Canvas().FillRect(gfx::Rect(8, 8, 40, 40));
    image->SetTransparent(true);
  }
  label(top, 22, 120, "Your computer has no TDL/ZeroAccess rootkit ", gfx::fsBold);
  label(top, 259, 8, "Business Benefits...", gfx::fsUnderline);
  label(top, 564, 8, "More info?", gfx::fsUnderline);
  label(top, 15, 8, "Version: 3.00", gfx::fsUnderline);
  label(top, 245, 159, "Recommended to continue malware scanning...", gfx::fsBold);
  label(bottom, 16, 50, "Copyright line of the program", 0);
  return form;
}

void BM_FullRepaint(benchmark::State& state) {
  auto form = MainLikeForm();
  form->Render();
  for (auto _ : state) {
    form->Render();
    benchmark::DoNotOptimize(form->Bitmap().ScanLine(0));
  }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_PlainFill(benchmark::State& state) {
  gfx::TBitmap bitmap(628, 256);
  bitmap.Canvas().Brush.SetColor(gfx::clBtnFace);
  for (auto _ : state) {
    bitmap.Canvas().FillRect(gfx::Rect(0, 0, 628, 256));
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
}
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return kestrova::bench::RunWithRatios(argc, argv, {{"BM_FullRepaint", "BM_PlainFill"}}); }
