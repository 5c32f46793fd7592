// What the tests of the taverns, the Casino and the Arcanium share: the
// party screen fixture with an exit record, setting the clock to an hour of
// the day, and writing a text file of the test's own.
#pragma once
#include "../gui/PartyScreenFixture.h"

#include "world/Event.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"

#include <fstream>
#include <string>

namespace towntest {

// Sets the clock to h:m of the present day.
inline void setTime(unsigned hour, unsigned minute = 0)
{
    GameClock_C& clock = gameworld->getClock();
    const uint32_t day = clock.getTicks() - clock.getTicks() % GameClock_C::TICKS_PER_DAY;
    clock.setTicks(day + hour * GameClock_C::TICKS_PER_HOUR + minute * GameClock_C::TICKS_PER_MINUTE);
}

inline uint32_t ticks() { return gameworld->getClock().getTicks(); }
inline unsigned hour() { return gameworld->getClock().getHour(); }

// Writes the text to a file of that name in the test's temporary folder and
// returns its path.
inline std::string writeTemp(const std::string& name, const std::string& text)
{
    const std::string path = vell_test::tempPath("town") + "/" + name;
    ::mkdir(vell_test::tempPath("town").c_str(), 0755);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

class TownFixture : public partyscreens::PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        params_.exitX = 3;
        params_.exitY = 5;
        params_.exitFacing = 90;
    }
    EventParams_S params_;
};

} // namespace towntest
