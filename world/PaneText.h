// PaneText_C: how the party screens write a page into the upper-right text
// pane of the main screen. Lines are numbered as the interface numbers them
// (n > 0 counted down from the top edge, 0 and below counted up from the
// bottom edge); a line that names a key also gets a click region of the
// pane's width and one line's height standing for that key, when mouse
// support is on. Made afresh by each display function; it keeps nothing
// between draws.
//
// paneMessage: the modal message box of the main screen (SPACE or ESC ends
// it) over whatever the caller's redraw function draws.
#pragma once
#include <functional>

class CommonInterface_C;
class Interface_C;
class MouseRegions_C;

class PaneText_C {
public:
    explicit PaneText_C(Interface_C& iface);

    int left() const { return left_; }
    int right() const { return right_; }
    int lineHeight() const { return lineHeight_; }
    // The GL y of pane line n.
    int lineY(int n) const;

    // One black line at left + dx; with a key, also its click region.
    void line(int n, const char* text, int key = 0, int dx = 0);
    // The same in the colour given (0..1 each).
    void colouredLine(int n, const char* text, float r, float g, float b, int dx = 0);
    // Black text word-wrapped at the right edge from line n; with a key, a
    // click region over its first line. Returns the lines it takes.
    int wrapped(int n, const char* text, int key = 0);
    // A click region over line n that stands for the key.
    void keyRegion(int n, int key);
    // A click region over lines top..bottom (both included) that calls the
    // callback with data (a list's own mouse handling).
    void listRegion(int top, int bottom, int key, void (*callback)(void*, int, int, int), void* data);

    CommonInterface_C& text() { return text_; }
    MouseRegions_C* regions() const { return regions_; }

private:
    Interface_C& iface_;
    CommonInterface_C& text_;
    MouseRegions_C* regions_;
    int left_, right_, lineHeight_, screenHeight_;
};

// The frame of a page over the main view: the click regions cleared, the
// pane cleared, the page's picture (drawPicture; nothing leaves the picture
// as it is), and the party roster drawn; and, once the page has added its
// regions, the mouse cursor brought up to date for the region under the
// mouse. Both do nothing to the regions without mouse support.
// beginViewPage is the frame with the picture under the pane and the 3-D
// view. Pane screens (screens/PaneScreen.h) have the frame drawn for them.
void beginPage(Interface_C& iface, const std::function<void()>& drawPicture);
void beginViewPage(Interface_C& iface);
void clearRegions(Interface_C& iface);
void refreshCursor(Interface_C& iface);

// The main screen's message box: the text word-wrapped from line 2 and
// "(SPACE) to Continue" on line 0, over the picture that redraw draws (may
// be null); waits for SPACE or ESC.
void paneMessage(Interface_C& iface, const char* text, void (*redraw)());

// The party's member in place 0..7 when that place is filled (F1-F8), else
// null.
class bl3dPartyChar;
bl3dPartyChar* memberForKey(int key);
