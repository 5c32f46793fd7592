// Sanitizer builds only: keeps the OpenGL driver modules loaded until the
// program ends. SDL_Quit unloads them, and the leak checker that runs at exit
// can then no longer name the module that made a driver's allocations, so its
// suppressions (tests/lsan.supp) miss them and the game's own leaks drown.
// Does nothing in a normal build.
#pragma once

namespace vell {

void keepDriverModulesLoaded();

} // namespace vell
