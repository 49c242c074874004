// Text on Windows: GDI draws each line into a DIB section of its own (white on black, greyscale
// smoothing) and the canvas takes the coverage from there, so that clipping, origin and colours
// follow the canvas's rules on every host.
#include <windows.h>

#include <map>
#include <tuple>

#include "platform/textengine.h"

namespace kestrova::platform {

namespace {

class GdiEngine final : public TextEngine {
 public:
  GdiEngine() : FDC(CreateCompatibleDC(nullptr)) {}
  ~GdiEngine() override {
    for (auto& [key, font] : FFonts) DeleteObject(font.Handle);
    DeleteDC(FDC);
  }

  FontMetrics Metrics(const FontDescription& font) override { return Font(font).Metrics; }

  int TextWidth(const FontDescription& font, std::string_view text) override {
    if (text.empty()) return 0;
    SelectObject(FDC, Font(font).Handle);
    SIZE size{};
    GetTextExtentPoint32A(FDC, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  void Render(const FontDescription& font, std::string_view text, GlyphCoverage& out) override {
    const Entry& entry = Font(font);
    out.Width = TextWidth(font, text);
    out.Height = entry.Metrics.Height;
    out.Alpha.assign(static_cast<std::size_t>(out.Width) * out.Height, 0);
    if (out.Width <= 0 || out.Height <= 0) return;
    // Room on both sides for glyphs that overhang their advance (italics).
    const int pad = out.Height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = out.Width + 2 * pad;
    info.bmiHeader.biHeight = -out.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return;
    HGDIOBJ oldBitmap = SelectObject(FDC, dib);
    SelectObject(FDC, entry.Handle);
    SetTextColor(FDC, RGB(255, 255, 255));
    SetBkMode(FDC, TRANSPARENT);
    TextOutA(FDC, pad, 0, text.data(), static_cast<int>(text.size()));
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const int stride = out.Width + 2 * pad;
    for (int y = 0; y < out.Height; ++y)
      for (int x = 0; x < out.Width; ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * stride + x + pad];
        out.Alpha[static_cast<std::size_t>(y) * out.Width + x] = static_cast<std::uint8_t>((p >> 8) & 0xFF);
      }
    SelectObject(FDC, oldBitmap);
    DeleteObject(dib);
  }

 private:
  struct Entry {
    HFONT Handle = nullptr;
    FontMetrics Metrics;
  };
  using Key = std::tuple<std::string, int, bool, bool, int>;

  const Entry& Font(const FontDescription& font) {
    const Key key{font.Name, font.Height, font.Bold, font.Italic, font.Charset};
    auto found = FFonts.find(key);
    if (found != FFonts.end()) return found->second;
    LOGFONTA lf{};
    lf.lfHeight = font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font.Charset);
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    Entry entry;
    entry.Handle = CreateFontIndirectA(&lf);
    SelectObject(FDC, entry.Handle);
    TEXTMETRICA tm{};
    GetTextMetricsA(FDC, &tm);
    entry.Metrics = {static_cast<int>(tm.tmHeight), static_cast<int>(tm.tmAscent), static_cast<int>(tm.tmDescent),
                     static_cast<int>(tm.tmAveCharWidth)};
    return FFonts.emplace(key, entry).first->second;
  }

  HDC FDC;
  std::map<Key, Entry> FFonts;
};

}  // namespace

TextEngine& SystemTextEngine() {
  static GdiEngine engine;
  return engine;
}

}  // namespace kestrova::platform
