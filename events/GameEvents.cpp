#include "events/GameEvents.h"

void registerGameEvents()
{
    // Each event class adds its registration call here.
}
