// Event_9000_C: the nightly upkeep, due at the start of every day. Every
// party member's daily counters are refilled, with the Land Reaver's
// berserk uses and the Protector's Fight Evil uses; then the next night's
// run is queued. It carries no state: a saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9000_C : public Event_C {
public:
    int typeId() const override { return EVENT_NIGHTLY; }
    // Always 0.
    int invoke(Interface_C* iface) override;

};
