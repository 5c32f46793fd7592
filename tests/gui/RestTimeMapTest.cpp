// The main view's TAB, 'r', '/' and '?': the automap of what the party has
// seen, resting with its steps of time (regeneration, events breaking in,
// the party falling), and the time and place report. Keys are pressed on
// the main view and pushed into the screens' own loops.
#include "PartyScreenFixture.h"

#include "core/TagList.h"
#include "app/GameEvents.h"
#include "rules/EnemyList.h"
#include "rules/ItemList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/TagKeys.h"
#include "screens/Automap.h"
#include "screens/Rest.h"
#include "world/Event.h"
#include "world/EventQueue.h"
#include "world/Map.h"
#include "world/MapInfo.h"

#include <unistd.h>

#include <set>
#include <tuple>

namespace partyscreens {
namespace {

constexpr uint32_t HOUR = 240;

// A random event of the test's own: counts its runs; with killAll, the
// whole party falls (once).
int gRandomRuns = 0;
bool gKillAll = false;
bool gRestSeen = false;
class Happening_C : public Event_C {
public:
    int typeId() const override { return 2000; }
    int invoke(Interface_C*) override
    {
        ++gRandomRuns;
        if (gKillAll)
            for (int i = 0; i < party->getCount(); ++i)
                party->getMember(i)->setCurHP(0);
        gKillAll = false;
        return 0;
    }
};

// The Hall of Adventurers: counts the fallen parties it took in while the
// rest screen was resting; with gHallHeals it brings them back to life.
int gHallVisitsResting = 0;
bool gHallHeals = false;
class Hall_C : public Event_C {
public:
    int typeId() const override { return 1000; }
    int invoke(Interface_C*) override
    {
        if (Rest_C::getState() == Rest_C::RESTING)
            ++gHallVisitsResting;
        if (gHallHeals)
            for (int i = 0; i < party->getCount(); ++i)
                party->getMember(i)->setCurHP(party->getMember(i)->getMaxHP());
        return 0;
    }
};
std::unique_ptr<Event_C> makeHall(const EventParams_S*) { return std::make_unique<Hall_C>(); }

// The fight, in place of the game's: records when it started, in which
// state the rest screen was and whom the party met; the party wins at once.
struct Fight {
    uint32_t tick;
    int restState;
    std::vector<std::string> monsters;
};
std::vector<Fight> gFights;
class Fight_C : public Event_C {
public:
    int typeId() const override { return 4000; }
    int invoke(Interface_C*) override
    {
        Fight f{gameworld->getClock().getTicks(), Rest_C::getState(), {}};
        for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g); ++g)
            if (group->getMonster(0))
                f.monsters.push_back(group->getMonster(0)->getName());
        gFights.push_back(f);
        enemyList.clear();
        return 0;
    }
};
std::unique_ptr<Event_C> makeFight(const EventParams_S*) { return std::make_unique<Fight_C>(); }

class RestTimeMap : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        registerGameEvents();
        registerMapEvent(1000, makeHall);
        gHallVisitsResting = 0;
        gHallHeals = false;
        installMainViewKeys(iface);
        // The world was made before the upkeep had its classes: queue the
        // hourly and nightly upkeep anew.
        EventQueue_C& q = gameworld->getEventQueue();
        q.clear();
        const uint32_t now = ticks();
        const uint32_t hourStart = now - now % HOUR;
        ASSERT_NE(q.enqueue(hourStart + HOUR, createTimedEvent(EVENT_HOURLY).release()), 0);
        ASSERT_NE(q.enqueue(now - now % 5760 + 5760, createTimedEvent(EVENT_NIGHTLY).release()), 0);
        gRandomRuns = 0;
        gKillAll = false;
        vars().setInt(tagkey::Regen, 0);
    }

    void TearDown() override
    {
        Interface_C::setAfterDisplayHook(nullptr);
        iface.setKeyCommand(SDLK_F12, nullptr);
        clearEventMakers();
        enemyList.clear();
        masterMTL.clear();
        PartyScreenFixture::TearDown();
    }

    // Presses the key on the main view, in the game's main loop, as a
    // player does; the loop ends once the rest screen the key opened has
    // closed again (and the main view has been drawn after it).
    void onMainView(SDLKey k)
    {
        gRestSeen = false;
        watch([] {
            const int s = Rest_C::getState();
            gRestSeen = gRestSeen || s != Rest_C::CLOSED;
            return s;
        });
        Interface_C::setAfterDisplayHook([] {
            if (gRestSeen && Rest_C::getState() == Rest_C::CLOSED)
                pushKey(SDLK_ESCAPE);
        });
        pushKey(k);
        iface.sdlEventLoop();
        Interface_C::setAfterDisplayHook(nullptr);
    }
    // The weather-only rest, on a key of the test's own.
    void restForTheWeather()
    {
        iface.setKeyCommand(SDLK_F12, [](SDLMod) { rest(&iface, true); });
        onMainView(SDLK_F12);
    }

    static TagList_C& vars() { return gameworld->getTagList(); }
    static uint32_t ticks() { return gameworld->getClock().getTicks(); }
    static void press(SDLKey k, SDLMod mod = KMOD_NONE) { iface.key(k, mod); }
    static bool printed(const std::vector<Shown>& all, const std::string& piece)
    {
        for (const Shown& s : all)
            if (s.mentions(piece))
                return true;
        return false;
    }
    static int timesPrinted(const std::vector<Shown>& all, const std::string& text)
    {
        int n = 0;
        for (const Shown& s : all)
            for (const std::string& t : s.texts)
                n += t == text;
        return n;
    }
    static void standOn(int x, int y, int facing)
    {
        iface.setCurX(float(x));
        iface.setViewX(float(x));
        iface.setCurZ(-float(y));
        iface.setViewZ(-float(y));
        iface.setFacing(facing);
        iface.setViewFacing(facing);
        iface.clearEntryState();
    }
};

