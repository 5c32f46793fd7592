// Text drawn with the bitmap font and read back from the frame buffer:
// colour escapes, tabs, line breaks, wrapping, and the GL state left behind.
// glWindowPos for the reference drawing below.
#define GL_GLEXT_PROTOTYPES 1
#include "GuiHarness.h"

#include "core/BitmapFont.h"
#include "core/CommonInterface.h"
#include "core/ScreenProjection.h"

#include <GL/glext.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

using vell_test::Rgb;

// 'A': a solid block 8 pixels wide and 17 rows high, advance 10.
// 'i': a solid block 2 wide, advance 4. Code 200 exists but cannot be drawn.
std::string blockFont() {
    static std::string path;
    if (!path.empty()) return path;
    path = ::testing::TempDir() + "vell_gui_block.fot";
    auto block = [](unsigned char code, uint8_t width, uint8_t bits) {
        Glyph_S g;
        g.code = code;
        g.width = width;
        for (int r = 0; r < Glyph_S::kRows; ++r) g.solid[r * Glyph_S::kRowBytes] = bits;
        return g;
    };
    std::vector<Glyph_S> glyphs = {block('A', 8, 0xFF), block('i', 2, 0xC0), block(200, 8, 0xFF),
                                   block(' ', 3, 0)};
    std::string error;
    if (!BitmapFont_C::save(path.c_str(), glyphs, &error)) ADD_FAILURE() << error;
    return path;
}

Rgb scaled(float r, float g, float b) {
    return Rgb{int(r * 255 + 0.5f), int(g * 255 + 0.5f), int(b * 255 + 0.5f)};
}

const Rgb kWhite{255, 255, 255};

class TextDrawTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        glColor3f(0, 0, 0);
    }
    // Pixels of the colour in a glyph-sized box (8 x 17) at (x, y).
    int blockCount(int x, int y, Rgb c) { return countNear(x, y, 8, 17, c, 3); }
};

TEST_F(TextDrawTest, ColourEscapesFollowTheTextLevel) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    ci.setTextLevel(1);
    ci.printStr(100, 100, "#4A#2A#3A#1A#5A#0A#9A");
    const Rgb want[] = {scaled(0.28125f, 0.09375f, 0.0625f), scaled(0.0625f, 0.1875f, 0),
                        Rgb{174, 151, 104},                   kWhite,
                        Rgb{100, 95, 85},                     Rgb{0, 0, 0},
                        Rgb{0, 0, 0}};   // "#9" changes nothing
    for (int i = 0; i < 7; ++i) EXPECT_EQ(blockCount(100 + 10 * i, 100, want[i]), 8 * 17) << "glyph " << i;
    // Nothing between the glyphs.
    EXPECT_EQ(countNot(108, 100, 2, 17, kWhite, 0), 0);

    ci.setTextLevel(3);
    ci.printStr(100, 200, "#2A#4A");
    EXPECT_EQ(blockCount(100, 200, scaled(0.1625f, 0.2875f, 0.1f)), 8 * 17);
    EXPECT_EQ(blockCount(110, 200, scaled(0.38125f, 0.19375f, 0.1625f)), 8 * 17);
}

TEST_F(TextDrawTest, PrintingRestoresColourAndAttributes) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    glColor4f(0, 0, 1, 1);
    glEnable(GL_DEPTH_TEST);
    ci.printStr(100, 100, "#4A");
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0);
    EXPECT_FLOAT_EQ(c[2], 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_DEPTH_TEST);
    // Without an escape the text takes the current colour.
    ci.printStr(300, 100, "A");
    EXPECT_EQ(blockCount(300, 100, Rgb{0, 0, 255}), 8 * 17);
}

TEST_F(TextDrawTest, TabsGoToTheNextMultipleOfTen) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    const struct {
        int x;
        const char* text;
        int glyphX;
    } cases[] = {
        {730, "\tA", 740},     // on a multiple: a full step
        {735, "\tA", 740},
        {733, "A\tA", 750},    // 733 + 10 = 743, then 750
        {700, "ii\tA", 710},   // 708, then 710
    };
    int y = 600;
    for (const auto& c : cases) {
        ci.printStr(c.x, y, std::string("#0").append(c.text).c_str());
        EXPECT_EQ(blockCount(c.glyphX, y, Rgb{0, 0, 0}), 8 * 17) << c.x << " " << c.text;
        EXPECT_EQ(countNot(c.glyphX - 2, y, 2, 17, kWhite, 0), 0) << c.x << " " << c.text;
        EXPECT_EQ(countNot(c.glyphX + 8, y, 3, 17, kWhite, 0), 0) << c.x << " " << c.text;
        y -= 40;
    }
}

