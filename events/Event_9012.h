// Event_9012_C: the end of the protective and anti-magic states. Spells and skills that switch on
// bits 0x01 to 0x80 of "MagState1" queue it at the tick their effect ends; when it runs,
// every bit whose expiry variable ("MagExp31" to "MagExp38", in bit order) holds a
// tick at or before now is cleared, and nothing else needs doing. A bit that a later
// cast made last longer stays, so several of these events for one variable
// are harmless. It carries no state: a saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9012_C : public Event_C {
public:
    int typeId() const override { return EVENT_EXPIRE_MAGSTATE; }
    // Always 0; nothing without a quest in play.
    int invoke(Interface_C* iface) override;

};
