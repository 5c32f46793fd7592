// The game's event classes announce themselves here. Start-up calls
// registerGameEvents once, before any map is read or any saved event queue is
// rebuilt: every line of the event table (world/EventTable.h: the map events
// from a map's event file, the timed events from a saved queue, the events
// built on the spot) registers its class's maker, with an explicit call,
// never from a static initializer.
#pragma once

void registerGameEvents();
