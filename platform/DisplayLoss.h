// What the game does when its X display goes away under it (a closed remote
// session, a crashed desktop): Xlib reports the lost connection from
// whatever call next touches the display, and the usual way out (exit with
// its clean-up) then calls the display again and hangs or crashes. The game
// instead says so on the error stream and ends at once, with exit code 1,
// saving nothing: a quest is written only when the player saves it.
#pragma once

namespace vell {

// Installs the handler; call after SDL's video started (SDL installs one of
// its own then, which this one replaces).
void endOnLostDisplay();

} // namespace vell
