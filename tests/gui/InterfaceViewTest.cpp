// The main interface on a fixture quest, driven by pushed keys through its
// real event loop: walking, walls, turns, walking through walls, weather on
// the picture, saving and loading.
#include "GuiHarness.h"

#include "core/ArchiveFile.h"
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/TexContainer.h"
#include "core/TagList.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "events/Event_9010.h"
#include "world/Map.h"
#include "world/MapInfo.h"
#include "world/MapRenderer.h"
#include "world/QuestStores.h"
#include "platform/FileIO.h"
#include "platform/Random.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <deque>
#include <vector>

#include "support/ImageTestFiles.h"
#include "support/FinishInterface.h"
#include "support/TestFiles.h"

namespace {

using vell_test::GuiFixture;

// The 3-D view's rectangle at 1024 x 768 (GL window coordinates).
constexpr int kViewX = 85, kViewY = 297, kViewW = 500, kViewH = 400;

// The roster under the view.
constexpr int kRosterX = 112, kRosterY = 27, kRosterW = 800, kRosterH = 170;

std::vector<unsigned char> gLastView;
std::vector<unsigned char> gLastRoster;
std::vector<unsigned char> gLastPane;   // the upper-right text pane
int gViewDraws = 0;

void captureView()
{
    gLastView = GuiFixture::readRect(kViewX, kViewY, kViewW, kViewH);
    gLastRoster = GuiFixture::readRect(kRosterX, kRosterY, kRosterW, kRosterH);
    gLastPane = GuiFixture::readRect(730, 335, 250, 360);
    ++gViewDraws;
    if (const char* snap = std::getenv("VELL_VIEW_SNAP"))
        GuiFixture::savePPM(std::string(snap) + std::to_string(gViewDraws) + ".ppm");
}

void noDelay(uint32_t) {}
bool nothingHeld(SDLKey) { return false; }

// The up arrow held for a number of asks, then let go; letting go also ends
// the loop (ESC).
int gUpHeldFor = 0;
bool upHeldAWhile(SDLKey key)
{
    if (key != SDLK_UP)
        return false;
    if (gUpHeldFor > 0) {
        --gUpHeldFor;
        return true;
    }
    GuiFixture::pushKey(SDLK_ESCAPE);
    return false;
}

int countRed(const std::vector<unsigned char>& px)
{
    int n = 0;
    for (size_t i = 0; i + 2 < px.size(); i += 3)
        if (px[i] > 60 && px[i] > 2 * px[i + 1] && px[i] > 2 * px[i + 2])
            ++n;
    return n;
}

int countNearColour(const std::vector<unsigned char>& px, int r, int g, int b, int tol)
{
    int n = 0;
    for (size_t i = 0; i + 2 < px.size(); i += 3)
        if (std::abs(px[i] - r) <= tol && std::abs(px[i + 1] - g) <= tol && std::abs(px[i + 2] - b) <= tol)
            ++n;
    return n;
}

const auto* const kFinish = ::testing::AddGlobalTestEnvironment(new FinishInterface);

class InterfaceView : public GuiFixture {
protected:
    static std::string questDir() { return vell_test::questFolder("game"); }

    void SetUp() override
    {
        GuiFixture::SetUp();
        if (HasFatalFailure())
            return;
        setWatchdog(30);
        static bool once = false;
        ASSERT_TRUE(enterFolder(questDir()));
        if (!once) {
            once = true;
            registerWorldTypes();
            registerRulesTypes();
            gameConfig.setDefaults();
            gameConfig.smoothWalk = false;
            gameConfig.freeNavigation = false;
            gameConfig.mouseSupport = false;
            gameConfig.sound = false;
            gameConfig.graphics = 9;
            iface.init(kWidth, kHeight);
            iface.setTiming(noDelay, nothingHeld);
        }
        gameConfig.smoothWalk = false;
        gameConfig.freeNavigation = false;
        Interface_C::setAfterDisplayHook(captureView);
        archive_ = questDir() + "/savegame/quest.sav";
        std::remove(archive_.c_str());
        ASSERT_TRUE(iface.load(archive_.c_str()));
        ASSERT_NE(gameworld, nullptr);
        ASSERT_NE(party, nullptr);
        auto* hero = new bl3dPartyChar("Alda", 4, 1, false, 0, nullptr, nullptr);
        hero->setMaxHP(20);
        hero->setCurHP(20);
        ASSERT_TRUE(party->addMember(hero));
        ASSERT_TRUE(iface.start());
    }

    void TearDown() override
    {
        Interface_C::setAfterDisplayHook(nullptr);
        drainEvents();
        GuiFixture::TearDown();
    }

