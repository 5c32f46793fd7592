// ViewLayout_S: the main screen's layout numbers, designed for 1024 x 768
// and rescaled to the window. A value is scaled as value x new / old, so a
// small value never collapses to 0 the way value / old x new would.
#pragma once

struct LayoutRect_S {
    int left, right, top, bottom;   // y counts upward from the bottom
};

struct ViewLayout_S {
    static constexpr int kDesignWidth = 1024;
    static constexpr int kDesignHeight = 768;

    LayoutRect_S upperRight{730, 980, 695, 335};   // text pane
    LayoutRect_S upperLeft{85, 585, 697, 297};     // 3-D view (window pixels)
    int rosterTop = 177;
    int rosterColumns[8] = {115, 145, 370, 455, 550, 650, 740, 830};
    int width = kDesignWidth;
    int height = kDesignHeight;

    // value x newSize / oldSize, truncated toward zero; an old size of 0 or
    // less leaves the value as it is.
    static int scale(int value, int newSize, int oldSize);

    // Rescales the text rectangles (x by width, y by height), the roster top
    // and columns (by width), then records the new size.
    void rescale(int newWidth, int newHeight);
};
