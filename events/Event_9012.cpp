#include "events/Event_9012.h"

#include "actions/WorldMagic.h"
#include "world/GameWorld.h"

int Event_9012_C::invoke(Interface_C*)
{
    if (!gameworld)
        return 0;
    expireMagicBits(&gameworld->getTagList(), MAGIC_STATE, gameworld->getClock().getTicks());
    return 0;
}