    // Runs the main loop over the given keys and an ESC; returns the events
    // the loop left behind (a redraw asked for after the last key stays).
    std::vector<SDL_Event> run(std::initializer_list<SDLKey> keys)
    {
        for (SDLKey k : keys)
            pushKey(k);
        pushKey(SDLK_ESCAPE);
        iface.sdlEventLoop();
        return takeEvents();
    }

    // The picture of the present state: a loop run that only redraws.
    std::vector<unsigned char> frame()
    {
        gLastView.clear();
        run({});
        return gLastView;
    }

    static bool redrawAsked(const std::vector<SDL_Event>& left)
    {
        for (const SDL_Event& e : left)
            if (e.type == SDL_USEREVENT && e.user.code == vell::kRedrawCode)
                return true;
        return false;
    }

    static uint32_t ticks() { return gameworld->getClock().getTicks(); }
    static int squareX() { return gameworld->getSquareX(); }
    static int squareY() { return gameworld->getSquareY(); }

    std::string archive_;
};

TEST_F(InterfaceView, NewQuestStandsAtTheHallFacingNorth)
{
    EXPECT_FLOAT_EQ(iface.getCurX(), 13.0f);
    EXPECT_FLOAT_EQ(iface.getCurZ(), -24.0f);
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(ticks(), GameClock_C::START_TICKS);
    // The first redraw after start leaves the view alone; the next draws it.
    const std::vector<unsigned char> first = frame();
    ASSERT_FALSE(first.empty());
    EXPECT_GT(countRed(first), 0) << "the box two squares ahead is in view";
}

TEST_F(InterfaceView, FirstDisplayAfterStartLeavesTheViewAlone)
{
    // start asked for one redraw without the 3-D view: the frame picture
    // (or a scene picture) stays there once, the next redraw shows the town.
    iface.drawBackground();
    gLastView.clear();
    iface.display();
    const std::vector<unsigned char> skipped = gLastView;
    ASSERT_FALSE(skipped.empty());
    iface.display();
    const std::vector<unsigned char> drawn = gLastView;
    EXPECT_NE(drawn, skipped);
    iface.drawBackground();
    iface.display();
    EXPECT_EQ(gLastView, drawn);
    drainEvents();
}

TEST_F(InterfaceView, StepIntoOpenSquareMovesAndTakesTwoTicks)
{
    const std::vector<unsigned char> before = frame();
    const uint32_t t0 = ticks();
    const auto left = run({SDLK_UP});
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(ticks(), t0 + 2);
    EXPECT_TRUE(redrawAsked(left));
    const std::vector<unsigned char> after = frame();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NE(after, before);
    // The wall of the box ahead now fills far more of the view.
    EXPECT_GT(countRed(after), 2 * countRed(before));
}

TEST_F(InterfaceView, StepIntoWallChangesNothing)
{
    run({SDLK_UP});   // (13, 25), the box's wall right ahead
    const std::vector<unsigned char> before = frame();
    const uint32_t t0 = ticks();
    const auto left = run({SDLK_UP});
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(ticks(), t0);
    EXPECT_FALSE(redrawAsked(left));
    EXPECT_EQ(frame(), before);

    // West of the start stands another box.
    iface.setCurZ(-24.0f);
    iface.setFacing(90);
    const uint32_t t1 = ticks();
    run({SDLK_UP});
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(ticks(), t1);
}

TEST_F(InterfaceView, TurnsTakeOneTickEach)
{
    const uint32_t t0 = ticks();
    const std::vector<unsigned char> north = frame();
    auto left = run({SDLK_LEFT});
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(ticks(), t0 + 1);
    EXPECT_TRUE(redrawAsked(left));
    EXPECT_NE(frame(), north);
    run({SDLK_RIGHT, SDLK_RIGHT});
    EXPECT_EQ(iface.getFacing(), 270);
    EXPECT_EQ(ticks(), t0 + 3);
    run({SDLK_DOWN});
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(ticks(), t0 + 4);
    run({SDLK_KP6});
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_EQ(frame(), north);
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 24);
}

TEST_F(InterfaceView, WalkThroughLetsOneStepPass)
{
    run({SDLK_UP});   // against the box
    gameworld->setVar(tagkey::WalkThrough, 1);
    // The wall in the way is not drawn: the party sees into the walled box,
    // floor and all (from outside, the floor of a walled box is never drawn).
    const std::vector<unsigned char> into = frame();
    const std::vector<unsigned char> bottom(into.begin(), into.begin() + 3 * kViewW * 60);
    EXPECT_LT(countNearColour(bottom, 0, 0, 0, 8), kViewW * 60 / 10);
    const uint32_t t0 = ticks();
    run({SDLK_UP});
    EXPECT_EQ(squareY(), 26);
    EXPECT_EQ(ticks(), t0 + 2);
    EXPECT_EQ(gameworld->getVar(tagkey::WalkThrough), 0);
    // Inside the box its own north wall holds again.
    run({SDLK_UP});
    EXPECT_EQ(squareY(), 26);
    EXPECT_EQ(ticks(), t0 + 2);
    // A turn resets it too, and never walks anyone off the grid.
    gameworld->setVar(tagkey::WalkThrough, 1);
    run({SDLK_LEFT});
    EXPECT_EQ(gameworld->getVar(tagkey::WalkThrough), 0);
    iface.setCurX(0.0f);
    gameworld->setVar(tagkey::WalkThrough, 1);
    run({SDLK_UP});   // facing west on column 0
    EXPECT_EQ(squareX(), 0);
}

