// Timers: callbacks run on a thread of their own after a number of
// milliseconds, as SDL's timers run them, without SDL's timer thread (which
// looks at its timers every millisecond, whether one is due or not). The
// thread sleeps until the earliest deadline, or until a timer is added or
// removed, so that a game with a few slow timers and no input stays asleep.
//
// A callback gets the interval it was set for and its parameter, and returns
// the next interval: the same one keeps it firing at that pace, another one
// changes it, 0 ends the timer. It runs on the timer thread: it must hand
// any work on the game to the main thread (core/TimerWork.h, pushRedraw),
// as an SDL timer's callback must. Timers that fall due together fire in
// the order of their deadlines, then in the order they were added.
//
// Removal: once remove() returns, the callback does not run and is not
// running any more (unless remove was called from that callback: it then
// ends when the callback returns). stop() removes every timer and joins the
// thread (called from a callback, it only removes the timers); a later add()
// starts it again.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

namespace vell {

using TimerCallback = uint32_t (*)(uint32_t interval, void* param);

class Timers_C {
public:
    Timers_C() = default;
    ~Timers_C();
    Timers_C(const Timers_C&) = delete;
    Timers_C& operator=(const Timers_C&) = delete;

    // A timer that first fires `ms` from now; its id (never 0), or 0 with no
    // callback.
    int add(uint32_t ms, TimerCallback callback, void* param);
    // False when the id is no timer (any more).
    bool remove(int id);
    void stop();
    int count() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Timer_S {
        TimerCallback callback = nullptr;
        void* param = nullptr;
        uint32_t interval = 0;
        Clock::time_point due;
    };
    void run(unsigned generation);

    mutable std::mutex mutex_;
    std::condition_variable changed_;     // wakes the thread
    std::condition_variable callbackEnded_;
    std::map<int, Timer_S> timers_;      // by id: the order they were added
    std::thread thread_;
    unsigned generation_ = 0;           // stop() ends the thread of each
    int nextId_ = 1;
    // The callbacks running now (one; two for a moment while a thread that
    // was stopped finishes its last one) and their threads.
    std::map<int, std::thread::id> running_;
};

// The program's timers (the thread is stopped at exit, or by stopTimers).
int addTimer(uint32_t ms, TimerCallback callback, void* param);
bool removeTimer(int id);
void stopTimers();

} // namespace vell
