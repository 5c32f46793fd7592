// The weather of a map: the world variable "Weather" follows the hour's light
// and drifts between weather kinds at random.
#include "world/Map.h"

#include "platform/Random.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"

namespace {

constexpr uint32_t LIGHT_BITS = 0x0Fu;   // light mode
constexpr uint32_t KIND_BITS = 0xF0u;    // weather kind
constexpr uint32_t CHANGE_BIT = 0x100u;  // a change of kind is in progress
constexpr uint32_t LIGHT_INDOORS = 1;

constexpr int32_t OUTDOOR_INTERVAL = 4;
constexpr int32_t INDOOR_INTERVAL = 2400;
// A change of kind is held this long before another may start.
constexpr int64_t CHANGE_TICKS = 120;

constexpr int STAY = -1;

// The world variable that records the tick at which the current change of
// kind began. It travels with the world, so a quest loaded (or a map built)
// in the middle of a change goes on with it where it stood, instead of
// finding it complete.
constexpr const char* CHANGE_START_VAR = tagkey::WChange;

// Where each kind may go, by the roll out of 700 in steps of 5 (0-4, 5-9,
// 10-14, 15-19, 20-24); any higher roll keeps the kind.
constexpr int kTransitions[9][5] = {
    {1, 1, 1, 3, STAY},     // 0 clear
    {0, 2, 3, 6, 6},        // 1
    {1, 1, 6, 6, 6},        // 2 overcast
    {0, 4, 4, STAY, STAY},  // 3 light fog
    {3, 3, 3, 5, 5},        // 4
    {4, 4, 4, STAY, STAY},  // 5 thick fog
    {2, 1, 1, 7, 7},        // 6 light rain
    {6, 6, 6, 8, 8},        // 7
    {7, 7, 7, STAY, STAY},  // 8 heavy rain
};

// The kind after a roll of 0..699, or STAY.
int nextKind(uint32_t kind, int roll)
{
    if (kind > 8 || roll < 0 || roll >= 25)
        return STAY;
    return kTransitions[kind][roll / 5];
}

} // namespace

int Map_C::hourLightMode(unsigned hour)
{
    if (hour == 6)
        return 2;
    if (hour >= 7 && hour <= 17)
        return 3;
    if (hour == 18)
        return 4;
    return 5;
}

void Map_C::wetherCheck()
{
    if (gameworld)
        wetherCheck(*gameworld);
}

void Map_C::wetherCheck(bl3dGameWorld& world)
{
    const GameClock_C& clock = world.getClock();
    const int64_t now = clock.getTicks();
    const int64_t due = world.getVar(tagkey::WCalc);
    weatherChangeStart_ = world.getVar(CHANGE_START_VAR);
    // No check schedules the next one further ahead than the indoor
    // interval; a due tick beyond that (a clock set back) is stale.
    if (now < due && due - now <= INDOOR_INTERVAL)
        return;

    const uint32_t old = static_cast<uint32_t>(world.getVar(tagkey::Weather));
    uint32_t next = old << 16;

    if (hasCeiling_) {
        if ((old & LIGHT_BITS) != LIGHT_INDOORS)
            world.setVar(tagkey::Weather, static_cast<int32_t>(next | LIGHT_INDOORS));
        world.setVar(tagkey::WCalc, static_cast<int32_t>(now + INDOOR_INTERVAL));
        return;
    }

    const uint32_t light = static_cast<uint32_t>(hourLightMode(clock.getHour()));
    next |= light;
    if (old & CHANGE_BIT) {
        if (static_cast<uint32_t>(now) - static_cast<uint32_t>(weatherChangeStart_) > CHANGE_TICKS)
            next |= old & KIND_BITS;   // the change is complete
        else if ((old & LIGHT_BITS) == light)
            next = old;
        else
            next = (old & ~LIGHT_BITS) | light;
    } else {
        const uint32_t kind = (old & KIND_BITS) >> 4;
        const int to = nextKind(kind, vell::gameRandMod(700));
        if (to == STAY) {
            next |= old & KIND_BITS;
        } else {
            next |= (static_cast<uint32_t>(to) << 4) | CHANGE_BIT;
            weatherChangeStart_ = static_cast<int32_t>(now);
            world.setVar(CHANGE_START_VAR, weatherChangeStart_);
        }
    }
    world.setVar(tagkey::Weather, static_cast<int32_t>(next));
    world.setVar(tagkey::WCalc, static_cast<int32_t>(now + OUTDOOR_INTERVAL));
}
