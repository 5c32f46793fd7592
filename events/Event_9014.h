// Event_9014_C: the fizzle reset, queued five ticks after a spell clouded a
// mind (Mind Phazing, Mind Blow). Every party member's and every fighting
// monster's "Fizzle" attribute goes back to 0, so that they cast again. It
// carries no state: a saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9014_C : public Event_C {
public:
    int typeId() const override { return EVENT_EXPIRE_FIZZLE; }
    // Always 0.
    int invoke(Interface_C* iface) override;

};
