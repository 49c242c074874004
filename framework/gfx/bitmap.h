// Device-independent bitmaps of 1, 8, 24 and 32 bits per pixel, top-down rows aligned to four
// bytes as a DIB has them. Pixel values are the format's own: a palette index for 1 and 8 bits,
// 0x00RRGGBB for 24 and 32 bits, so that raster operations work on the bits as GDI's do.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/gfx/colors.h"
#include "framework/rtl/persistent.h"

namespace kestrova::gfx {

class TCanvas;

enum class TPixelFormat : std::uint8_t { pf1bit, pf8bit, pf24bit, pf32bit };

int BitsPerPixel(TPixelFormat format);

// Its one published property is its stored data ("Glyph.Data"): a BMP file, in a layout behind a
// 32-bit length or, as a picture stores it, behind its class name.
class TBitmap : public rtl::TPersistent {
 public:
  const char* ClassName() const override { return "TBitmap"; }
  static const rtl::TPropertyTable& ClassProperties();
  const rtl::TPropertyTable& Properties() const override { return ClassProperties(); }

  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf32bit);
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  // Keeps the pixels that still fit; new ones take the canvas brush colour (white by default).
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, FHeight); }
  void SetHeight(int height) { SetSize(FWidth, height); }

  TPixelFormat PixelFormat() const { return FFormat; }
  // Converts the pixels. Colour to one bit: pixels of the canvas brush colour become white (1),
  // all others black (0); one bit to colour: palette entries.
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return FFormat == TPixelFormat::pf1bit; }
  void SetMonochrome(bool mono) { SetPixelFormat(mono ? TPixelFormat::pf1bit : TPixelFormat::pf32bit); }

  const std::vector<TColorRef>& Palette() const { return FPalette; }
  void SetPalette(std::vector<TColorRef> palette);

  int Stride() const { return FStride; }
  std::uint8_t* ScanLine(int y) { return FBits.data() + static_cast<std::size_t>(y) * FStride; }
  const std::uint8_t* ScanLine(int y) const { return FBits.data() + static_cast<std::size_t>(y) * FStride; }

  // Raw values; coordinates must lie inside.
  std::uint32_t PixelValue(int x, int y) const;
  void SetPixelValue(int x, int y, std::uint32_t value);
  // The value that stands for an RGB colour: the nearest palette entry for indexed formats.
  std::uint32_t ValueOf(TColorRef rgb) const;
  TColorRef ColorOf(std::uint32_t value) const;
  TColorRef PixelColor(int x, int y) const { return ColorOf(PixelValue(x, y)); }
  std::uint32_t ValueMask() const;

  TCanvas& Canvas();

  // Pictures drawn transparent leave out their pixels of this colour: the bottom-left pixel's
  // colour unless one was given.
  bool Transparent = false;
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color) { FTransparentColor = color; }

  // A copy of the pixels, palette and format (not the canvas state).
  void Assign(const TBitmap& source);

  void LoadFromBytes(const std::string& bmp);
  // The stored data as a layout holds it (see above); an empty text clears the bitmap.
  void LoadFromStoredData(const std::string& data);
  std::string SaveToBytes() const;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

 private:
  void Allocate(int width, int height, TPixelFormat format);

  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FFormat = TPixelFormat::pf32bit;
  int FStride = 0;
  std::vector<std::uint8_t> FBits;
  std::vector<TColorRef> FPalette;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TCanvas> FCanvas;
};

// 0x00BBGGRR <-> 0x00RRGGBB
constexpr std::uint32_t RgbToPixel(TColorRef c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr TColorRef PixelToRgb(std::uint32_t v) { return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF); }

}  // namespace kestrova::gfx
