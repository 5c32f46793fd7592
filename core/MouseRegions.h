// MouseRegions_C: turns mouse input into the key events the keyboard gives.
// Screens add rectangular click regions while they draw; each carries a key
// symbol (pushed as SDL_KEYDOWN / SDL_KEYUP) or a callback. The table also owns
// the mouse cursors and shows the cursor of the region under the mouse.
//
// Coordinates are mouse coordinates: y downward from the top of the window.
// A point (px, py) is inside a region when x <= px < x + w, y <= py < y + h.
// Buttons: 0 = SDL button 1 (left), 1 = SDL button 2, 2 = any other.
#pragma once
#include <SDL.h>

// mode: 0 press, 1 release, 2 motion.
using MouseCallback = void (*)(void* data, int x, int y, int mode);

struct MouseRegion_S {
    int x = -1, y = -1, w = -1, h = -1;
    int cursor = -1;
    int key = 0;
    MouseCallback callback = nullptr;
    void* data = nullptr;

    bool contains(int px, int py) const { return x <= px && px < x + w && y <= py && py < y + h; }
};

class MouseRegions_C {
public:
    static constexpr int kMaxCursors = 16;
    static constexpr int kMaxRegions = 256;

    // Cursor indices made by makeCursors.
    enum CursorId { CursorDefault = 0, CursorPointer, CursorForward, CursorLeft, CursorRight, CursorAround };

    MouseRegions_C() = default;
    ~MouseRegions_C();
    MouseRegions_C(const MouseRegions_C&) = delete;
    MouseRegions_C& operator=(const MouseRegions_C&) = delete;

    // Builds the six standard cursors (needs SDL video) and adds them.
    // Returns how many were added.
    int makeCursors();
    // Takes ownership. 0 (refused, cursor not taken) when 16 are held; else 1.
    int addCursor(SDL_Cursor* cursor);
    // Frees that cursor and closes the gap; 0 when out of range.
    int removeCursor(int index);
    int cursorCount() const { return cursorCount_; }

    // 0 (refused) when 256 regions are held; else 1.
    int addRegion(int x, int y, int w, int h, int key, int cursor, MouseCallback callback = nullptr,
                  void* data = nullptr);
    void clear();

    void mouseDown(int x, int y, int button);
    void mouseUp(int x, int y, int button);
    // flag 1: only refresh the current region and cursor (after a redraw),
    // never push key events.
    void mouseMove(int x, int y, int flag);
    // The current region's key while the left button is down, else 0.
    int heldKey() const;

    int regionCount() const { return regionCount_; }
    int currentRegion() const { return current_; }
    const MouseRegion_S& region(int i) const { return regions_[i]; }
    bool buttonDown(int button) const { return button >= 0 && button < 3 && buttonDown_[button]; }
    // The cursor index last asked for by mouseMove (-1 before any).
    int shownCursor() const { return shownCursor_; }

    // One cursor from 32 text rows of 32 characters: 'X' black, '.' white,
    // anything else transparent; hot spot (15, 15).
    static SDL_Cursor* cursorFromRows(const char* const rows[32]);

private:
    // The hit test: the current region when it holds the point, else the
    // first region added that does (which becomes current); -1 for none.
    int hit(int x, int y);
    void setCursor(int index);

    SDL_Cursor* cursors_[kMaxCursors] = {};
    int cursorCount_ = 0;
    MouseRegion_S regions_[kMaxRegions];
    int regionCount_ = 0;
    int current_ = -1;
    bool buttonDown_[3] = {false, false, false};
    int shownCursor_ = -1;
};