TEST_F(InterfaceView, WaitAndSmoothWalk)
{
    const uint32_t t0 = ticks();
    run({SDLK_SPACE});
    EXPECT_EQ(ticks(), t0 + 2);
    EXPECT_EQ(iface.getEntryState() & 0x02, 0);

    gameConfig.smoothWalk = true;
    run({SDLK_UP});
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(ticks(), t0 + 4);
    EXPECT_FLOAT_EQ(iface.getViewZ(), iface.getCurZ());
    run({SDLK_LEFT});
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(ticks(), t0 + 5);
}

namespace {
std::vector<unsigned char> gLightIcon;   // design 377..441 x 233..297
int gDisplays = 0;
std::deque<SDLKey> gAfterDisplayKeys;    // one pushed after each display
void captureLightIcon()
{
    gLightIcon = GuiFixture::readRect(377, 233, 64, 64);
    ++gDisplays;
    if (!gAfterDisplayKeys.empty()) {
        GuiFixture::pushKey(gAfterDisplayKeys.front());
        gAfterDisplayKeys.pop_front();
    }
}
} // namespace

// Waiting shows what the time did: every wait ends with the view and the
// panes drawn again, here a light spell that runs out during the wait. (The
// keys come one after each display, as a player presses them: a wait that
// drew nothing would leave the loop waiting for its next key, and the
// watchdog would end the test.)
TEST_F(InterfaceView, WaitRedrawsTheViewAndPanes)
{
    Interface_C::setAfterDisplayHook(captureLightIcon);
    gDisplays = 0;
    gAfterDisplayKeys = {SDLK_SPACE, SDLK_SPACE, SDLK_SPACE, SDLK_ESCAPE};
    iface.sdlEventLoop();
    EXPECT_EQ(gDisplays, 4) << "the first picture, then one after each wait";

    // A light that ends one tick from now: its icon goes out at the wait.
    gameworld->setVar(tagkey::MagLt1, 0x01);
    gameworld->setVar(tagkey::MagExp11, int32_t(ticks() + 1));
    ASSERT_GT(gameworld->getEventQueue().enqueue(ticks() + 1, new Event_9010_C()), 0);
    gAfterDisplayKeys = {SDLK_ESCAPE};
    iface.sdlEventLoop();
    const std::vector<unsigned char> lit = gLightIcon;
    gAfterDisplayKeys = {SDLK_SPACE, SDLK_ESCAPE};
    iface.sdlEventLoop();
    EXPECT_EQ(gameworld->getVar(tagkey::MagLt1) & 0x01, 0);
    EXPECT_TRUE(lit != gLightIcon) << "the light icon went out on the screen";
    gAfterDisplayKeys.clear();
}

TEST_F(InterfaceView, FreeNavigationGlidesAndTurnsInSteps)
{
    gameConfig.freeNavigation = true;
    const uint32_t t0 = ticks();
    run({SDLK_UP});
    EXPECT_NEAR(iface.getViewZ(), -24.05f, 1e-4);
    EXPECT_EQ(squareY(), 24);
    EXPECT_EQ(ticks(), t0);
    // Eighteen left turns of 5 degrees make a quarter turn; only then does
    // the party's facing change and time pass.
    for (int i = 0; i < 17; ++i)
        run({SDLK_LEFT});
    EXPECT_EQ(iface.getViewFacing(), 85);
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_EQ(ticks(), t0);
    run({SDLK_LEFT});
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(ticks(), t0 + 1);
    gameConfig.freeNavigation = false;
}

TEST_F(InterfaceView, HeldUpArrowKeepsGlidingThroughPushedKeys)
{
    gameConfig.freeNavigation = true;
    iface.setTiming(noDelay, upHeldAWhile);
    gUpHeldFor = 10;
    const uint32_t t0 = ticks();
    pushKey(SDLK_UP);   // one press; the loop repeats it while the key is held
    iface.sdlEventLoop();
    takeEvents();
    iface.setTiming(noDelay, nothingHeld);
    gameConfig.freeNavigation = false;
    // Eleven events of 0.05: past the middle between squares 24 and 25.
    EXPECT_NEAR(iface.getViewZ(), -24.55f, 1e-3);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(ticks(), t0 + 2);
}

