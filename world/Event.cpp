#include "world/Event.h"

#include "core/ModalLoop.h"
#include "world/Interface.h"

#include <cstdio>
#include <map>

namespace {

#define VELL_EVENT_ID(name, id, cls, what) name,
const int MAP_EVENT_IDS[] = {VELL_MAP_EVENTS(VELL_EVENT_ID)};
const int TIMED_EVENT_IDS[] = {VELL_TIMED_EVENTS(VELL_EVENT_ID)};
#undef VELL_EVENT_ID

template <size_t N>
bool inTable(const int (&table)[N], int id)
{
    for (int t : table)
        if (t == id)
            return true;
    return false;
}

std::map<int, MapEventMaker>& mapMakers()
{
    static std::map<int, MapEventMaker> m;
    return m;
}

std::map<int, TimedEventMaker>& timedMakers()
{
    static std::map<int, TimedEventMaker> m;
    return m;
}

EncounterMaker& encounterMaker(EncounterKind kind)
{
    static EncounterMaker makers[ENCOUNTER_KINDS] = {};
    return makers[kind];
}

// Every stand-in is announced: a class that was never registered must not
// pass unnoticed.
void noteStandIn(int id)
{
    std::fprintf(stderr, "WARNING: event type %d has no class in this game; a stand-in takes its place\n", id);
}

} // namespace

bool isMapEventId(int id)
{
    return inTable(MAP_EVENT_IDS, id);
}

bool isTimedEventId(int id)
{
    return inTable(TIMED_EVENT_IDS, id);
}

bool registerMapEvent(int id, MapEventMaker maker)
{
    if (!isMapEventId(id) || !maker)
        return false;
    mapMakers()[id] = maker;
    return true;
}

bool registerTimedEvent(int id, TimedEventMaker maker)
{
    if (!isTimedEventId(id) || !maker)
        return false;
    timedMakers()[id] = maker;
    return true;
}

bool registerEncounterEvent(EncounterKind kind, EncounterMaker maker)
{
    if (kind < 0 || kind >= ENCOUNTER_KINDS || !maker)
        return false;
    encounterMaker(kind) = maker;
    return true;
}

std::unique_ptr<Event_C> createEncounterEvent(EncounterKind kind, const EventParams_S* params)
{
    if (kind < 0 || kind >= ENCOUNTER_KINDS)
        return nullptr;
    if (EncounterMaker maker = encounterMaker(kind))
        return maker(params);
    std::fprintf(stderr, "WARNING: no event class for encounter kind %d in this game\n", static_cast<int>(kind));
    return nullptr;
}

void clearEventMakers()
{
    mapMakers().clear();
    timedMakers().clear();
    for (int k = 0; k < ENCOUNTER_KINDS; ++k)
        encounterMaker(static_cast<EncounterKind>(k)) = nullptr;
}

std::unique_ptr<Event_C> createMapEvent(int id, const EventParams_S* params)
{
    if (!isMapEventId(id))
        return nullptr;
    auto it = mapMakers().find(id);
    if (it != mapMakers().end())
        return it->second(params);
    noteStandIn(id);
    if (id == EVENT_SCRIPT)
        return std::make_unique<PlaceholderEvent_C>(id);
    return std::make_unique<BuildingStandIn_C>(id, params);
}

std::unique_ptr<Event_C> createTimedEvent(int id)
{
    if (!isTimedEventId(id))
        return nullptr;
    auto it = timedMakers().find(id);
    if (it != timedMakers().end())
        return it->second();
    noteStandIn(id);
    return std::make_unique<PlaceholderEvent_C>(id);
}

BuildingStandIn_C::BuildingStandIn_C(int id, const EventParams_S* params) : PlaceholderEvent_C(id)
{
    if (params) {
        hasExit_ = true;
        exitX_ = params->exitX;
        exitY_ = params->exitY;
        exitFacing_ = params->exitFacing;
    }
}

int BuildingStandIn_C::invoke(Interface_C* iface)
{
    if (!iface || !hasExit_)
        return 0;
    iface->setCurX(static_cast<float>(exitX_));
    iface->setCurZ(-static_cast<float>(exitY_));
    iface->setFacing(exitFacing_);
    vell::pushRedraw();   // the view shows where the party now stands
    return 0;
}
