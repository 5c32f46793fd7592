#include "actions/ActionEnv.h"

#include "rules/EquipTrial.h"
#include "rules/MonsterType.h"

namespace {
ActionEnv_C standIn;
ActionEnv_C* current = nullptr;
} // namespace

bool ActionEnv_C::queueStunTimeout(bl3dCharacter*, uint32_t) { return false; }

bool ActionEnv_C::queueTimedEvent(int, uint32_t) { return false; }

bool ActionEnv_C::partyPosition(int& x, int& y, int& facing) const {
    x = y = facing = 0;
    return false;
}

bl3dMonsterType* ActionEnv_C::findMonsterType(const char* name) { return name ? masterMTL.findByName(name) : nullptr; }

bool ActionEnv_C::equipTrial(bl3dPartyChar*, EquipTrial_S&) { return false; }

ActionEnv_C& actionEnv() { return current ? *current : standIn; }

void setActionEnv(ActionEnv_C* env) { current = env; }
