#include "events/GameEvents.h"

#include "events/Event_9000.h"
#include "events/Event_9002.h"

void registerGameEvents()
{
    // Each event class adds its registration call here.
    registerTimedEvent(EVENT_NIGHTLY, &Event_9000_C::create);
    registerTimedEvent(EVENT_HOURLY, &Event_9002_C::create);
}
