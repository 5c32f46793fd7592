// The timer thread: deadlines in order, callbacks that set their next
// interval or end their timer, removal that waits for a callback in flight,
// and stop. Waits are bounded generously; no figure of time is asserted.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Timers.h"

namespace {

using namespace std::chrono_literals;
using vell::Timers_C;

constexpr auto kGuard = 10s;   // a wait that ends later is a failure

// What the callbacks saw, shared with the test thread.
struct Log {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> fired;            // tags, in firing order
    std::vector<uint32_t> intervals;   // the interval each firing was given

    void note(int tag, uint32_t interval)
    {
        std::lock_guard<std::mutex> l(mutex);
        fired.push_back(tag);
        intervals.push_back(interval);
        changed.notify_all();
    }
    bool waitFor(size_t firings)
    {
        std::unique_lock<std::mutex> l(mutex);
        return changed.wait_for(l, kGuard, [&] { return fired.size() >= firings; });
    }
    size_t size()
    {
        std::lock_guard<std::mutex> l(mutex);
        return fired.size();
    }
};

// A timer's parameter: its tag, the log, and what it returns.
struct Probe {
    Log* log;
    int tag;
    std::function<uint32_t(uint32_t interval)> next;
};

uint32_t probeCallback(uint32_t interval, void* param)
{
    auto* p = static_cast<Probe*>(param);
    p->log->note(p->tag, interval);
    return p->next(interval);
}

bool eventually(const std::function<bool()>& pred)
{
    const auto end = std::chrono::steady_clock::now() + kGuard;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(TimersTest, TimersFireInTheOrderOfTheirDeadlines)
{
    Timers_C timers;
    Log log;
    auto once = [](uint32_t) { return 0u; };
    Probe late{&log, 3, once}, early{&log, 1, once}, middle{&log, 2, once};
    ASSERT_NE(timers.add(600, probeCallback, &late), 0);
    ASSERT_NE(timers.add(200, probeCallback, &early), 0);
    ASSERT_NE(timers.add(400, probeCallback, &middle), 0);
    ASSERT_TRUE(log.waitFor(3));
    EXPECT_EQ(log.fired, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(eventually([&] { return timers.count() == 0; })) << "a timer that returned 0 stays";
}

TEST(TimersTest, TheReturnedIntervalSetsTheNextFiringAndZeroEndsTheTimer)
{
    Timers_C timers;
    Log log;
    // 5, 6, 7, 8, then 0 after the fifth firing.
    Probe growing{&log, 1, [&](uint32_t interval) { return interval < 9 ? interval + 1 : 0u; }};
    const int id = timers.add(5, probeCallback, &growing);
    ASSERT_TRUE(log.waitFor(5));
    ASSERT_TRUE(eventually([&] { return timers.count() == 0; }));
    EXPECT_EQ(log.intervals, (std::vector<uint32_t>{5, 6, 7, 8, 9}));
    EXPECT_FALSE(timers.remove(id)) << "the ended timer is still known";

    // A timer that keeps its interval fires again and again.
    Probe steady{&log, 2, [](uint32_t interval) { return interval; }};
    const int again = timers.add(1, probeCallback, &steady);
    ASSERT_TRUE(log.waitFor(10));
    EXPECT_TRUE(timers.remove(again));
}

TEST(TimersTest, RemovalWaitsForTheCallbackInFlightAndNothingFiresAfterIt)
{
    Timers_C timers;
    std::atomic<bool> entered{false}, leaving{false}, finished{false};
    std::atomic<int> firings{0};
    struct Slow {
        std::atomic<bool>* entered;
        std::atomic<bool>* leaving;
        std::atomic<bool>* finished;
        std::atomic<int>* firings;
    } slow{&entered, &leaving, &finished, &firings};
    const int id = timers.add(
        1,
        [](uint32_t interval, void* param) -> uint32_t {
            auto* s = static_cast<Slow*>(param);
            ++*s->firings;
            s->entered->store(true);
            while (!s->leaving->load())
                std::this_thread::sleep_for(1ms);
            std::this_thread::sleep_for(20ms);   // still running while remove() is called
            s->finished->store(true);
            return interval;
        },
        &slow);
    ASSERT_TRUE(eventually([&] { return entered.load(); }));
    leaving = true;
    EXPECT_TRUE(timers.remove(id));
    EXPECT_TRUE(finished.load()) << "remove returned while the callback ran";
    const int seen = firings.load();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(firings.load(), seen) << "the removed timer fired again";
    EXPECT_FALSE(timers.remove(id));
    EXPECT_FALSE(timers.remove(12345));
    EXPECT_EQ(timers.add(1, nullptr, nullptr), 0);
}

// The parameter of a timer that removes itself, or stops its timers, from
// its own callback.
struct Self {
    Timers_C* timers;
    std::atomic<int> id{0};
    bool stop = false;
    std::atomic<int> firings{0};
};

uint32_t selfCallback(uint32_t interval, void* param)
{
    auto* s = static_cast<Self*>(param);
    while (s->id.load() == 0)   // add() has not returned yet
        std::this_thread::yield();
    ++s->firings;
    if (s->stop)
        s->timers->stop();
    else
        s->timers->remove(s->id);
    return interval;
}

TEST(TimersTest, ACallbackMayRemoveItsOwnTimerOrStopThemAll)
{
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stop" : "remove");
        Timers_C timers;
        Self self;
        self.timers = &timers;
        self.stop = stop;
        Log log;
        Probe other{&log, 1, [](uint32_t interval) { return interval; }};
        self.id = timers.add(1, selfCallback, &self);
        timers.add(stop ? 100000 : 1, probeCallback, &other);
        ASSERT_TRUE(eventually([&] { return self.firings.load() == 1; }));
        ASSERT_TRUE(eventually([&] { return timers.count() == (stop ? 0 : 1); }));
        if (!stop) {
            EXPECT_TRUE(log.waitFor(log.size() + 3)) << "the other timer stopped firing";
        }
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(self.firings.load(), 1);
    }
}

TEST(TimersTest, StopEndsEveryTimerAndALaterTimerStartsTheThreadAgain)
{
    Timers_C timers;
    Log log;
    Probe steady{&log, 1, [](uint32_t interval) { return interval; }};
    Probe never{&log, 2, [](uint32_t interval) { return interval; }};
    timers.add(1, probeCallback, &steady);
    timers.add(100000, probeCallback, &never);
    ASSERT_TRUE(log.waitFor(3));
    timers.stop();
    EXPECT_EQ(timers.count(), 0);
    const size_t seen = log.size();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(log.size(), seen) << "a timer fired after stop";
    timers.stop();   // twice: nothing to do

    Probe after{&log, 3, [](uint32_t) { return 0u; }};
    timers.add(1, probeCallback, &after);
    ASSERT_TRUE(log.waitFor(seen + 1));
    EXPECT_EQ(log.fired.back(), 3);
}

} // namespace
