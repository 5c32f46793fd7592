// The shipped maps as a player walks them: the stairs show their picture
// only to a party that can take them, every square a party can stand on can
// be reached on foot from the stairs, and the catacombs' high vault shows no
// gap over the ways into it.
#include "WorldTestUtil.h"

#include "core/TextureList.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace worldtest;

struct Square {
    int x, y;
};

Square step(Square s, int facing)
{
    return {s.x + (facing == 270 ? 1 : facing == 90 ? -1 : 0), s.y + (facing == 0 ? 1 : facing == 180 ? -1 : 0)};
}

struct ShippedMap {
    const char* path;
    const char* events;
};
const ShippedMap kMaps[] = {{"maps/renibister.cfg", "maps/renibister.evt"},
                            {"maps/catacombs.cfg", "maps/catacombs.evt"}};

class ShippedMapsTest : public ::testing::TestWithParam<ShippedMap> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.ok());
        testing::internal::CaptureStderr();
        map_ = std::make_unique<Map_C>(GetParam().path);
        const std::string errors = testing::internal::GetCapturedStderr();
        ASSERT_EQ(map_->getLoadError(), Map_C::LOAD_OK) << errors;
    }
    const CellDef_S& cell(Square s) const { return *map_->getCell(s.x, s.y); }

    InFolder folder_{VELL_GAME_DIR};
    StoreScope stores_;
    std::unique_ptr<Map_C> map_;
};

// The exit of the event line of square s (x, y, facing), from the event file.
bool eventExit(const char* path, Square s, int out[3])
{
    FILE* f = std::fopen(path, "r");
    if (!f)
        return false;
    char line[256];
    bool found = false;
    int x = 0, y = 0, id = 0;
    while (!found && std::fgets(line, sizeof line, f)) {
        if (line[0] == '#' || std::sscanf(line, "%d %d %d", &x, &y, &id) != 3 || x != s.x || y != s.y)
            continue;
        found = std::fgets(line, sizeof line, f) && std::sscanf(line, "%d %d %d", &out[0], &out[1], &out[2]) == 3;
    }
    std::fclose(f);
    return found;
}

// A party sees the stairs' picture only from their own square, on the wall
// that faces it as it walks in: the square behind that wall is one that no
// one stands on, and has no wall of its own there (two walls in one place
// flicker). A party that does not take them steps back out the way it came.
TEST_P(ShippedMapsTest, TheStairsAreSeenOnlyWhereTheyAreEntered)
{
    const Square stairs{map_->getStairsX(), map_->getStairsY()};
    ASSERT_TRUE(map_->inGrid(stairs.x, stairs.y));
    std::vector<int> ways;
    for (int f : {0, 90, 180, 270})
        if (!map_->isBlocked(stairs.x, stairs.y, f))
            ways.push_back(f);
    ASSERT_EQ(ways.size(), 1u) << "the stairs have one way in";
    const int out = ways[0];
    const int in = (out + 180) % 360;   // the facing of a party walking in
    const Square wayIn = step(stairs, out);

    const Texture_S* picture = cell(stairs).getWall(in);
    ASSERT_NE(picture, nullptr) << "no picture of the stairs ahead of a party walking in";
    int shown = 0;
    for (int x = 0; x < map_->getWidth(); ++x)
        for (int y = 0; y < map_->getHeight(); ++y)
            for (int f : {0, 90, 180, 270})
                shown += map_->getCell(x, y)->getWall(f) == picture;
    EXPECT_EQ(shown, 1) << "the stairs' picture is on one wall only";
    const Square behind = step(stairs, in);
    EXPECT_TRUE(cell(behind).closed()) << "a party can stand behind the stairs' picture, at (" << behind.x << ", "
                                       << behind.y << ")";
    for (int f : {0, 90, 180, 270}) {
        const Square n = step(stairs, f);
        if (cell(stairs).hasWall(f) && map_->inGrid(n.x, n.y)) {
            EXPECT_FALSE(cell(n).hasWall((f + 180) % 360)) << "two walls on the stairs' side " << f;
        }
    }

    int exit[3] = {-1, -1, -1};
    ASSERT_TRUE(eventExit(GetParam().events, stairs, exit)) << "the stairs have no event line";
    EXPECT_EQ(exit[0], wayIn.x);
    EXPECT_EQ(exit[1], wayIn.y);
    EXPECT_EQ(exit[2], out) << "facing away from the stairs";
}

// Every square that is not closed can be reached by steps from the stairs.
TEST_P(ShippedMapsTest, EverySquareCanBeReachedFromTheStairs)
{
    const int w = map_->getWidth(), h = map_->getHeight();
    std::vector<char> reached(size_t(w) * h, 0);
    std::vector<Square> todo{{map_->getStairsX(), map_->getStairsY()}};
    reached[size_t(todo[0].x + todo[0].y * w)] = 1;
    while (!todo.empty()) {
        const Square s = todo.back();
        todo.pop_back();
        for (int f : {0, 90, 180, 270}) {
            const Square n = step(s, f);
            if (!map_->isBlocked(s.x, s.y, f) && !reached[size_t(n.x + n.y * w)]) {
                reached[size_t(n.x + n.y * w)] = 1;
                todo.push_back(n);
            }
        }
    }
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            if (!map_->getCell(x, y)->closed()) {
                EXPECT_TRUE(reached[size_t(x + y * w)]) << "(" << x << ", " << y << ") cannot be reached";
            }
}

INSTANTIATE_TEST_SUITE_P(TownAndCatacombs, ShippedMapsTest, ::testing::ValuesIn(kMaps),
                         [](const ::testing::TestParamInfo<ShippedMap>& p) {
                             return std::string(p.param.path).find("renibister") != std::string::npos ? "Town"
                                                                                                      : "Catacombs";
                         });

// Under a ceiling, a square whose ceiling is higher than its neighbour's
// (a vault beside a passage) has a wall toward it that hangs down at least
// to the neighbour's ceiling: else the view looks through the gap into
// nothing.
TEST(ShippedCatacombsTest, NoGapAboveAWayIntoAHighRoom)
{
    InFolder folder{VELL_GAME_DIR};
    ASSERT_TRUE(folder.ok());
    StoreScope stores;
    testing::internal::CaptureStderr();
    const Map_C map("maps/catacombs.cfg");
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(map.getLoadError(), Map_C::LOAD_OK);
    ASSERT_TRUE(map.hasCeiling());
    auto cell = [&map](Square s) -> const CellDef_S& { return *map.getCell(s.x, s.y); };
    auto ceiling = [](const CellDef_S& c) { return c.hanging() ? int(c.threshold) : 1; };
    int high = 0;
    for (int x = 0; x < map.getWidth(); ++x)
        for (int y = 0; y < map.getHeight(); ++y) {
            const CellDef_S& own = cell({x, y});
            if (own.closed() || ceiling(own) <= 1)
                continue;
            ++high;
            for (int f : {0, 90, 180, 270}) {
                const Square n = step({x, y}, f);
                if (!map.inGrid(n.x, n.y) || cell(n).closed() || ceiling(cell(n)) >= ceiling(own))
                    continue;
                const Texture_S* wall = own.getWall(f);
                ASSERT_NE(wall, nullptr) << "(" << x << ", " << y << ") is open above its side " << f;
                EXPECT_LE(ceiling(own) - int(wall->level), ceiling(cell(n)))
                    << "a gap under the wall of (" << x << ", " << y << ") on its side " << f;
            }
        }
    EXPECT_GT(high, 0) << "no high room in the catacombs";
}

} // namespace
