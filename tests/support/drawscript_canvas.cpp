#include "tests/support/drawscript_canvas.h"

#include <memory>

#include "framework/gfx/canvas.h"

namespace kestrova::testing::draw {

namespace {

gfx::TPenStyle PenStyleOf(TStyle s) {
  switch (s) {
    case TStyle::Solid: return gfx::TPenStyle::psSolid;
    case TStyle::Dash: return gfx::TPenStyle::psDash;
    case TStyle::Dot: return gfx::TPenStyle::psDot;
    case TStyle::DashDot: return gfx::TPenStyle::psDashDot;
    case TStyle::DashDotDot: return gfx::TPenStyle::psDashDotDot;
    case TStyle::Clear: return gfx::TPenStyle::psClear;
    case TStyle::InsideFrame: return gfx::TPenStyle::psInsideFrame;
  }
  return gfx::TPenStyle::psSolid;
}

gfx::TColor ColorOf(std::uint32_t c) { return static_cast<gfx::TColor>(c & 0xFFFFFF); }

}  // namespace

TPictures RunOnCanvas(const TScript& script) {
  const int w = script.Width, h = script.Height;
  std::unique_ptr<gfx::TBitmap> bitmaps[kTargets];
  for (int i = 0; i < kTargets; ++i) {
    bitmaps[i] = std::make_unique<gfx::TBitmap>(w, h, IsOneBit(static_cast<TTarget>(i)) ? gfx::TPixelFormat::pf1bit : gfx::TPixelFormat::pf32bit);
    bitmaps[i]->Canvas().SetTextColor(gfx::clBlack);
  }
  auto canvasOf = [&](TTarget t) { return &bitmaps[static_cast<int>(t)]->Canvas(); };
  gfx::TCanvas* c = canvasOf(TTarget::Main);

  for (const TCommand& k : script.Commands) {
    const std::vector<int>& a = k.Args;
    switch (k.Op) {
      case TOp::Dc: c = canvasOf(k.Target); break;
      case TOp::Pen:
        c->Pen.SetWidth(a[0]);
        c->Pen.SetStyle(PenStyleOf(k.Style));
        c->Pen.SetColor(ColorOf(k.Color));
        break;
      case TOp::Brush: c->Brush.SetColor(ColorOf(k.Color)); break;
      case TOp::BrushClear: c->Brush.SetStyle(gfx::TBrushStyle::bsClear); break;
      case TOp::BkMode: c->SetBkMode(k.Opaque ? gfx::OPAQUE : gfx::TRANSPARENT); break;
      case TOp::BkColor: c->SetBkColor(ColorOf(k.Color)); break;
      case TOp::TextColor: c->SetTextColor(ColorOf(k.Color)); break;
      case TOp::MoveTo: c->MoveTo(a[0], a[1]); break;
      case TOp::LineTo: c->LineTo(a[0], a[1]); break;
      case TOp::Polyline: {
        std::vector<gfx::TPoint> points;
        for (std::size_t i = 0; i + 1 < a.size(); i += 2) points.push_back({a[i], a[i + 1]});
        c->Polyline(points);
        break;
      }
      case TOp::Rect: c->Rectangle(a[0], a[1], a[2], a[3]); break;
      case TOp::RoundRect: c->RoundRect(a[0], a[1], a[2], a[3], a[4], a[5]); break;
      case TOp::Focus: c->DrawFocusRect({a[0], a[1], a[2], a[3]}); break;
      case TOp::Fill: c->FillRect({a[0], a[1], a[2], a[3]}); break;
      case TOp::Frame: c->FrameRect({a[0], a[1], a[2], a[3]}); break;
      case TOp::Pixel: c->SetPixel(a[0], a[1], ColorOf(k.Color)); break;
      case TOp::PatBlt: gfx::PatBlt(*c, a[0], a[1], a[2], a[3], k.Rop); break;
      case TOp::Blit: gfx::BitBlt(*c, a[0], a[1], a[2], a[3], canvasOf(k.Target), a[4], a[5], k.Rop); break;
      case TOp::Origin: c->SetViewportOrg(a[0], a[1]); break;
      case TOp::Clip: c->IntersectClipRect({a[0], a[1], a[2], a[3]}); break;
      case TOp::Save: c->SaveDC(); break;
      case TOp::Restore: c->RestoreDC(a[0]); break;
    }
  }

  TPictures out;
  out.Width = w;
  out.Height = h;
  for (int i = 0; i < kTargets; ++i)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) out.Pixels[i].push_back(bitmaps[i]->PixelValue(x, y));
  return out;
}

}  // namespace kestrova::testing::draw
