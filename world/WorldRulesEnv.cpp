#include "world/WorldRulesEnv.h"

#include "audio/MasterAudio.h"
#include "world/GameWorld.h"
#include "world/Map.h"

uint32_t WorldRulesEnv_C::currentTick() const { return world_->getClock().getTicks(); }

uint64_t WorldRulesEnv_C::nextItemSerial() { return world_->nextItemSerial(); }

TagList_C* WorldRulesEnv_C::worldTags() { return &world_->getTagList(); }

void WorldRulesEnv_C::playSound(const char* name)
{
    if (name)
        maserAudio.playSound(name);
}

void WorldRulesEnv_C::itemLimits(int& maxPack, int& maxItems) const
{
    maxPack = world_->getMaxPack();
    maxItems = world_->getMaxItems();
}

bl3dItem* drawMapRandomItem()
{
    Map_C* map = gameworld ? gameworld->getCurrentMap() : nullptr;
    return map ? map->randItem() : nullptr;
}
