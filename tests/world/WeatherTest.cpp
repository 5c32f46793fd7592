// The weather check: when it is due, the ceiling case, the hour's light
// mode, a change of kind held for 120 ticks, and every row of the drift
// table at the edges of its rolls; then the check as the world runs it on a
// change of map and over days of play.
#include "WorldTestUtil.h"

#include "platform/Random.h"
#include "rules/TagKeys.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

// Midnight of the start day.
constexpr uint32_t kDayStart = GameClock_C::START_TICKS - (9 * 240 + 30 * 4);

uint32_t tickAt(int hour, int minute = 0)
{
    return kDayStart + static_cast<uint32_t>(hour) * GameClock_C::TICKS_PER_HOUR +
           static_cast<uint32_t>(minute) * GameClock_C::TICKS_PER_MINUTE;
}

struct WeatherTest : ::testing::Test {
    InFolder folder{VELL_GAME_DIR};
    StoreScope stores;
    std::unique_ptr<Map_C> town;
    std::unique_ptr<Map_C> dungeon;
    bl3dGameWorld world{RefStr_C("weather")};

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        testing::internal::CaptureStderr();
        town = std::make_unique<Map_C>("maps/renibister.cfg");
        dungeon = std::make_unique<Map_C>("maps/catacombs.cfg");
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(town->getLoadError(), Map_C::LOAD_OK);
        ASSERT_EQ(dungeon->getLoadError(), Map_C::LOAD_OK);
        ASSERT_TRUE(town->isOutdoors());
        ASSERT_FALSE(dungeon->isOutdoors());
        vell::gameSrand(7);
    }
    void TearDown() override { vell::clearScriptedGameRand(); }

    uint32_t weather() const { return static_cast<uint32_t>(world.getVar(tagkey::Weather)); }
    int64_t wcalc() const { return world.getVar(tagkey::WCalc); }
};

// One check from a set-up state. Rolls are scripted; a sentinel behind them
// shows whether the check drew one more than it should.
struct CheckCase {
    const char* what;
    bool indoors;
    int hour;
    uint32_t weather;          // "Weather" before
    int32_t due;               // "WCalc" - now before
    int32_t changeAge;         // now - the map's change start
    std::vector<int> rolls;    // the check's own rolls
    uint32_t expectWeather;
    int32_t expectDue;         // "WCalc" - now after
    bool changeStarts;         // the map's change start becomes now
};