TEST_F(InterfaceView, RosterShowsThePartyAsItIs)
{
    auto* second = new bl3dPartyChar("Brannoc", 2, 1, true, 0, nullptr, nullptr);
    second->setMaxHP(30);
    second->setCurHP(30);
    ASSERT_TRUE(party->addMember(second));
    frame();
    const std::vector<unsigned char> first = gLastRoster;
    ASSERT_FALSE(first.empty());
    // White text on the dark roster background.
    EXPECT_GT(countNearColour(first, 255, 255, 255, 10), 50);
    frame();
    EXPECT_EQ(gLastRoster, first);

    // A wound shows at once.
    second->setCurHP(5);
    frame();
    const std::vector<unsigned char> wounded = gLastRoster;
    EXPECT_NE(wounded, first);
    // ... exactly as a roster drawn from scratch.
    iface.invalidateRoster();
    frame();
    EXPECT_EQ(gLastRoster, wounded);
    // The dead are greyed out: less white.
    second->setCurHP(0);
    frame();
    EXPECT_LT(countNearColour(gLastRoster, 255, 255, 255, 10), countNearColour(wounded, 255, 255, 255, 10));
}

TEST_F(InterfaceView, ClickOnTheViewWalksWithMouseSupport)
{
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    iface.setTiming(noDelay, nothingHeld);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    iface.display();   // the first redraw after start leaves the view out
    iface.display();   // lays out the click regions
    takeEvents();
    auto click = [](int x, int y) {
        iface.dispatch(mouseButtonEvent(x, y, SDL_BUTTON_LEFT, true));
        iface.dispatch(mouseButtonEvent(x, y, SDL_BUTTON_LEFT, false));
        // The keys the regions stand for.
        for (const SDL_Event& k : takeEvents())
            iface.dispatch(k);
    };
    const uint32_t t0 = ticks();
    click(335, 150);   // upper middle of the view: forward
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(ticks(), t0 + 2);
    iface.display();
    click(100, 300);   // left third: turn left
    EXPECT_EQ(iface.getFacing(), 90);
    iface.display();
    click(335, 430);   // bottom middle: turn around
    EXPECT_EQ(iface.getFacing(), 270);

    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
    EXPECT_EQ(iface.getMouseRegions(), nullptr);
}

TEST_F(InterfaceView, TextLeftInThePaneIsClearedByTheNextRedraw)
{
    frame();
    const std::vector<unsigned char> clean = gLastPane;
    ASSERT_FALSE(clean.empty());
    EXPECT_EQ(countNearColour(clean, 0, 0, 0, 40), 0);
    // A screen writes into the pane and returns.
    iface.drawBackground();
    iface.textUR("The gate is locked.", true);
    glColor3f(0, 0, 0);
    iface.text().printStr(740, iface.getURLineY(3), "Someone else's words");
    EXPECT_GT(countNear(730, 335, 250, 360, {0, 0, 0}, 40), 0);
    frame();
    EXPECT_EQ(gLastPane, clean);
}

TEST_F(InterfaceView, WeatherAndTheSkyOutdoors)
{
    iface.newMap("maps/outdoor.cfg");
    ASSERT_TRUE(iface.getCurrentMap()->isOutdoors());
    gameworld->setVar(tagkey::Weather, 0x03);   // day, clear
    const std::vector<unsigned char> clear = frame();
    // The clear sky colour (0.48, 0.66, 0.88) above the horizon.
    EXPECT_GT(countNearColour(clear, 122, 168, 224, 6), 1000);
    gameworld->setVar(tagkey::Weather, 0x83);   // day, heavy rain
    const std::vector<unsigned char> rain = frame();
    EXPECT_LT(countNearColour(rain, 122, 168, 224, 6), 10);
    EXPECT_GT(countNearColour(rain, 128, 128, 128, 6), 1000);
}

