// ScrollPane_C: a text word-wrapped once into lines, of which as many as fit
// its rectangle are shown, with scroll arrows when there is more above or
// below. In fixed-lines mode it starts with page + 1 empty lines, every new
// line pushes the oldest one out at the top (a log that always shows its last
// lines), and it never scrolls.
//
// messageBox: the modal message of the main screen that waits for SPACE (or
// ESC).
//
// Coordinates: left/right x, top/bottom GL y; a negative value takes the
// upper-right pane's (left 730, right 980, top 675 = its first text line,
// bottom 335).
#pragma once
#include "core/ScrollArrows.h"

#include <deque>
#include <functional>
#include <string>

class CommonInterface_C;
class MouseRegions_C;

class ScrollPane_C {
public:
    ScrollPane_C(int fixedLines, int left, int right, int top, int bottom);

    // Word-wraps the text into lines appended at the bottom (glyph widths of
    // the interface's font, plus 2 pixels each). Always true.
    bool addText(const char* text, const CommonInterface_C* iface);

    bool lineUp();
    bool lineDown();
    bool pageUp();
    bool pageDown();
    bool home();
    bool end();

    // Prints the visible lines from the current one down and the scroll
    // arrows; with regions, a 15 x 15 click region per arrow.
    void drawPane(CommonInterface_C* iface, MouseRegions_C* regions = nullptr);
    // Click-region callback (data = the pane): a press on the up arrow pushes
    // PAGEUP, on the down arrow PAGEDOWN.
    static void mousecallback(void* pane, int x, int y, int mode);

    // Deletes every line (a fixed-lines pane gets its empty lines back).
    void clearLines();

    int lineCount() const { return int(lines_.size()); }
    const std::string& line(int i) const { return lines_[size_t(i)]; }
    int currentLine() const { return int(current_); }
    int pageSize() const { return page_; }
    bool fixedLines() const { return fixed_; }
    int upArrowX() const { return arrows_.upX; }
    int upArrowY() const { return arrows_.upY; }
    int downArrowX() const { return arrows_.downX; }
    int downArrowY() const { return arrows_.downY; }

private:
    void pushLine(std::string line);

    std::deque<std::string> lines_;
    size_t current_ = 0;
    bool fixed_;
    int left_, right_, top_, bottom_;
    int lineHeight_ = 20;
    int screenHeight_ = 768;
    int page_ = 1;
    ScrollArrows_S arrows_;
};

// What messageBox needs of the main screen. The game fills it from the
// interface; every function may be empty.
struct MessageBoxHost_S {
    CommonInterface_C* text = nullptr;          // required
    MouseRegions_C* regions = nullptr;          // null: mouse support off
    std::function<void(bool force)> clearUR;    // picture under the pane
    std::function<void()> drawCharText;         // the party roster
    std::function<void()> drawBackground;       // the interface frame
};

// Line n of the upper-right pane as a GL y: n > 0 counted down from its top
// edge, 0 and below up from its bottom edge.
int urLineY(const CommonInterface_C& text, int n);

// Shows the text word-wrapped from line 2 of the upper-right pane and
// "(SPACE) to Continue" on line 0 over the caller's picture (redraw) and
// waits until SPACE or ESC is pressed. Then asks for a redraw, so that the
// screen under the box is drawn again.
void messageBox(const MessageBoxHost_S& host, const char* text, void (*redraw)());
