// Event_C: the base of everything that happens to the party beyond plain
// walking (buildings, scripted scenes, chests, combat, timed upkeep).
// Events are made two ways: map events from a map's event file, by id, with an
// EventParams_S; timed events from the event queue's saved type ids. The
// ids are the lines of world/EventTable.h; start-up registers each line's
// class here (makeEvent), so the world can build events of folders it does
// not know.
#pragma once
#include "world/EventTable.h"

#include <cstdint>
#include <memory>

class Interface_C;
struct Chest_S;

// What a map event's constructor is given: where the party is put when it
// leaves (buildings), and the script or movie name. The maker copies what it
// keeps; the record is freed right after construction.
struct EventParams_S {
    char name[64] = {};
    int32_t exitX = 0;
    int32_t exitY = 0;
    int32_t exitFacing = 0;
    Chest_S* chest = nullptr;
};

class Event_C {
public:
    Event_C() = default;
    virtual ~Event_C() = default;
    Event_C(const Event_C&) = delete;
    Event_C& operator=(const Event_C&) = delete;

    virtual int typeId() const = 0;
    // Runs the event; a modal event runs its own loop and returns when done.
    virtual int invoke(Interface_C* iface) = 0;
    virtual int getNoAnim() const { return noanimFlag; }
    virtual void setNoAnim(int flag) { noanimFlag = flag; }
    // Whether invoking it does what it was made for: false for a scripted
    // event whose script the game does not have, and for a stand-in.
    virtual bool isReady() const { return true; }

protected:
    int32_t noanimFlag = 0;
};

// Stands in for an event whose class is not part of this build: it keeps its
// type id (so a saved queue keeps it) and does nothing when invoked.
class PlaceholderEvent_C : public Event_C {
public:
    explicit PlaceholderEvent_C(int id) : id_(id) {}
    int typeId() const override { return id_; }
    int invoke(Interface_C*) override { return 0; }
    bool isReady() const override { return false; }

private:
    int id_;
};

// Stands in for a building whose class is not part of this build: entering
// it is leaving it at once. It puts the party on the square's exit as
// leaving a building does (without a record it leaves the party where it
// stands), asks for a redraw, and changes nothing else: no screen, no time.
class BuildingStandIn_C : public PlaceholderEvent_C {
public:
    BuildingStandIn_C(int id, const EventParams_S* params);
    int invoke(Interface_C* iface) override;
    bool isReady() const override { return true; }

private:
    bool hasExit_ = false;
    int32_t exitX_ = 0;
    int32_t exitY_ = 0;
    int32_t exitFacing_ = 0;
};

// --- ids ---------------------------------------------------------------------
#define VELL_EVENT_ID_ENUM(name, id, cls, what) name = id,
// Map events (VELL_MAP_EVENTS): the buildings and the scripted square.
enum MapEventId : int { VELL_MAP_EVENTS(VELL_EVENT_ID_ENUM) };
// Timed events (VELL_TIMED_EVENTS).
enum TimedEventId : int { VELL_TIMED_EVENTS(VELL_EVENT_ID_ENUM) };
#undef VELL_EVENT_ID_ENUM

// --- makers ------------------------------------------------------------------
// Map events, made with the square's EventParams_S.
using MapEventMaker = std::unique_ptr<Event_C> (*)(const EventParams_S* params);
// Timed events, the only kinds ever queued, made without arguments (7001
// without a creature).
using TimedEventMaker = std::unique_ptr<Event_C> (*)();

// The maker of an event class, for each kind of maker above.
template <class T>
std::unique_ptr<Event_C> makeEvent(const EventParams_S* params)
{
    return std::make_unique<T>(params);
}
template <class T>
std::unique_ptr<Event_C> makeEvent()
{
    return std::make_unique<T>();
}

bool isMapEventId(int id);
bool isTimedEventId(int id);

// Registering an id outside its table is refused (false). The newest
// registration of an id wins.
bool registerMapEvent(int id, MapEventMaker maker);
bool registerTimedEvent(int id, TimedEventMaker maker);
// Forgets every registration (tests).
void clearEventMakers();

// Events the game builds on the spot and runs at once, rather than a map's:
// a fight (whoever fills the enemy list: a script, a random encounter, a
// monster's offer turned sour), the offer of wandering monsters to join, the
// chest of a won fight or a script (its record in EventParams_S::chest, which
// the chest event takes), and a script's movie.
enum EncounterKind : int { ENCOUNTER_FIGHT, ENCOUNTER_JOIN, ENCOUNTER_CHEST, ENCOUNTER_MOVIE, ENCOUNTER_KINDS };
using EncounterMaker = std::unique_ptr<Event_C> (*)(const EventParams_S* params);
// False for a kind outside the enum or a null maker.
bool registerEncounterEvent(EncounterKind kind, EncounterMaker maker);
// Null (and a line on the error stream) when the kind has no class in this
// build: the caller goes on without it (a chest it built is its own to free).
std::unique_ptr<Event_C> createEncounterEvent(EncounterKind kind, const EventParams_S* params);

// Null for an id outside the table. For an id of the table whose class has
// not registered a maker: a BuildingStandIn_C for a building, a
// PlaceholderEvent_C otherwise, and a line on the error stream that says so.
std::unique_ptr<Event_C> createMapEvent(int id, const EventParams_S* params);
std::unique_ptr<Event_C> createTimedEvent(int id);
