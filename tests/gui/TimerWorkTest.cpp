// Work that a timer hands to the main thread runs in whichever loop takes
// its event: a waiting modal screen wakes up for it, and the screen's own
// keys and redraws go on as before.
#include "GuiHarness.h"

#include "core/TimerWork.h"
#include "platform/EventWait.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<int> ran{0};
std::atomic<intptr_t> lastArg{0};

void work(intptr_t arg)
{
    ++ran;
    lastArg = arg;
}

Uint32 fromTimer(Uint32, void*)
{
    vell::pushTimerWork(work, 7);
    return 0;
}

class TimerWorkTest : public vell_test::GuiFixture {};

TEST_F(TimerWorkTest, AWaitingModalLoopRunsTheWork)
{
    ran = 0;
    int state = 1;
    int keys = 0;
    ModalLoop_C loop(state, [&](const SDL_keysym&) {
        ++keys;
        state = 0;
    }, [] {});
    SDL_TimerID t = SDL_AddTimer(50, fromTimer, nullptr);
    ASSERT_NE(t, nullptr);
    afterDisplay([&] {
        if (ran > 0)
            pushKey(SDLK_ESCAPE);
    });
    // The loop waits; the timer's work wakes it, and a redraw after it
    // lets the key end it.
    std::thread nudge([] {
        while (ran == 0)
            SDL_Delay(10);
        vell::pushRedraw();
    });
    loop.run();
    nudge.join();
    SDL_RemoveTimer(t);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(lastArg, 7);
    EXPECT_EQ(keys, 1);

    SDL_Event other{};
    other.type = SDL_USEREVENT;
    other.user.code = vell::kRedrawCode;
    EXPECT_FALSE(vell::runTimerWork(other)) << "a redraw request is no timer work";
}

} // namespace

namespace {

// The wait that the loops sleep in gives the events queued before it, and
// those that another thread pushes while it sleeps, woken or not. (Key
// presses from the display itself reach it in the whole-program tests.)
TEST_F(TimerWorkTest, TheWaitGivesQueuedPushedAndDisplayEvents)
{
    drainEvents();
    pushKey(SDLK_a);
    SDL_Event ev{};
    ASSERT_TRUE(vell::waitEvent(&ev));
    EXPECT_EQ(ev.type, SDL_KEYDOWN);
    EXPECT_EQ(ev.key.keysym.sym, SDLK_a);

    std::thread pusher([] {
        SDL_Delay(100);
        vell::pushRedraw();
    });
    ASSERT_TRUE(vell::waitEvent(&ev));
    pusher.join();
    EXPECT_EQ(ev.type, SDL_USEREVENT);
    EXPECT_EQ(ev.user.code, vell::kRedrawCode);

    // A pushed event without a wake-up is seen all the same.
    std::thread quiet([] {
        SDL_Delay(100);
        SDL_Event q{};
        q.type = SDL_USEREVENT;
        q.user.code = 4242;
        SDL_PushEvent(&q);
    });
    ASSERT_TRUE(vell::waitEvent(&ev));
    quiet.join();
    EXPECT_EQ(ev.user.code, 4242);
}

} // namespace
