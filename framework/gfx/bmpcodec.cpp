#include "framework/gfx/bmpcodec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "framework/gfx/bitmap.h"

namespace kestrova::gfx {

namespace {

[[noreturn]] void Invalid() { throw std::runtime_error("Bitmap image is not valid"); }

std::uint32_t U32(const std::string& d, std::size_t at) {
  if (at + 4 > d.size()) Invalid();
  return static_cast<std::uint8_t>(d[at]) | (static_cast<std::uint8_t>(d[at + 1]) << 8) |
         (static_cast<std::uint8_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d[at + 3])) << 24);
}
std::uint16_t U16(const std::string& d, std::size_t at) {
  if (at + 2 > d.size()) Invalid();
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(d[at]) | (static_cast<std::uint8_t>(d[at + 1]) << 8));
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

int ShiftOf(std::uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}
std::uint32_t Channel(std::uint32_t v, std::uint32_t mask) {
  if (!mask) return 0;
  const std::uint32_t raw = (v & mask) >> ShiftOf(mask);
  const std::uint32_t max = mask >> ShiftOf(mask);
  return max ? raw * 255 / max : 0;
}

}  // namespace

void ReadBMP(const std::string& d, TBitmap& bitmap) {
  if (d.size() < 14 + 12 || d[0] != 'B' || d[1] != 'M') Invalid();
  const std::uint32_t pixelOffset = U32(d, 10);
  const std::uint32_t headerSize = U32(d, 14);
  long long width, height;
  unsigned bpp, compression = 0, colorsUsed = 0;
  std::size_t paletteEntrySize = 4;
  std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (headerSize == 12) {  // OS/2 core header
    width = U16(d, 18);
    height = static_cast<std::int16_t>(U16(d, 20));
    bpp = U16(d, 24);
    paletteEntrySize = 3;
  } else if (headerSize >= 40 && headerSize <= 124) {
    width = static_cast<std::int32_t>(U32(d, 18));
    height = static_cast<std::int32_t>(U32(d, 22));
    if (U16(d, 26) != 1) Invalid();
    bpp = U16(d, 28);
    compression = U32(d, 30);
    colorsUsed = U32(d, 46);
    if (compression == 3) {  // bit fields: in the larger headers, or right after the 40-byte one
      for (int i = 0; i < 3; ++i) masks[i] = U32(d, 14 + 40 + 4 * i);
    } else if (compression != 0) {
      Invalid();
    }
  } else {
    Invalid();
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768) Invalid();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32 && bpp != 16) Invalid();
  if (compression == 3 && bpp != 16 && bpp != 32) Invalid();

  std::vector<TColorRef> palette;
  if (bpp <= 8) {
    const std::size_t entries = colorsUsed ? colorsUsed : (1u << bpp);
    if (entries > (1u << bpp)) Invalid();
    std::size_t at = 14 + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
    for (std::size_t i = 0; i < entries; ++i, at += paletteEntrySize) {
      if (at + 3 > d.size()) Invalid();
      palette.push_back(RGB(static_cast<std::uint8_t>(d[at + 2]), static_cast<std::uint8_t>(d[at + 1]),
                            static_cast<std::uint8_t>(d[at])));
    }
  }
  const std::size_t stride = static_cast<std::size_t>(((width * bpp + 31) / 32) * 4);
  if (pixelOffset > d.size() || stride * height > d.size() - pixelOffset) Invalid();

  const TPixelFormat format = bpp == 1   ? TPixelFormat::pf1bit
                              : bpp <= 8 ? TPixelFormat::pf8bit
                              : bpp == 24 ? TPixelFormat::pf24bit
                                          : TPixelFormat::pf32bit;
  TBitmap image(static_cast<int>(width), static_cast<int>(height), format);
  if (bpp <= 8) image.SetPalette(palette);
  if (bpp == 16 && compression == 0) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  for (int y = 0; y < height; ++y) {
    const int fileRow = topDown ? y : static_cast<int>(height) - 1 - y;
    const auto* src = reinterpret_cast<const std::uint8_t*>(d.data() + pixelOffset + stride * fileRow);
    if (bpp == 1 || bpp == 8 || bpp == 24) {
      std::memcpy(image.ScanLine(y), src, std::min<std::size_t>(stride, image.Stride()));
      continue;
    }
    for (int x = 0; x < width; ++x) {
      std::uint32_t v;
      if (bpp == 4) {
        v = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
      } else if (bpp == 16) {
        const std::uint32_t raw = src[2 * x] | (src[2 * x + 1] << 8);
        v = (Channel(raw, masks[0]) << 16) | (Channel(raw, masks[1]) << 8) | Channel(raw, masks[2]);
      } else {
        const std::uint32_t raw = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                  (static_cast<std::uint32_t>(src[4 * x + 3]) << 24);
        v = compression == 3 ? (Channel(raw, masks[0]) << 16) | (Channel(raw, masks[1]) << 8) | Channel(raw, masks[2])
                             : raw & 0x00FFFFFF;
      }
      if (bpp <= 8 && v >= palette.size()) v = 0;
      image.SetPixelValue(x, y, v);
    }
  }
  bitmap.Assign(image);
}

