#include "framework/gfx/bitmap.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "framework/gfx/bmpcodec.h"
#include "framework/gfx/canvas.h"

namespace kestrova::gfx {

namespace {

std::vector<TColorRef> DefaultPalette(TPixelFormat format) {
  if (format == TPixelFormat::pf1bit) return {RGB(0, 0, 0), RGB(255, 255, 255)};
  if (format != TPixelFormat::pf8bit) return {};
  // A 6x6x6 colour cube, then greys: every colour has a near neighbour.
  std::vector<TColorRef> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) palette.push_back(RGB(r * 51, g * 51, b * 51));
  for (int i = 0; palette.size() < 256; ++i) palette.push_back(RGB(i * 6, i * 6, i * 6));
  return palette;
}

// Row bytes, four-byte aligned, without overflow for any size the codec lets through.
int StrideFor(int width, TPixelFormat format) {
  const long long bits = static_cast<long long>(width) * BitsPerPixel(format);
  return static_cast<int>(((bits + 31) / 32) * 4);
}

}  // namespace

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
  }
  return 32;
}

TBitmap::TBitmap() { FPalette = DefaultPalette(FFormat); }

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
  FFormat = format;
  FPalette = DefaultPalette(format);
  SetSize(width, height);
}

TBitmap::~TBitmap() = default;

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
  if (width < 0 || height < 0) throw std::invalid_argument("Invalid bitmap size");
  if (static_cast<long long>(width) * height > (1LL << 28)) throw std::length_error("Bitmap too large");
  FWidth = width;
  FHeight = height;
  FFormat = format;
  FStride = StrideFor(width, format);
  FBits.assign(static_cast<std::size_t>(FStride) * height, 0);
  // As a new bitmap selected into a DC: the canvas may draw on all of it, not the old extent.
  if (FCanvas) FCanvas->SelectClipRect(nullptr);
}

void TBitmap::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight && !FBits.empty()) return;
  std::vector<std::uint8_t> old = std::move(FBits);
  const int oldW = FWidth, oldH = FHeight, oldStride = FStride;
  Allocate(width, height, FFormat);
  const std::uint32_t fill = ValueOf(FCanvas ? ColorToRGB(FCanvas->Brush.Color()) : RGB(255, 255, 255));
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) SetPixelValue(x, y, fill);
  const int copyW = std::min(oldW, FWidth), copyH = std::min(oldH, FHeight);
  const int rowBytes = static_cast<int>((static_cast<long long>(copyW) * BitsPerPixel(FFormat)) / 8);
  for (int y = 0; y < copyH; ++y) {
    std::memcpy(ScanLine(y), old.data() + static_cast<std::size_t>(y) * oldStride, rowBytes);
    // The leftover bits of a one-bit row that is not a whole number of bytes.
    for (int x = rowBytes * 8 / BitsPerPixel(FFormat); x < copyW; ++x) {
      const std::uint8_t* row = old.data() + static_cast<std::size_t>(y) * oldStride;
      SetPixelValue(x, y, (row[x >> 3] >> (7 - (x & 7))) & 1);
    }
  }
}

void TBitmap::SetPalette(std::vector<TColorRef> palette) {
  if (FFormat == TPixelFormat::pf1bit) palette.resize(2, 0);
  if (FFormat == TPixelFormat::pf8bit) palette.resize(256, 0);
  FPalette = std::move(palette);
}

std::uint32_t TBitmap::PixelValue(int x, int y) const {
  const std::uint8_t* row = ScanLine(y);
  switch (FFormat) {
    case TPixelFormat::pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case TPixelFormat::pf8bit: return row[x];
    case TPixelFormat::pf24bit: {
      const std::uint8_t* p = row + x * 3;
      return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    case TPixelFormat::pf32bit: {
      std::uint32_t v;
      std::memcpy(&v, row + x * 4, 4);
      return v & 0x00FFFFFF;
    }
  }
  return 0;
}

void TBitmap::SetPixelValue(int x, int y, std::uint32_t value) {
  std::uint8_t* row = ScanLine(y);
  switch (FFormat) {
    case TPixelFormat::pf1bit: {
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      if (value & 1) row[x >> 3] |= bit;
      else row[x >> 3] &= static_cast<std::uint8_t>(~bit);
      break;
    }
    case TPixelFormat::pf8bit: row[x] = static_cast<std::uint8_t>(value); break;
    case TPixelFormat::pf24bit: {
      std::uint8_t* p = row + x * 3;
      p[0] = value & 0xFF;
      p[1] = (value >> 8) & 0xFF;
      p[2] = (value >> 16) & 0xFF;
      break;
    }
    case TPixelFormat::pf32bit: {
      value &= 0x00FFFFFF;
      std::memcpy(row + x * 4, &value, 4);
      break;
    }
  }
}

std::uint32_t TBitmap::ValueMask() const {
  switch (FFormat) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf8bit: return 0xFF;
    default: return 0x00FFFFFF;
  }
}

