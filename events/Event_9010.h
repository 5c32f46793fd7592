// Event_9010_C: the end of the party's magical light. Spells and skills that switch on
// bits 0x01 to 0x40 of "MagLt1" queue it at the tick their effect ends; when it runs,
// every bit whose expiry variable ("MagExp11" to "MagExp17", in bit order) holds a
// tick at or before now is cleared, and the party's light is worked out again. A bit that a later
// cast made last longer stays, so several of these events for one variable
// are harmless. It carries no state: a saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9010_C : public Event_C {
public:
    int typeId() const override { return EVENT_EXPIRE_MAGLT; }
    // Always 0; nothing without a quest in play.
    int invoke(Interface_C* iface) override;

};