std::string WriteBMP(const TBitmap& bitmap) {
  const int bpp = BitsPerPixel(bitmap.PixelFormat());
  const std::size_t paletteBytes = bpp <= 8 ? bitmap.Palette().size() * 4 : 0;
  const std::size_t stride = bitmap.Stride();
  const std::size_t imageBytes = stride * bitmap.Height();
  std::string out;
  out.reserve(54 + paletteBytes + imageBytes);
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(54 + paletteBytes + imageBytes));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(54 + paletteBytes));
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(bitmap.Width()));
  Put32(out, static_cast<std::uint32_t>(bitmap.Height()));
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(bpp));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(imageBytes));
  Put32(out, 3780);  // 96 dpi
  Put32(out, 3780);
  Put32(out, bpp <= 8 ? static_cast<std::uint32_t>(bitmap.Palette().size()) : 0);
  Put32(out, 0);
  if (bpp <= 8)
    for (TColorRef c : bitmap.Palette()) {
      out.push_back(static_cast<char>(GetBValue(c)));
      out.push_back(static_cast<char>(GetGValue(c)));
      out.push_back(static_cast<char>(GetRValue(c)));
      out.push_back(0);
    }
  for (int y = bitmap.Height() - 1; y >= 0; --y)
    out.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), stride);
  return out;
}

namespace {

std::uint32_t Crc32(const std::string& data, std::size_t from) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = from; i < data.size(); ++i) c = table[(c ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PutBE32(std::string& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Chunk(std::string& png, const char* type, const std::string& body) {
  PutBE32(png, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = png.size();
  png += type;
  png += body;
  PutBE32(png, Crc32(png, start));
}

}  // namespace

std::string WritePNG(const TBitmap& bitmap) {
  std::string raw;
  for (int y = 0; y < bitmap.Height(); ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColorRef c = bitmap.PixelColor(x, y);
      raw.push_back(static_cast<char>(GetRValue(c)));
      raw.push_back(static_cast<char>(GetGValue(c)));
      raw.push_back(static_cast<char>(GetBValue(c)));
    }
  }
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char ch : raw) {
    a = (a + ch) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<char>(n & 0xFF));
    z.push_back(static_cast<char>(n >> 8));
    z.push_back(static_cast<char>(~n & 0xFF));
    z.push_back(static_cast<char>((~n >> 8) & 0xFF));
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  PutBE32(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBE32(header, static_cast<std::uint32_t>(bitmap.Width()));
  PutBE32(header, static_cast<std::uint32_t>(bitmap.Height()));
  header += std::string("\x08\x02\x00\x00\x00", 5);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace kestrova::gfx
