// CommonInterface_C: text output with the bitmap font into an orthographic
// pixel space of the given width and height (1024 x 768 for the game's own
// screens), and the fixed text rectangles of the screen layout. Rectangle y
// values count upward from the bottom of the space.
//
// Text may hold colour escapes '#' + digit ("#0" black, "#1" white, "#2"
// green, "#3" yellow, "#4" red, "#5" grey; any other character after '#' is
// consumed and changes nothing), '\n' line breaks and '\t' tabs to the next
// multiple of 10 pixels. Characters are read as unsigned; 128 and above draw
// nothing and take no width.
//
// The drawing functions need a current GL context; construction, widthStr,
// heightStr and wrapText do not. Text is drawn from the font's atlas (see
// core/BitmapFont.h) as one batch of textured quads per call: for every
// glyph its faint, middle and solid layers in that order, at a third, two
// thirds and all of the colour's opacity, covering exactly the pixels each
// layer sets. The atlas becomes a GL texture on the first print in a context
// and is freed with the object while the window still stands.
#pragma once
#include "core/BitmapFont.h"
#include <functional>
#include <string>
#include <vector>

// The upper-right text pane of the screen layout (GL y upward) and the
// height of a text line: also what the text widgets take when they have no
// interface or are given a negative coordinate.
constexpr int kURLeft = 730;
constexpr int kURRight = 980;
constexpr int kURTop = 695;
constexpr int kURBottom = 335;
constexpr int kTextLineHeight = 20;

class CommonInterface_C : public BitmapFont_C {
public:
    static constexpr const char* kFontPath = "data/font.fot";

    // Reads "data/font.fot" (relative to the working folder).
    CommonInterface_C(int width, int height);
    // Reads the given font file instead (tools and tests).
    CommonInterface_C(int width, int height, const char* fontPath);
    ~CommonInterface_C() override;

    // Prints without wrapping from GL raster position (x, y).
    void printStr(int x, int y, const char* text);
    // Prints with word wrap at maxX. When a line has no blank to break at,
    // nothing is printed.
    void printFormat(int x, int y, const char* text, int maxX);
    // Lines that printFormat would print; an unbreakable line ends the count.
    int heightStr(int x0, int maxX, const char* text) const;
    // Pixel width of the text (escapes take none).
    int widthStr(const char* text) const;

    // The wrapping walk of printFormat: breaks lines of a copy of the text at
    // blanks. Returns false when a line cannot be broken; `lines` gets the
    // number of lines counted so far (including the one that failed).
    bool wrapText(int x0, int maxX, std::string& text, int& lines) const;

    // The colour of escape character c at the given text level (1..3);
    // false when c selects no colour.
    static bool escapeColour(char c, int textLevel, float rgb[3]);

    // Sees every text that printStr and printFormat are given, with its
    // position, before it is drawn. Only the screen tests set it (to read
    // what a page says); an empty function clears it.
    using PrintObserver = std::function<void(int x, int y, const char* text)>;
    static void setPrintObserver(PrintObserver observer);

    // Text level for the colours of escapes 2 and 4. Taken from the settings
    // when constructed; screens and tests may change it.
    void setTextLevel(int level) { textLevel_ = level; }
    int getTextLevel() const { return textLevel_; }

    int getURLeft() const { return urLeft_; }
    int getURRight() const { return urRight_; }
    int getURTop() const { return urTop_; }
    int getURBottom() const { return urBottom_; }
    int getURFirstLine() const { return urTop_ - lineHeight_; }
    int getULLeft() const { return ulLeft_; }
    int getULRight() const { return ulRight_; }
    int getULTop() const { return ulTop_; }
    int getULBottom() const { return ulBottom_; }
    int getPicLeft() const { return picLeft_; }
    int getPicRight() const { return picRight_; }
    int getPicTop() const { return picTop_; }
    int getPicBottom() const { return picBottom_; }
    int getLineHeight() const { return lineHeight_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }

private:
    // One corner of a quad: position, atlas texel, colour.
    struct TextVertex_S {
        float x, y, s, t, r, g, b, a;
    };

    void beginPrint();
    void endPrint();
    void printLines(int x, int y, const char* text);
    void addGlyph(unsigned char c, float& penX, float penY, const float colour[4]);
    bool ensureTexture();

    int urLeft_ = kURLeft, urRight_ = kURRight, urTop_ = kURTop, urBottom_ = kURBottom;
    int ulLeft_ = 85, ulRight_ = 585, ulTop_ = 697, ulBottom_ = 297;
    int picLeft_ = 85, picRight_ = 585, picTop_ = 697, picBottom_ = 297;
    int lineHeight_ = kTextLineHeight;
    int width_;
    int height_;
    int textLevel_ = 1;
    float savedColour_[4] = {1, 1, 1, 1};
    unsigned texture_ = 0;                // the atlas in the current context
    std::vector<TextVertex_S> quads_;     // the batch being built (kept for reuse)
};
