// Squares that hold events, walked onto through the main loop: a small probe
// event class of the test's own stands on the squares of a fixture map
// (maps/events.cfg) and records what it sees when it runs.
#include "GuiHarness.h"

#include "core/GameConfig.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/MapRenderer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using vell_test::GuiFixture;

// What a probe saw when it ran.
struct Visit {
    int id = 0;
    int x = 0, y = 0;
    uint8_t entryBefore = 0;      // the entry state when it started
    uint8_t entryAfterMove = 0;   // ... after it moved the party
    uint32_t ticks = 0;
    float viewX = 0, viewZ = 0;   // where the view was last drawn from
};
std::vector<Visit> gVisits;
int gQuitAfterVisits = 0;   // ends the main loop once so many probes ran

// Records its run; with an exit, puts the party there as leaving a building
// does; then, when the test asks, ends the main loop.
class ProbeEvent_C : public Event_C {
public:
    ProbeEvent_C(int id, const EventParams_S* p) : id_(id)
    {
        if (p) {
            exitX_ = p->exitX;
            exitY_ = p->exitY;
            exitFacing_ = p->exitFacing;
        }
    }
    int typeId() const override { return id_; }
    int invoke(Interface_C* ifc) override
    {
        Visit v;
        v.id = id_;
        v.x = gameworld->getSquareX();
        v.y = gameworld->getSquareY();
        v.entryBefore = ifc->getEntryState();
        v.ticks = gameworld->getClock().getTicks();
        v.viewX = maprender::camera().x;
        v.viewZ = maprender::camera().z;
        if (exitX_ >= 0) {
            ifc->setCurX(float(exitX_));
            ifc->setCurZ(-float(exitY_));
            ifc->setFacing(exitFacing_);
        }
        v.entryAfterMove = ifc->getEntryState();
        gVisits.push_back(v);
        if (gQuitAfterVisits > 0 && int(gVisits.size()) >= gQuitAfterVisits)
            ifc->quit(0);
        return 0;
    }

private:
    int id_;
    int exitX_ = -1, exitY_ = -1, exitFacing_ = 0;
};

template <int Id>
std::unique_ptr<Event_C> makeProbe(const EventParams_S* p)
{
    return std::make_unique<ProbeEvent_C>(Id, p);
}

// Pushes ESC when the main loop waits longer than a test allows, so that a
// loop that sleeps where it should not fails the test instead of hanging it.
Uint32 escapeLater(Uint32, void*)
{
    vell::pushKeyEvent(SDLK_ESCAPE, true);
    return 0;
}

void noDelay(uint32_t) {}
bool nothingHeld(SDLKey) { return false; }

class EventSquares : public GuiFixture {
protected:
    static std::string questDir() { return vell_test::questFolder("events"); }

    void SetUp() override
    {
        GuiFixture::SetUp();
        if (HasFatalFailure())
            return;
        setWatchdog(30);
        ASSERT_TRUE(enterFolder(questDir()));
        registerWorldTypes();
        registerRulesTypes();
        gameConfig.setDefaults();
        gameConfig.smoothWalk = false;
        gameConfig.freeNavigation = false;
        gameConfig.mouseSupport = false;
        gameConfig.sound = false;
        iface.init(kWidth, kHeight);
        iface.setTiming(noDelay, nothingHeld);
        registerMapEvent(1001, makeProbe<1001>);
        registerMapEvent(1002, makeProbe<1002>);
        registerMapEvent(1003, makeProbe<1003>);
        registerMapEvent(1005, makeProbe<1005>);
        gVisits.clear();
        gQuitAfterVisits = 0;

        const std::string archive = questDir() + "/savegame/events.sav";
        std::remove(archive.c_str());
        ASSERT_TRUE(iface.load(archive.c_str()));
        auto* hero = new bl3dPartyChar("Alda", 4, 1, false, 0, nullptr, nullptr);
        hero->setMaxHP(20);
        hero->setCurHP(20);
        ASSERT_TRUE(party->addMember(hero));
        ASSERT_TRUE(iface.start());
        ASSERT_TRUE(iface.newMap("maps/events.cfg"));
        iface.display();   // the first redraw after start leaves the view out
        drainEvents();
    }

