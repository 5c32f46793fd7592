// ModalLoop_C: the one event loop that every modal screen, event and building
// runs. A screen is a state machine: a key handler that changes a state number
// (and asks for a redraw with pushRedraw()), and a display function that draws
// the current state. The loop runs while the state is above 0.
//
//   int state = 1;
//   ModalLoop_C loop(state,
//                    [&](const SDL_keysym& k) { myKey(k.sym); },
//                    [&] { myDisplay(); });
//   loop.setMouse(iface.getMouseRegions())      // null: mouse support off
//       .setFrame([&] { iface.drawBackground(); })
//       .setPolling(true);
//   loop.run();
//
// Events:
// - SDL_KEYDOWN goes to the key handler;
// - mouse motion, button down and button up go to the click regions when a
//   MouseRegions_C is set (SDL button 1 -> 0, 2 -> 1, any other -> 2);
// - the redraw request (SDL_USEREVENT with code 1) calls display;
// - timer work (core/TimerWork.h) runs;
// - an expose event calls frame, display, swaps, then frame again into the
//   other buffer (display alone without frame);
// - the quit event (window closed, Ctrl-C, SIGTERM) records the request to
//   quit (vell::requestQuit) and ends the loop;
// - everything else is dropped.
// After each display the loop swaps the GL buffers (unless the display swaps
// itself: setSwap(false)). run() pushes one redraw request when it starts.
//
// Once the game is quitting (vell::quitRequested), run() returns at once,
// whatever the state: every screen then unwinds to the program's main, which
// shuts the game down as the title menu's quit does, saving nothing.
//
// A waiting loop (the default) sleeps in SDL_WaitEvent. A polling loop drains
// the queue, calls the idle function once per pass and sleeps a little when
// nothing came in, so that it never spins a core.
#pragma once
#include <SDL.h>
#include <functional>

class MouseRegions_C;

namespace vell {

// SDL_USEREVENT code that asks the running screen to redraw.
constexpr int kRedrawCode = 1;

// Pushes the redraw request (SDL_USEREVENT, code 1). Safe from any thread.
void pushRedraw();
// Pushes an SDL_KEYDOWN (down) or SDL_KEYUP event for the key, no modifiers.
void pushKeyEvent(int key, bool down);
// SDL mouse button -> click-region button: 1 -> 0, 2 -> 1, any other -> 2.
int regionButton(Uint8 sdlButton);

// The quit event (window closed, Ctrl-C, SIGTERM) ends the game from
// whatever loop sees it, as the title menu's quit does and without saving:
// that loop records the request, every loop ends when it is set, and main
// goes to the shutdown. Safe from any thread.
void requestQuit();
bool quitRequested();
// Forgets the request (tests).
void clearQuitRequest();

// Hands mouse motion and button events to the click regions (when regions is
// not null). True when the event was a mouse event.
bool forwardMouseEvent(const SDL_Event& ev, MouseRegions_C* regions);

} // namespace vell

class ModalLoop_C {
public:
    using KeyFn = std::function<void(const SDL_keysym&)>;
    using DrawFn = std::function<void()>;

    ModalLoop_C(int& state, KeyFn key, DrawFn display);

    ModalLoop_C& setMouse(MouseRegions_C* regions) { mouse_ = regions; return *this; }
    // Drawn before the screen on an expose event, and after the swap into
    // the other buffer.
    ModalLoop_C& setFrame(DrawFn frame) { frame_ = std::move(frame); return *this; }
    // Polling loop (SDL_PollEvent, the idle work after each pass) instead of
    // waiting (SDL_WaitEvent); without idle work it waits.
    ModalLoop_C& setPolling(bool polling) { polling_ = polling; return *this; }
    // Polling loops: called once per pass after the queue is drained.
    ModalLoop_C& setIdle(DrawFn idle) { idle_ = std::move(idle); return *this; }
    // Whether the loop swaps the buffers after display (default true).
    ModalLoop_C& setSwap(bool swap) { swap_ = swap; return *this; }
    // Whether run() pushes a redraw request when it starts (default true).
    ModalLoop_C& setInitialRedraw(bool push) { initialRedraw_ = push; return *this; }

    // Runs until the state is 0 or below, or the game is quitting; returns
    // the final state.
    int run();

    // Handles one event as the loop would (tests and callers with their own
    // polling). Returns true when it drew.
    bool handle(const SDL_Event& ev);

    // Called after every display, before the buffer swap, in every modal loop
    // of the program. Only the GUI tests set it (to read pixels back or to
    // push the next key of a script); null clears it.
    static void setAfterDisplayHook(DrawFn hook);

private:
    void redraw(bool withFrame);

    int& state_;
    KeyFn key_;
    DrawFn display_;
    DrawFn frame_;
    DrawFn idle_;
    MouseRegions_C* mouse_ = nullptr;
    bool polling_ = false;
    bool swap_ = true;
    bool initialRedraw_ = true;
};
