#include "screens/Automap.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/ViewLayout.h"

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Colour_S {
    float r, g, b;
};
constexpr Colour_S VISITED{0.7f, 0.7f, 0.7f};
constexpr Colour_S PARTY{0.43529412f, 0.45882353f, 0.23137255f};
constexpr Colour_S WALL{0.1f, 0.1f, 0.8f};
constexpr Colour_S DOOR{0.8f, 0.1f, 0.1f};
constexpr Colour_S BLOCKED{0.7f, 0.3f, 0.4f};
constexpr Colour_S STAIRS{0.2f, 0.1f, 0.2f};
constexpr Colour_S FACING{1.0f, 0.85f, 0.2f};
constexpr Colour_S LEGEND{0.8f, 0.8f, 0.8f};
constexpr float STRIP = 2.0f;

struct AutomapScreen_S {
    AutomapState_S st;
    Interface_C* iface = nullptr;
    int loopState = 0;
};

AutomapScreen_S& S()
{
    static AutomapScreen_S screen;
    return screen;
}

// The quads of one draw, sent to GL in one call. Kept between draws so that
// a redraw allocates nothing.
class QuadBatch {
public:
    void clear()
    {
        xy_.clear();
        rgb_.clear();
    }
    void add(float x0, float y0, float x1, float y1, const Colour_S& c)
    {
        const float v[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
        addCorners(v, c);
    }
    // A triangle, as a quad whose last two corners meet.
    void addTriangle(const float v[6], const Colour_S& c)
    {
        const float q[8] = {v[0], v[1], v[2], v[3], v[4], v[5], v[4], v[5]};
        addCorners(q, c);
    }
    void draw() const
    {
        if (xy_.empty())
            return;
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, xy_.data());
        glColorPointer(3, GL_FLOAT, 0, rgb_.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(xy_.size() / 2));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

private:
    void addCorners(const float v[8], const Colour_S& c)
    {
        xy_.insert(xy_.end(), v, v + 8);
        for (int i = 0; i < 4; ++i) {
            rgb_.push_back(c.r);
            rgb_.push_back(c.g);
            rgb_.push_back(c.b);
        }
    }

    std::vector<float> xy_;
    std::vector<float> rgb_;
};

QuadBatch& batch()
{
    static QuadBatch b;
    return b;
}

const int FACINGS[4] = {0, 90, 180, 270};

void stepOf(int facing, int& dx, int& dy)
{
    dx = facing == 90 ? -1 : facing == 270 ? 1 : 0;
    dy = facing == 0 ? 1 : facing == 180 ? -1 : 0;
}

// Whether the edge of (x, y) toward the facing has a wall on either side.
bool edgeHasWall(const Map_C& map, int x, int y, int facing)
{
    const CellDef_S* own = map.getCell(x, y);
    if (own && own->hasWall(facing))
        return true;
    int dx = 0, dy = 0;
    stepOf(facing, dx, dy);
    const CellDef_S* next = map.getCell(x + dx, y + dy);
    return next && next->hasWall((facing + 180) % 360);
}

// The strip of a square's edge toward the facing, inside the square.
void addStrip(QuadBatch& q, float px, float py, int facing, const Colour_S& c)
{
    const float s = static_cast<float>(Automap_C::SQUARE);
    switch (facing) {
    case 0: q.add(px, py + s - STRIP, px + s, py + s, c); break;
    case 180: q.add(px, py, px + s, py + STRIP, c); break;
    case 90: q.add(px, py, px + STRIP, py + s, c); break;
    default: q.add(px + s - STRIP, py, px + s, py + s, c); break;
    }
}

void addSquare(QuadBatch& q, float px, float py, const Colour_S& c)
{
    q.add(px, py, px + Automap_C::SQUARE, py + Automap_C::SQUARE, c);
}

// The party's arrow inside its square: its tip at the edge toward the
// facing (0 up, 90 left, 180 down, 270 right, as on the grid).
void addArrow(QuadBatch& q, float px, float py, int facing)
{
    const float half = Automap_C::SQUARE / 2.0f;
    const float a = static_cast<float>(facing) * 3.14159265f / 180.0f;
    const float c = std::cos(a), s = std::sin(a);
    // Pointing north: the tip, then the two corners of the base.
    const float north[6] = {0.0f, 4.0f, -3.5f, -3.5f, 3.5f, -3.5f};
    float v[6];
    for (int i = 0; i < 6; i += 2) {
        v[i] = px + half + north[i] * c - north[i + 1] * s;
        v[i + 1] = py + half + north[i] * s + north[i + 1] * c;
    }
    q.addTriangle(v, FACING);
}

// One line of the legend for every colour the grid draws.
void drawLegend(CommonInterface_C& text, const LayoutRect_S& area, int gridRight)
{
    enum Swatch { SQUARE, STRIP_SWATCH, ARROW };
    static const struct {
        const char* label;
        const Colour_S* colour;
        Swatch swatch;
    } entries[] = {{"visited", &VISITED, SQUARE}, {"party", &PARTY, SQUARE},   {"facing", &PARTY, ARROW},
                   {"wall", &WALL, STRIP_SWATCH}, {"door", &DOOR, STRIP_SWATCH}, {"blocked", &BLOCKED, SQUARE},
                   {"stairs", &STAIRS, SQUARE}};
    const int x = gridRight + 8;
    const int line = text.getLineHeight();
    int y = area.top - 20 - line;
    glColor3f(LEGEND.r, LEGEND.g, LEGEND.b);
    text.printStr(x, y, "LEGEND");
    QuadBatch& q = batch();
    q.clear();
    for (const auto& e : entries) {
        y -= line;
        const float sy = static_cast<float>(y + (line - Automap_C::SQUARE) / 2);
        if (e.swatch == STRIP_SWATCH)
            q.add(static_cast<float>(x), sy, static_cast<float>(x + Automap_C::SQUARE), sy + STRIP, *e.colour);
        else
            addSquare(q, static_cast<float>(x), sy, *e.colour);
        if (e.swatch == ARROW)
            addArrow(q, static_cast<float>(x), sy, 0);
    }
    glDisable(GL_TEXTURE_2D);
    q.draw();
    y = area.top - 20 - line;
    glColor3f(LEGEND.r, LEGEND.g, LEGEND.b);
    for (const auto& e : entries) {
        y -= line;
        text.printStr(x + Automap_C::SQUARE + 6, y, e.label);
    }
}

} // namespace

