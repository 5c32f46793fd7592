#include "core/BitmapFont.h"
#include "core/MemStream.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFileRows = 17;
constexpr int kFileRowBytes = 2;
constexpr int kPlaneBytes = kFileRows * kFileRowBytes;   // 34
constexpr int kHeaderBytes = 8;

bool readWholeFile(const char* path, std::vector<uint8_t>& out) {
    FILE* f = vell::openFile(path, "rb");
    if (!f) return false;
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

void unpackPlane(const uint8_t* src, uint8_t* dst) {
    for (int r = 0; r < kFileRows; ++r) {
        dst[r * Glyph_S::kRowBytes + 0] = src[r * kFileRowBytes + 0];
        dst[r * Glyph_S::kRowBytes + 1] = src[r * kFileRowBytes + 1];
        dst[r * Glyph_S::kRowBytes + 2] = 0;
        dst[r * Glyph_S::kRowBytes + 3] = 0;
    }
}

void packPlane(const uint8_t* src, MemStream_C& out) {
    for (int r = 0; r < kFileRows; ++r) {
        out.writeByte(src[r * Glyph_S::kRowBytes + 0]);
        out.writeByte(src[r * Glyph_S::kRowBytes + 1]);
    }
}

}  // namespace

BitmapFont_C::BitmapFont_C() {
    clearFont();
}

BitmapFont_C::~BitmapFont_C() = default;

void BitmapFont_C::clearFont() {
    atlas_ = FontAtlas_S();
    glyphs_.clear();
    glyphs_.shrink_to_fit();
    for (auto& p : index_) p = nullptr;
    glyphCount_ = 0;
    glyphHeight_ = 0;
}

int BitmapFont_C::advance(unsigned char c) const {
    const Glyph_S* g = glyph(c);
    return g ? g->width + 2 : 0;
}

bool BitmapFont_C::load(const char* path) {
    clearFont();
    std::vector<uint8_t> bytes;
    if (!path || !readWholeFile(path, bytes)) {
        std::fprintf(stderr, "ERROR: Could not open font file: %s\n", path ? path : "(null)");
        return false;
    }
    MemStream_C in;
    in.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    int32_t count = 0, height = 0;
    if (!in.readInt32(count) || !in.readInt32(height)) {
        std::fprintf(stderr, "ERROR: Font file %s is too short\n", path);
        return false;
    }
    if (height != kFileRows) {
        std::fprintf(stderr, "ERROR: Font file %s has glyphs of %d rows (expected %d)\n", path, height, kFileRows);
        return false;
    }
    const uint64_t available = (bytes.size() - kHeaderBytes) / kFileGlyphBytes;
    if (count < 0 || static_cast<uint64_t>(count) > available) {
        std::fprintf(stderr, "ERROR: Font file %s names %d glyphs but holds %llu\n", path, count,
                     static_cast<unsigned long long>(available));
        return false;
    }
    glyphs_.resize(static_cast<size_t>(count));
    for (Glyph_S& g : glyphs_) {
        uint8_t rec[kFileGlyphBytes];
        in.read(rec, kFileGlyphBytes);   // size checked above
        g.width = rec[0];
        g.code = rec[1];
        unpackPlane(rec + 2, g.faint);
        unpackPlane(rec + 2 + kPlaneBytes, g.middle);
        unpackPlane(rec + 2 + 2 * kPlaneBytes, g.solid);
    }
    for (const Glyph_S& g : glyphs_)
        if (g.code < kIndexSize) index_[g.code] = &g;
    glyphCount_ = count;
    glyphHeight_ = height;
    buildAtlas();
    return true;
}

namespace {

bool bitSet(const uint8_t* plane, int row, int col) {
    return (plane[row * Glyph_S::kRowBytes + col / 8] & (0x80u >> (col % 8))) != 0;
}

}  // namespace

void BitmapFont_C::buildAtlas() {
    atlas_ = FontAtlas_S();
    const int perRow = FontAtlas_S::kWidth / FontAtlas_S::kCellWidth;
    int cells = 0;
    for (int c = 0; c < kIndexSize; ++c)
        if (index_[c]) cells += FontAtlas_S::kLayers;
    if (cells == 0) return;
    const int rows = (cells + perRow - 1) / perRow;
    int height = 1;
    while (height < rows * FontAtlas_S::kCellHeight) height *= 2;
    atlas_.height = height;
    atlas_.alpha.assign(static_cast<size_t>(FontAtlas_S::kWidth) * height, 0);
    int cell = 0;
    for (int c = 0; c < kIndexSize; ++c) {
        const Glyph_S* g = index_[c];
        if (!g) continue;
        const uint8_t* planes[FontAtlas_S::kLayers] = {g->faint, g->middle, g->solid};
        for (int layer = 0; layer < FontAtlas_S::kLayers; ++layer, ++cell) {
            const int cx = (cell % perRow) * FontAtlas_S::kCellWidth;
            const int cy = (cell / perRow) * FontAtlas_S::kCellHeight;
            int x0 = 16, y0 = kFileRows, x1 = -1, y1 = -1;
            for (int row = 0; row < kFileRows; ++row)
                for (int col = 0; col < 16; ++col) {
                    if (!bitSet(planes[layer], row, col)) continue;
                    atlas_.alpha[static_cast<size_t>(cy + row) * FontAtlas_S::kWidth + cx + col] = 255;
                    x0 = std::min(x0, col);
                    x1 = std::max(x1, col);
                    y0 = std::min(y0, row);
                    y1 = std::max(y1, row);
                }
            AtlasBox_S& box = atlas_.boxes[c][layer];
            if (x1 < 0) continue;
            box.x = static_cast<int16_t>(x0);
            box.y = static_cast<int16_t>(y0);
            box.w = static_cast<int16_t>(x1 - x0 + 1);
            box.h = static_cast<int16_t>(y1 - y0 + 1);
            box.texX = static_cast<int16_t>(cx + x0);
            box.texY = static_cast<int16_t>(cy + y0);
        }
    }
}

bool BitmapFont_C::save(const char* path, const std::vector<Glyph_S>& glyphs, std::string* error) {
    MemStream_C out;
    out.writeInt32(static_cast<int32_t>(glyphs.size()));
    out.writeInt32(kFileRows);
    for (const Glyph_S& g : glyphs) {
        out.writeByte(g.width);
        out.writeByte(g.code);
        packPlane(g.faint, out);
        packPlane(g.middle, out);
        packPlane(g.solid, out);
    }
    FILE* f = std::fopen(path, "wb");
    if (!f) {
        if (error) *error = std::string("cannot create ") + path;
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    const bool closed = std::fclose(f) == 0;
    if (!(ok && closed)) {
        if (error) *error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}
