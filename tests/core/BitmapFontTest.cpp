// The bitmap font file and the text measuring of CommonInterface_C (no
// display needed: construction, widthStr, heightStr and wrapping draw nothing).
#include "core/BitmapFont.h"
#include "core/CommonInterface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vell_font_" + name;
}

Glyph_S glyphOf(unsigned char code, uint8_t width) {
    Glyph_S g;
    g.code = code;
    g.width = width;
    for (int r = 0; r < Glyph_S::kRows; ++r) g.solid[r * Glyph_S::kRowBytes] = 0xFF;
    g.middle[0] = 0x81;
    g.faint[(Glyph_S::kRows - 1) * Glyph_S::kRowBytes + 1] = 0x01;
    return g;
}

// 'A' advances 10, 'b' 6, ' ' 5, and a glyph with code 200 (out of the
// 128-entry index).
std::string writeTestFont() {
    const std::string path = tempPath("test.fot");
    std::vector<Glyph_S> glyphs = {glyphOf('A', 8), glyphOf('b', 4), glyphOf(' ', 3), glyphOf(200, 9)};
    std::string error;
    EXPECT_TRUE(BitmapFont_C::save(path.c_str(), glyphs, &error)) << error;
    return path;
}

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(BitmapFont, FileLayoutAndIndex) {
    const std::string path = writeTestFont();
    const std::vector<char> bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 8u + 4 * 104);
    EXPECT_EQ(bytes[0], 4);    // glyph count
    EXPECT_EQ(bytes[4], 17);   // rows
    EXPECT_EQ(bytes[8], 8);    // advance width of 'A'
    EXPECT_EQ(bytes[9], 'A');

    BitmapFont_C font;
    ASSERT_TRUE(font.load(path.c_str()));
    EXPECT_EQ(font.glyphCount(), 4);
    EXPECT_EQ(font.glyphHeight(), 17);
    const Glyph_S* a = font.glyph('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width, 8);
    // Each row: the file's two bytes, then two zero bytes.
    EXPECT_EQ(a->solid[0], 0xFF);
    EXPECT_EQ(a->solid[2], 0);
    EXPECT_EQ(a->middle[0], 0x81);
    EXPECT_EQ(a->faint[16 * 4 + 1], 0x01);
    EXPECT_EQ(font.glyph('Z'), nullptr);
    // The code 200 glyph is read but cannot be reached.
    EXPECT_EQ(font.glyph(200), nullptr);
    EXPECT_EQ(font.advance(200), 0);
}

TEST(BitmapFont, BadFilesLeaveTheFontEmpty) {
    const std::vector<char> good = readAll(writeTestFont());
    std::vector<char> wrongHeight = good;
    wrongHeight[4] = 16;
    std::vector<char> tooMany = good;
    tooMany[0] = 5;
    std::vector<char> negative = good;
    negative[3] = static_cast<char>(0x80);
    std::vector<char> cut(good.begin(), good.end() - 50);
    struct Case {
        const char* name;
        std::vector<char> bytes;
    } cases[] = {{"height 16", wrongHeight}, {"count past the end", tooMany}, {"negative count", negative},
                 {"cut glyph", cut},         {"cut header", std::vector<char>(good.begin(), good.begin() + 6)}};
    for (const Case& c : cases) {
        const std::string path = tempPath("bad.fot");
        writeAll(path, c.bytes);
        BitmapFont_C font;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(font.load(path.c_str())) << c.name;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("ERROR"), std::string::npos) << c.name;
        EXPECT_EQ(font.glyphCount(), 0) << c.name;
        EXPECT_EQ(font.glyph('A'), nullptr) << c.name;
    }
}

TEST(CommonInterface, MissingFontDrawsNothingAndMeasuresZero) {
    ::testing::internal::CaptureStderr();
    CommonInterface_C ci(1024, 768, tempPath("no-such-font.fot").c_str());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ci.widthStr("Hello"), 0);
    EXPECT_EQ(ci.glyphCount(), 0);
}

TEST(CommonInterface, LayoutValues) {
    CommonInterface_C ci(1024, 768, writeTestFont().c_str());
    EXPECT_EQ(ci.getURLeft(), 730);
    EXPECT_EQ(ci.getURRight(), 980);
    EXPECT_EQ(ci.getURTop(), 695);
    EXPECT_EQ(ci.getURBottom(), 335);
    EXPECT_EQ(ci.getURFirstLine(), 675);
    EXPECT_EQ(ci.getULRight(), 585);
    EXPECT_EQ(ci.getPicLeft(), 85);
    EXPECT_EQ(ci.getPicRight(), 585);
    EXPECT_EQ(ci.getPicTop(), 697);
    EXPECT_EQ(ci.getPicBottom(), 297);
    EXPECT_EQ(ci.getLineHeight(), 20);
    EXPECT_EQ(ci.getWidth(), 1024);
    EXPECT_EQ(ci.getHeight(), 768);
}

