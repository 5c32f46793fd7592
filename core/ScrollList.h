// The two list widgets of the screens, drawn in the text font inside a
// rectangle (by default the upper-right text pane):
// - ScrollList_C: text lines, the selectable ones chosen with the arrow and
//   page keys or the mouse;
// - ScrollInvList_C: item lines with a tag character, a word-wrapped text and
//   a price column; a line may take several rows.
// Neither owns a loop: the screen forwards its keys to lineUp/lineDown/
// pageUp/pageDown, redraws and reads the selection.
//
// Coordinates: left/right are x, top/bottom GL y (upward). A negative value
// takes the upper-right pane's (left 730, right 980, top 675 = its first text
// line, bottom 335). Click regions are added only when the draw call gets a
// MouseRegions_C (mouse support on).
#pragma once
#include "core/RefStr.h"
#include "core/ScrollArrows.h"

#include <cstdint>
#include <string>
#include <vector>

class CommonInterface_C;
class MouseRegions_C;

// Colours of the widgets' lines by text level (1..3).
struct ListColours {
    static void selected(int textLevel, float rgb[3]);
    static void selectable(int textLevel, float rgb[3]);
    static void unselectable(int textLevel, float rgb[3]);
    static void arrows(float rgb[3]);
    // The colour of one list line: unselectable, selected or selectable.
    static void line(int textLevel, bool isSelectable, bool isSelected, float rgb[3]);
};

struct ScrollLine_S {
    RefStr_C text;
    int value = 0;
    bool selectable = false;
};

class ScrollList_C {
public:
    ScrollList_C(const CommonInterface_C* iface, int left, int right, int top, int bottom);

    bool addLine(const char* text, int value, bool selectable);

    bool lineUp();
    bool lineDown();
    bool pageUp();
    bool pageDown();

    int selectedValue() const;
    RefStr_C selectedText() const;
    int getNumLines() const { return int(lines_.size()); }
    const char* lineText(int index) const;

    int selected() const { return selected_; }
    int firstVisible() const { return first_; }
    int pageSize() const { return page_; }

    // Draws the visible lines and the scroll arrows; with regions, adds a
    // 15 x 15 click region per arrow calling mouseCallback.
    void draw(CommonInterface_C* iface, MouseRegions_C* regions = nullptr);
    // Click-region callback (data = the list): press on an arrow pushes
    // PAGEUP/PAGEDOWN, press on a line selects it and pushes RETURN; motion
    // selects the line under the mouse and asks for a redraw.
    static void mouseCallback(void* list, int x, int y, int mode);

    // The line under a mouse point (y downward) as last drawn; -1 for none.
    int lineAtMouse(int x, int y) const;
    int upArrowX() const { return arrows_.upX; }
    int upArrowY() const { return arrows_.upY; }
    int downArrowX() const { return arrows_.downX; }
    int downArrowY() const { return arrows_.downY; }
    int getLeft() const { return left_; }
    int getRight() const { return right_; }
    int getTop() const { return top_; }
    int getBottom() const { return bottom_; }

private:
    int forwardSelectable(int from) const;   // first selectable at or after from
    int backSelectable(int from) const;      // last selectable at or before from

    std::vector<ScrollLine_S> lines_;
    int selected_ = -1;
    int first_ = 0;
    int left_, right_, top_, bottom_;
    int page_ = 1;
    int lineHeight_ = 20;
    int screenHeight_ = 768;
    ScrollArrows_S arrows_;
    // Rows taken by each visible line at the last draw, from first_.
    std::vector<int> drawnRows_;
};

struct InvLine_S {
    RefStr_C text;
    int tag = 0;          // shown as one character; 0 none
    int value = 0;        // what selectedItem returns
    uint32_t price = 0;
    int height = 1;       // rows the wrapped text takes
    bool selectable = false;
};

class ScrollInvList_C {
public:
    // text: the font the line heights are measured with (may be null: every
    // line is one row until the first draw measures them).
    ScrollInvList_C(int left, int right, int top, int bottom, int indent, int priceWidth, int ignored = 0);
    ScrollInvList_C(const CommonInterface_C* text, int left, int right, int top, int bottom, int indent,
                    int priceWidth);

    bool addLine(const char* text, int value, int tag, bool selectable, int price);
    bool select(int index);
    bool lineUp();
    bool lineDown();
    bool pageUp();
    bool pageDown();

    int selectedItem() const;
    const char* selectedText() const;
    const InvLine_S* lineAt(int index) const;
    int getNumLines() const { return int(lines_.size()); }
    int selected() const { return selected_; }
    int firstVisible() const { return first_; }
    int lastVisible() const { return last_; }
    int visibleRows() const { return rows_; }

    void draw(CommonInterface_C* iface, MouseRegions_C* regions = nullptr);
    // Press on an arrow pushes PAGEUP/PAGEDOWN; press on a line selects it,
    // asks for a redraw and pushes RETURN.
    static void mouseCallback(void* list, int x, int y, int mode);

    // The price as the price column shows it: "%u" up to 9999, "%uk" above,
    // "LOTS" above 999999.
    static std::string priceText(uint32_t price);

    int lineAtMouse(int x, int y) const;
    int upArrowX() const { return arrows_.upX; }
    int downArrowX() const { return arrows_.downX; }
    int upArrowY() const { return arrows_.upY; }
    int downArrowY() const { return arrows_.downY; }

private:
    int measure(const char* text) const;
    void remeasure(const CommonInterface_C* text);
    // First and last visible lines with the selection at the given place.
    void fitAround(int index);
    int rowsBetween(int from, int to) const;
    // The first selectable line at or below s within the view, else the
    // last one above it; -1 for none.
    int selectableInView(int s) const;
    // After a page move: the selectable line nearest the old offset from the
    // first visible line; without one the selection stays and is scrolled to.
    void selectInPage(int offset);

    const CommonInterface_C* text_ = nullptr;
    std::vector<InvLine_S> lines_;
    int selected_ = -1;
    int first_ = 0;
    int last_ = -1;
    int left_, right_, top_, bottom_;
    int rows_ = 1;
    int indent_ = 0;
    int priceWidth_ = 0;
    int lineHeight_ = 20;
    int screenHeight_ = 768;
    ScrollArrows_S arrows_;
};
