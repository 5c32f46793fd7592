#include "world/SquarePass.h"

#include <algorithm>

namespace {

// Forward and sideways unit steps (grid x, grid y) for a facing.
struct Axes {
    int fx, fy, lx, ly;
};

Axes axesFor(int facing)
{
    int q = ((facing % 360) + 360) % 360;
    q = ((q + 45) / 90) % 4;
    switch (q) {
    case 1: return {-1, 0, 0, 1};   // west
    case 2: return {0, -1, -1, 0};  // south
    case 3: return {1, 0, 0, -1};   // east
    default: return {0, 1, 1, 0};   // north
    }
}

} // namespace

SquarePass_C::SquarePass_C()
{
    order_.reserve(static_cast<size_t>(2 * kSide + 1) * (kBehind + 1 + depthForLevel(9)));
}

int SquarePass_C::depthForLevel(int graphicsLevel)
{
    const int level = std::clamp(graphicsLevel, 0, 9);
    return 35 - 2 * (9 - level);
}

void SquarePass_C::build(int x, int y, int facing, int graphicsLevel, int width, int height)
{
    order_.clear();
    const int depth = depthForLevel(graphicsLevel);
    const Axes a = axesFor(facing);

    // Window corners in grid terms, then clamped.
    const int x1 = x + a.fx * -kBehind + a.lx * -kSide;
    const int x2 = x + a.fx * depth + a.lx * kSide;
    const int y1 = y + a.fy * -kBehind + a.ly * -kSide;
    const int y2 = y + a.fy * depth + a.ly * kSide;
    minX_ = std::max(0, std::min(x1, x2));
    maxX_ = std::min(width - 1, std::max(x1, x2));
    minY_ = std::max(0, std::min(y1, y2));
    maxY_ = std::min(height - 1, std::max(y1, y2));
    if (minX_ > maxX_ || minY_ > maxY_)
        return;

    auto addRow = [&](int d) {
        const int rx = x + a.fx * d;
        const int ry = y + a.fy * d;
        auto add = [&](int l) {
            const int sx = rx + a.lx * l;
            const int sy = ry + a.ly * l;
            if (sx >= 0 && sx < width && sy >= 0 && sy < height)
                order_.push_back({sx, sy});
        };
        for (int l = -kSide; l <= -1; ++l)
            add(l);
        for (int l = kSide; l >= 1; --l)
            add(l);
        add(0);
    };
    for (int d = -kBehind; d <= -1; ++d)
        addRow(d);
    for (int d = depth; d >= 0; --d)
        addRow(d);
}
