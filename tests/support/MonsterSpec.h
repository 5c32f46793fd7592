// A monster type to build, and its builder: the type goes into masterMTL
// (monster types are always evil), which owns it.
#pragma once
#include "rules/Action.h"
#include "rules/StatBlock.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class bl3dMonsterType;

struct MonsterSpec_S {
    MonsterSpec_S() { actions.emplace_back(ACTION_ATTACK, 5); }
    std::string name = "Orc";
    std::string plural = "Orcs";
    int32_t level = 1;
    int32_t hp = 10;
    int32_t sp = 0;
    // By STAT_ST ... STAT_EXTRA_ATTACKS: every attribute 10, AC 10, no
    // bonus to hit or to damage, one attack.
    int32_t stats[STAT_EXTRA_ATTACKS + 1] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 0, 0, 1};
    int32_t creatureType = 0;
    int32_t sexCode = 0;
    int32_t gold = 0;
    int32_t xp = 10;
    // (action id, weight): Attack, weight 5, unless changed; Defend
    // (weight 0) comes with every type.
    std::vector<std::pair<int32_t, int32_t>> actions;
    std::vector<std::pair<int32_t, int32_t>> actions2;
    // What each one carries, as the monster file writes it.
    std::vector<std::string> drops;
};

bl3dMonsterType* addMonsterType(const MonsterSpec_S& spec);