TEST_F(WeatherTest, OneCheck)
{
    const int kSentinel = 12345;
    const CheckCase cases[] = {
        {"not due yet", false, 12, 0x30003, 1, 1000, {}, 0x30003, 1, false},
        {"not due indoors either", true, 12, 0x30003, 2400, 1000, {}, 0x30003, 2400, false},
        {"due on the tick itself", false, 12, 0x30003, 0, 1000, {699}, 0x00030003, 4, false},
        {"overdue", false, 12, 0x30003, -500, 1000, {25}, 0x00030003, 4, false},
        {"a due tick beyond any interval is stale", false, 12, 0x03, 100000, 1000, {699}, 0x00030003, 4, false},
        {"no weather yet (both variables missing)", false, 12, 0, 0, 1000, {699}, 0x00000003, 4, false},

        {"ceiling, already light mode 1", true, 12, 0x00520001, -1, 1000, {}, 0x00520001, 2400, false},
        {"ceiling, coming from daylight rain", true, 12, 0x00030063, -1, 1000, {}, 0x00630001, 2400, false},
        {"ceiling, coming from a change at night", true, 23, 0x00030175, -1, 1000, {}, 0x01750001, 2400, false},

        {"midnight is night", false, 0, 0x35, -1, 1000, {699}, 0x00350035, 4, false},
        {"5:59 is night", false, 5, 0x35, -1, 1000, {699}, 0x00350035, 4, false},
        {"6:00 is dawn", false, 6, 0x35, -1, 1000, {699}, 0x00350032, 4, false},
        {"7:00 is day", false, 7, 0x02, -1, 1000, {699}, 0x00020003, 4, false},
        {"17:00 is day", false, 17, 0x03, -1, 1000, {699}, 0x00030003, 4, false},
        {"18:00 is dusk", false, 18, 0x03, -1, 1000, {699}, 0x00030004, 4, false},
        {"19:00 is night", false, 19, 0x04, -1, 1000, {699}, 0x00040005, 4, false},
        {"back outdoors from light mode 1", false, 12, 0x00030001, -1, 1000, {699}, 0x00010003, 4, false},

        // A change of kind (bit 8): no roll while it is held.
        {"change held, same light", false, 12, 0x00630173, -1, 0, {}, 0x00630173, 4, false},
        {"change held at 120 ticks", false, 12, 0x00630173, -1, 120, {}, 0x00630173, 4, false},
        {"change held, the light moves on", false, 18, 0x00630173, -1, 120, {}, 0x00630174, 4, false},
        {"change complete after 121 ticks", false, 12, 0x00630173, -1, 121, {}, 0x01730073, 4, false},
        {"change complete, at night", false, 20, 0x00630173, -1, 5000, {}, 0x01730075, 4, false},

        // A roll that changes the kind starts a change; the previous value
        // (with the old kind) moves to the high half.
        {"clear turns cloudy", false, 12, 0x03, -1, 1000, {0}, 0x00030113, 4, true},
        {"clear stays at 25", false, 12, 0x03, -1, 1000, {25}, 0x00030003, 4, false},
        {"the roll is taken out of 700", false, 12, 0x03, -1, 1000, {700 + 15}, 0x00030133, 4, true},
        {"a kind above 8 stays on the lowest roll", false, 12, 0x93, -1, 1000, {0}, 0x00930093, 4, false},
        {"kind 15 stays", false, 12, 0xF3, -1, 1000, {20}, 0x00F300F3, 4, false},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        Map_C& map = c.indoors ? *dungeon : *town;
        const uint32_t now = tickAt(c.hour, c.hour == 5 ? 59 : 0);
        world.getClock().setTicks(now);
        if (c.weather || c.due)
            world.setVar(tagkey::Weather, static_cast<int32_t>(c.weather));
        else
            world.getTagList().clearAll();
        if (c.due || c.weather)
            world.setVar(tagkey::WCalc, static_cast<int32_t>(now + c.due));
        const int32_t start = static_cast<int32_t>(now - c.changeAge);
        world.setVar(tagkey::WChange, start);
        std::vector<int> rolls = c.rolls;
        rolls.push_back(kSentinel);
        vell::scriptGameRand(rolls);

        map.wetherCheck(world);

        EXPECT_EQ(vell::scriptedGameRandLeft(), 1u) << "rolls drawn";
        vell::clearScriptedGameRand();
        EXPECT_EQ(weather(), c.expectWeather) << std::hex << weather();
        EXPECT_EQ(wcalc() - now, c.expectDue);
        EXPECT_EQ(world.getVar(tagkey::WChange), c.changeStarts ? static_cast<int32_t>(now) : start);
        EXPECT_EQ(map.weatherChangeStart(), world.getVar(tagkey::WChange));
    }
}

// The drift table, each row at both edges of every roll range.
TEST_F(WeatherTest, EveryKindAtTheEdgesOfItsRolls)
{
    constexpr int S = -1;   // stays
    const int table[9][6] = {
        // P 0-4  5-9  10-14  15-19  20-24  25-699
        {1, 1, 1, 3, S, S},
        {0, 2, 3, 6, 6, S},
        {1, 1, 6, 6, 6, S},
        {0, 4, 4, S, S, S},
        {3, 3, 3, 5, 5, S},
        {4, 4, 4, S, S, S},
        {2, 1, 1, 7, 7, S},
        {6, 6, 6, 8, 8, S},
        {7, 7, 7, S, S, S},
    };
    const int edges[6][2] = {{0, 4}, {5, 9}, {10, 14}, {15, 19}, {20, 24}, {25, 699}};
    const uint32_t now = tickAt(12);
    for (uint32_t kind = 0; kind < 9; ++kind)
        for (int col = 0; col < 6; ++col)
            for (int roll : edges[col]) {
                SCOPED_TRACE("kind " + std::to_string(kind) + ", P " + std::to_string(roll));
                world.getClock().setTicks(now);
                const uint32_t old = 0x00500000u | (kind << 4) | 3u;
                world.setVar(tagkey::Weather, static_cast<int32_t>(old));
                world.setVar(tagkey::WCalc, static_cast<int32_t>(now));
                world.setVar(tagkey::WChange, 17);
                vell::scriptGameRand({roll});
                town->wetherCheck(world);
                const int to = table[kind][col];
                const uint32_t high = (old & 0xFFFFu) << 16;
                if (to == S) {
                    EXPECT_EQ(weather(), high | (kind << 4) | 3u);
                    EXPECT_EQ(world.getVar(tagkey::WChange), 17);
                } else {
                    EXPECT_EQ(weather(), high | (static_cast<uint32_t>(to) << 4) | 0x100u | 3u);
                    EXPECT_EQ(world.getVar(tagkey::WChange), static_cast<int32_t>(now));
                }
            }
}

