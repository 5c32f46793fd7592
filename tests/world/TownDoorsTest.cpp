// The sample town has a door for every kind of town building, each opening
// onto its street square, and the event file names each building's exit on
// that square, facing away from the door.
#include "WorldTestUtil.h"

#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <vector>

namespace {

using namespace worldtest;

struct Door {
    int x, y;
};

TEST(TownDoorsTest, EveryBuildingHasOneDoorOntoItsExit)
{
    InFolder folder{VELL_GAME_DIR};
    ASSERT_TRUE(folder.ok());
    StoreScope stores;
    testing::internal::CaptureStderr();
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    testing::internal::GetCapturedStderr();
    const Map_C* town = w.getCurrentMap();
    ASSERT_NE(town, nullptr);

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

} // namespace
