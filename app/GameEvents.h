// The game's event classes announce themselves here. Start-up calls
// registerGameEvents once, before any map is read or any saved event queue is
// rebuilt: every class that the world may have to build by type id (map
// events from a map's event file, timed events from a saved queue) registers
// its maker with an explicit call, never from a static initializer.
#pragma once

void registerGameEvents();
