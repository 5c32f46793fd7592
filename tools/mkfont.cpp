// mkfont: rasterises a TrueType font with FreeType into the game's bitmap
// font file ("data/font.fot").
//
//   mkfont <font.ttf> <out.fot> [pixel size (15)] [baseline row (4)]
//
// Characters 32 to 126 become glyphs of 17 rows and at most 16 pixels; the
// anti-aliased coverage gives the three layers (faint, middle, solid) that
// the game draws over one another with rising opacity.
//
// Characters 16 to 29 are the game's own icons, drawn below as pixel rows:
// 16 and 17 the scroll arrows (up, down) of the lists and panes, 18 to 29 the
// equipment slots 0 to 11 that the inventory lists put before an item (head,
// body, shirt, belt, back, instrument, feet, gloves, right hand, left hand,
// ammunition, finger).
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

// An icon: 12 rows of 12 pixels, top row first; '#' a solid pixel.
struct Icon_S {
    int code;
    const char* rows[12];
};

const Icon_S kIcons[] = {
    {16, {".....##.....", "....####....", "...######...", "..########..", ".##########.", "############",
          "....####....", "....####....", "....####....", "....####....", "....####....", "............"}},
    {17, {"....####....", "....####....", "....####....", "....####....", "....####....", "############",
          ".##########.", "..########..", "...######...", "....####....", ".....##.....", "............"}},
    // head: a helmet with eye slits
    {18, {"....####....", "..########..", ".##########.", ".##########.", "############", "############",
          "###..##..###", "###..##..###", "###......###", ".##......##.", ".##......##.", "............"}},
    // body: a breastplate
    {19, {".##......##.", "####....####", "############", "############", ".##########.", ".####..####.",
          ".##########.", ".##########.", "..########..", "..########..", "...######...", "............"}},
    // shirt: a tunic
    {20, {"..##....##..", ".####..####.", "############", "#.########.#", "..########..", "..########..",
          "..########..", "..########..", "..########..", "..########..", "............", "............"}},
    // belt: a band with its buckle
    {21, {"............", "............", "............", "............", "############", "###.....####",
          "###.###.####", "###.....####", "############", "............", "............", "............"}},
    // back: a cloak
    {22, {"....####....", "...######...", "...######...", "..########..", "..########..", ".##########.",
          ".##########.", ".##########.", "############", "############", "############", "............"}},
    // instrument: a note
    {23, {".......#....", ".......##...", ".......#.#..", ".......#..#.", ".......#....", ".......#....",
          ".......#....", "....####....", "...#####....", "...#####....", "....###.....", "............"}},
    // feet: a boot
    {24, {"...#####....", "...#####....", "...#####....", "...#####....", "...#####....", "...#####....",
          "...######...", "...########.", "..#########.", "..##########", "..##########", "............"}},
    // gloves: a hand
    {25, {"..#.#.#.....", "..#.#.#.#...", "..#.#.#.#...", "..#######...", "..#######.#.", "..#######.#.",
          "..#########.", "..########..", "...######...", "...######...", "...######...", "............"}},
    // right hand: a sword
    {26, {"..........##", ".........###", "........###.", ".......###..", "......###...", ".....###....",
          ".#..###.....", ".####.......", "..###.......", ".##.##......", "##..........", "............"}},
    // left hand: a shield
    {27, {"############", "############", "############", "#####..#####", "#####..#####", ".##########.",
          ".##########.", "..########..", "..########..", "...######...", "....####....", "............"}},
    // ammunition: an arrow
    {28, {"........####", ".........###", "........####", ".......###.#", "......###...", ".....###....",
          "....###.....", "...###......", "#.###.......", ".###........", "##.#........", "............"}},
    // finger: a ring with its stone
    {29, {"....####....", "...#....#...", "....####....", "..########..", ".##......##.", "##........##",
          "##........##", "##........##", ".##......##.", "..########..", "....####....", "............"}},
};

// The icon as a glyph: 12 pixels wide, its top row on row 15, so that it
// stands on the text's baseline (row 4).
Glyph_S iconGlyph(const Icon_S& icon) {
    Glyph_S g;
    g.code = static_cast<uint8_t>(icon.code);
    g.width = 12;
    for (int i = 0; i < 12; ++i)
        for (int col = 0; col < 12; ++col)
            if (icon.rows[i][col] == '#') {
                const int row = 15 - i;
                setPixel(g.faint, row, col);
                setPixel(g.middle, row, col);
                setPixel(g.solid, row, col);
            }
    return g;
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
    for (const Icon_S& icon : kIcons) glyphs.push_back(iconGlyph(icon));
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