// --- resting ------------------------------------------------------------------

// Pushes SPACE once the rest is done (after the keys of the script).
#define SPACE_WHEN_RESTED()                                                                  \
    onDisplay([this] {                                                                       \
        if (Rest_C::getState() == Rest_C::RESTED && stepsLeft() == 0)                        \
            script({SDLK_SPACE});                                                            \
    })

TEST_F(RestTimeMap, TwelveHoursOfRestRegainHitPointsStepByStep)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.setMaxHP(40);
    ann.setCurHP(5);
    vars().setInt(tagkey::Regen, 0x000200);   // 2 hit points an hour
    vars().setInt(tagkey::RestTick, 20);
    uint32_t rested = 0;
    int hpRested = 0;
    script({SDLK_1, SDLK_2, quiet(SDLK_3), SDLK_RETURN});
    onDisplay([&] {
        if (Rest_C::getState() == Rest_C::RESTED && stepsLeft() == 0) {
            rested = ticks();
            hpRested = ann.getCurHP();
            script({SDLK_SPACE});
        }
    });
    const uint32_t t0 = ticks();
    onMainView(SDLK_r);
    EXPECT_EQ(Rest_C::getState(), Rest_C::CLOSED);
    EXPECT_EQ(rested, t0 + 12 * HOUR) << "144 steps of 20 ticks";
    EXPECT_EQ(hpRested, 5 + 12 * 2) << "one upkeep at every full hour";
    EXPECT_TRUE(lastIn(Rest_C::ASKING).has("12_"));
    EXPECT_TRUE(lastIn(Rest_C::ASKING).mentions("How many hours do you wish to rest?"));
    EXPECT_TRUE(lastIn(Rest_C::ASKING).mentions("It is 9:30 in the morning"));
    EXPECT_TRUE(lastIn(Rest_C::RESTED).has("You feel much rested."));
    EXPECT_TRUE(printed(shown(), "11:55:00 remaining."));
    EXPECT_TRUE(printed(shown(), "0:05:00 remaining."));
    EXPECT_EQ(vars().intValue(tagkey::RestTick), 20);
}

TEST_F(RestTimeMap, ReturnWithoutHoursRestsOneStepAndTheStepIsKeptInBounds)
{
    join("Ann", 0x4);
    struct Case {
        bool absent;
        int32_t stored;
        uint32_t step;
        int32_t savedBack;
    };
    for (const Case& c : {Case{true, 0, 1, 1}, Case{false, 0, 1, 1}, Case{false, 25, 20, 20}, Case{false, 7, 7, 7}}) {
        if (c.absent)
            vars().removeKey(tagkey::RestTick);
        else
            vars().setInt(tagkey::RestTick, c.stored);
        uint32_t rested = 0;
        forget();
        script({SDLK_RETURN});
        onDisplay([&] {
            if (Rest_C::getState() == Rest_C::RESTED && stepsLeft() == 0) {
                rested = ticks();
                script({SDLK_SPACE});
            }
        });
        const uint32_t t0 = ticks();
        onMainView(SDLK_r);
        EXPECT_EQ(rested, t0 + c.step) << c.stored;
        EXPECT_EQ(vars().intValue(tagkey::RestTick), c.savedBack) << c.stored;
        EXPECT_TRUE(lastIn(Rest_C::RESTED).has("You feel much rested.")) << c.stored;
    }
}

