// Event_9013_C: the end of the changes to encounters. Spells and skills that switch on
// bits 0x02, 0x04 and 0x08 of "XCState" queue it at the tick their effect ends; when it runs,
// every bit whose expiry variable ("MagExp41" to "MagExp43", in bit order) holds a
// tick at or before now is cleared, and the encounter values are worked out again. A bit that a later
// cast made last longer stays, so several of these events for one variable
// are harmless. It carries no state: a saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9013_C : public Event_C {
public:
    int typeId() const override { return EVENT_EXPIRE_XCSTATE; }
    // Always 0; nothing without a quest in play.
    int invoke(Interface_C* iface) override;

};