TEST_F(TextDrawTest, LineBreaksAndUndrawableCharacters) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    ci.printStr(100, 400, "#0A\nA\xC8\xFFZA");
    EXPECT_EQ(blockCount(100, 400, Rgb{0, 0, 0}), 8 * 17);
    EXPECT_EQ(blockCount(100, 380, Rgb{0, 0, 0}), 8 * 17);
    // Characters 200 and 255 and 'Z' (no glyph) draw nothing and do not move.
    EXPECT_EQ(blockCount(110, 380, Rgb{0, 0, 0}), 8 * 17);
    EXPECT_EQ(countNot(120, 380, 20, 17, kWhite, 0), 0);
}

TEST_F(TextDrawTest, LinesStartingOffScreenDrawTheirVisiblePart) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    // Starts left of the window: the first glyph shows its last 3 columns,
    // the second lands at 5.
    ci.printStr(-5, 300, "#0AA");
    EXPECT_EQ(countNear(0, 300, 3, 17, Rgb{0, 0, 0}, 3), 3 * 17);
    EXPECT_EQ(countNot(3, 300, 2, 17, kWhite, 0), 0);
    EXPECT_EQ(blockCount(5, 300, Rgb{0, 0, 0}), 8 * 17);
    // Starts below the window (a scrolling credits line): its top rows show.
    ci.printStr(200, -10, "#0\tA");
    EXPECT_EQ(countNear(210, 0, 8, 7, Rgb{0, 0, 0}, 3), 8 * 7);
    EXPECT_EQ(countNot(218, 0, 10, 10, kWhite, 0), 0);
    // A tab from a negative x goes to the next multiple of 10 (0).
    ci.printStr(-5, 500, "#0\tA");
    EXPECT_EQ(blockCount(0, 500, Rgb{0, 0, 0}), 8 * 17);
}

TEST_F(TextDrawTest, PrintFormatWrapsOrPrintsNothing) {
    CommonInterface_C ci(1024, 768, blockFont().c_str());
    // 'A' 10 pixels, ' ' 5: breaks after "AA" at x 730 with limit 760.
    ci.printFormat(730, 500, "#0AA AA", 760);
    EXPECT_EQ(blockCount(740, 500, Rgb{0, 0, 0}), 8 * 17);
    EXPECT_EQ(countNot(750, 480, 30, 37, kWhite, 0), 0);   // nothing right of the first line
    EXPECT_EQ(blockCount(740, 480, Rgb{0, 0, 0}), 8 * 17);
    EXPECT_EQ(ci.heightStr(730, 760, "AA AA"), 2);

    // One word wider than the limit: nothing at all is printed.
    clearScreen();
    ci.printFormat(100, 300, "#0A AAAAAAAAAA", 150);
    EXPECT_EQ(countNot(90, 250, 200, 80, kWhite, 0), 0);
}

TEST_F(TextDrawTest, ShippedFontDrawsReadableText) {
    const std::string font = gamePath("data/font.fot");
    ASSERT_TRUE(std::ifstream(font).good()) << font << " is missing: the game folder is not assembled";
    CommonInterface_C ci(1024, 768, font.c_str());
    ci.printStr(100, 100, "#0Hello, world");
    const int w = ci.widthStr("Hello, world");
    EXPECT_GT(w, 60);
    EXPECT_LT(w, 140);
    EXPECT_GT(countNear(100, 100, w, 17, Rgb{0, 0, 0}, 8), 40);
    EXPECT_EQ(countNot(100 + w + 2, 95, 60, 25, kWhite, 0), 0);
}