TEST_F(RestTimeMap, EscapeCancelsTheQuestionAndEndsTheRestEarly)
{
    join("Ann", 0x4);
    vars().setInt(tagkey::RestTick, 20);
    uint32_t t0 = ticks();
    script({SDLK_5, SDLK_BACKSPACE, SDLK_ESCAPE});
    onMainView(SDLK_r);
    EXPECT_EQ(ticks(), t0);
    EXPECT_EQ(Rest_C::typed(), "");

    // While resting: ',' and '.' change the step (1..20), ESC stops. Each
    // key comes after a step of its own.
    forget();
    script({SDLK_1, SDLK_RETURN});
    int restingDraws = 0;
    uint32_t rested = 0;
    onDisplay([&] {
        const SDLKey keys[] = {SDLK_PERIOD, SDLK_COMMA, SDLK_COMMA, SDLK_ESCAPE};
        if (Rest_C::getState() == Rest_C::RESTING && restingDraws < 4) {
            pushKey(keys[restingDraws++]);
        } else if (Rest_C::getState() == Rest_C::RESTED && rested == 0) {
            rested = ticks();
            pushKey(SDLK_SPACE);
        }
    });
    t0 = ticks();
    onMainView(SDLK_r);
    EXPECT_EQ(vars().intValue(tagkey::RestTick), 18);
    EXPECT_LT(rested, t0 + HOUR);
    EXPECT_GT(rested, t0);
    EXPECT_TRUE(lastIn(Rest_C::RESTED).has("You feel much rested."));
}

TEST_F(RestTimeMap, EventsBreakIntoTheRestAndTheRestGoesOn)
{
    join("Ann", 0x4);
    vars().setInt(tagkey::RestTick, 20);
    iface.getCurrentMap()->addRandomEvent(std::make_unique<Happening_C>(), 3000);
    int runsWhileResting = 0;
    auto restAnHour = [&](bool weatherOnly) {
        int before = -1;
        script({SDLK_1, SDLK_RETURN});
        onDisplay([&] {
            if (Rest_C::getState() == Rest_C::ASKING && before < 0)
                before = gRandomRuns;
            if (Rest_C::getState() == Rest_C::RESTED && stepsLeft() == 0) {
                runsWhileResting = gRandomRuns - before;
                script({SDLK_SPACE});
            }
        });
        if (weatherOnly)
            restForTheWeather();
        else
            onMainView(SDLK_r);
    };
    restAnHour(false);
    EXPECT_EQ(runsWhileResting, 12) << "one roll at every step";
    // Resting for the weather alone rolls nothing.
    restAnHour(true);
    EXPECT_EQ(runsWhileResting, 0);
}

TEST_F(RestTimeMap, AFightBreaksIntoARestInTheCatacombsAndTheRestGoesOn)
{
    // The game's own maps and monsters: the catacombs and their wanderers.
    const std::string quest = vell_test::shippedQuestFolder("rest-shipped");
    ASSERT_EQ(chdir(quest.c_str()), 0);
    ASSERT_GT(masterMTL.load("data/monsters.dat"), 30);
    // The catacombs' random items come from the game's item list, which
    // takes the place of the test kit's before anyone joins.
    ASSERT_EQ(masterITL.load("data/item.dat"), 0);
    ASSERT_TRUE(iface.newMap("maps/catacombs.cfg"));
    ASSERT_GT(iface.getCurrentMap()->getMapInfo()->getMonsterCount(), 0);
    join("Ann", 0x4);
    registerEncounterEvent(ENCOUNTER_FIGHT, makeFight);
    gFights.clear();
    standOn(1, 3, 0);   // the passage below the stairs up
    vars().setInt(tagkey::RestTick, 20);
    vell::gameSrand(7);

    uint32_t rested = 0;
    script({SDLK_8, SDLK_RETURN});
    onDisplay([&] {
        // The catacombs' own random events may come too: answer them.
        if (stepsLeft() == 0 && last().mentions("(SPACE) to Continue") && Rest_C::getState() == Rest_C::RESTING)
            script({SDLK_SPACE});
        else if (stepsLeft() == 0 && last().mentions("(W)alk on"))
            script({SDLK_w});
        if (Rest_C::getState() == Rest_C::RESTED && stepsLeft() == 0 && rested == 0) {
            rested = ticks();
            script({SDLK_SPACE});
        }
    });
    const uint32_t t0 = ticks();
    onMainView(SDLK_r);
    EXPECT_EQ(Rest_C::getState(), Rest_C::CLOSED);
    ASSERT_FALSE(gFights.empty()) << "eight hours in the catacombs without a wanderer";
    for (const Fight& f : gFights) {
        EXPECT_EQ(f.restState, Rest_C::RESTING);
        EXPECT_FALSE(f.monsters.empty());
        EXPECT_GT(f.tick, t0);
    }
    EXPECT_LT(gFights.front().tick, t0 + 8 * HOUR) << "the fight came before the end of the rest";
    EXPECT_EQ(rested, t0 + 8 * HOUR) << "after the fight the rest went on to its end";
    EXPECT_TRUE(lastIn(Rest_C::RESTED).has("You feel much rested."));
    EXPECT_EQ(iface.getCurrentMap()->getFileName(), std::string("maps/catacombs.cfg"));
}

