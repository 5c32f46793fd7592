#include "events/Event_9100.h"

#include "actions/Songs.h"

std::unique_ptr<Event_C> Event_9100_C::create()
{
    return std::make_unique<Event_9100_C>();
}

int Event_9100_C::invoke(Interface_C*)
{
    endSongOutsideCombatWhenDue();
    return 0;
}