// The picture text always had: each glyph as three bitmaps (faint, middle,
// solid) at a third, two thirds and all of the colour's opacity, each at a
// raster position in window coordinates. Kept here as the reference that
// the batched drawing must match pixel for pixel.
void referencePrint(const CommonInterface_C& ci, int x, int y, const char* text) {
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    setScreenProjection(ci.getWidth(), ci.getHeight(), ci.getWidth(), ci.getHeight());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    float colour[4] = {saved[0], saved[1], saved[2], saved[3]};
    float penX = float(x), penY = float(y);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p == '#') {
            if (!p[1]) break;
            ++p;
            float rgb[3];
            if (CommonInterface_C::escapeColour(char(*p), ci.getTextLevel(), rgb)) {
                colour[0] = rgb[0];
                colour[1] = rgb[1];
                colour[2] = rgb[2];
            }
        } else if (*p == '\n') {
            penY -= float(ci.getLineHeight());
            penX = float(x);
        } else if (*p == '\t') {
            const int rx = int(penX);
            penX = float(rx + 10 - ((rx % 10) + 10) % 10);
        } else if (const Glyph_S* g = ci.glyph(*p)) {
            const uint8_t* planes[3] = {g->faint, g->middle, g->solid};
            const float share[3] = {0.33f, 0.66f, 1.0f};
            for (int i = 0; i < 3; ++i) {
                glColor4f(colour[0], colour[1], colour[2], i == 2 ? colour[3] : colour[3] * share[i]);
                glWindowPos2f(penX, penY);
                glBitmap(32, ci.glyphHeight(), 0, 0, 0, 0, planes[i]);
            }
            penX += float(g->width + 2);
        }
    }
    glPopAttrib();
    glColor4fv(saved);
}

// A background with every colour changing across it, so that any
// difference in blending shows.
void drawBackdrop() {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glColor3f(0.9f, 0.8f, 0.6f); glVertex2f(0, 0);
    glColor3f(0.1f, 0.7f, 0.9f); glVertex2f(1024, 0);
    glColor3f(0.3f, 0.1f, 0.2f); glVertex2f(1024, 768);
    glColor3f(1.0f, 1.0f, 1.0f); glVertex2f(0, 768);
    glEnd();
}

TEST_F(TextDrawTest, BatchedTextIsThePictureOfTheThreeBitmaps) {
    const std::string font = gamePath("data/font.fot");
    ASSERT_TRUE(std::ifstream(font)) << font << " not built yet (target game_data)";
    CommonInterface_C ci(1024, 768, font.c_str());
    // Every glyph of the font, the slot icons among them, in every colour,
    // with tabs and line breaks, over a backdrop.
    std::string all;
    for (int c = 16; c < 127; ++c)
        if (c != '#') all += char(c);
    const std::string text = "#0" + all.substr(0, 40) + "\n#2" + all.substr(40, 40) + "\t#4" + all.substr(80) +
                             "\n#1white #3yellow #5grey\t#0x\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d";
    struct State {
        const char* what;
        bool blend, alphaTest;
        int level;
        float alpha;   // the current colour's alpha
    } states[] = {
        {"the game's blending and alpha test", true, true, 1, 1.0f},
        {"no blending, no alpha test", false, false, 1, 1.0f},
        {"blending alone, text level 3", true, false, 3, 1.0f},
        {"half-transparent colour", true, true, 2, 0.5f},
    };
    for (const State& st : states) {
        SCOPED_TRACE(st.what);
        ci.setTextLevel(st.level);
        std::vector<unsigned char> pictures[3];   // reference, batched, backdrop alone
        for (int pass = 0; pass < 3; ++pass) {
            clearScreen();
            drawBackdrop();
            if (st.blend) {
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            } else {
                glDisable(GL_BLEND);
            }
            if (st.alphaTest) {
                glEnable(GL_ALPHA_TEST);
                glAlphaFunc(GL_GREATER, 0.1f);
            } else {
                glDisable(GL_ALPHA_TEST);
            }
            glColor4f(0.2f, 0.4f, 0.6f, st.alpha);
            auto print = [&](int x, int y, const char* t) {
                if (pass == 0)
                    referencePrint(ci, x, y, t);
                else if (pass == 1)
                    ci.printStr(x, y, t);
            };
            for (int row = 0; row < 4; ++row)
                print(20 + 13 * row, 700 - 160 * row, text.c_str());
            print(-7, 3, "#0Edge of the world");   // off the left and bottom edges
            pictures[pass] = readRect(0, 0, kWidth, kHeight);
            GLfloat c[4];
            glGetFloatv(GL_CURRENT_COLOR, c);
            EXPECT_FLOAT_EQ(c[3], st.alpha) << "the colour comes back";
        }
        size_t differing = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i)
            differing += pictures[0][i] != pictures[1][i];
        EXPECT_EQ(differing, 0u);
        EXPECT_NE(pictures[1], pictures[2]) << "text was drawn";
    }
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

}  // namespace
