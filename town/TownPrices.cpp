#include "town/TownPrices.h"

#include "world/GameWorld.h"

bool isMilestoneLevel(int64_t level)
{
    return level == 13 || level == 25 || level == 37 || level == 50;
}

int64_t levelGainPrice(int32_t level)
{
    const int64_t next = int64_t(level) + 1;
    return next * (isMilestoneLevel(next) ? 500 : 100);
}

void passTime(int ticks)
{
    if (gameworld && ticks > 0)
        gameworld->getClock().advance(ticks);
}
