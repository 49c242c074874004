#include <gtest/gtest.h>

#include "framework/gfx/bitmap.h"
#include "framework/gfx/bmpcodec.h"
#include "framework/gfx/canvas.h"
#include "tests/support/pixels.h"

namespace kestrova::gfx {
namespace {

TEST(BmpCodec, EveryFormatComesBackAsItWent) {
  for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
    TBitmap b(13, 3, format);  // 13 columns: rows padded to four bytes, one-bit rows not whole bytes
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x) b.Canvas().SetPixel(x, y, (x + y) % 3 ? clBlack : clWhite);
    if (format != TPixelFormat::pf1bit) b.Canvas().SetPixel(12, 2, clRed);
    const std::string file = b.SaveToBytes();
    TBitmap back;
    back.LoadFromBytes(file);
    EXPECT_EQ(back.PixelFormat(), format);
    EXPECT_EQ(testing::Picture(back, {{0, '#'}, {0xFFFFFF, '.'}, {ColorToRGB(clRed), 'r'}}),
              testing::Picture(b, {{0, '#'}, {0xFFFFFF, '.'}, {ColorToRGB(clRed), 'r'}}))
        << BitsPerPixel(format);
    EXPECT_EQ(back.SaveToBytes(), file);
  }
}

// A hand-made 2 x 2 file: 4 bits per pixel, top-down (negative height), two palette entries.
std::string FourBitTopDown() {
  std::string d = "BM";
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) d.push_back(static_cast<char>(v >> (8 * i))); };
  auto u16 = [&](std::uint16_t v) { d.push_back(static_cast<char>(v)); d.push_back(static_cast<char>(v >> 8)); };
  u32(14 + 40 + 8 + 8); u32(0); u32(14 + 40 + 8);
  u32(40); u32(2); u32(static_cast<std::uint32_t>(-2)); u16(1); u16(4); u32(0); u32(8); u32(0); u32(0); u32(2); u32(0);
  u32(0x000000FF); u32(0x0000FF00);  // blue, green (BGRX)
  d += std::string("\x01\x00\x00\x00", 4);  // top row: index 0 (blue), index 1 (green)
  d += std::string("\x10\x00\x00\x00", 4);  // bottom row: green, blue
  return d;
}

TEST(BmpCodec, ReadsFourBitsTopDown) {
  TBitmap b;
  b.LoadFromBytes(FourBitTopDown());
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(testing::Picture(b, {{RGB(0, 0, 255), 'b'}, {RGB(0, 255, 0), 'g'}}), "bg\ngb\n");
}

TEST(BmpCodec, DamagedFilesAreRefusedAndLeaveTheBitmapAlone) {
  TBitmap good(2, 2);
  const std::string file = good.SaveToBytes();
  std::string hugeWidth = file;
  hugeWidth[18] = '\xFF';
  hugeWidth[19] = '\xFF';
  hugeWidth[20] = '\xFF';
  hugeWidth[21] = '\x7F';
  std::string badDepth = file;
  badDepth[28] = 7;
  std::string rle = file;
  rle[30] = 1;
  for (const std::string& damaged : {std::string(), std::string("BM"), file.substr(0, file.size() - 1), hugeWidth, badDepth, rle,
                                     std::string("XX") + file.substr(2)}) {
    TBitmap b(1, 1);
    try {
      b.LoadFromBytes(damaged);
      ADD_FAILURE() << "accepted " << damaged.size() << " bytes";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
    EXPECT_EQ(b.Width(), 1);
  }
}

TEST(Bitmap, ResizingKeepsPixelsAndFillsWithTheBrush) {
  TBitmap b(2, 1);
  b.Canvas().SetPixel(1, 0, clRed);
  b.Canvas().Brush.SetColor(clBlue);
  b.SetSize(3, 2);
  EXPECT_EQ(testing::Picture(b, {{ColorToRGB(clWhite), '.'}, {ColorToRGB(clRed), 'r'}, {ColorToRGB(clBlue), 'b'}}), ".rb\nbbb\n");
  EXPECT_EQ(b.TransparentColor(), clBlue) << "the bottom-left pixel";
  EXPECT_THROW(b.SetSize(-1, 2), std::invalid_argument);
}

TEST(Colors, SystemColoursResolveAndNamesReadBothWays) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clWindowText), RGB(0, 0, 0));
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x00FBFBDF)), 0x00FBFBDFu);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x800000FF)), 0u) << "an unknown system colour";
  TColor c = 0;
  EXPECT_TRUE(IdentToColor("clbtnhighlight", c));
  EXPECT_EQ(c, clBtnHighlight);
  EXPECT_FALSE(IdentToColor("clNothing", c));
  EXPECT_EQ(ColorToString(clSilver), "clSilver");
  EXPECT_EQ(ColorToString(0x00DFFBFB), "$00DFFBFB");
}

TEST(PngWriter, WritesAValidHeaderAndAllPixels) {
  TBitmap b(3, 2);
  const std::string png = WritePNG(b);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
  // Stored deflate: the raw rows (a filter byte, then RGB) are there as they are.
  EXPECT_NE(png.find(std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10)), std::string::npos);
}

}  // namespace
}  // namespace kestrova::gfx
