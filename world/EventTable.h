// The game's one table of event ids: every event that the world builds by
// its id, one line each, X(name of the id, id, class, what it is). The
// world reads the ids from it (isMapEventId, isTimedEventId, the EVENT_
// constants of world/Event.h) without knowing the classes; the program's
// start-up (app/GameEvents.cpp) registers each line's class with
// makeEvent<class>. A new building is one more line here and its header in
// app/GameEvents.cpp; its class file is named after the class
// (town/Event_1002.h for Event_1002_C), the shops' in town/Shops.h and the
// taverns' in town/Taverns.h.
#pragma once

// The town's buildings: map events, made from the town's event file, each
// with the square its door leads out to.
#define VELL_BUILDING_EVENTS(X)                                          \
    X(EVENT_HALL, 1000, Event_1000_C, "Hall of Adventurers")             \
    X(EVENT_ELIUMS, 1001, Event_1001_C, "Elium's Energy Emporium")       \
    X(EVENT_TEMPLE, 1002, Event_1002_C, "Temple")                        \
    X(EVENT_COLLEGIUM, 1003, Event_1003_C, "Collegium of Magika")        \
    X(EVENT_LYRE, 1005, Event_1005_C, "Order of the Lyre")               \
    X(EVENT_MELKORANS, 1006, Event_1006_C, "Melkoran's Tavern")          \
    X(EVENT_GREEN_BARD, 1007, Event_1007_C, "The Green Bard")            \
    X(EVENT_HUGHTERS_OWL, 1008, Event_1008_C, "Hughter's Owl")           \
    X(EVENT_CHICCASAW, 1009, Event_1009_C, "The Chiccasaw")              \
    X(EVENT_MARAUDERS_HOLE, 1010, Event_1010_C, "The Marauder's Hole")   \
    X(EVENT_STARFIRE, 1011, Event_1011_C, "Starfire Swords")             \
    X(EVENT_IMPERIAL, 1012, Event_1012_C, "Imperial Weapons")            \
    X(EVENT_VALOR, 1013, Event_1013_C, "Arms of Valor")                  \
    X(EVENT_GENERAL_STORE, 1014, Event_1014_C, "General Store")          \
    X(EVENT_LANDRUS, 1017, Event_1017_C, "Landru's Craft Supply")        \
    X(EVENT_BARRACKS, 1018, Event_1018_C, "Barracks")                    \
    X(EVENT_CASINO, 1022, Event_1022_C, "Casino")                        \
    X(EVENT_ARCANIUM, 1023, Event_1023_C, "Arcanium")                    \
    X(EVENT_HOUSE, 1050, Event_1050_C, "House")

// Every map event: the buildings and the scripted square
// (events/Event_2000.h), which runs a script of data/scripts.
#define VELL_MAP_EVENTS(X)   \
    VELL_BUILDING_EVENTS(X) \
    X(EVENT_SCRIPT, 2000, Event_2000_C, "scripted square")

// Timed events, the only kinds ever queued: made without arguments when a
// saved queue is read back (events/).
#define VELL_TIMED_EVENTS(X)                                                   \
    X(EVENT_STUN_TIMEOUT, 7001, Event_7001_C, "a stun ends")                   \
    X(EVENT_NIGHTLY, 9000, Event_9000_C, "nightly upkeep")                     \
    X(EVENT_HOURLY, 9002, Event_9002_C, "hourly upkeep")                       \
    X(EVENT_EXPIRE_MAGLT, 9010, Event_9010_C, "magical light ends")            \
    X(EVENT_EXPIRE_PERCEP, 9011, Event_9011_C, "magical senses end")           \
    X(EVENT_EXPIRE_MAGSTATE, 9012, Event_9012_C, "protections end")            \
    X(EVENT_EXPIRE_XCSTATE, 9013, Event_9013_C, "changes to encounters end")   \
    X(EVENT_EXPIRE_FIZZLE, 9014, Event_9014_C, "fizzle reset")                 \
    X(EVENT_BARD_SONG, 9100, Event_9100_C, "bard song ends")

// The type ids of the events built on the spot (the join offer answers to
// the fight's id).
enum SpotEventId : int {
    EVENT_COMBAT = 4000,
    EVENT_CHEST = 4001,
    EVENT_MOVIE = 8000,
};

// The events the game builds on the spot, by their kind (world/Event.h's
// EncounterKind) rather than an id: X(kind, id, class, what it is). The
// join offer answers to the fight's id.
#define VELL_ENCOUNTER_EVENTS(X)                                        \
    X(ENCOUNTER_FIGHT, EVENT_COMBAT, Event_4000_C, "fight")             \
    X(ENCOUNTER_JOIN, EVENT_COMBAT, Event_4000a_C, "offer to join")     \
    X(ENCOUNTER_CHEST, EVENT_CHEST, Event_4001_C, "treasure chest")     \
    X(ENCOUNTER_MOVIE, EVENT_MOVIE, Event_8000_C, "movie")

