#include "events/Event_9100.h"

#include "actions/Songs.h"

int Event_9100_C::invoke(Interface_C*)
{
    endSongOutsideCombatWhenDue();
    return 0;
}
