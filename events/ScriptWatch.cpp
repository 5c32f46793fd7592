#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/ScriptWatch.h"

#include "core/ModalLoop.h"

#include <SDL.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Watch_S {
    std::mutex mutex;
    std::condition_variable wake;
    // Never destroyed while it runs: an exit() must not meet a joinable thread.
    std::thread* thread = nullptr;
    bool stopping = false;
    std::vector<std::string> running;   // the scripts now running, innermost last
    std::atomic<bool> callPending{false};
};

// Never destroyed: a script may run while static objects go.
Watch_S& watch()
{
    static Watch_S* w = new Watch_S;
    return *w;
}

bool scriptRuns()
{
    Watch_S& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    return !w.running.empty();
}

// Called by the interpreter on the main thread, between two steps of a
// script.
int checkForQuit(void*)
{
    watch().callPending = false;
    if (!scriptRuns())
        return 0;   // left over from a run that has ended
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_PumpEvents();
        SDL_Event ev;
        if (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_QUITMASK) > 0)
            vell::requestQuit();
    }
    if (!vell::quitRequested())
        return 0;
    PyErr_SetString(PyExc_KeyboardInterrupt, "the game is ending");
    return -1;
}

// Whether the quit event waits in SDL's queue (any thread: the queue has a
// lock of its own).
bool quitQueued()
{
    SDL_Event ev;
    return SDL_WasInit(SDL_INIT_VIDEO) && SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

[[noreturn]] void endStuckGame(const std::string& script)
{
    const std::string text = "ERROR: the script '" + script +
                             "' does not stop for the end of the game; the game ends without saving.\n";
    const ssize_t written = ::write(2, text.data(), text.size());
    (void)written;
    ::_exit(1);
}

// Asks for checkForQuit on the main thread. Python 3.11 looks at calls that
// other threads add only when the main thread takes the interpreter's lock
// back: holding it here for a moment makes the main thread let go of it at
// its next step. (While the main thread runs the game's own code, which
// keeps the lock, this waits for the script's next step.)
void askForCheck()
{
    Watch_S& w = watch();
    if (w.callPending.exchange(true))
        return;
    const PyGILState_STATE gil = PyGILState_Ensure();
    if (Py_AddPendingCall(checkForQuit, nullptr) != 0)
        w.callPending = false;   // the interpreter's list is full: next time
    PyGILState_Release(gil);
}

void watcherLoop()
{
    Watch_S& w = watch();
    std::unique_lock<std::mutex> lock(w.mutex);
    bool quitSeen = false;
    Clock::time_point seenAt;
    while (!w.stopping) {
        w.wake.wait_for(lock, std::chrono::milliseconds(ScriptWatch_C::kIntervalMs));
        if (w.stopping)
            break;
        if (w.running.empty()) {
            quitSeen = false;
            continue;
        }
        // The main thread cannot end the run (nor shut SDL down) while the
        // lock is held here.
        if (vell::quitRequested() || quitQueued()) {
            const Clock::time_point now = Clock::now();
            if (!quitSeen) {
                quitSeen = true;
                seenAt = now;
            } else if (now - seenAt >= std::chrono::milliseconds(ScriptWatch_C::kGraceMs)) {
                endStuckGame(w.running.back());
            }
        }
        // Without the lock: the main thread takes it to end a run while it
        // holds the interpreter's.
        lock.unlock();
        askForCheck();
        lock.lock();
    }
}

} // namespace

ScriptWatch_C::ScriptWatch_C(const std::string& script)
{
    Watch_S& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.running.push_back(script);
}

ScriptWatch_C::~ScriptWatch_C()
{
    Watch_S& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.running.pop_back();
}

void ScriptWatch_C::start()
{
    Watch_S& w = watch();
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.thread)
        return;
    w.stopping = false;
    w.thread = new std::thread(watcherLoop);
}

void ScriptWatch_C::stop()
{
    Watch_S& w = watch();
    std::thread* t = nullptr;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        t = w.thread;
        w.thread = nullptr;
        w.stopping = true;
    }
    w.wake.notify_all();
    if (!t)
        return;
    // The watcher may wait for the interpreter's lock, which this thread holds.
    Py_BEGIN_ALLOW_THREADS
    t->join();
    Py_END_ALLOW_THREADS
    delete t;
}