// Game time passing outdoors, as the main loop's timer pass sees it: the
// weather check turns the light to dusk and then to night, and the view is
// drawn darker.
TEST_F(InterfaceView, NightFallsOutdoorsAsTimePasses)
{
    iface.newMap("maps/outdoor.cfg");
    Map_C* map = iface.getCurrentMap();
    ASSERT_TRUE(map->isOutdoors());
    vell::gameSrand(11);
    ASSERT_EQ(gameworld->getClock().getHour(), 9u);
    EXPECT_EQ(gameworld->getVar(tagkey::Weather) & 0xF, 3);
    const std::vector<unsigned char> day = frame();
    ASSERT_FALSE(day.empty());

    bool dusk = false;
    while (gameworld->getClock().getHour() < 20) {
        gameworld->getClock().advance(20);   // a rest step
        iface.timerEvents();
        dusk |= (gameworld->getVar(tagkey::Weather) & 0xF) == 4;
    }
    EXPECT_TRUE(dusk);
    EXPECT_EQ(gameworld->getVar(tagkey::Weather) & 0xF, 5);
    const EnvParams_S env = maprender::envParamsFor(*map);
    EXPECT_EQ(env.lightMode, 5);
    EXPECT_FALSE(env.light0) << "no sun at night";
    EXPECT_TRUE(env.light1) << "the night light";
    EXPECT_FLOAT_EQ(env.daylight, 0.0f);

    const std::vector<unsigned char> night = frame();
    ASSERT_EQ(night.size(), day.size());
    long dayLight = 0, nightLight = 0;
    for (size_t i = 0; i < day.size(); ++i) {
        dayLight += day[i];
        nightLight += night[i];
    }
    EXPECT_LT(nightLight, dayLight);
    // The night sky (the top of the view) is no brighter than the street
    // (its bottom): the unlit sky takes the daylight as everything else.
    auto rowsLight = [&](int from, int to) {
        long sum = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kViewW * 3; ++x)
                sum += night[size_t(y) * kViewW * 3 + x];
        return sum;
    };
    EXPECT_LE(rowsLight(kViewH - 40, kViewH), rowsLight(0, 40)) << "the night sky outshines the street";
}

// A loaded quest shows the picture it showed when it was saved, also in the
// middle of a change of weather (the change goes on where it stood instead
// of being found complete).
TEST_F(InterfaceView, LoadedQuestShowsThePictureItWasSavedWith)
{
    iface.newMap("maps/outdoor.cfg");
    Map_C* map = iface.getCurrentMap();
    ASSERT_TRUE(map->isOutdoors());
    // Clear day; the next check turns it to light fog, and 40 ticks of the
    // 120 of the change pass.
    gameworld->setVar(tagkey::Weather, 0x03);
    gameworld->setVar(tagkey::WCalc, static_cast<int32_t>(ticks() - 1));
    vell::scriptGameRand({15});
    map->wetherCheck(*gameworld);
    vell::clearScriptedGameRand();
    ASSERT_EQ(gameworld->getVar(tagkey::Weather) & 0x1F0, 0x130) << std::hex << gameworld->getVar(tagkey::Weather);
    gameworld->getClock().advance(40);
    // No further check while the pictures are taken.
    gameworld->setVar(tagkey::WCalc, static_cast<int32_t>(ticks() + 2000));
    const std::vector<unsigned char> saved = frame();
    ASSERT_FALSE(saved.empty());
    ASSERT_TRUE(iface.save());

    ASSERT_TRUE(iface.load(archive_.c_str()));
    ASSERT_TRUE(iface.start());
    iface.display();   // the first redraw after start leaves the view out
    const std::vector<unsigned char> loaded = frame();
    ASSERT_EQ(loaded.size(), saved.size());
    int differ = 0;
    for (size_t i = 0; i < saved.size(); ++i)
        differ += saved[i] != loaded[i];
    EXPECT_EQ(differ, 0) << "the loaded quest looks otherwise than when it was saved";
}

TEST_F(InterfaceView, SaveAndLoadBringTheQuestBack)
{
    run({SDLK_UP, SDLK_LEFT});
    const uint32_t t = ticks();
    ASSERT_TRUE(iface.save());
    EXPECT_TRUE(iface.lastSaveError().empty());
    run({SDLK_RIGHT});   // not saved
    ASSERT_TRUE(iface.load(archive_.c_str()));
    ASSERT_NE(gameworld, nullptr);
    EXPECT_EQ(ticks(), t);
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_FLOAT_EQ(iface.getViewZ(), iface.getCurZ());
    ASSERT_NE(party, nullptr);
    ASSERT_EQ(party->getCount(), 1);
    EXPECT_STREQ(party->getMember(0)->getName(), "Alda");
}

