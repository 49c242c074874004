// The BMP file format, read (1, 4, 8, 24, 32 bits, bottom-up or top-down, uncompressed or with
// bit fields) and written (the bitmap's own format, bottom-up); and a PNG writer for people to look at.
#pragma once
#include <string>

namespace kestrova::gfx {

class TBitmap;

// Replaces the bitmap with the picture; a damaged or unsupported file raises "Bitmap image is
// not valid" and leaves the bitmap as it was.
void ReadBMP(const std::string& data, TBitmap& bitmap);
std::string WriteBMP(const TBitmap& bitmap);

// 24-bit RGB PNG (stored, uncompressed deflate blocks).
std::string WritePNG(const TBitmap& bitmap);

}  // namespace kestrova::gfx
