#include "events/Event_9011.h"

#include "actions/WorldMagic.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

std::unique_ptr<Event_C> Event_9011_C::create()
{
    return std::make_unique<Event_9011_C>();
}

int Event_9011_C::invoke(Interface_C* iface)
{
    if (!gameworld)
        return 0;
    expireMagicBits(&gameworld->getTagList(), MAGIC_PERCEPTION, gameworld->getClock().getTicks());
    if (iface)
        iface->buildPercepPane();
    return 0;
}