TEST_F(InterfaceView, FailedSaveIsReportedAndTheLastSaveStays)
{
    run({SDLK_UP});
    const uint32_t saved = ticks();
    ASSERT_TRUE(iface.save());
    run({SDLK_LEFT});
    vell::setWriteHook([](int, size_t) -> long { return -1; });
    pushKey(SDLK_SPACE);   // closes the message that tells the player
    const bool ok = iface.save();
    vell::setWriteHook(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(iface.lastSaveError().empty());
    // The archive still opens to what was saved before.
    ASSERT_TRUE(iface.load(archive_.c_str()));
    EXPECT_EQ(ticks(), saved);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(iface.getFacing(), 0);
}

// The world record is written but a map's state cannot be kept: the save is
// a failure and says so, and the next good save works.
TEST_F(InterfaceView, SaveThatLosesAMapStateIsReported)
{
    struct FailingStore : MapStateStore_C {
        std::unique_ptr<mapInfo> load(const char*) override { return nullptr; }
        bool store(const mapInfo&) override { return false; }
    } failing;
    run({SDLK_UP});
    setMapStateStore(&failing);
    pushKey(SDLK_SPACE);   // closes the message that tells the player
    const bool ok = iface.save();
    installQuestStores(saveFile);
    EXPECT_FALSE(ok);
    EXPECT_NE(iface.lastSaveError().find("world"), std::string::npos) << iface.lastSaveError();
    drainEvents();
    EXPECT_TRUE(iface.save());
    EXPECT_TRUE(iface.lastSaveError().empty());
}

// The shipped quest template: its ready-made party stands ready, and while
// the quest is loaded the rules answer to its world (clock, variables, item
// serials numbered after those the party already carries); once the quest
// is gone they answer to the stand-in again.
TEST_F(InterfaceView, TemplateQuestBringsItsPartyAndItsWorldAnswersTheRules)
{
    const std::string tmpl = std::string(VELL_GAME_DIR) + "/data/savegame.dat";
    ASSERT_TRUE(std::ifstream(tmpl).good()) << tmpl << " is missing: the game folder is not assembled";
    const bool itemsWereEmpty = masterITL.count() == 0;
    if (itemsWereEmpty) {
        ASSERT_EQ(masterITL.load("data/item.dat"), 0);
    }
    const std::string quest = questDir() + "/savegame/template.sav";
    {
        std::ifstream in(tmpl, std::ios::binary);
        std::ofstream out(quest, std::ios::binary | std::ios::trunc);
        out << in.rdbuf();
    }
    ASSERT_TRUE(iface.load(quest.c_str()));
    ASSERT_NE(party, nullptr);
    const char* names[] = {"Bran", "Ysolde", "Tamsin", "Corvin", "Liesel"};
    ASSERT_EQ(party->getCount(), 5);
    uint64_t highest = 0;
    for (int i = 0; i < 5; ++i) {
        bl3dPartyChar* m = party->getMember(i);
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(m->getName(), names[i]);
        EXPECT_EQ(m->getLevel(), 1);
        EXPECT_GT(m->getCurHP(), 0);
        EXPECT_EQ(m->getCurHP(), m->getMaxHP());
        EXPECT_TRUE(m->isPC());
        EXPECT_GT(m->getItemCount(), 0) << "no starting items";
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            if (const bl3dItem* item = m->getSlotItem(slot))
                highest = std::max(highest, item->getSerial());
        for (int k = 0; k < m->getPack()->count(); ++k)
            highest = std::max(highest, m->getPack()->at(k)->getSerial());
    }
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 24);
    EXPECT_EQ(rulesEnv().currentTick(), ticks());
    EXPECT_EQ(rulesEnv().worldTags(), &gameworld->getTagList());
    const uint64_t next = rulesEnv().nextItemSerial();
    EXPECT_GT(next, highest);
    EXPECT_EQ(gameworld->peekItemSerial(), next + 1);

    EXPECT_FALSE(iface.load(questDir().c_str()));   // a folder: refused, the quest dropped
    EXPECT_EQ(rulesEnv().worldTags(), nullptr);
    std::remove(quest.c_str());
    if (itemsWereEmpty)
        masterITL.clear();
}

TEST_F(InterfaceView, DeadMembersMoveBehindTheLiving)
{
    delete party->detachAt(0);
    const char* names[4] = {"Dead1", "Live1", "Dead2", "Live2"};
    for (int i = 0; i < 4; ++i) {
        auto* m = new bl3dPartyChar(names[i], 4, 1, true, 0, nullptr, nullptr);
        m->setMaxHP(10);
        m->setCurHP(i % 2 ? 10 : 0);
        ASSERT_TRUE(party->addMember(m));
    }
    iface.timerEvents();
    ASSERT_EQ(party->getCount(), 4);
    EXPECT_STREQ(party->getMember(0)->getName(), "Live1");
    EXPECT_STREQ(party->getMember(1)->getName(), "Live2");
    EXPECT_STREQ(party->getMember(2)->getName(), "Dead1");
    EXPECT_STREQ(party->getMember(3)->getName(), "Dead2");
}

