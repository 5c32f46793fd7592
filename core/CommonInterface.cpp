#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ScreenProjection.h"

#include <SDL.h>
#include <GL/gl.h>

namespace {
CommonInterface_C::PrintObserver& printObserver()
{
    static CommonInterface_C::PrintObserver observer;
    return observer;
}
} // namespace

void CommonInterface_C::setPrintObserver(PrintObserver observer) { printObserver() = std::move(observer); }

CommonInterface_C::CommonInterface_C(int width, int height)
    : CommonInterface_C(width, height, kFontPath) {}

CommonInterface_C::CommonInterface_C(int width, int height, const char* fontPath)
    : width_(width), height_(height), textLevel_(gameConfig.textLevel) {
    load(fontPath);
}

CommonInterface_C::~CommonInterface_C() {
    // The texture belongs to the window's GL context: once that is gone
    // there is nothing to free (and no context to call).
    if (texture_ && SDL_GetVideoSurface()) {
        const GLuint id = texture_;
        glDeleteTextures(1, &id);
    }
}

bool CommonInterface_C::escapeColour(char c, int textLevel, float rgb[3]) {
    auto set = [rgb](float r, float g, float b) { rgb[0] = r; rgb[1] = g; rgb[2] = b; };
    const float lift = (textLevel == 2) ? 0.05f : (textLevel == 3) ? 0.1f : 0.0f;
    switch (c) {
    case '0': set(0, 0, 0); return true;
    case '1': set(1, 1, 1); return true;
    case '2': set(0.0625f + lift, 0.1875f + lift, 0.0f + lift); return true;
    case '3': set(174 / 255.0f, 151 / 255.0f, 104 / 255.0f); return true;
    case '4': set(0.28125f + lift, 0.09375f + lift, 0.0625f + lift); return true;
    case '5': set(100 / 255.0f, 95 / 255.0f, 85 / 255.0f); return true;
    default: return false;
    }
}

int CommonInterface_C::widthStr(const char* text) const {
    if (!text) return 0;
    int w = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p == '#') {
            if (!p[1]) break;
            ++p;
            continue;
        }
        w += advance(*p);
    }
    return w;
}

bool CommonInterface_C::wrapText(int x0, int maxX, std::string& text, int& lines) const {
    lines = 1;
    int pen = x0;
    size_t lastBlank = std::string::npos;   // last blank of the current line
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '#') {
            ++i;   // the escape's second character takes no room
            continue;
        }
        if (c == '\n') {
            pen = x0;
            lastBlank = std::string::npos;
            ++lines;
            continue;
        }
        pen += advance(c);
        if (pen <= maxX) {
            if (c == ' ') lastBlank = i;
            continue;
        }
        size_t breakAt;
        if (c == ' ') {
            breakAt = i;
        } else if (lastBlank != std::string::npos) {
            breakAt = lastBlank;
        } else {
            return false;
        }
        text[breakAt] = '\n';
        ++lines;
        pen = x0;
        lastBlank = std::string::npos;
        i = breakAt;   // measure the new line from its start
    }
    return true;
}

int CommonInterface_C::heightStr(int x0, int maxX, const char* text) const {
    std::string copy = text ? text : "";
    int lines = 0;
    wrapText(x0, maxX, copy, lines);
    return lines;
}

bool CommonInterface_C::ensureTexture() {
    const FontAtlas_S& a = atlas();
    if (a.height == 0) return false;
    if (texture_ && glIsTexture(texture_)) return true;
    GLuint id = 0;
    glGenTextures(1, &id);
    if (!id) return false;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, FontAtlas_S::kWidth, a.height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 a.alpha.data());
    glPopClientAttrib();
    texture_ = id;
    return true;
}

