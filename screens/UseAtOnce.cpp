#include "screens/UseAtOnce.h"

#include "rules/Action.h"

int useAtOnce(bl3dAction* action, const std::function<bl3dActor*()>& newActor, void* target, int index, int argc,
              void** argv)
{
    if (!action)
        return -1;
    ActionUse_S* use = action->makeEntry(newActor(), target, argc, argv);
    if (!use)
        use = action->enqueue(newActor(), index, argc, argv);
    if (!use)
        return -1;
    const int r = action->perform(use);
    action->freeEntry(use);
    return r;
}
