#include "core/MouseRegions.h"

#include "core/ModalLoop.h"

#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

using Shape = std::function<char(int x, int y)>;

// Builds 32 text rows from a shape: 'X' inside, '.' on the one-pixel rim
// around it, ' ' elsewhere.
struct CursorRows {
    char text[32][33];
    const char* rows[32];

    explicit CursorRows(const Shape& inside)
    {
        auto in = [&](int x, int y) { return x >= 0 && x < 32 && y >= 0 && y < 32 && inside(x, y) == 'X'; };
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                char c = ' ';
                if (in(x, y))
                    c = 'X';
                else if (in(x - 1, y) || in(x + 1, y) || in(x, y - 1) || in(x, y + 1))
                    c = '.';
                text[y][x] = c;
            }
            text[y][32] = 0;
            rows[y] = text[y];
        }
    }
};

char arrowHead(int x, int y, int cx, int cy, int dx, int dy)
{
    // A triangle pointing along (dx, dy) with its tip 12 pixels from the
    // centre, plus a shaft behind it.
    int along = (x - cx) * dx + (y - cy) * dy;   // distance toward the tip
    int across = std::abs((x - cx) * dy - (y - cy) * dx);
    if (along >= 0 && along <= 12 && across <= 12 - along)
        return 'X';
    if (along < 0 && along >= -10 && across <= 2)
        return 'X';
    return ' ';
}

} // namespace

MouseRegions_C::~MouseRegions_C()
{
    while (cursorCount_ > 0)
        removeCursor(cursorCount_ - 1);
}

SDL_Cursor* MouseRegions_C::cursorFromRows(const char* const rows[32])
{
    Uint8 data[32 * 4] = {};
    Uint8 mask[32 * 4] = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            char c = rows[y][x];
            int byte = y * 4 + x / 8;
            Uint8 bit = Uint8(0x80 >> (x % 8));
            if (c == 'X') {
                data[byte] |= bit;
                mask[byte] |= bit;
            } else if (c == '.') {
                mask[byte] |= bit;
            }
            if (!c)
                break;
        }
    }
    return SDL_CreateCursor(data, mask, 32, 32, 15, 15);
}

int MouseRegions_C::makeCursors()
{
    const Shape shapes[6] = {
        // 0: default, an arrow pointing up and left from the hot spot
        [](int x, int y) { return (x >= 15 && y >= 15 && x - 15 <= (y - 15) && y < 33 - (x - 15) / 2) ? 'X' : ' '; },
        // 1: pointer for clickable text: a small diamond
        [](int x, int y) { return std::abs(x - 15) + std::abs(y - 15) <= 6 ? 'X' : ' '; },
        // 2..5: forward, left turn, right turn, turn around
        [](int x, int y) { return arrowHead(x, y, 15, 15, 0, -1); },
        [](int x, int y) { return arrowHead(x, y, 15, 15, -1, 0); },
        [](int x, int y) { return arrowHead(x, y, 15, 15, 1, 0); },
        [](int x, int y) { return arrowHead(x, y, 15, 15, 0, 1); },
    };
    int added = 0;
    for (const Shape& s : shapes) {
        CursorRows rows(s);
        SDL_Cursor* c = cursorFromRows(rows.rows);
        if (!c)
            continue;
        if (addCursor(c))
            ++added;
        else
            SDL_FreeCursor(c);
    }
    return added;
}

int MouseRegions_C::addCursor(SDL_Cursor* cursor)
{
    if (cursorCount_ >= kMaxCursors || !cursor)
        return 0;
    cursors_[cursorCount_++] = cursor;
    return 1;
}

int MouseRegions_C::removeCursor(int index)
{
    if (index < 0 || index >= cursorCount_)
        return 0;
    // Never free the cursor SDL is showing: put the default one back first.
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetCursor() == cursors_[index])
        SDL_SetCursor(nullptr);
    SDL_FreeCursor(cursors_[index]);
    for (int i = index; i + 1 < cursorCount_; ++i)
        cursors_[i] = cursors_[i + 1];
    cursors_[--cursorCount_] = nullptr;
    if (shownCursor_ >= cursorCount_)
        shownCursor_ = -1;
    return 1;
}

int MouseRegions_C::addRegion(int x, int y, int w, int h, int key, int cursor, MouseCallback callback, void* data)
{
    if (regionCount_ >= kMaxRegions)
        return 0;
    MouseRegion_S& r = regions_[regionCount_++];
    r.x = x;
    r.y = y;
    r.w = w;
    r.h = h;
    r.key = key;
    r.cursor = cursor;
    r.callback = callback;
    r.data = data;
    return 1;
}

void MouseRegions_C::clear()
{
    for (int i = 0; i < regionCount_; ++i)
        regions_[i] = MouseRegion_S();
    regionCount_ = 0;
    current_ = -1;
}

int MouseRegions_C::hit(int x, int y)
{
    if (current_ >= 0 && current_ < regionCount_ && regions_[current_].contains(x, y))
        return current_;
    current_ = -1;
    for (int i = 0; i < regionCount_; ++i) {
        if (regions_[i].contains(x, y)) {
            current_ = i;
            break;
        }
    }
    return current_;
}

void MouseRegions_C::mouseDown(int x, int y, int button)
{
    if (button >= 0 && button < 3)
        buttonDown_[button] = true;
    int i = hit(x, y);
    if (i < 0)
        return;
    const MouseRegion_S r = regions_[i];   // the callback may clear the table
    if (r.callback)
        r.callback(r.data, x, y, 0);
    else
        vell::pushKeyEvent(r.key, true);
}

void MouseRegions_C::mouseUp(int x, int y, int button)
{
    if (button >= 0 && button < 3)
        buttonDown_[button] = false;
    int i = hit(x, y);
    if (i < 0)
        return;
    const MouseRegion_S r = regions_[i];
    if (r.callback)
        r.callback(r.data, x, y, 1);
    else
        vell::pushKeyEvent(r.key, false);
}

void MouseRegions_C::mouseMove(int x, int y, int flag)
{
    if (current_ >= 0 && current_ < regionCount_ && regions_[current_].contains(x, y)) {
        const MouseRegion_S r = regions_[current_];
        if (r.callback)
            r.callback(r.data, x, y, 2);
        return;
    }
    int previous = current_;
    int i = hit(x, y);
    if (i >= 0 && i != previous && buttonDown_[0] && flag == 0) {
        if (previous >= 0 && previous < regionCount_ && regions_[previous].key)
            vell::pushKeyEvent(regions_[previous].key, false);
        if (regions_[i].key)
            vell::pushKeyEvent(regions_[i].key, true);
    }
    if (i >= 0 && regions_[i].cursor >= 0 && regions_[i].cursor < cursorCount_)
        setCursor(regions_[i].cursor);
    else if (cursorCount_ > 0)
        setCursor(0);
}

int MouseRegions_C::heldKey() const
{
    if (!buttonDown_[0] || current_ < 0 || current_ >= regionCount_)
        return 0;
    return regions_[current_].key;
}

void MouseRegions_C::setCursor(int index)
{
    shownCursor_ = index;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetVideoSurface())
        SDL_SetCursor(cursors_[index]);
}
