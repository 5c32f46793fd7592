// What the rest, time report and automap screens compute without a
// display: the date line on a 12-hour clock with its period, the time left
// to rest, the rest step as stored, and the automap's first square.
#include "screens/Automap.h"
#include "screens/Rest.h"
#include "world/GameClock.h"

#include <gtest/gtest.h>

namespace {

// The first tick of the start day (year 152, Riuros 6).
constexpr uint32_t START_DAY = GameClock_C::START_TICKS - (9 * 240 + 30 * 4);

TEST(RestAndMapText, TheDateLineReadsOnATwelveHourClock)
{
    struct Case {
        unsigned hour, minute;
        const char* clock;   // "h:mm period"
    };
    const Case cases[] = {
        {0, 5, "12:05 in the morning"},   {9, 30, "9:30 in the morning"},
        {11, 59, "11:59 in the morning"}, {12, 0, "12:00 in the afternoon"},
        {13, 0, "1:00 in the afternoon"}, {16, 59, "4:59 in the afternoon"},
        {17, 0, "5:00 in the evening"},   {20, 59, "8:59 in the evening"},
        {21, 0, "9:00 at night"},         {23, 45, "11:45 at night"},
    };
    GameClock_C clock;
    for (const Case& c : cases) {
        clock.setTicks(START_DAY + c.hour * 240 + c.minute * 4);
        EXPECT_EQ(dateLine(clock), std::string("It is ") + c.clock +
                                       ", on day 6 of the month of Riuros, 152 years since the Fall.")
            << c.hour << ":" << c.minute;
    }
    clock.setTicks(0);
    EXPECT_EQ(dateLine(clock), "It is 12:00 in the morning, on day 1 of the month of Samonios, 1 years since the Fall.");
}

TEST(RestAndMapText, TimeLeftToRest)
{
    EXPECT_EQ(remainingLine(2880), "12:00:00 remaining.");
    EXPECT_EQ(remainingLine(2880 - 20), "11:55:00 remaining.");
    EXPECT_EQ(remainingLine(243), "1:00:45 remaining.");
    EXPECT_EQ(remainingLine(0), "0:00:00 remaining.");
    EXPECT_EQ(remainingLine(-19), "0:00:00 remaining.") << "the last step may overshoot";
}

TEST(RestAndMapText, TheRestStepAsStored)
{
    const int cases[][2] = {{0, 1}, {-3, 1}, {1, 1}, {7, 7}, {20, 20}, {25, 20}};
    for (const auto& c : cases)
        EXPECT_EQ(Rest_C::clampRestTick(c[0]), c[1]) << c[0];
}

TEST(RestAndMapText, TheAutomapsFirstSquare)
{
    struct Case {
        int centre, scroll, first;
    };
    const Case cases[] = {
        {5, 0, 0},    {17, 0, 0},   {18, 0, 1},   {40, 0, 23}, {30, 0, 13},
        {40, 10, 33}, {40, -10, 13},
        // Near the map's edge a scroll toward it shows the edge, never
        // squares before it.
        {5, -10, 0},  {5, -2, 0},   {5, 4, 4},    {20, -10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Automap_C::firstSquare(c.centre, c.scroll), c.first) << c.centre << " " << c.scroll;
}

} // namespace