std::uint32_t TBitmap::ValueOf(TColorRef rgb) const {
  if (FFormat == TPixelFormat::pf24bit || FFormat == TPixelFormat::pf32bit) return RgbToPixel(rgb);
  // Nearest palette entry; an exact match wins at once.
  std::uint32_t best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < FPalette.size(); ++i) {
    const long dr = static_cast<long>(GetRValue(FPalette[i])) - GetRValue(rgb);
    const long dg = static_cast<long>(GetGValue(FPalette[i])) - GetGValue(rgb);
    const long db = static_cast<long>(GetBValue(FPalette[i])) - GetBValue(rgb);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = static_cast<std::uint32_t>(i);
      if (d == 0) break;
    }
  }
  return best;
}

TColorRef TBitmap::ColorOf(std::uint32_t value) const {
  if (FFormat == TPixelFormat::pf24bit || FFormat == TPixelFormat::pf32bit) return PixelToRgb(value);
  return value < FPalette.size() ? FPalette[value] : 0;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FFormat) return;
  const TColorRef background = ColorToRGB(Canvas().Brush.Color());
  TBitmap converted(0, 0, format);
  converted.Allocate(FWidth, FHeight, format);
  for (int y = 0; y < FHeight; ++y)
    for (int x = 0; x < FWidth; ++x) {
      const TColorRef c = PixelColor(x, y);
      std::uint32_t v;
      if (format == TPixelFormat::pf1bit && FFormat != TPixelFormat::pf1bit) v = c == background ? 1 : 0;
      else v = converted.ValueOf(c);
      converted.SetPixelValue(x, y, v);
    }
  FFormat = format;
  FStride = converted.FStride;
  FBits = std::move(converted.FBits);
  FPalette = std::move(converted.FPalette);
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(*this);
  return *FCanvas;
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return static_cast<TColor>(PixelColor(0, FHeight - 1));
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  FWidth = source.FWidth;
  FHeight = source.FHeight;
  FFormat = source.FFormat;
  FStride = source.FStride;
  FBits = source.FBits;
  FPalette = source.FPalette;
  Transparent = source.Transparent;
  FTransparentColor = source.FTransparentColor;
  if (FCanvas) FCanvas->SelectClipRect(nullptr);
}

void TBitmap::LoadFromBytes(const std::string& bmp) { ReadBMP(bmp, *this); }

void TBitmap::LoadFromStoredData(const std::string& stored) {
  if (stored.empty()) {
    SetSize(0, 0);
    return;
  }
  std::string data = stored;
  // A picture's form: a length byte and its class name, then the graphic's own form.
  const auto nameLength = static_cast<unsigned char>(data[0]);
  if (nameLength < 32 && data.size() > 1u + nameLength && data.compare(1, nameLength, "TBitmap") == 0) data = data.substr(1 + nameLength);
  // A bitmap's form: a 32-bit length, then the file; a bare file is taken as it is.
  if (data.size() >= 4 && data.compare(0, 2, "BM") != 0) data = data.substr(4);
  LoadFromBytes(data);
}

const rtl::TPropertyTable& TBitmap::ClassProperties() {
  using P = rtl::Published<TBitmap>;
  static const rtl::TPropertyTable table(&rtl::TPersistent::ClassProperties(), {
      P::Binary(
          "Data",
          [](TBitmap& b) {
            const std::string file = b.Empty() ? std::string() : b.SaveToBytes();
            std::string stored(4, '\0');
            for (int i = 0; i < 4; ++i) stored[static_cast<std::size_t>(i)] = static_cast<char>((file.size() >> (8 * i)) & 0xFF);
            return file.empty() ? file : stored + file;
          },
          [](TBitmap& b, const std::string& v) { b.LoadFromStoredData(v); }),
  });
  return table;
}

std::string TBitmap::SaveToBytes() const { return WriteBMP(*this); }

void TBitmap::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open file \"" + path + "\"");
  std::ostringstream data;
  data << in.rdbuf();
  LoadFromBytes(data.str());
}

void TBitmap::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  const std::string data = SaveToBytes();
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("Cannot create file \"" + path + "\"");
}

}  // namespace kestrova::gfx
