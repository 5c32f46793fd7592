// Event_7001_C, "StunTimeout": the end of a stun, queued by the skill that
// stunned (Entangle) at the tick the stun ends.
//
// Made with the stunned creature, or with none: a monster's stun is ended
// through the creature itself; a party member's through its attribute
// "StunTimeout", so the event also works after the queue was saved and read
// back (the queue keeps only the type id: the event then comes back without
// a creature).
//
// The creature is never trusted blindly: by the time the event runs the
// monster may have died and been pruned, or the member may have left. invoke
// first finds the creature among the party's members or the enemy groups'
// monsters and does nothing when it is not there.
#pragma once
#include "world/Event.h"

#include <memory>

class bl3dCharacter;

class Event_7001_C : public Event_C {
public:
    explicit Event_7001_C(bl3dCharacter* target = nullptr) : target_(target) {}

    int typeId() const override { return EVENT_STUN_TIMEOUT; }
    // With a creature still in play and stunned: bit 0x01 leaves its base
    // conditions. Without one: every stunned party member whose
    // "StunTimeout" is at or before now. 0 always.
    int invoke(Interface_C* iface) override;

    bl3dCharacter* target() const { return target_; }

    // What a saved queue rebuilds: the event without a creature.
    static std::unique_ptr<Event_C> create();

private:
    bl3dCharacter* target_;
};