// A change runs its course: held (no rolls) for 120 ticks, complete at the
// first check after, then the drift rolls again.
TEST_F(WeatherTest, AChangeIsHeldThenCompletes)
{
    uint32_t now = tickAt(17, 50);
    world.getClock().setTicks(now);
    world.setVar(tagkey::Weather, 0x03);
    world.setVar(tagkey::WCalc, static_cast<int32_t>(now));
    vell::scriptGameRand({15});   // clear -> light fog
    town->wetherCheck(world);
    EXPECT_EQ(weather(), 0x00030133u);
    const uint32_t began = now;

    for (now += 4; now - began <= 120; now += 4) {
        world.getClock().setTicks(now);
        town->wetherCheck(world);
        ASSERT_EQ(vell::scriptedGameRandLeft(), 0u);
        ASSERT_EQ(weather() & 0x1F0u, 0x130u) << now - began;
        // 18:00 turns the light to dusk while the change goes on.
        ASSERT_EQ(weather() & 0xFu, now >= tickAt(18) ? 4u : 3u);
        ASSERT_EQ(weather() >> 16, 0x0003u);   // still the weather before the change
    }
    world.getClock().setTicks(now);
    vell::scriptGameRand({699});
    town->wetherCheck(world);   // complete: no roll
    EXPECT_EQ(vell::scriptedGameRandLeft(), 1u);
    EXPECT_EQ(weather(), 0x01340034u);
    now += 4;
    world.getClock().setTicks(now);
    town->wetherCheck(world);   // and the drift goes on
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
    EXPECT_EQ(weather(), 0x00340034u);
}

// Days of play on a seeded die: the light always follows the hour, kinds
// stay within 0..8, a change always completes, and the weather does drift.
TEST_F(WeatherTest, DaysOfPlay)
{
    vell::gameSrand(2024);
    uint32_t now = tickAt(0);
    world.getClock().setTicks(now);
    world.setVar(tagkey::Weather, 0x30003);
    world.setVar(tagkey::WCalc, static_cast<int32_t>(now - 1));
    uint32_t changeSince = 0;
    int changes = 0;
    bool kindsSeen[9] = {};
    for (int step = 0; step < 3 * 5760 / 2; ++step, now += 2) {
        world.getClock().setTicks(now);
        town->wetherCheck(world);
        const uint32_t w = weather();
        const uint32_t kind = (w >> 4) & 0xF;
        ASSERT_LE(kind, 8u);
        kindsSeen[kind] = true;
        ASSERT_EQ(static_cast<int>(w & 0xF), Map_C::hourLightMode(world.getClock().getHour())) << step;
        if (w & 0x100) {
            if (changeSince == 0) {
                changeSince = now;
                ++changes;
            }
            ASSERT_LE(now - changeSince, 124u);
        } else {
            changeSince = 0;
        }
        ASSERT_LE(wcalc() - static_cast<int64_t>(now), 4);
    }
    EXPECT_GT(changes, 3);
    EXPECT_TRUE(kindsSeen[1]);
}

// The world checks the weather at once when the party changes maps.
TEST_F(WeatherTest, AChangeOfMapChecksAtOnce)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    EXPECT_EQ(w.getVar(tagkey::Weather), 0x30003);
    w.setVar(tagkey::WCalc, static_cast<int32_t>(w.getClock().getTicks() + 1000));

    // Into the catacombs: light mode 1 at once, the old value moved up.
    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    EXPECT_EQ(w.getVar(tagkey::Weather), 0x00030001);
    EXPECT_EQ(static_cast<uint32_t>(w.getVar(tagkey::WCalc)), w.getClock().getTicks() + 2400);

    // Back out into the town at 9:30: day light at once, one drift roll.
    vell::scriptGameRand({30});
    ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
    EXPECT_EQ(w.getVar(tagkey::Weather), 0x00010003);
    EXPECT_EQ(static_cast<uint32_t>(w.getVar(tagkey::WCalc)), w.getClock().getTicks() + 4);
}

} // namespace