TEST(CommonInterface, WidthSkipsEscapesAndUnknownCharacters) {
    CommonInterface_C ci(1024, 768, writeTestFont().c_str());
    const struct {
        const char* text;
        int width;
    } cases[] = {
        {"", 0},          {"A", 10},        {"Ab", 16},        {"#2Ab", 16},     {"A#4b#0", 16},
        {"A b", 21},      {"AZ", 10},       {"A\xC8\xFF", 10}, {"A#", 10},       {"##A", 10},
        {"A\tb\n", 16},
    };
    for (const auto& c : cases) EXPECT_EQ(ci.widthStr(c.text), c.width) << '"' << c.text << '"';
    const char text[] = "#3Ab";
    ci.widthStr(text);
    EXPECT_STREQ(text, "#3Ab");
}

TEST(CommonInterface, WrappingAndLineCount) {
    CommonInterface_C ci(1024, 768, writeTestFont().c_str());
    // 'A' is 10 pixels, ' ' 5.
    const struct {
        const char* text;
        int x0, maxX;
        bool ok;
        const char* wrapped;
        int lines;
    } cases[] = {
        {"AAA AAA", 0, 100, true, "AAA AAA", 1},
        {"AAA AAA", 0, 40, true, "AAA\nAAA", 2},             // breaks at the last blank
        {"AAA AAA", 0, 32, true, "AAA\nAAA", 2},             // the blank itself overflows
        {"AAA AAA", 100, 140, true, "AAA\nAAA", 2},          // measured from x0
        {"AA AA AA AA", 0, 30, true, "AA\nAA\nAA\nAA", 4},
        {"A\nAAA AAA", 0, 40, true, "A\nAAA\nAAA", 3},       // '\n' starts a new line
        {"#2AAA #4AAA", 0, 40, true, "#2AAA\n#4AAA", 2},     // escapes take no room
        {"AAAAAAA", 0, 40, false, nullptr, 1},               // one word too long
        {"AA\nAAAAAAA B", 0, 40, false, nullptr, 2},         // counted until the long word
        {"", 0, 10, true, "", 1},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        int lines = 0;
        EXPECT_EQ(ci.wrapText(c.x0, c.maxX, text, lines), c.ok) << c.text;
        if (c.wrapped) {
            EXPECT_EQ(text, c.wrapped) << c.text;
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_EQ(ci.heightStr(c.x0, c.maxX, c.text), c.lines) << c.text;
    }
}

TEST(CommonInterface, EscapeColoursByTextLevel) {
    const struct {
        char c;
        int level;
        float r, g, b;
    } cases[] = {
        {'0', 1, 0, 0, 0},
        {'1', 3, 1, 1, 1},
        {'2', 1, 0.0625f, 0.1875f, 0},
        {'2', 2, 0.1125f, 0.2375f, 0.05f},
        {'2', 3, 0.1625f, 0.2875f, 0.1f},
        {'2', 7, 0.0625f, 0.1875f, 0},
        {'3', 2, 174 / 255.f, 151 / 255.f, 104 / 255.f},
        {'4', 1, 0.28125f, 0.09375f, 0.0625f},
        {'4', 2, 0.33125f, 0.14375f, 0.1125f},
        {'4', 3, 0.38125f, 0.19375f, 0.1625f},
        {'5', 3, 100 / 255.f, 95 / 255.f, 85 / 255.f},
    };
    for (const auto& c : cases) {
        float rgb[3] = {-1, -1, -1};
        ASSERT_TRUE(CommonInterface_C::escapeColour(c.c, c.level, rgb)) << c.c;
        EXPECT_FLOAT_EQ(rgb[0], c.r) << c.c << " level " << c.level;
        EXPECT_FLOAT_EQ(rgb[1], c.g) << c.c << " level " << c.level;
        EXPECT_FLOAT_EQ(rgb[2], c.b) << c.c << " level " << c.level;
    }
    float rgb[3];
    for (char c : {'6', '9', 'x', '#', ' '}) EXPECT_FALSE(CommonInterface_C::escapeColour(c, 1, rgb)) << c;
}

TEST(CommonInterface, ShippedFontHasPrintableAscii) {
    const std::string path = std::string(VELL_GAME_DIR) + "/data/font.fot";
    ASSERT_TRUE(std::ifstream(path).good()) << path << " is missing: the game folder is not assembled";
    BitmapFont_C font;
    ASSERT_TRUE(font.load(path.c_str()));
    for (int c = 32; c < 127; ++c) EXPECT_NE(font.glyph(static_cast<unsigned char>(c)), nullptr) << c;
    EXPECT_GT(font.advance('W'), font.advance('i'));
}
