#include "core/TimerWork.h"

#include "platform/EventWait.h"

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

} // namespace vell
