// The game's town map makes Elium's, the five shops, the Barracks and the
// House from their squares: the real buildings (not stand-ins), each with
// its square's exit, its door open toward it.
#include "../world/WorldTestUtil.h"

#include "events/GameEvents.h"
#include "town/Event_1001.h"
#include "town/Event_1018.h"
#include "town/Event_1050.h"
#include "town/Shops.h"
#include "world/Event.h"

namespace {

using worldtest::InFolder;
using worldtest::StoreScope;

TEST(ShopDoors, EliumsTheShopsTheBarracksAndTheHouseStandInTheTown)
{
    struct Door {
        int x, y, type;
        int32_t exitX, exitY, facing;
    };
    InFolder folder{VELL_GAME_DIR};
    ASSERT_TRUE(folder.ok());
    StoreScope stores;
    registerGameEvents();
    testing::internal::CaptureStderr();
    const Map_C town("maps/renibister.cfg");
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(town.getLoadError(), Map_C::LOAD_OK) << errors;
    const Door doors[] = {{20, 11, 1001, 20, 10, 180}, {6, 22, 1011, 6, 21, 180}, {3, 2, 1012, 3, 1, 180},
                          {10, 2, 1013, 10, 1, 180},   {12, 17, 1014, 13, 17, 270}, {17, 2, 1017, 17, 1, 180},
                          {23, 2, 1018, 23, 1, 180},   {3, 12, 1050, 3, 13, 0}};
    for (const Door& d : doors) {
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
    EXPECT_NE(dynamic_cast<Event_1001_C*>(town.getCellEvent(20, 11)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1012_C*>(town.getCellEvent(3, 2)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1017_C*>(town.getCellEvent(17, 2)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1018_C*>(town.getCellEvent(23, 2)), nullptr);
    EXPECT_NE(dynamic_cast<Event_1050_C*>(town.getCellEvent(3, 12)), nullptr);
    clearEventMakers();
}

} // namespace
