#include "events/Event_9011.h"

#include "actions/WorldMagic.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

int Event_9011_C::invoke(Interface_C* iface)
{
    if (!gameworld)
        return 0;
    expireMagicBits(&gameworld->getTagList(), MAGIC_PERCEPTION, gameworld->getClock().getTicks());
    if (iface)
        iface->buildPercepPane();
    return 0;
}
