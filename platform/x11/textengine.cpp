// Text on Linux: FreeType glyphs from the face fontconfig picks, the Windows dialog faces mapped
// to a sans face of close metrics. Advances are whole pixels, as GDI's are.
#include "platform/textengine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace kestrova::platform {

namespace {

// Windows-1252 for the bytes 0x80..0x9F; the rest of the upper half is Latin-1 itself.
constexpr std::array<unsigned, 32> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned CodePoint(unsigned char c) { return (c >= 0x80 && c < 0xA0) ? kCp1252[c - 0x80] : c; }

std::string MappedFamily(const std::string& name) {
  static const char* const dialogFaces[] = {"MS Shell Dlg 2", "MS Shell Dlg", "MS Sans Serif", "Tahoma", "Microsoft Sans Serif"};
  for (const char* face : dialogFaces)
    if (name == face) return "Liberation Sans";
  return name;
}

struct Glyph {
  int Advance = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Rows = 0;
  std::vector<std::uint8_t> Alpha;
};

struct SizedFace {
  FT_Face Face = nullptr;
  FontMetrics Metrics;
  std::array<std::unique_ptr<Glyph>, 256> Glyphs;
};

class FreeTypeEngine final : public TextEngine {
 public:
  FreeTypeEngine() {
    FcInit();
    FT_Init_FreeType(&FLibrary);
  }
  ~FreeTypeEngine() override {
    for (auto& [key, face] : FFaces)
      if (face->Face) FT_Done_Face(face->Face);
    if (FLibrary) FT_Done_FreeType(FLibrary);
    // Fontconfig keeps its parsed configuration until told; the engine lasts to the program's end.
    FcFini();
  }

  FontMetrics Metrics(const FontDescription& font) override { return Face(font).Metrics; }

  int TextWidth(const FontDescription& font, std::string_view text) override {
    SizedFace& face = Face(font);
    int width = 0;
    for (char c : text) width += GlyphOf(face, static_cast<unsigned char>(c)).Advance;
    return width;
  }

  void Render(const FontDescription& font, std::string_view text, GlyphCoverage& out) override {
    SizedFace& face = Face(font);
    out.Width = TextWidth(font, text);
    out.Height = face.Metrics.Height;
    out.Alpha.assign(static_cast<std::size_t>(out.Width) * out.Height, 0);
    int pen = 0;
    for (char c : text) {
      const Glyph& g = GlyphOf(face, static_cast<unsigned char>(c));
      for (int j = 0; j < g.Rows; ++j) {
        const int y = face.Metrics.Ascent - g.Top + j;
        if (y < 0 || y >= out.Height) continue;
        for (int i = 0; i < g.Width; ++i) {
          const int x = pen + g.Left + i;
          if (x < 0 || x >= out.Width) continue;
          std::uint8_t& a = out.Alpha[static_cast<std::size_t>(y) * out.Width + x];
          a = std::max(a, g.Alpha[static_cast<std::size_t>(j) * g.Width + i]);
        }
      }
      pen += g.Advance;
    }
  }

 private:
  using Key = std::tuple<std::string, int, bool, bool>;

  SizedFace& Face(const FontDescription& font) {
    const Key key{font.Name, font.Height, font.Bold, font.Italic};
    auto found = FFaces.find(key);
    if (found != FFaces.end()) return *found->second;
    auto face = std::make_unique<SizedFace>();
    Open(font, *face);
    return *FFaces.emplace(key, std::move(face)).first->second;
  }

  void Open(const FontDescription& font, SizedFace& sized) {
    FcPattern* pattern = FcPatternCreate();
    const std::string family = MappedFamily(font.Name);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, font.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, font.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      if (FT_New_Face(FLibrary, reinterpret_cast<const char*>(file), index, &sized.Face) != 0) sized.Face = nullptr;
    }
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);

    const int h = font.Height == 0 ? -11 : font.Height;
    if (!sized.Face) {
      // No usable face on this machine: text keeps its room but shows nothing.
      const int cell = h < 0 ? -h + 2 : h;
      sized.Metrics = {cell, cell * 4 / 5, cell - cell * 4 / 5, std::max(1, cell / 2)};
      return;
    }
    FT_Face f = sized.Face;
    if (h < 0) {
      FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(-h));
    } else {
      // A cell height: the em that makes ascent plus descent that tall.
      const double cell = static_cast<double>(f->ascender - f->descender);
      const double em = cell > 0 ? h * f->units_per_EM / cell : h;
      FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(std::max(1L, std::lround(em))));
    }
    const int ascent = static_cast<int>((f->size->metrics.ascender + 63) / 64);
    const int descent = static_cast<int>((-f->size->metrics.descender + 63) / 64);
    sized.Metrics.Ascent = ascent;
    sized.Metrics.Descent = descent;
    sized.Metrics.Height = ascent + descent;
    sized.Metrics.AveCharWidth = GlyphOf(sized, 'x').Advance;
  }

  const Glyph& GlyphOf(SizedFace& face, unsigned char c) {
    std::unique_ptr<Glyph>& slot = face.Glyphs[c];
    if (slot) return *slot;
    slot = std::make_unique<Glyph>();
    if (!face.Face) {
      slot->Advance = face.Metrics.AveCharWidth;
      return *slot;
    }
    if (FT_Load_Char(face.Face, CodePoint(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return *slot;
    const FT_GlyphSlot g = face.Face->glyph;
    slot->Advance = static_cast<int>((g->advance.x + 32) / 64);
    slot->Left = g->bitmap_left;
    slot->Top = g->bitmap_top;
    slot->Width = static_cast<int>(g->bitmap.width);
    slot->Rows = static_cast<int>(g->bitmap.rows);
    slot->Alpha.resize(static_cast<std::size_t>(slot->Width) * slot->Rows);
    for (int j = 0; j < slot->Rows; ++j)
      for (int i = 0; i < slot->Width; ++i) {
        const unsigned char* row = g->bitmap.buffer + static_cast<long>(j) * g->bitmap.pitch;
        slot->Alpha[static_cast<std::size_t>(j) * slot->Width + i] =
            g->bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[i >> 3] >> (7 - (i & 7))) & 1) * 255 : row[i];
      }
    return *slot;
  }

  FT_Library FLibrary = nullptr;
  std::map<Key, std::unique_ptr<SizedFace>> FFaces;
};

}  // namespace

TextEngine& SystemTextEngine() {
  static FreeTypeEngine engine;
  return engine;
}

}  // namespace kestrova::platform
