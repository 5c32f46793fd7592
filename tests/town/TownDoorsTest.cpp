// The new world's town has a door for every building of the event table
// (world/EventTable.h), and for nothing else: each door makes the real
// building of its type (never the stand-in of a type without a class) and
// opens onto its street square, and the event file names each building's
// exit on that square, facing away from the door. Each door carries its
// building's sign, and no other wall looks like a door.
#include "../world/WorldTestUtil.h"

#include "app/GameEvents.h"
#include "core/TextureList.h"
#include "town/Building.h"
#include "world/Event.h"
#include "world/EventTable.h"
#include "world/GameWorld.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace worldtest;

struct BuildingRow {
    int id;
    const char* name;
};
#define BUILDING_ROW(id, number, cls, name) {id, name},
const BuildingRow kBuildings[] = {VELL_BUILDING_EVENTS(BUILDING_ROW)};
#undef BUILDING_ROW

bool isBuilding(const Event_C* e)
{
    return e && std::any_of(std::begin(kBuildings), std::end(kBuildings),
                            [e](const BuildingRow& b) { return b.id == e->typeId(); });
}

struct Door {
    int x, y;
};

// The new world's town, as a quest starts in it, with the game's events.
class TownDoorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.ok());
        registerGameEvents();
        testing::internal::CaptureStderr();
        const bool made = world_.newWorld();
        errors_ = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(made) << errors_;
        town_ = world_.getCurrentMap();
        ASSERT_NE(town_, nullptr);
    }
    void TearDown() override { clearEventMakers(); }

    InFolder folder_{VELL_GAME_DIR};
    StoreScope stores_;
    ra2dGameWorld world_{"ra2d.dat"};
    const Map_C* town_ = nullptr;
    std::string errors_;
};

TEST_F(TownDoorsTest, EveryBuildingIsItsOwnClassWithOneDoorOntoItsExit)
{
    const Map_C* town = town_;
    EXPECT_EQ(errors_.find("stand-in"), std::string::npos) << errors_;

    std::map<int, std::vector<Door>> doors;
    for (int x = 0; x < town->getWidth(); ++x)
        for (int y = 0; y < town->getHeight(); ++y)
            if (const Event_C* e = town->getCellEvent(x, y))
                if (e->typeId() != EVENT_SCRIPT) {
                    EXPECT_TRUE(isBuilding(e)) << "event " << e->typeId() << " at (" << x << ", " << y << ")";
                    doors[e->typeId()].push_back({x, y});
                }
    for (const BuildingRow& row : kBuildings) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(doors[row.id].size(), 1u) << "building " << row.id;
        const Door d = doors[row.id][0];
        int open = 0, way = -1;
        for (int f : {0, 90, 180, 270})
            if (!town->isBlocked(d.x, d.y, f)) {
                ++open;
                way = f;
            }
        EXPECT_EQ(open, 1) << "building " << row.id << " has one door";
        // The square beyond the door is a street without an event.
        const int dx = way == 270 ? 1 : way == 90 ? -1 : 0;
        const int dy = way == 0 ? 1 : way == 180 ? -1 : 0;
        EXPECT_FALSE(town->hasCellEvent(d.x + dx, d.y + dy)) << "building " << row.id;
        // The building made there is the real one, with that street as its
        // exit and its door open toward it.
        const auto* b = dynamic_cast<const Building_C*>(town->getCellEvent(d.x, d.y));
        ASSERT_NE(b, nullptr) << "a building, not a stand-in";
        EXPECT_FALSE(town->isBlocked(d.x, d.y, b->getExitFacing())) << "the door opens onto the exit";
        EXPECT_EQ(std::abs(b->getExitX() - d.x) + std::abs(b->getExitY() - d.y), 1) << "the exit is the street before it";
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
    EXPECT_EQ(seen, int(std::size(kBuildings)));
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
    EXPECT_EQ(doors, int(std::size(kBuildings)));
}

} // namespace
