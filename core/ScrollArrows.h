// ScrollArrows_S: the "( up down )" group that scrolling lists and panes
// print under their last line when there is more above or below, where its
// two arrows were drawn, and which of them a mouse point hits.
#pragma once
#include "core/MouseRegions.h"

class CommonInterface_C;

struct ScrollArrows_S {
    static constexpr int kBox = 15;   // click box of one arrow

    // GL positions of the arrows as last drawn; 0 for an arrow not shown.
    int upX = 0, upY = 0, downX = 0, downY = 0;

    // Prints "( ", up, " ", down, " )" at (right - 100, y) in the arrow
    // colour and remembers where the arrows are (nothing when neither is
    // wanted); with regions, adds a kBox x kBox click region per arrow that
    // calls cb with data.
    void draw(CommonInterface_C* ci, MouseRegions_C* regions, int right, int y, bool up, bool down, MouseCallback cb,
              void* data);

    // Which arrow a mouse point (y downward) hits: -1 up, 1 down, 0 none.
    int hit(int x, int mouseY, int screenHeight, int lineHeight) const;
    // A press at a mouse point: on an arrow, pushes PAGEUP or PAGEDOWN and
    // gives true.
    bool press(int x, int mouseY, int screenHeight, int lineHeight) const;
};