TEST_F(InterfaceView, AllDeadSendsThePartyBackToTheHall)
{
    iface.newMap("maps/outdoor.cfg");
    iface.setCurX(5.0f);
    iface.setCurZ(-5.0f);
    iface.setFacing(180);
    party->getMember(0)->setCurHP(0);
    pushKey(SDLK_SPACE);   // "(SPACE) to Continue"
    iface.timerEvents();
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    // Put in the Hall at (13, 24) facing north. (No building is registered
    // here: the Hall's own screen and exit are tested with the town.)
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 24);
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_FLOAT_EQ(iface.getViewX(), 13.0f);
    EXPECT_EQ(iface.getViewFacing(), 0);
}

TEST_F(InterfaceView, UnreadableWorldOrPartyIsRefusedNotReplaced)
{
    // A record of another kind under the entry's name; the party case keeps
    // a good world beside it.
    const std::string path = questDir() + "/savegame/broken.sav";
    for (const char* entry : {"party.dat", "ra2d.dat"}) {
        SCOPED_TRACE(entry);
        std::remove(path.c_str());
        {
            auto archive = ArchiveFile_C::open(path, true);
            ASSERT_TRUE(archive);
            DirHandle_C world = archive->openDir("world");
            if (gameworld) {
                ASSERT_TRUE(world->store(*gameworld));
            }
            ASSERT_TRUE(world->store(TagList_C(RefStr_C(entry))));
            ASSERT_TRUE(archive->commit());
        }
        EXPECT_FALSE(iface.load(path.c_str()));
        pushKey(SDLK_SPACE);   // closes the message of the refused save
        EXPECT_FALSE(iface.save());
        drainEvents();
    }
}

TEST_F(InterfaceView, BrokenQuestIsRefusedAndSavingItIsReported)
{
    // A folder is no archive: nothing is loaded, nothing made up.
    EXPECT_FALSE(iface.load(questDir().c_str()));
    EXPECT_EQ(gameworld, nullptr);
    EXPECT_FALSE(iface.start());
    iface.sdlEventLoop();   // returns at once without a world
    pushKey(SDLK_SPACE);    // closes the message
    EXPECT_FALSE(iface.save());
    EXPECT_FALSE(iface.lastSaveError().empty());
}

// The quit event (window closed, Ctrl-C, SIGTERM) ends the main loop and
// every modal screen opened after it, and saves nothing.
TEST_F(InterfaceView, QuitEventEndsTheLoopWithoutSaving)
{
    ASSERT_TRUE(iface.save());
    const std::string before = testfiles::readFile(archive_);
    pushKey(SDLK_UP);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    iface.sdlEventLoop();   // no ESC: the quit event alone ends it
    EXPECT_TRUE(vell::quitRequested());
    EXPECT_TRUE(iface.isQuitting());
    EXPECT_EQ(squareY(), 25);
    // A screen opened while the game ends does not wait for a key.
    iface.showMessage("Farewell");
    iface.sdlEventLoop();
    EXPECT_EQ(testfiles::readFile(archive_), before) << "the quit saved the quest";
}

// A map that cannot be built: the party stays on its map and square, facing
// as it did, and the player is told.
TEST_F(InterfaceView, FailedMapChangeKeepsThePartyWhereItWas)
{
    run({SDLK_UP, SDLK_LEFT});
    scriptKeys({SDLK_SPACE});   // closes the message once it is drawn
    EXPECT_FALSE(iface.newMap("maps/nowhere.cfg"));
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 25);
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_NE(iface.lastMessage().find("maps/nowhere.cfg"), std::string::npos) << iface.lastMessage();
    EXPECT_GT(displayCount(), 0) << "the message was not shown";
    // The old map still walks.
    run({SDLK_RIGHT, SDLK_UP});
    EXPECT_EQ(squareY(), 25);
}

