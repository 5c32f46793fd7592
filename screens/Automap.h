// The automap: TAB in the main view. A map of the squares of the current
// map that the party has seen from (the visited bit of each square's state),
// drawn as small squares over the 3-D view with walls, doors, blocked
// neighbours, the stairs and the party (with an arrow for its facing, which
// tells the way underground, where neither the compass nor the time report
// does), and a legend beside it that names every colour drawn. The arrow
// keys scroll it two squares at a time, up to ten squares each way; TAB
// closes it (and forgets the scroll).
#pragma once
#include <cstdint>

class Interface_C;
class Map_C;

struct AutomapState_S {
    bool open = false;
    int centreX = 0, centreY = 0;   // the party's square when it opened
    int facing = 0;                 // and its facing then
    int dx = 0, dy = 0;             // scroll, each within -10..10
};

class Automap_C {
public:
    static constexpr int SQUARE = 10;      // pixels
    static constexpr int MAX_SQUARES = 36; // each way
    static constexpr int MAX_SCROLL = 10;

    // Runs until TAB closes it.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void display();
    // Draws the grid into the 3-D view's area (1024 x 768 design space) for
    // a party on (cx, cy) facing `facing`, with the scroll (dx, dy).
    static void drawGrid(const Map_C& map, int cx, int cy, int facing, int dx, int dy);

    // The first column (or row) shown: the map's own edge while the party is
    // near it, else the party's square 17 squares in; then the scroll.
    // Never below 0.
    static int firstSquare(int centre, int scroll);

    static const AutomapState_S& state();
};

// The main view's TAB.
void automap(Interface_C* iface);