TEST_F(RestTimeMap, APartyThatFallsWhileRestingStopsResting)
{
    join("Ann", 0x4);
    join("Bo", 0x4);
    vars().setInt(tagkey::RestTick, 20);
    iface.getCurrentMap()->addRandomEvent(std::make_unique<Happening_C>(), 3000);
    for (bool heals : {false, true}) {
        gHallHeals = heals;
        gHallVisitsResting = 0;
        for (int i = 0; i < party->getCount(); ++i)
            party->getMember(i)->setCurHP(20);
        forget();
        uint32_t t0 = 0;
        int fallenWhileResting = 0;
        script({SDLK_8, SDLK_RETURN});
        onDisplay([&] {
            if (Rest_C::getState() == Rest_C::ASKING && t0 == 0) {
                t0 = ticks();
                gKillAll = true;
            }
            if (last().mentions("perished") && stepsLeft() == 0) {
                fallenWhileResting += Rest_C::getState() == Rest_C::RESTING;
                script({SDLK_SPACE});
            }
        });
        // (Back on the main view a party still fallen is shown the Hall
        // again, as after any time passing; the rest adds no more.)
        onMainView(SDLK_r);
        EXPECT_EQ(Rest_C::getState(), Rest_C::CLOSED);
        EXPECT_EQ(ticks(), t0 + 20) << "the first step, and no other; heals " << heals;
        EXPECT_EQ(fallenWhileResting, 1) << heals;
        EXPECT_EQ(gHallVisitsResting, 1) << heals;
        EXPECT_FALSE(printed(shown(), "You feel much rested.")) << heals;
    }
}

// --- the time and place report --------------------------------------------------

TEST_F(RestTimeMap, TheReportTellsTheTimeAndOutdoorsTheFacing)
{
    join("Ann", 0x4);
    const uint32_t startDay = GameClock_C::START_TICKS - (9 * 240 + 30 * 4);
    gameworld->getClock().setTicks(startDay + 13 * HOUR);
    const std::string date = "It is 1:00 in the afternoon, on day 6 of the month of Riuros, 152 years since the Fall.";

    // Indoors: no facing.
    ASSERT_FALSE(iface.getCurrentMap()->isOutdoors());
    script({SDLK_SPACE});
    press(SDLK_SLASH);
    ASSERT_FALSE(shown().empty());
    EXPECT_TRUE(shown(0).has(date));
    EXPECT_FALSE(shown(0).mentions("You are facing"));
    EXPECT_FALSE(shown(0).mentions("You are on square"));
    EXPECT_TRUE(shown(0).has("(SPACE) to Continue"));

    ASSERT_TRUE(iface.newMap("maps/outdoor.cfg"));
    ASSERT_TRUE(iface.getCurrentMap()->isOutdoors());
    struct Case {
        int facing;
        const char* says;
    };
    for (const Case& c : {Case{0, "North"}, Case{90, "West"}, Case{180, "South"}, Case{270, "East"}}) {
        standOn(2, 2, c.facing);
        forget();
        script({SDLK_SPACE});
        press(SDLK_QUESTION);
        ASSERT_FALSE(shown().empty());
        EXPECT_TRUE(shown(0).has(std::string("You are facing ") + c.says + ".")) << c.says;
    }
    forget();
    standOn(3, 4, 0);
    script({SDLK_SPACE});
    timeReport(&iface, true);
    EXPECT_TRUE(shown(0).has("You are on square (3,4)"));
    EXPECT_EQ(ticks(), startDay + 13 * HOUR) << "asking the time takes none";

    // With mouse support its "(SPACE) to Continue" is a click region for
    // SPACE, as every prompt line is.
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    forget();
    script({click(iface.layout().upperRight.left + 10, kHeight - iface.getURLineY(0) - 20 + 5)});
    timeReport(&iface, false);
    EXPECT_EQ(shown().size(), 1u) << "the click did not end the report";
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
}

