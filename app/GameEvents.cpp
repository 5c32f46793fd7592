#include "app/GameEvents.h"

#include "events/Event_2000.h"
#include "events/Event_4000.h"
#include "events/Event_4000a.h"
#include "events/Event_4001.h"
#include "events/Event_7001.h"
#include "events/Event_8000.h"
#include "events/Event_9000.h"
#include "events/Event_9002.h"
#include "events/Event_9010.h"
#include "events/Event_9011.h"
#include "events/Event_9012.h"
#include "events/Event_9013.h"
#include "events/Event_9014.h"
#include "events/Event_9100.h"
#include "town/Event_1000.h"
#include "town/Event_1001.h"
#include "town/Event_1002.h"
#include "town/Event_1003.h"
#include "town/Event_1005.h"
#include "town/Event_1018.h"
#include "town/Event_1022.h"
#include "town/Event_1023.h"
#include "town/Event_1050.h"
#include "town/Shops.h"
#include "town/Taverns.h"

void registerGameEvents()
{
    // Each event class adds its registration call here.
    registerMapEvent(2000, &Event_2000_C::create);
    registerEncounterEvent(ENCOUNTER_MOVIE, &Event_8000_C::create);
    registerTimedEvent(EVENT_STUN_TIMEOUT, &Event_7001_C::create);
    registerTimedEvent(EVENT_NIGHTLY, &Event_9000_C::create);
    registerTimedEvent(EVENT_HOURLY, &Event_9002_C::create);
    registerTimedEvent(EVENT_EXPIRE_MAGLT, &Event_9010_C::create);
    registerTimedEvent(EVENT_EXPIRE_PERCEP, &Event_9011_C::create);
    registerTimedEvent(EVENT_EXPIRE_MAGSTATE, &Event_9012_C::create);
    registerTimedEvent(EVENT_EXPIRE_XCSTATE, &Event_9013_C::create);
    registerTimedEvent(EVENT_EXPIRE_FIZZLE, &Event_9014_C::create);
    registerTimedEvent(EVENT_BARD_SONG, &Event_9100_C::create);
    // The events the game starts itself: the fight, the monsters' offer to
    // join and the chest.
    registerEncounterEvent(ENCOUNTER_FIGHT, &Event_4000_C::create);
    registerEncounterEvent(ENCOUNTER_JOIN, &Event_4000a_C::create);
    registerEncounterEvent(ENCOUNTER_CHEST, &Event_4001_C::create);
    // The town's buildings.
    registerMapEvent(Event_1000_C::TYPE_ID, &Event_1000_C::create);
    registerMapEvent(Event_1001_C::TYPE_ID, &Event_1001_C::create);
    registerMapEvent(Event_1002_C::TYPE_ID, &Event_1002_C::create);
    registerMapEvent(Event_1003_C::TYPE_ID, &Event_1003_C::create);
    registerMapEvent(Event_1005_C::TYPE_ID, &Event_1005_C::create);
    registerMapEvent(Event_1006_C::TYPE_ID, &Event_1006_C::create);
    registerMapEvent(Event_1007_C::TYPE_ID, &Event_1007_C::create);
    registerMapEvent(Event_1008_C::TYPE_ID, &Event_1008_C::create);
    registerMapEvent(Event_1009_C::TYPE_ID, &Event_1009_C::create);
    registerMapEvent(Event_1010_C::TYPE_ID, &Event_1010_C::create);
    registerMapEvent(Event_1018_C::TYPE_ID, &Event_1018_C::create);
    registerMapEvent(Event_1022_C::TYPE_ID, &Event_1022_C::create);
    registerMapEvent(Event_1023_C::TYPE_ID, &Event_1023_C::create);
    registerMapEvent(Event_1050_C::TYPE_ID, &Event_1050_C::create);
    registerShops();
}
