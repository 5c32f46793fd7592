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

bool ActionEnv_C::moveParty(int, int) { return false; }

bool ActionEnv_C::mapSize(int& width, int& height) const {
    width = height = 0;
    return false;
}

bool ActionEnv_C::isBlocked(int, int, int) const { return false; }

bool ActionEnv_C::hasWall(int, int, int) const { return false; }

uint8_t ActionEnv_C::squareState(int, int) const { return 0; }

void ActionEnv_C::springTraps(bool, bool, int, int, int, int) {}

bool ActionEnv_C::bsTest(int32_t, uint32_t) { return false; }

int ActionEnv_C::playSong(int32_t, uint32_t) { return -1; }

bl3dMonsterType* ActionEnv_C::findMonsterType(const char* name) { return name ? masterMTL.findByName(name) : nullptr; }

bool ActionEnv_C::equipTrial(bl3dPartyChar*, EquipTrial_S&) { return false; }

ActionEnv_C& actionEnv() { return current ? *current : standIn; }

void setActionEnv(ActionEnv_C* env) { current = env; }
