#include "platform/Timers.h"

#include <cstdlib>

namespace vell {

Timers_C::~Timers_C() { stop(); }

int Timers_C::add(uint32_t ms, TimerCallback callback, void* param)
{
    if (!callback)
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = nextId_++;
    timers_[id] = Timer_S{callback, param, ms, Clock::now() + std::chrono::milliseconds(ms)};
    if (!thread_.joinable())
        thread_ = std::thread(&Timers_C::run, this, generation_);
    changed_.notify_all();
    return id;
}

bool Timers_C::remove(int id)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const bool found = timers_.erase(id) > 0;
    if (found)
        changed_.notify_all();
    // A callback of it running on the timer thread ends first, unless this
    // is that callback.
    const auto running = running_.find(id);
    if (running != running_.end() && running->second != std::this_thread::get_id())
        callbackEnded_.wait(lock, [&] { return running_.count(id) == 0; });
    return found;
}

void Timers_C::stop()
{
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        timers_.clear();
        changed_.notify_all();
        // A callback cannot join its own thread: from there the timers go,
        // and the thread waits for new ones.
        if (thread_.get_id() == std::this_thread::get_id())
            return;
        ++generation_;
        ending = std::move(thread_);
    }
    if (ending.joinable())
        ending.join();
}

int Timers_C::count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(timers_.size());
}

void Timers_C::run(unsigned generation)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (generation_ == generation) {
        // The earliest deadline; among equal ones, the timer added first.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (next == timers_.end() || it->second.due < next->second.due)
                next = it;
        if (next == timers_.end()) {
            changed_.wait(lock);
            continue;
        }
        const Clock::time_point firedAt = Clock::now();
        const Clock::time_point due = next->second.due;   // a copy: the timer may go while we wait
        if (firedAt < due) {
            changed_.wait_until(lock, due);
            continue;
        }
        const int id = next->first;
        const Timer_S timer = next->second;
        running_[id] = std::this_thread::get_id();
        lock.unlock();
        const uint32_t interval = timer.callback(timer.interval, timer.param);
        lock.lock();
        running_.erase(id);
        callbackEnded_.notify_all();
        const auto again = timers_.find(id);
        if (again == timers_.end())
            continue;   // removed meanwhile
        if (interval == 0) {
            timers_.erase(again);
            continue;
        }
        again->second.interval = interval;
        again->second.due = firedAt + std::chrono::milliseconds(interval);
    }
}

namespace {

// Never destroyed: timers may be removed by other objects' destructors at
// exit. Its thread is stopped at exit before the objects made earlier are
// destroyed.
Timers_C& programTimers()
{
    static Timers_C* const timers = [] {
        auto* t = new Timers_C;
        std::atexit(stopTimers);
        return t;
    }();
    return *timers;
}

} // namespace

int addTimer(uint32_t ms, TimerCallback callback, void* param) { return programTimers().add(ms, callback, param); }

bool removeTimer(int id) { return programTimers().remove(id); }

void stopTimers() { programTimers().stop(); }

} // namespace vell