// A new quest whose first map cannot be built is no quest: refused, with
// the reason, instead of a quest on an empty map.
TEST_F(InterfaceView, NewQuestWithoutItsFirstMapIsRefused)
{
    const std::string bare = vell_test::tempPath("bare");
    mkdir(bare.c_str(), 0755);
    ASSERT_EQ(chdir(bare.c_str()), 0);
    const bool loaded = iface.load((bare + "/new.sav").c_str());
    ASSERT_EQ(chdir(questDir().c_str()), 0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(gameworld, nullptr);
    EXPECT_EQ(party, nullptr);
    EXPECT_FALSE(iface.start());
    EXPECT_NE(iface.lastLoadError().find("maps/renibister.cfg"), std::string::npos) << iface.lastLoadError();
}

// A quest that another game plays is refused at once with the reason, and
// stays as it is; once the other game lets it go it loads.
TEST_F(InterfaceView, QuestInUseByAnotherGameIsRefused)
{
    EXPECT_FALSE(iface.load(questDir().c_str()));   // lets this game's quest go
    const std::string bytes = testfiles::readFile(archive_);
    std::string error;
    auto other = ArchiveFile_C::open(archive_, false, &error, true);
    ASSERT_TRUE(other) << error;
    EXPECT_FALSE(iface.load(archive_.c_str()));
    EXPECT_EQ(iface.lastLoadError(), "the quest is in use by another game");
    EXPECT_EQ(testfiles::readFile(archive_), bytes);
    other.reset();
    ASSERT_TRUE(iface.load(archive_.c_str())) << iface.lastLoadError();
    // Now this game holds it.
    EXPECT_FALSE(ArchiveFile_C::open(archive_, false, &error, true));
}

// What the player is told when a quest cannot be loaded.
TEST_F(InterfaceView, QuestThatCannotBeLoadedSaysWhy)
{
    const std::string damaged = questDir() + "/savegame/damaged.sav";
    testfiles::writeFile(damaged, std::string("\x01\0\0\0\xff\xff\0\0garbage", 14));
    const std::string bytes = testfiles::readFile(damaged);
    EXPECT_FALSE(iface.load(damaged.c_str()));
    EXPECT_NE(iface.lastLoadError().find("damaged"), std::string::npos) << iface.lastLoadError();
    EXPECT_EQ(iface.lastLoadError().find(damaged), std::string::npos) << "the path belongs in the error stream";
    EXPECT_EQ(testfiles::readFile(damaged), bytes) << "a damaged quest was written";
    std::remove(damaged.c_str());

    EXPECT_FALSE(iface.load(questDir().c_str()));   // a folder cannot be read
    EXPECT_FALSE(iface.lastLoadError().empty());
    ASSERT_TRUE(iface.load(archive_.c_str()));
    EXPECT_TRUE(iface.lastLoadError().empty());
}

// A failed save tells the player over the main screen, drawn whole: nothing
// of the screen shown before (the title menu) is left around the message.
TEST_F(InterfaceView, FailedSaveMessageCoversTheScreenBefore)
{
    run({SDLK_UP});
    // Whatever was on the screen before, in both buffers.
    clearScreen(1, 0, 1);
    SDL_GL_SwapBuffers();
    clearScreen(1, 0, 1);
    int magenta = -1;
    int messageText = 0;
    afterDisplay([&] {
        if (magenta < 0) {
            magenta = countNear(0, 0, kWidth, kHeight, {255, 0, 255}, 30);
            messageText = countNear(730, 600, 250, 100, {0, 0, 0}, 40);
        }
    });
    scriptKeys({SDLK_SPACE});
    vell::setWriteHook([](int, size_t) -> long { return -1; });
    const bool ok = iface.save();
    vell::setWriteHook(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(magenta, 0) << "pieces of the screen before are left around the message";
    EXPECT_GT(messageText, 20) << "no message drawn";
}

// Walls whose pictures are clamped at their edges (every texture-list
// picture of value 0 or more) show no dark seams where two walls meet or
// where a wall stands on the floor: the edge takes the picture's own edge,
// never a border colour.
TEST_F(InterfaceView, ClampedWallsShowNoDarkSeams)
{
    TexContainerSource_S pic;
    pic.width = pic.height = 64;
    pic.jpeg = vell_test::readFileBytes(std::string(VELL_TEST_FIXTURES) + "/view/maps/plaster.jpg");
    ASSERT_FALSE(pic.jpeg.empty());
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(buildTexContainer(pic, pic, bytes, error)) << error;
    ASSERT_TRUE(writeGzipFile((questDir() + "/plaster.dat").c_str(), bytes, error)) << error;

    ASSERT_TRUE(iface.newMap("maps/clamped.cfg"));
    gameworld->setVar(tagkey::Weather, 0x03);
    // Two squares before two walls side by side, the sky above them.
    iface.setCurX(4.0f);
    iface.setCurZ(-3.0f);
    iface.setFacing(0);
    const std::vector<unsigned char> view = frame();
    ASSERT_EQ(view.size(), size_t(kViewW) * kViewH * 3);
    auto bright = [&](int x, int y) {
        const unsigned char* p = &view[(size_t(y) * kViewW + x) * 3];
        return p[0] + p[1] + p[2];
    };
    // Across both walls at eye height, and up one wall into the sky: as
    // bright everywhere as the plaster itself, or brighter.
    int lo = 1000, hi = 0;
    for (int x = 195; x <= 435; ++x) {
        lo = std::min(lo, bright(x, 200));
        hi = std::max(hi, bright(x, 200));
    }
    EXPECT_GT(hi, 300) << "the walls are not in view";
    EXPECT_GE(lo, hi * 85 / 100) << "a dark seam between the walls";
    lo = 1000;
    for (int y = 200; y <= 300; ++y)
        lo = std::min(lo, bright(245, y));
    EXPECT_GE(lo, hi * 85 / 100) << "a dark line along the top of the wall";
}

} // namespace
