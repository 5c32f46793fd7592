// WorldRulesEnv_C: what the rules model asks of the running game, answered by
// the quest in play: the world clock's tick, the world's item serials and
// variables and item limits, and sounds through the sound director. The interface installs
// one when a quest has loaded and removes it when the quest goes.
#pragma once
#include "rules/RulesEnv.h"

class bl3dGameWorld;
class bl3dItem;

class WorldRulesEnv_C : public RulesEnv_C {
public:
    explicit WorldRulesEnv_C(bl3dGameWorld* world) : world_(world) {}
    uint32_t currentTick() const override;
    uint64_t nextItemSerial() override;
    TagList_C* worldTags() override;
    void playSound(const char* name) override;
    void itemLimits(int& maxPack, int& maxItems) const override;

private:
    bl3dGameWorld* world_;
};

// A new item from the current map's random item table; null when no quest
// is loaded or the map has none. Start-up hands it to the monster drops.
bl3dItem* drawMapRandomItem();
