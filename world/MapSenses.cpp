// What the map tells the party's magical senses, and the trap spells'
// marks on its squares.
#include "world/Map.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr uint8_t SQUARE_TRAPS_SPRUNG = 0x02;
constexpr uint8_t SQUARE_SPINNERS_STOPPED = 0x04;
} // namespace

void Map_C::springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2)
{
    const uint8_t bits = static_cast<uint8_t>((spring ? SQUARE_TRAPS_SPRUNG : 0) |
                                              (spinners ? SQUARE_SPINNERS_STOPPED : 0));
    if (!bits || !info_ || width_ <= 0 || height_ <= 0)
        return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    if (x2 < 0 || x2 >= width_)
        x2 = width_ - 1;
    if (y2 < 0 || y2 >= height_)
        y2 = height_ - 1;
    for (int x = x1; x <= x2; ++x)
        for (int y = y1; y <= y2; ++y)
            info_->orSquareState(x, y, bits);
}

std::string Map_C::stairsNear(int x, int y, int range) const
{
    if (stairsX_ < 0 || stairsY_ < 0)
        return {};
    if (std::abs(x - stairsX_) <= range && std::abs(y - stairsY_) <= range)
        return "There are stairs near.";
    return {};
}

std::string Map_C::trapsNear(int x, int y, int range) const
{
    for (const MapTrap_S& t : traps_)
        if (std::abs(x - t.x) <= range && std::abs(y - t.y) <= range &&
            !(getSquareState(t.x, t.y) & SQUARE_TRAPS_SPRUNG))
            return "There are traps near.";
    return {};
}

std::string Map_C::secretDoorHere(int x, int y, int facing) const
{
    const CellDef_S* cell = getCell(x, y);
    if (cell && cell->isSecretDoor(facing))
        return "There is a Secret Door here.";
    return {};
}

std::string Map_C::stairsDirection(int x, int y) const
{
    if (stairsX_ < 0 || stairsY_ < 0)
        return {};
    const int dx = x - stairsX_;
    const int dy = y - stairsY_;
    const char* ew = dx < 0 ? "East" : "West";
    const char* ns = dy < 0 ? "North" : "South";
    char buf[96];
    if (dx == 0 && dy == 0)
        return "The stairs are here!";
    if (dy == 0)
        std::snprintf(buf, sizeof buf, "The stairs are %d steps due %s.", std::abs(dx), ew);
    else if (dx == 0)
        std::snprintf(buf, sizeof buf, "The stairs are %d steps due %s.", std::abs(dy), ns);
    else
        std::snprintf(buf, sizeof buf, "The stairs are %d steps %s, and %d steps %s.", std::abs(dx), ew,
                      std::abs(dy), ns);
    return buf;
}