int Automap_C::firstSquare(int centre, int scroll)
{
    const int first = centre < 18 ? scroll : centre - 17 + scroll;
    return std::max(first, 0);
}

const AutomapState_S& Automap_C::state() { return S().st; }

void Automap_C::run(Interface_C* iface)
{
    if (!iface || !iface->getCurrentMap())
        return;
    AutomapScreen_S& s = S();
    s.iface = iface;
    s.st.open = true;
    s.st.centreX = static_cast<int>(iface->getCurX());
    s.st.centreY = static_cast<int>(-iface->getCurZ());
    s.st.facing = iface->getFacing();
    s.loopState = 1;
    ModalLoop_C loop(s.loopState, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    loop.run();
    // The game may be quitting: the next opening starts afresh all the same.
    s.st.open = false;
    s.st.dx = s.st.dy = 0;
}

void Automap_C::key(int sym)
{
    AutomapState_S& st = S().st;
    // A scroll that would leave -10..10 is not made (and asks no redraw).
    auto scroll = [](int& v, int by) {
        if (v + by < -MAX_SCROLL || v + by > MAX_SCROLL)
            return false;
        v += by;
        return true;
    };
    bool changed = false;
    switch (sym) {
    case SDLK_UP: changed = scroll(st.dy, -2); break;
    case SDLK_DOWN: changed = scroll(st.dy, 2); break;
    case SDLK_RIGHT: changed = scroll(st.dx, -2); break;
    case SDLK_LEFT: changed = scroll(st.dx, 2); break;
    case SDLK_TAB:
        st.open = false;
        st.dx = st.dy = 0;
        S().loopState = 0;
        changed = true;
        break;
    default:
        break;
    }
    if (changed)
        vell::pushRedraw();
}

void Automap_C::drawGrid(const Map_C& map, int cx, int cy, int facing, int dx, int dy)
{
    const LayoutRect_S area = ViewLayout_S{}.upperLeft;   // design space
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(0, 0, 0);
    glBegin(GL_QUADS);
    glVertex2i(area.left, area.bottom);
    glVertex2i(area.right, area.bottom);
    glVertex2i(area.right, area.top);
    glVertex2i(area.left, area.top);
    glEnd();

    const int originX = area.left + 20;
    const int originY = area.bottom + 20;
    const int x0 = firstSquare(cx, dx);
    const int y0 = firstSquare(cy, dy);
    const int stairsX = map.getStairsX();
    const int stairsY = map.getStairsY();
    QuadBatch& q = batch();
    q.clear();
    for (int i = 0; i < MAX_SQUARES && x0 + i < map.getWidth(); ++i) {
        for (int j = 0; j < MAX_SQUARES && y0 + j < map.getHeight(); ++j) {
            const int x = x0 + i;
            const int y = y0 + j;
            if (!(map.getSquareState(x, y) & SQUARE_VISITED))
                continue;
            const float px = static_cast<float>(originX + SQUARE * i);
            const float py = static_cast<float>(originY + SQUARE * j);
            addSquare(q, px, py, x == cx && y == cy ? PARTY : VISITED);
            if (x == stairsX && y == stairsY)
                addSquare(q, px, py, STAIRS);
            for (int f : FACINGS) {
                const bool blocked = map.isBlocked(x, y, f);
                const bool wall = edgeHasWall(map, x, y, f);
                if (wall) {
                    addStrip(q, px, py, f, blocked ? WALL : DOOR);
                } else if (blocked) {
                    int sx = 0, sy = 0;
                    stepOf(f, sx, sy);
                    if (map.inGrid(x + sx, y + sy))
                        addSquare(q, px + SQUARE * sx, py + SQUARE * sy, BLOCKED);
                }
            }
        }
    }
    // The party's arrow last, over whatever its square shows (the stairs).
    const int col = cx - x0, row = cy - y0;
    if (col >= 0 && row >= 0 && col < MAX_SQUARES && row < MAX_SQUARES && map.inGrid(cx, cy) &&
        (map.getSquareState(cx, cy) & SQUARE_VISITED))
        addArrow(q, static_cast<float>(originX + SQUARE * col), static_cast<float>(originY + SQUARE * row), facing);
    q.draw();
}

void Automap_C::display()
{
    AutomapScreen_S& s = S();
    Interface_C* iface = s.iface;
    if (!iface)
        return;
    // The map covers the whole 3-D view, which is not drawn under it; its
    // click regions stay (they scroll the map).
    clearRegions(*iface);
    iface->clearUR(false);
    iface->addViewRegions();
    iface->drawCharText();
    const Map_C* map = iface->getCurrentMap();
    if (map) {
        drawGrid(*map, s.st.centreX, s.st.centreY, s.st.facing, s.st.dx, s.st.dy);
        const LayoutRect_S area = ViewLayout_S{}.upperLeft;
        drawLegend(iface->text(), area, area.left + 20 + SQUARE * MAX_SQUARES);
    }
    if (s.st.open) {
        PaneText_C pane(*iface);
        pane.line(1, "Viewing Map...");
        pane.line(4, "Arrow Keys to scroll");
        pane.wrapped(0, "(TAB) To Exit", SDLK_TAB);
    }
    refreshCursor(*iface);
}

void automap(Interface_C* iface)
{
    Automap_C::run(iface);
}
