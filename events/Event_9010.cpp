#include "events/Event_9010.h"

#include "actions/WorldMagic.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

int Event_9010_C::invoke(Interface_C* iface)
{
    if (!gameworld)
        return 0;
    expireMagicBits(&gameworld->getTagList(), MAGIC_LIGHT, gameworld->getClock().getTicks());
    if (iface)
        iface->calcLight();
    return 0;
}
