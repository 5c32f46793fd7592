// ActionEnv_C: what the actions ask of the running game beyond the rules
// model (rules/RulesEnv.h already answers the clock's tick, the world
// variables and named sounds): timed events queued, the interface's
// recomputations after a world variable changed, the party's square, monster
// types by name, and the equipment trial of the character sheet.
//
// The game installs its own (world/WorldActionEnv.h) once at start-up; until
// then, and in tests that install nothing, this stand-in answers: it queues
// nothing, recomputes nothing, knows no position, finds monster types in
// masterMTL and reports every trial unchanged. Tests derive their own to
// record what was asked.
#pragma once
#include <cstdint>

class bl3dCharacter;
class bl3dMonsterType;
class bl3dPartyChar;
struct EquipTrial_S;

class ActionEnv_C {
public:
    virtual ~ActionEnv_C() = default;

    // --- timed events --------------------------------------------------------
    // The end of a stun (event 7001) at tick `due`: with a creature, that
    // creature's stun ends (when it is still in the party or the enemy list
    // then); with null, every stunned party member whose "StunTimeout" has
    // passed. False when nothing was queued (no world, a tick in the past).
    virtual bool queueStunTimeout(bl3dCharacter* target, uint32_t due);
    // A timed event that needs no creature (the expiry events 9010 to 9014,
    // the bard song 9100) at tick `due`. False when nothing was queued.
    virtual bool queueTimedEvent(int typeId, uint32_t due);

    // --- the interface ---------------------------------------------------------
    // After "MagLt1", "Percep1" or "XCState" changed.
    virtual void calcLight() {}
    virtual void buildPercepPane() {}
    virtual void calcXC() {}
    // The party's square (x east, y north) and facing in degrees; false when
    // no quest is loaded.
    virtual bool partyPosition(int& x, int& y, int& facing) const;

    // --- master data -----------------------------------------------------------
    // The monster type of that singular name; null when there is none.
    virtual bl3dMonsterType* findMonsterType(const char* name);

    // --- the character sheet ---------------------------------------------------
    // Lets the player rearrange the member's equipment as a trial and hands
    // the result back by item serial; the member's own items are left as
    // they are. False (and `out` unchanged) when no trial could run.
    virtual bool equipTrial(bl3dPartyChar* member, EquipTrial_S& out);
};

// The environment in force; never null.
ActionEnv_C& actionEnv();
// Installs an environment (not owned); null puts the stand-in back.
void setActionEnv(ActionEnv_C* env);