// --- the automap ------------------------------------------------------------------

// The automap's square (x, y) on the screen, for a grid whose first square
// is (x0, y0): its centre pixel.
int squarePx(int x, int x0) { return 105 + 10 * (x - x0) + 5; }

const vell_test::Rgb kVisited{178, 178, 178};
const vell_test::Rgb kParty{111, 117, 59};
const vell_test::Rgb kWall{25, 25, 204};
const vell_test::Rgb kBlack{0, 0, 0};

TEST_F(RestTimeMap, TheAutomapShowsTheSquaresSeenOnAWalk)
{
    join("Ann", 0x4);
    // The fixture town: the party at (13, 24) facing north; a box at (12, 24).
    standOn(13, 24, 0);
    iface.display();
    iface.display();
    press(SDLK_RIGHT);   // east
    for (int i = 0; i < 3; ++i) {
        press(SDLK_UP);
        iface.display();
    }
    ASSERT_EQ(gameworld->getSquareX(), 16);
    drainEvents();

    // Party at (16, 24): first column 0, first row 24 - 17 = 7.
    std::vector<vell_test::Rgb> atOpen;
    std::vector<int> dys;
    watch([] { return Automap_C::state().dy; });
    onDisplay([&] {
        if (atOpen.empty()) {
            // The party's square at a corner ahead of its arrow (it faces east).
            atOpen.push_back(readPixel(squarePx(16, 0) + 2, squarePx(24, 7) + 212 + 2));
            for (int x : {15, 14, 13})
                atOpen.push_back(readPixel(squarePx(x, 0), squarePx(24, 7) + 212));
            atOpen.push_back(readPixel(squarePx(10, 0), squarePx(12, 7) + 212));   // never seen
            atOpen.push_back(readPixel(squarePx(13, 0) - 4, squarePx(24, 7) + 212));   // the box's wall
        }
        dys.push_back(Automap_C::state().dy);
    });
    script({SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, quiet(SDLK_UP), SDLK_DOWN, SDLK_TAB});
    press(SDLK_TAB);
    EXPECT_FALSE(Automap_C::state().open);
    ASSERT_EQ(atOpen.size(), 6u);
    EXPECT_TRUE(vell_test::near(atOpen[0], kParty, 6)) << atOpen[0].r << "," << atOpen[0].g << "," << atOpen[0].b;
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(vell_test::near(atOpen[i], kVisited, 6)) << i;
    EXPECT_TRUE(vell_test::near(atOpen[4], kBlack, 6));
    EXPECT_TRUE(vell_test::near(atOpen[5], kWall, 8)) << atOpen[5].r << "," << atOpen[5].g << "," << atOpen[5].b;
    EXPECT_EQ(dys, (std::vector<int>{0, -2, -4, -6, -8, -10, -10, -8}));
    EXPECT_TRUE(last().has("Viewing Map...") || shown(0).has("Viewing Map..."));
    EXPECT_TRUE(shown(0).has("Arrow Keys to scroll"));
    EXPECT_TRUE(shown(0).has("LEGEND"));

    // Opened again, it starts unscrolled.
    forget();
    dys.clear();
    script({SDLK_TAB});
    press(SDLK_TAB);
    EXPECT_EQ(dys.front(), 0);
}

TEST_F(RestTimeMap, TheStairsShowOnceSeen)
{
    join("Ann", 0x4);
    ASSERT_TRUE(iface.newMap("maps/traps.cfg"));   // stairs at (8, 8)
    Map_C& map = *iface.getCurrentMap();
    auto stairsPixel = [&] {
        iface.drawBackground();
        Automap_C::drawGrid(map, 2, 2, 0, 0, 0);
        return readPixel(squarePx(8, 0), squarePx(8, 0) + 212);
    };
    EXPECT_TRUE(vell_test::near(stairsPixel(), kBlack, 6)) << "never visited";
    map.getMapInfo()->setSquareState(8, 8, SQUARE_VISITED);
    EXPECT_TRUE(vell_test::near(stairsPixel(), vell_test::Rgb{51, 25, 51}, 6));
}

