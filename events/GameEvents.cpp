#include "events/GameEvents.h"

#include "events/Event_7001.h"

void registerGameEvents()
{
    // Each event class adds its registration call here.
    registerEvent7001();
}
