// BitmapFont_C: the game's own bitmap font ("data/font.fot").
//
// File layout (little-endian): int32 glyph count, int32 glyph height (17),
// then 104 bytes per glyph: advance width, character code, and three 17-row
// bitmaps (faint, middle, solid) of 2 bytes per row, bottom row first, most
// significant bit leftmost. In memory each row is padded to 4 bytes (a
// 32-pixel-wide bitmap, of which the file fills the left 16 pixels).
//
// For drawing, load also lays every layer of every glyph into one alpha
// picture (the atlas): a set pixel 255, any other 0, each layer in a cell of
// its own with a blank pixel between cells, together with the box of the
// layer's set pixels, so that text is drawn as textured quads that cover
// exactly the pixels the bitmaps set.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Glyph_S {
    static constexpr int kRows = 17;
    static constexpr int kRowBytes = 4;
    uint8_t width = 0;
    uint8_t code = 0;
    uint8_t faint[kRows * kRowBytes] = {};
    uint8_t middle[kRows * kRowBytes] = {};
    uint8_t solid[kRows * kRowBytes] = {};
};

// One layer of one glyph in the atlas: the box of its set pixels inside
// the glyph (x from the left, y from the bottom row; w 0 for an empty
// layer) and the atlas texel of the box's lower-left corner.
struct AtlasBox_S {
    int16_t x = 0, y = 0, w = 0, h = 0;
    int16_t texX = 0, texY = 0;
};

struct FontAtlas_S {
    static constexpr int kWidth = 512;
    static constexpr int kCellWidth = 17;    // 16 pixels and a blank one
    static constexpr int kCellHeight = 18;   // 17 rows and a blank one
    static constexpr int kLayers = 3;        // faint, middle, solid
    int height = 0;                          // a power of two; 0 without glyphs
    std::vector<uint8_t> alpha;              // kWidth x height, bottom row first
    AtlasBox_S boxes[128][kLayers];          // by character code
};

class BitmapFont_C {
public:
    static constexpr int kFileGlyphBytes = 104;
    static constexpr int kIndexSize = 128;

    BitmapFont_C();
    virtual ~BitmapFont_C();
    BitmapFont_C(const BitmapFont_C&) = delete;
    BitmapFont_C& operator=(const BitmapFont_C&) = delete;

    // Reads the font file. On any error (missing file, short file, a glyph
    // height other than 17, a bad count) the font stays empty, a line goes
    // to the error stream and false comes back. Glyphs with a code of 128 or
    // more are kept out of the index.
    bool load(const char* path);

    // The glyph of a character, or null (codes >= 128, codes without glyph).
    const Glyph_S* glyph(unsigned char c) const { return c < kIndexSize ? index_[c] : nullptr; }
    int glyphCount() const { return glyphCount_; }
    int glyphHeight() const { return glyphHeight_; }

    // Advance of one character in pixels: glyph width + 2, 0 without glyph.
    int advance(unsigned char c) const;

    // The glyphs laid out for drawing (empty until a font is loaded).
    const FontAtlas_S& atlas() const { return atlas_; }

    // Writes a font file from the given glyphs (used by the font tool and tests).
    static bool save(const char* path, const std::vector<Glyph_S>& glyphs, std::string* error = nullptr);

protected:
    void clearFont();
    void buildAtlas();

    std::vector<Glyph_S> glyphs_;
    const Glyph_S* index_[kIndexSize];
    int glyphCount_ = 0;
    int glyphHeight_ = 0;
    FontAtlas_S atlas_;
};
