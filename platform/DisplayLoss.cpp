#include "platform/DisplayLoss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>

namespace vell {

namespace {

int lostDisplay(Display*)
{
    // Only what is safe here: the display is gone and the heap may be in
    // the middle of a change made by the call that found out.
    static const char kMessage[] = "ERROR: The connection to the display was lost; the game ends without saving.\n";
    const ssize_t written = ::write(2, kMessage, sizeof kMessage - 1);
    (void)written;
    ::_exit(1);
}

} // namespace

void endOnLostDisplay()
{
    XSetIOErrorHandler(lostDisplay);
}

} // namespace vell
