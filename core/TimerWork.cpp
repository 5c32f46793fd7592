#include "core/TimerWork.h"

#include "platform/EventWait.h"

#include <vector>

namespace vell {

bool pushTimerWork(TimerWorkFn fn, intptr_t arg)
{
    SDL_Event ev{};
    ev.type = SDL_USEREVENT;
    ev.user.type = SDL_USEREVENT;
    ev.user.code = kTimerWorkCode;
    ev.user.data1 = reinterpret_cast<void*>(fn);
    ev.user.data2 = reinterpret_cast<void*>(arg);
    const bool pushed = SDL_PushEvent(&ev) == 0;
    wakeEventWait();
    return pushed;
}

bool runTimerWork(const SDL_Event& ev)
{
    if (ev.type != SDL_USEREVENT || ev.user.code != kTimerWorkCode)
        return false;
    if (auto fn = reinterpret_cast<TimerWorkFn>(ev.user.data1))
        fn(reinterpret_cast<intptr_t>(ev.user.data2));
    return true;
}

void dropTimerWork(TimerWorkFn fn)
{
    SDL_PumpEvents();
    std::vector<SDL_Event> keep;
    SDL_Event ev;
    while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0)
        if (!(ev.type == SDL_USEREVENT && ev.user.code == kTimerWorkCode &&
              reinterpret_cast<TimerWorkFn>(ev.user.data1) == fn))
            keep.push_back(ev);
    for (SDL_Event& e : keep)
        SDL_PushEvent(&e);
}

} // namespace vell
