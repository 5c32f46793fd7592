// What the action screens do with the action the player chose: one use made
// at once (makeEntry with the target; when that makes none, enqueue by
// position with a new actor), performed and released.
#pragma once
#include <functional>

class bl3dAction;
class bl3dActor;

// perform's result; -1 when no use could be made. newActor is asked for a
// fresh actor for each try (the action takes it over).
int useAtOnce(bl3dAction* action, const std::function<bl3dActor*()>& newActor, void* target, int index, int argc,
              void** argv);
