#include "events/Event_9013.h"

#include "actions/WorldMagic.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

int Event_9013_C::invoke(Interface_C* iface)
{
    if (!gameworld)
        return 0;
    expireMagicBits(&gameworld->getTagList(), MAGIC_ENCOUNTER, gameworld->getClock().getTicks());
    if (iface)
        iface->calcXC();
    return 0;
}