    void TearDown() override
    {
        clearEventMakers();
        gameConfig.smoothWalk = false;
        drainEvents();
        GuiFixture::TearDown();
    }

    // Puts the party on a square facing a way, with nothing pending.
    static void standOn(int x, int y, int facing)
    {
        iface.setCurX(float(x));
        iface.setCurZ(-float(y));
        iface.setFacing(facing);
        iface.clearEntryState();
    }

    // Runs the main loop over the keys; the loop ends with an ESC pushed
    // after them, or earlier when a probe ends it.
    static void run(std::initializer_list<SDLKey> keys, bool escape = true)
    {
        for (SDLKey k : keys)
            pushKey(k);
        if (escape)
            pushKey(SDLK_ESCAPE);
        iface.sdlEventLoop();
        drainEvents();
    }

    static uint32_t ticks() { return gameworld->getClock().getTicks(); }

};

// A step onto an event square runs the event in the middle of the step: the
// party stands on the new square, the first half of the step is on the
// screen, and the step's time has not passed yet. The step's entry is used
// up by that run: the loop's pass after the key does not run it again.
TEST_F(EventSquares, StepRunsTheEventMidStepOnce)
{
    gameConfig.smoothWalk = true;
    standOn(2, 2, 0);
    const uint32_t t0 = ticks();
    run({SDLK_UP});
    ASSERT_EQ(gVisits.size(), 1u);
    const Visit& v = gVisits[0];
    EXPECT_EQ(v.id, 1001);
    EXPECT_EQ(v.x, 2);
    EXPECT_EQ(v.y, 3);
    EXPECT_EQ(v.entryBefore, 0x01);
    EXPECT_EQ(v.ticks, t0) << "the step's two ticks pass after the event";
    // The last frame drawn before the event: half-way along the step.
    EXPECT_FLOAT_EQ(v.viewX, 2.0f);
    EXPECT_FLOAT_EQ(v.viewZ, -2.5f) << "the first half of the step is animated before the event";
    EXPECT_EQ(ticks(), t0 + 2);
    EXPECT_EQ(gameworld->getSquareY(), 3);
}

// The no-animation flag of the square's event: the step is not animated
// before the event runs.
TEST_F(EventSquares, NoAnimationFlagSkipsTheStepAnimation)
{
    gameConfig.smoothWalk = true;
    standOn(2, 2, 180);
    ASSERT_TRUE(iface.getCurrentMap()->cellEventNoAnim(2, 1));
    run({SDLK_UP});
    ASSERT_EQ(gVisits.size(), 1u);
    EXPECT_EQ(gVisits[0].id, 1005);
    // The last picture drawn is still the one from the old square.
    EXPECT_FLOAT_EQ(gVisits[0].viewZ, -2.0f) << "a step animation frame was drawn";
}

// An event that moves the party (a building's exit): its move is deferred
// while it runs and becomes the next entry, so the exit square's own event
// runs after it, once, and the party stands on the exit.
TEST_F(EventSquares, MovesMadeByAnEventAreDeferredAndTheExitSquareRunsNext)
{
    standOn(5, 2, 0);
    gQuitAfterVisits = 2;
    run({SDLK_UP}, false);
    ASSERT_EQ(gVisits.size(), 2u);
    EXPECT_EQ(gVisits[0].id, 1002);
    EXPECT_EQ(gVisits[0].entryBefore, 0x01);
    EXPECT_EQ(gVisits[0].entryAfterMove, 0x01) << "the event's own move went to the entry state";
    EXPECT_EQ(gVisits[1].id, 1003);
    EXPECT_EQ(gVisits[1].x, 7);
    EXPECT_EQ(gVisits[1].y, 6);
    EXPECT_EQ(gVisits[1].entryBefore, 0x03) << "moved and turned by the door";
    EXPECT_EQ(iface.getFacing(), 270);
    EXPECT_EQ(iface.getEntryState(), 0);
}

