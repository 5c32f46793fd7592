// Waiting for the next SDL event without waking a core a hundred times a
// second: SDL_WaitEvent looks for events every 10 ms; this sleeps on the X
// display's connection and on a wake-up pipe instead, so that a game that
// waits for a key uses next to no CPU. Events pushed by other threads (timer
// callbacks, the sound) are seen at once when their pusher calls
// wakeEventWait, and within kMaxSleepMs otherwise.
#pragma once
#include <SDL.h>

namespace vell {

constexpr int kMaxSleepMs = 50;

// The next event (main thread, where the video was set up), as SDL_WaitEvent
// gives it; false when the event system is not running.
bool waitEvent(SDL_Event* ev);

// Ends a wait now so that it looks at the event queue (any thread; also
// from a signal handler).
void wakeEventWait();

} // namespace vell
