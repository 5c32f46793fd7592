// Event_7001_C, "StunTimeout": the end of a stun, queued by the skill that
// stunned (Entangle) at the tick the stun ends.
//
// Made with the stunned creature, or with none: a monster's stun is ended
// through the creature itself; a party member's through its attribute
// "StunTimeout", so the event also works after the queue was saved and read
// back (the queue keeps only the type id: the event then comes back without
// a creature).
//
// The event holds the creature's unique id, never its pointer: by the time
// it runs the monster may have died and been pruned, or the member may have
// left, and another creature may have been made at the same address. invoke
// looks for a creature with that id among the party's members and the enemy
// groups' monsters and does nothing when none has it.
#pragma once
#include "world/Event.h"

#include <cstdint>
#include <memory>

class bl3dCharacter;

class Event_7001_C : public Event_C {
public:
    // What a saved queue rebuilds: the event without a creature.
    Event_7001_C() = default;
    explicit Event_7001_C(const bl3dCharacter* target);
    // The creature by its unique id; 0 for none.
    explicit Event_7001_C(uint64_t creatureId) : creatureId_(creatureId) {}

    int typeId() const override { return EVENT_STUN_TIMEOUT; }
    // With a creature still in play and stunned: bit 0x01 leaves its base
    // conditions. Without one: every stunned party member whose
    // "StunTimeout" is at or before now. 0 always.
    int invoke(Interface_C* iface) override;

    // The unique id of the creature it frees; 0 for the party's timeouts.
    uint64_t creatureId() const { return creatureId_; }

private:
    uint64_t creatureId_ = 0;
};
