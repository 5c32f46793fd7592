// The game's town map makes every building from its door: the real building
// of the square's type (never the stand-in of a type without a class), with
// the square's exit, its door open toward it.
#include "../world/WorldTestUtil.h"

#include "app/GameEvents.h"
#include "town/Building.h"
#include "world/Event.h"

#include <set>

namespace {

using worldtest::InFolder;
using worldtest::StoreScope;

TEST(TownDoors, EveryBuildingOfTheTownIsItsOwnClass)
{
    InFolder folder{VELL_GAME_DIR};
    ASSERT_TRUE(folder.ok());
    StoreScope stores;
    registerGameEvents();
    testing::internal::CaptureStderr();
    const Map_C town("maps/renibister.cfg");
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(town.getLoadError(), Map_C::LOAD_OK) << errors;
    EXPECT_EQ(errors.find("stand-in"), std::string::npos) << errors;

    std::set<int> found;
    for (int x = 0; x < town.getWidth(); ++x)
        for (int y = 0; y < town.getHeight(); ++y) {
            Event_C* e = town.getCellEvent(x, y);
            if (!e || e->typeId() == 2000)
                continue;
            SCOPED_TRACE(e->typeId());
            const auto* b = dynamic_cast<const Building_C*>(e);
            ASSERT_NE(b, nullptr) << "a building, not a stand-in";
            EXPECT_FALSE(town.isBlocked(x, y, b->getExitFacing())) << "the door opens onto the exit";
            EXPECT_EQ(std::abs(b->getExitX() - x) + std::abs(b->getExitY() - y), 1) << "the exit is the street before it";
            found.insert(e->typeId());
        }
    const std::set<int> buildings = {1000, 1001, 1002, 1003, 1005, 1006, 1007, 1008, 1009, 1010,
                                     1011, 1012, 1013, 1014, 1017, 1018, 1022, 1023, 1050};
    EXPECT_EQ(found, buildings);
    clearEventMakers();
}

} // namespace
