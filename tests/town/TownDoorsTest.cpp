// The game's town map has a door for the Temple and each guild: the map
// loader makes the building of its square's type, with the square's exit,
// and the door opens toward that exit.
#include "../world/WorldTestUtil.h"

#include "events/GameEvents.h"
#include "town/Event_1002.h"
#include "town/Event_1003.h"
#include "town/Event_1005.h"
#include "world/Event.h"

namespace {

using worldtest::InFolder;
using worldtest::StoreScope;

TEST(TownDoors, TheTempleAndTheGuildsStandInTheTown)
{
    struct Door {
        int x, y, type;
        int32_t exitX, exitY, facing;
    };
    InFolder folder{VELL_GAME_DIR};
    ASSERT_TRUE(folder.ok());
    StoreScope stores;
    registerGameEvents();
    // The other buildings of the town may not be in this game yet.
    testing::internal::CaptureStderr();
    const Map_C town("maps/renibister.cfg");
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(town.getLoadError(), Map_C::LOAD_OK) << errors;
    for (const Door& d : {Door{15, 15, 1002, 14, 15, 90}, Door{6, 10, 1003, 6, 9, 180}, Door{15, 9, 1005, 14, 9, 90}}) {
        SCOPED_TRACE(d.type);
        Event_C* e = town.getCellEvent(d.x, d.y);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->typeId(), d.type);
        const auto* b = dynamic_cast<const Building_C*>(e);
        ASSERT_NE(b, nullptr) << "a building, not a stand-in";
        EXPECT_EQ(b->getExitX(), d.exitX);
        EXPECT_EQ(b->getExitY(), d.exitY);
        EXPECT_EQ(b->getExitFacing(), d.facing);
        EXPECT_FALSE(town.isBlocked(d.x, d.y, d.facing)) << "the door opens onto the exit";
    }
    EXPECT_NE(dynamic_cast<Event_1002_C*>(town.getCellEvent(15, 15)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1003_C*>(town.getCellEvent(6, 10)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1005_C*>(town.getCellEvent(15, 9)), nullptr);
    clearEventMakers();
}

} // namespace
