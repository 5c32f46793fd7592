// SquarePass_C: which squares of the grid the 3-D view draws, and in what
// order, for a viewer on one square looking along one of the four facings.
//
// The window reaches a graphics-level dependent depth ahead, 20 squares to
// each side and 10 behind, clamped to the grid. Rows behind the viewer come
// first (farthest first), then the rows ahead (farthest first), the viewer's
// own row last; within a row the squares of one side come from the outside in,
// then those of the other side, the viewer's column last. Drawing far to near
// keeps the blended billboards right.
#pragma once
#include <cstdint>
#include <vector>

struct SquareRef_S {
    int x;
    int y;
    bool operator==(const SquareRef_S& o) const { return x == o.x && y == o.y; }
};

class SquarePass_C {
public:
    static constexpr int kSide = 20;
    static constexpr int kBehind = 10;

    SquarePass_C();

    // Squares ahead of the viewer for graphics level 0..9 (17..35); levels
    // outside that range are clamped.
    static int depthForLevel(int graphicsLevel);

    // Fills the ordered list for a viewer on (x, y) with the given facing in
    // degrees (rounded to the nearest quarter turn) on a width x height grid.
    // Keeps its storage between calls: no allocation once warmed up.
    void build(int x, int y, int facing, int graphicsLevel, int width, int height);

    const std::vector<SquareRef_S>& squares() const { return order_; }

    // The clamped window of the last build (inclusive); empty when minX > maxX.
    int minX() const { return minX_; }
    int maxX() const { return maxX_; }
    int minY() const { return minY_; }
    int maxY() const { return maxY_; }

private:
    std::vector<SquareRef_S> order_;
    int minX_ = 0, maxX_ = -1, minY_ = 0, maxY_ = -1;
};
