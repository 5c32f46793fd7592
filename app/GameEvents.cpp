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

namespace {

// The event table (world/EventTable.h) with the maker of each line's class.
template <class Id, class Maker>
struct EventMaker_S {
    Id id;
    Maker make;
    const char* name;
};

#define VELL_EVENT_MAKER(id, number, cls, name) {id, &makeEvent<cls>, name},
const EventMaker_S<int, MapEventMaker> kMapEvents[] = {VELL_MAP_EVENTS(VELL_EVENT_MAKER)};
const EventMaker_S<int, TimedEventMaker> kTimedEvents[] = {VELL_TIMED_EVENTS(VELL_EVENT_MAKER)};
#undef VELL_EVENT_MAKER
#define VELL_EVENT_MAKER(kind, id, cls, name) {kind, &makeEvent<cls>, name},
const EventMaker_S<EncounterKind, EncounterMaker> kEncounterEvents[] = {VELL_ENCOUNTER_EVENTS(VELL_EVENT_MAKER)};
#undef VELL_EVENT_MAKER

} // namespace

void registerGameEvents()
{
    for (const auto& e : kMapEvents)
        registerMapEvent(e.id, e.make);
    for (const auto& e : kTimedEvents)
        registerTimedEvent(e.id, e.make);
    for (const auto& e : kEncounterEvents)
        registerEncounterEvent(e.id, e.make);
}