const vell_test::Rgb kFacing{255, 217, 51};

// The automap's fixture: the party's square (2, 2), the stairs south of it,
// a wall, a door and a tree around it, all seen.
void seeAroundTheParty(Map_C& map)
{
    for (const auto& sq : {std::make_pair(2, 2), std::make_pair(1, 2), std::make_pair(3, 2),
                           std::make_pair(2, 3), std::make_pair(2, 1)})
        map.getMapInfo()->setSquareState(sq.first, sq.second, SQUARE_VISITED);
}

// The party's square carries an arrow: wide at the back of the square,
// its tip toward the facing; the corners ahead keep the party's colour.
TEST_F(RestTimeMap, TheAutomapsArrowPointsTheWayThePartyFaces)
{
    join("Ann", 0x4);
    ASSERT_TRUE(iface.newMap("maps/automap.cfg"));
    Map_C& map = *iface.getCurrentMap();
    seeAroundTheParty(map);
    // Pixels of the party's square (its lower left pixel is 0, 0).
    struct Corner {
        int x, y;
    };
    const struct {
        int facing;
        Corner back[2], ahead[2];
    } cases[] = {
        {0, {{2, 2}, {7, 2}}, {{2, 7}, {7, 7}}},     // north: up the map
        {90, {{7, 2}, {7, 7}}, {{2, 2}, {2, 7}}},    // west: left
        {180, {{2, 7}, {7, 7}}, {{2, 2}, {7, 2}}},   // south
        {270, {{2, 2}, {2, 7}}, {{7, 2}, {7, 7}}},   // east
    };
    const int left = squarePx(2, 0) - 5, bottom = squarePx(2, 0) - 5 + 212;
    for (const auto& c : cases) {
        iface.drawBackground();
        Automap_C::drawGrid(map, 2, 2, c.facing, 0, 0);
        for (const Corner& p : c.back) {
            const vell_test::Rgb got = readPixel(left + p.x, bottom + p.y);
            EXPECT_TRUE(vell_test::near(got, kFacing, 6))
                << "facing " << c.facing << ": " << got.r << "," << got.g << "," << got.b;
        }
        for (const Corner& p : c.ahead)
            EXPECT_TRUE(vell_test::near(readPixel(left + p.x, bottom + p.y), kParty, 6)) << "facing " << c.facing;
    }
    // Standing on the stairs, the party still shows where it is.
    iface.drawBackground();
    Automap_C::drawGrid(map, 2, 1, 0, 0, 0);
    EXPECT_TRUE(vell_test::near(readPixel(left + 2, bottom - 10 + 2), kFacing, 6));
}

// Whatever colour the grid draws has its swatch in the legend, and the
// legend names the wall and the facing.
TEST_F(RestTimeMap, TheAutomapsLegendHasASwatchForEveryColourOfTheGrid)
{
    join("Ann", 0x4);
    ASSERT_TRUE(iface.newMap("maps/automap.cfg"));
    seeAroundTheParty(*iface.getCurrentMap());
    standOn(2, 2, 90);
    std::vector<unsigned char> grid, swatches;
    onDisplay([&] {
        if (grid.empty()) {
            grid = readRect(105, 317, 360, 360);      // the grid's 36 x 36 squares
            swatches = readRect(473, 297, 10, 400);   // the legend's swatch column
        }
    });
    script({SDLK_TAB});
    press(SDLK_TAB);
    ASSERT_FALSE(grid.empty());
    auto colours = [](const std::vector<unsigned char>& px) {
        std::set<std::tuple<int, int, int>> out;
        for (size_t i = 0; i + 2 < px.size(); i += 3)
            if (px[i] || px[i + 1] || px[i + 2])
                out.insert(std::make_tuple(px[i], px[i + 1], px[i + 2]));
        return out;
    };
    const auto drawn = colours(grid), named = colours(swatches);
    // visited, party, facing, wall, door, blocked, stairs
    ASSERT_EQ(drawn.size(), 7u);
    for (const auto& c : drawn)
        EXPECT_EQ(named.count(c), 1u) << "no swatch for " << std::get<0>(c) << "," << std::get<1>(c) << ","
                                      << std::get<2>(c);
    for (const char* label : {"visited", "party", "facing", "wall", "door", "blocked", "stairs"})
        EXPECT_TRUE(shown(0).has(label)) << label;
}

} // namespace
} // namespace partyscreens
