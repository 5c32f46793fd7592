#include "world/ViewLayout.h"

#include <cstdint>
#include <initializer_list>

int ViewLayout_S::scale(int value, int newSize, int oldSize)
{
    if (oldSize <= 0)
        return value;
    return static_cast<int>(static_cast<int64_t>(value) * newSize / oldSize);
}

void ViewLayout_S::rescale(int newWidth, int newHeight)
{
    for (LayoutRect_S* r : {&upperRight, &upperLeft}) {
        r->left = scale(r->left, newWidth, width);
        r->right = scale(r->right, newWidth, width);
        r->top = scale(r->top, newHeight, height);
        r->bottom = scale(r->bottom, newHeight, height);
    }
    rosterTop = scale(rosterTop, newWidth, width);
    for (int& c : rosterColumns)
        c = scale(c, newWidth, width);
    width = newWidth;
    height = newHeight;
}