// Turning or waiting on the square enters it again: its event runs each
// time. (Each loop run enters the square the party stands on first.)
TEST_F(EventSquares, TurningOrWaitingOnTheSquareRunsItAgain)
{
    standOn(2, 3, 0);
    gQuitAfterVisits = 2;
    run({SDLK_LEFT}, false);
    ASSERT_EQ(gVisits.size(), 2u);
    EXPECT_EQ(gVisits[0].entryBefore, 0x01) << "coming back from the menu enters the square";
    EXPECT_EQ(gVisits[1].entryBefore, 0x02);
    EXPECT_EQ(iface.getFacing(), 90);
    gQuitAfterVisits = 4;
    run({SDLK_SPACE}, false);
    ASSERT_EQ(gVisits.size(), 4u);
    EXPECT_EQ(gVisits[3].entryBefore, 0x01);
}

// A random event of the timer pass moves the party onto an event square:
// the main loop runs that square's event at once, without waiting for the
// next key.
TEST_F(EventSquares, EntryLeftByTheTimerPassRunsBeforeTheNextKey)
{
    EventParams_S to;
    to.exitX = 2;
    to.exitY = 3;
    to.exitFacing = 0;
    iface.getCurrentMap()->addRandomEvent(std::make_unique<ProbeEvent_C>(2000, &to), 3000);
    standOn(2, 2, 0);
    gQuitAfterVisits = 2;
    // The loop's first pass runs the timer pass; no key is queued after it.
    iface.markTimerPending();
    const SDL_TimerID fallback = SDL_AddTimer(5000, escapeLater, nullptr);
    run({}, false);
    SDL_RemoveTimer(fallback);
    ASSERT_EQ(gVisits.size(), 2u) << "the square the random event led to was not entered";
    EXPECT_EQ(gVisits[0].id, 2000);
    EXPECT_EQ(gVisits[1].id, 1001);
    EXPECT_EQ(gVisits[1].entryBefore, 0x03);
}

// The timer pass runs once per clock advance that asked for it: a random
// event that lets time pass does not ask for another pass.
TEST_F(EventSquares, TimerFlagIsClearedAfterThePass)
{
    struct Clockwork : Event_C {
        int typeId() const override { return 2000; }
        int invoke(Interface_C*) override
        {
            ++runs;
            gameworld->getClock().advance(1);
            return 0;
        }
        int runs = 0;
    };
    auto owned = std::make_unique<Clockwork>();
    Clockwork* clockwork = owned.get();
    iface.getCurrentMap()->addRandomEvent(std::move(owned), 3000);
    standOn(2, 2, 0);
    iface.markTimerPending();
    run({});   // the loop's first pass runs the timer pass, then ESC
    EXPECT_EQ(clockwork->runs, 1);
    EXPECT_FALSE(iface.isTimerPending());
}

// A building whose class this game does not have yet stands in by putting
// the party on its exit, as leaving it would, and says so when it is made.
TEST_F(EventSquares, BuildingWithoutItsClassPutsThePartyOnItsExit)
{
    standOn(8, 7, 0);
    const uint32_t t0 = ticks();
    run({SDLK_UP});
    EXPECT_EQ(gameworld->getSquareX(), 8);
    EXPECT_EQ(gameworld->getSquareY(), 9);
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(ticks(), t0 + 2) << "the stand-in lets no time pass";

    EventParams_S p;
    p.exitX = 3;
    p.exitY = 2;
    p.exitFacing = 180;
    testing::internal::CaptureStderr();
    std::unique_ptr<Event_C> shop = createMapEvent(1012, &p);
    std::unique_ptr<Event_C> noRecord = createMapEvent(1050, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("event type 1012"), std::string::npos) << said;
    EXPECT_NE(said.find("event type 1050"), std::string::npos) << said;
    shop->invoke(&iface);
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getSquareY(), 2);
    EXPECT_EQ(iface.getFacing(), 180);
    noRecord->invoke(&iface);   // without a record the party stays
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getSquareY(), 2);
    EXPECT_EQ(iface.getFacing(), 180);
}

} // namespace
