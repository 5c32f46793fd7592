#include "events/GameEvents.h"

#include "events/Event_7001.h"
#include "events/Event_9000.h"
#include "events/Event_9002.h"

void registerGameEvents()
{
    // Each event class adds its registration call here.
    registerTimedEvent(EVENT_STUN_TIMEOUT, &Event_7001_C::create);
    registerTimedEvent(EVENT_NIGHTLY, &Event_9000_C::create);
    registerTimedEvent(EVENT_HOURLY, &Event_9002_C::create);
}
