#include "platform/EventWait.h"

#include <SDL_syswm.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace vell {

namespace {

int wakePipe[2] = {-1, -1};

void openWakePipe()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (::pipe(wakePipe) != 0) {
            wakePipe[0] = wakePipe[1] = -1;
            return;
        }
        for (int fd : wakePipe) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    });
}

// The X display's connection; -1 without an X11 window.
int displayConnection()
{
    if (!SDL_GetVideoSurface())
        return -1;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return -1;
    return ConnectionNumber(info.info.x11.display);
}

} // namespace

void wakeEventWait()
{
    openWakePipe();
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        const ssize_t n = ::write(wakePipe[1], &byte, 1);   // a full pipe is awake already
        (void)n;
    }
}

bool waitEvent(SDL_Event* ev)
{
    openWakePipe();
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    for (;;) {
        // Reads what the display sent (and empties Xlib's own queue, so that
        // the connection shows anything new), then looks at the queue.
        SDL_PumpEvents();
        const int n = SDL_PeepEvents(ev, 1, SDL_GETEVENT, SDL_ALLEVENTS);
        if (n < 0)
            return false;
        if (n > 0)
            return true;
        pollfd fds[2];
        nfds_t count = 0;
        const int display = displayConnection();
        if (display >= 0)
            fds[count++] = {display, POLLIN, 0};
        if (wakePipe[0] >= 0)
            fds[count++] = {wakePipe[0], POLLIN, 0};
        // Without a display connection to watch, look again soon.
        ::poll(fds, count, display >= 0 ? kMaxSleepMs : 10);
        if (wakePipe[0] >= 0) {
            char buf[64];
            while (::read(wakePipe[0], buf, sizeof buf) > 0) {
            }
        }
    }
}

} // namespace vell
