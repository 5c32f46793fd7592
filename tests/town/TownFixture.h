// Fixture of the tests of the shops, Elium's Energy Emporium, the Barracks
// and the House: the party screen fixture (a quest of its own, the test
// kit's items, a record of every display) with the clock set to a chosen
// time of day and the helpers those buildings' tests share.
#pragma once
#include "../gui/PartyScreenFixture.h"

#include "world/Event.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"

#include <string>
#include <vector>

namespace town {

using namespace partyscreens;

class TownFixture : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        params_.exitX = 3;
        params_.exitY = 5;
        params_.exitFacing = 90;
    }

    // Sets the clock to that time of the present day.
    static void setTime(unsigned hour, unsigned minute = 0)
    {
        GameClock_C& clock = gameworld->getClock();
        const uint32_t day = clock.getTicks() - clock.getTicks() % GameClock_C::TICKS_PER_DAY;
        clock.setTicks(day + hour * GameClock_C::TICKS_PER_HOUR + minute * GameClock_C::TICKS_PER_MINUTE);
    }
    static uint32_t now() { return gameworld->getClock().getTicks(); }
    static int32_t gold(const bl3dPartyChar& m) { return m.rawGold(); }

    // Whether the party stands on the exit of params_.
    void expectOnExit() const
    {
        EXPECT_EQ(gameworld->getSquareX(), params_.exitX);
        EXPECT_EQ(gameworld->getSquareY(), params_.exitY);
        EXPECT_EQ(iface.getFacing(), params_.exitFacing);
    }

    // Mouse y of the top half of a pane line (from the top of the window).
    static int lineTop(int n) { return kHeight - iface.getURLineY(n) - 20 + 5; }
    static int paneX() { return iface.layout().upperRight.left + 10; }

    EventParams_S params_;
};

} // namespace town
