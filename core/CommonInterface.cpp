#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ScreenProjection.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

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

CommonInterface_C::~CommonInterface_C() = default;

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

void CommonInterface_C::beginPrint() {
    glGetFloatv(GL_CURRENT_COLOR, savedColour_);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    setScreenProjection(width_, height_, width_, height_);
}

void CommonInterface_C::endPrint() {
    glPopAttrib();
    glColor4fv(savedColour_);
}

// Draws one glyph at the pen and moves the pen right by its advance. The
// raster position is set in window coordinates (glWindowPos), which the
// viewport of beginPrint makes equal to the text space; unlike glRasterPos it
// stays valid off the screen, so a line that starts outside still draws its
// visible part at the right place.
void CommonInterface_C::drawGlyph(unsigned char c, float& penX, float penY, const float colour[4]) {
    const Glyph_S* g = glyph(c);
    if (!g) return;
    const GLsizei rows = glyphHeight_;
    // The raster colour is latched when the raster position is set.
    glColor4f(colour[0], colour[1], colour[2], colour[3] * 0.33f);
    glWindowPos2f(penX, penY);
    glBitmap(32, rows, 0, 0, 0, 0, g->faint);
    glColor4f(colour[0], colour[1], colour[2], colour[3] * 0.66f);
    glWindowPos2f(penX, penY);
    glBitmap(32, rows, 0, 0, 0, 0, g->middle);
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glWindowPos2f(penX, penY);
    glBitmap(32, rows, 0, 0, 0, 0, g->solid);
    penX += static_cast<float>(g->width + 2);
}

void CommonInterface_C::printLines(int x, int y, const char* text) {
    GLint unpack = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    float colour[4] = {savedColour_[0], savedColour_[1], savedColour_[2], savedColour_[3]};
    float penX = static_cast<float>(x);
    float penY = static_cast<float>(y);
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
                glColor3f(rgb[0], rgb[1], rgb[2]);
            }
        } else if (c == '\n') {
            penY -= static_cast<float>(lineHeight_);
            penX = static_cast<float>(x);
        } else if (c == '\t') {
            const int rx = static_cast<int>(penX);
            penX = static_cast<float>(rx + 10 - ((rx % 10) + 10) % 10);
        } else {
            drawGlyph(c, penX, penY, colour);
        }
    }
    glWindowPos2f(penX, penY);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
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
