// Work that an SDL timer hands to the main thread. A timer callback runs on
// SDL's timer thread, where it must not touch the mixer, GL or the game's
// state: it pushes one SDL user event with the code kTimerWorkCode carrying a
// function and an argument, and whichever loop of the main thread takes the
// event off the queue runs it with runTimerWork.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace vell {

// SDL_USEREVENT code of timer work (the redraw request is code 1).
constexpr int kTimerWorkCode = 0x7601;

using TimerWorkFn = void (*)(intptr_t arg);

// Pushes the work; safe from any thread. False when SDL's queue is full (the
// work is then lost, and the timer tries again at its next firing).
bool pushTimerWork(TimerWorkFn fn, intptr_t arg);

// Runs the work an event carries. True when the event was timer work (run
// or, with no function, dropped); false for every other event.
bool runTimerWork(const SDL_Event& ev);

// Takes every queued work of that function off SDL's queue (a screen that
// ends drops its own); other events stay, in their order.
void dropTimerWork(TimerWorkFn fn);

} // namespace vell
