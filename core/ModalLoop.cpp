#include "core/ModalLoop.h"

#include "core/MouseRegions.h"
#include "core/TimerWork.h"
#include "platform/EventWait.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex hookMutex;
ModalLoop_C::DrawFn afterDisplayHook;
std::atomic<bool> quitting{false};

} // namespace

namespace vell {

void pushRedraw()
{
    SDL_Event ev{};
    ev.type = SDL_USEREVENT;
    ev.user.type = SDL_USEREVENT;
    ev.user.code = kRedrawCode;
    SDL_PushEvent(&ev);
    wakeEventWait();
}

void pushKeyEvent(int key, bool down)
{
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.type = ev.type;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = SDLKey(key);
    ev.key.keysym.mod = KMOD_NONE;
    ev.key.keysym.unicode = (key > 0 && key < 128) ? Uint16(key) : 0;
    SDL_PushEvent(&ev);
    wakeEventWait();
}

void requestQuit() { quitting.store(true); }
bool quitRequested() { return quitting.load(); }
void clearQuitRequest() { quitting.store(false); }

int regionButton(Uint8 sdlButton)
{
    if (sdlButton == SDL_BUTTON_LEFT)
        return 0;
    if (sdlButton == SDL_BUTTON_MIDDLE)
        return 1;
    return 2;
}

bool forwardMouseEvent(const SDL_Event& ev, MouseRegions_C* regions)
{
    switch (ev.type) {
    case SDL_MOUSEMOTION:
        if (regions)
            regions->mouseMove(ev.motion.x, ev.motion.y, 0);
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (regions)
            regions->mouseDown(ev.button.x, ev.button.y, regionButton(ev.button.button));
        return true;
    case SDL_MOUSEBUTTONUP:
        if (regions)
            regions->mouseUp(ev.button.x, ev.button.y, regionButton(ev.button.button));
        return true;
    default:
        return false;
    }
}

} // namespace vell

ModalLoop_C::ModalLoop_C(int& state, KeyFn key, DrawFn display)
    : state_(state), key_(std::move(key)), display_(std::move(display))
{
}

void ModalLoop_C::setAfterDisplayHook(DrawFn hook)
{
    std::lock_guard<std::mutex> lock(hookMutex);
    afterDisplayHook = std::move(hook);
}

void ModalLoop_C::redraw(bool withFrame)
{
    if (withFrame && frame_)
        frame_();
    if (display_)
        display_();
    DrawFn hook;
    {
        std::lock_guard<std::mutex> lock(hookMutex);
        hook = afterDisplayHook;
    }
    if (hook)
        hook();
    if (swap_)
        SDL_GL_SwapBuffers();
    // After an expose the frame goes into the other buffer as well, under
    // the next redraw, which draws only its own parts. Drawn before the swap
    // it would cover the screen: the frame picture is opaque.
    if (withFrame && frame_)
        frame_();
}

bool ModalLoop_C::handle(const SDL_Event& ev)
{
    switch (ev.type) {
    case SDL_KEYDOWN:
        if (key_)
            key_(ev.key.keysym);
        return false;
    case SDL_USEREVENT:
        if (vell::runTimerWork(ev))
            return false;
        if (ev.user.code != vell::kRedrawCode)
            return false;
        redraw(false);
        return true;
    case SDL_VIDEOEXPOSE:
        redraw(true);
        return true;
    case SDL_QUIT:
        vell::requestQuit();
        return false;
    default:
        vell::forwardMouseEvent(ev, mouse_);
        return false;
    }
}

int ModalLoop_C::run()
{
    if (initialRedraw_ && state_ > 0 && !vell::quitRequested())
        vell::pushRedraw();
    SDL_Event ev;
    while (state_ > 0 && !vell::quitRequested()) {
        // A polling loop with no idle work has nothing to do between events:
        // it sleeps until the next one, as a waiting loop does.
        if (!polling_ || !idle_) {
            if (!vell::waitEvent(&ev))
                break;   // the event system is gone: nothing can end the loop
            handle(ev);
            continue;
        }
        bool any = false;
        while (state_ > 0 && !vell::quitRequested() && SDL_PollEvent(&ev)) {
            any = true;
            handle(ev);
        }
        if (state_ <= 0 || vell::quitRequested())
            break;
        if (idle_)
            idle_();
        if (!any)
            SDL_Delay(5);
    }
    return state_;
}
