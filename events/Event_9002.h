// Event_9002_C: the hourly upkeep, due at every full hour. It queues the
// next hour's run, lets joined and summoned creatures whose time
// ("MonExpire") has passed leave the party, and regenerates the others: hit
// points, spell points for casters and songs for bards, from the world's and
// each member's "Regen" bytes, daylight outdoors and the bard modifiers
// ("BardSPMod", "BardHPMod"). It carries no state: a saved queue rebuilds it
// by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9002_C : public Event_C {
public:
    int typeId() const override { return EVENT_HOURLY; }
    // Always 0.
    int invoke(Interface_C* iface) override;

};
