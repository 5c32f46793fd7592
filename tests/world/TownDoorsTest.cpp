// The sample town has a door for every kind of town building, each opening
// onto its street square, and the event file names each building's exit on
// that square, facing away from the door. Each door carries its building's
// sign, and no other wall looks like a door.
#include "WorldTestUtil.h"

#include "core/TextureList.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace worldtest;

struct Door {
    int x, y;
};

// The new world's town, as a quest starts in it.
class TownDoorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.ok());
        testing::internal::CaptureStderr();
        const bool made = world_.newWorld();
        testing::internal::GetCapturedStderr();
        ASSERT_TRUE(made);
        town_ = world_.getCurrentMap();
        ASSERT_NE(town_, nullptr);
    }

    InFolder folder_{VELL_GAME_DIR};
    StoreScope stores_;
    ra2dGameWorld world_{"ra2d.dat"};
    const Map_C* town_ = nullptr;
};

TEST_F(TownDoorsTest, EveryBuildingHasOneDoorOntoItsExit)
{
    const Map_C* town = town_;

    std::map<int, std::vector<Door>> doors;
    for (int x = 0; x < town->getWidth(); ++x)
        for (int y = 0; y < town->getHeight(); ++y)
            if (const Event_C* e = town->getCellEvent(x, y))
                doors[e->typeId()].push_back({x, y});
    const int buildings[] = {1000, 1001, 1002, 1003, 1005, 1006, 1007, 1008, 1009, 1010,
                             1011, 1012, 1013, 1014, 1017, 1018, 1022, 1023, 1050};
    for (int id : buildings) {
        ASSERT_EQ(doors[id].size(), 1u) << "building " << id;
        const Door d = doors[id][0];
        int open = 0, way = -1;
        for (int f : {0, 90, 180, 270})
            if (!town->isBlocked(d.x, d.y, f)) {
                ++open;
                way = f;
            }
        EXPECT_EQ(open, 1) << "building " << id << " has one door";
        // The square beyond the door is a street without an event.
        const int dx = way == 270 ? 1 : way == 90 ? -1 : 0;
        const int dy = way == 0 ? 1 : way == 180 ? -1 : 0;
        EXPECT_FALSE(town->hasCellEvent(d.x + dx, d.y + dy)) << "building " << id;
    }

    // The event file puts the party on that street square, facing out.
    FILE* f = std::fopen("maps/renibister.evt", "r");
    ASSERT_NE(f, nullptr);
    char line[256];
    int x = 0, y = 0, id = 0, flag = 0, seen = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (line[0] == '#')
            continue;
        if (std::sscanf(line, "%d %d %d %d", &x, &y, &id, &flag) != 4 || id < 1000 || id > 1050)
            continue;
        int ex = 0, ey = 0, facing = 0;
        ASSERT_TRUE(std::fgets(line, sizeof line, f));
        ASSERT_EQ(std::sscanf(line, "%d %d %d", &ex, &ey, &facing), 3);
        const int dx = facing == 270 ? 1 : facing == 90 ? -1 : 0;
        const int dy = facing == 0 ? 1 : facing == 180 ? -1 : 0;
        EXPECT_EQ(ex, x + dx) << "building " << id;
        EXPECT_EQ(ey, y + dy) << "building " << id;
        EXPECT_FALSE(town->isBlocked(x, y, facing)) << "building " << id << " opens toward its exit";
        ++seen;
    }
    std::fclose(f);
    EXPECT_EQ(seen, int(sizeof buildings / sizeof buildings[0]));
}

bool isBuilding(const Event_C* e)
{
    return e && e->typeId() >= 1000 && e->typeId() <= 1050;
}

// The walls of the closed squares (houses, the town wall) are the plain
// ones. A door's picture, with its sign, is on that door alone; every wall
// that stops a party on the street is a plain one, so that no sign or door
// stands where there is no way in.
TEST_F(TownDoorsTest, EachDoorHasASignOfItsOwnAndNoOtherWallLooksLikeOne)
{
    const Map_C& town = *town_;

    std::set<const Texture_S*> plain;
    std::map<const Texture_S*, int> shown;
    for (int x = 0; x < town.getWidth(); ++x)
        for (int y = 0; y < town.getHeight(); ++y)
            for (int f : {0, 90, 180, 270})
                if (const Texture_S* t = town.getCell(x, y)->getWall(f)) {
                    ++shown[t];
                    if (town.getCell(x, y)->closed())
                        plain.insert(t);
                }
    ASSERT_FALSE(plain.empty());

    const int stairsX = town.getStairsX(), stairsY = town.getStairsY();
    int doors = 0;
    for (int x = 0; x < town.getWidth(); ++x)
        for (int y = 0; y < town.getHeight(); ++y) {
            if (isBuilding(town.getCellEvent(x, y))) {
                for (int f : {0, 90, 180, 270})
                    if (!town.isBlocked(x, y, f)) {
                        const Texture_S* door = town.getCell(x, y)->getWall(f);
                        ASSERT_NE(door, nullptr) << "building at (" << x << ", " << y << ")";
                        EXPECT_EQ(shown[door], 1) << "the door of (" << x << ", " << y << ") is not its own";
                        EXPECT_EQ(plain.count(door), 0u) << "the door of (" << x << ", " << y << ") looks plain";
                        ++doors;
                    }
                continue;
            }
            if (town.getCell(x, y)->closed() || (x == stairsX && y == stairsY))
                continue;
            for (int f : {0, 90, 180, 270}) {
                if (!town.isBlocked(x, y, f))
                    continue;
                const int dx = f == 270 ? 1 : f == 90 ? -1 : 0;
                const int dy = f == 0 ? 1 : f == 180 ? -1 : 0;
                const CellDef_S* next = town.getCell(x + dx, y + dy);
                const Texture_S* own = town.getCell(x, y)->getWall(f);
                const Texture_S* seen = own ? own : next ? next->getWall((f + 180) % 360) : nullptr;
                if (seen) {
                    EXPECT_EQ(plain.count(seen), 1u)
                        << "from (" << x << ", " << y << ") facing " << f << " a wall that is no plain one";
                }
            }
        }
    EXPECT_EQ(doors, 19);
}

} // namespace