void CommonInterface_C::beginPrint() {
    glGetFloatv(GL_CURRENT_COLOR, savedColour_);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    // The pixels a layer does not set must stay untouched, as if no
    // fragment came there: the atlas gives them alpha 0, which the alpha
    // test drops. The caller's own test (the game's "greater than 0.1")
    // already drops them and is kept for the pixels that are set.
    GLint func = GL_ALWAYS;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    if (!glIsEnabled(GL_ALPHA_TEST) || func != GL_GREATER) {
        glAlphaFunc(GL_GREATER, 0.0f);
        glEnable(GL_ALPHA_TEST);
    }
    setScreenProjection(width_, height_, width_, height_);
}

void CommonInterface_C::endPrint() {
    glPopAttrib();
    glColor4fv(savedColour_);
}

// Adds the quads of one glyph's three layers at the pen and moves the pen
// right by its advance.
void CommonInterface_C::addGlyph(unsigned char c, float& penX, float penY, const float colour[4]) {
    const Glyph_S* g = glyph(c);
    if (!g) return;
    const FontAtlas_S& a = atlas();
    const float sw = 1.0f / FontAtlas_S::kWidth;
    const float th = 1.0f / static_cast<float>(a.height);
    static const float kOpacity[FontAtlas_S::kLayers] = {0.33f, 0.66f, 1.0f};
    for (int layer = 0; layer < FontAtlas_S::kLayers; ++layer) {
        const AtlasBox_S& b = a.boxes[c][layer];
        if (b.w == 0) continue;
        const float x0 = penX + b.x, y0 = penY + b.y, x1 = x0 + b.w, y1 = y0 + b.h;
        const float s0 = b.texX * sw, t0 = b.texY * th, s1 = (b.texX + b.w) * sw, t1 = (b.texY + b.h) * th;
        // The same value the layer's colour always had: the colour's alpha
        // times the layer's share.
        const float alpha = layer == 2 ? colour[3] : colour[3] * kOpacity[layer];
        const float r = colour[0], gr = colour[1], bl = colour[2];
        quads_.push_back({x0, y0, s0, t0, r, gr, bl, alpha});
        quads_.push_back({x1, y0, s1, t0, r, gr, bl, alpha});
        quads_.push_back({x1, y1, s1, t1, r, gr, bl, alpha});
        quads_.push_back({x0, y1, s0, t1, r, gr, bl, alpha});
    }
    penX += static_cast<float>(g->width + 2);
}

void CommonInterface_C::printLines(int x, int y, const char* text) {
    float colour[4] = {savedColour_[0], savedColour_[1], savedColour_[2], savedColour_[3]};
    float penX = static_cast<float>(x);
    float penY = static_cast<float>(y);
    quads_.clear();
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const unsigned char c = *p;
        if (c == '#') {
            if (!p[1]) break;
            ++p;
            float rgb[3];
            if (escapeColour(static_cast<char>(*p), textLevel_, rgb)) {
                colour[0] = rgb[0];
                colour[1] = rgb[1];
                colour[2] = rgb[2];
            }
        } else if (c == '\n') {
            penY -= static_cast<float>(lineHeight_);
            penX = static_cast<float>(x);
        } else if (c == '\t') {
            const int rx = static_cast<int>(penX);
            penX = static_cast<float>(rx + 10 - ((rx % 10) + 10) % 10);
        } else {
            addGlyph(c, penX, penY, colour);
        }
    }
    if (quads_.empty() || !ensureTexture()) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    const GLsizei stride = sizeof(TextVertex_S);
    glVertexPointer(2, GL_FLOAT, stride, &quads_[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &quads_[0].s);
    glColorPointer(4, GL_FLOAT, stride, &quads_[0].r);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads_.size()));
    glPopClientAttrib();
}

void CommonInterface_C::printStr(int x, int y, const char* text) {
    if (!text) return;
    if (printObserver()) printObserver()(x, y, text);
    beginPrint();
    printLines(x, y, text);
    endPrint();
}

void CommonInterface_C::printFormat(int x, int y, const char* text, int maxX) {
    if (!text) return;
    if (printObserver()) printObserver()(x, y, text);
    std::string copy = text;
    int lines = 0;
    if (!wrapText(x, maxX, copy, lines)) return;
    beginPrint();
    printLines(x, y, copy.c_str());
    endPrint();
}
