#include "world/Event.h"

#include "core/ModalLoop.h"
#include "world/Interface.h"

#include <cstdio>
#include <map>

namespace {

const int MAP_EVENT_IDS[] = {1000, 1001, 1002, 1003, 1005, 1006, 1007, 1008, 1009, 1010,
                             1011, 1012, 1013, 1014, 1017, 1018, 1022, 1023, 1050, 2000};
const int TIMED_EVENT_IDS[] = {7001, 9000, 9002, 9010, 9011, 9012, 9013, 9014, 9100};
const int SPOT_EVENT_IDS[] = {4000, 4001, 8000};

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

std::map<int, MapEventMaker>& spotMakers()
{
    static std::map<int, MapEventMaker> m;
    return m;
}

constexpr int kHallId = 1000;
constexpr int kScriptedEventId = 2000;

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

bool isSpotEventId(int id)
{
    return inTable(SPOT_EVENT_IDS, id);
}

bool registerSpotEvent(int id, MapEventMaker maker)
{
    if (!isSpotEventId(id) || !maker)
        return false;
    spotMakers()[id] = maker;
    return true;
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

void clearEventMakers()
{
    mapMakers().clear();
    timedMakers().clear();
    spotMakers().clear();
}

std::unique_ptr<Event_C> createMapEvent(int id, const EventParams_S* params)
{
    if (!isMapEventId(id))
        return nullptr;
    auto it = mapMakers().find(id);
    if (it != mapMakers().end())
        return it->second(params);
    noteStandIn(id);
    if (id == kScriptedEventId)
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

std::unique_ptr<Event_C> createSpotEvent(int id, const EventParams_S* params)
{
    if (!isSpotEventId(id))
        return nullptr;
    auto it = spotMakers().find(id);
    if (it != spotMakers().end())
        return it->second(params);
    std::fprintf(stderr, "WARNING: event type %d has no class in this game; nothing happens\n", id);
    return nullptr;
}

BuildingStandIn_C::BuildingStandIn_C(int id, const EventParams_S* params) : PlaceholderEvent_C(id)
{
    if (params) {
        hasExit_ = true;
        exitX_ = params->exitX;
        exitY_ = params->exitY;
        exitFacing_ = params->exitFacing;
    } else if (id == kHallId) {
        hasExit_ = true;
        exitX_ = 14;
        exitY_ = 24;
        exitFacing_ = 270;
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
