// mkfont: rasterises a TrueType font with FreeType into the game's bitmap
// font file ("data/font.fot").
//
//   mkfont <font.ttf> <out.fot> [pixel size (15)] [baseline row (4)]
//
// Characters 32 to 126 become glyphs of 17 rows and at most 16 pixels; the
// anti-aliased coverage gives the three layers (faint, middle, solid) that
// the game draws over one another with rising opacity.
#include "core/BitmapFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRows = Glyph_S::kRows;
constexpr int kCols = 16;
constexpr int kFaint = 40;
constexpr int kMiddle = 100;
constexpr int kSolid = 160;

void setPixel(uint8_t* plane, int row, int col) {
    plane[row * Glyph_S::kRowBytes + col / 8] |= static_cast<uint8_t>(0x80u >> (col % 8));
}

bool rasterise(FT_Face face, int code, int baseline, Glyph_S& g) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g = Glyph_S();
    g.code = static_cast<uint8_t>(code);
    g.width = static_cast<uint8_t>(std::max(1, std::min(kCols, advance - 2)));
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return bm.rows == 0;
    const int left = std::max(0, slot->bitmap_left);
    for (unsigned r = 0; r < bm.rows; ++r) {
        // Bitmap row r lies (bitmap_top - r - 1) rows above the baseline; file
        // rows count from the bottom.
        const int row = baseline + slot->bitmap_top - 1 - static_cast<int>(r);
        if (row < 0 || row >= kRows) continue;
        const uint8_t* src = bm.buffer + static_cast<long>(r) * bm.pitch;
        for (unsigned c = 0; c < bm.width; ++c) {
            const int col = left + static_cast<int>(c);
            if (col >= kCols) break;
            const int v = src[c];
            if (v >= kFaint) setPixel(g.faint, row, col);
            if (v >= kMiddle) setPixel(g.middle, row, col);
            if (v >= kSolid) setPixel(g.solid, row, col);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: %s <font.ttf> <out.fot> [pixel size] [baseline row]\n", argv[0]);
        return 2;
    }
    const int pixelSize = argc > 3 ? std::atoi(argv[3]) : 15;
    const int baseline = argc > 4 ? std::atoi(argv[4]) : 4;
    if (pixelSize < 6 || pixelSize > 17 || baseline < 0 || baseline >= kRows) {
        std::fprintf(stderr, "mkfont: pixel size must be 6..17 and the baseline row 0..16\n");
        return 2;
    }
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "mkfont: cannot start FreeType\n");
        return 1;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, argv[1], 0, &face) != 0) {
        std::fprintf(stderr, "mkfont: cannot read font %s\n", argv[1]);
        FT_Done_FreeType(lib);
        return 1;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    std::vector<Glyph_S> glyphs;
    for (int code = 32; code < 127; ++code) {
        Glyph_S g;
        if (rasterise(face, code, baseline, g)) glyphs.push_back(g);
        else std::fprintf(stderr, "mkfont: no glyph for character %d\n", code);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    std::string error;
    if (!BitmapFont_C::save(argv[2], glyphs, &error)) {
        std::fprintf(stderr, "mkfont: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
