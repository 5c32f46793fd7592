#include "MonsterSpec.h"

#include "rules/ActionList.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"

#include <memory>

bl3dMonsterType* addMonsterType(const MonsterSpec_S& spec)
{
    MonsterTypeRecord_S r;
    r.name = spec.name;
    r.pluralName = spec.plural;
    r.nameBuffer = spec.name;
    r.level = spec.level;
    r.hpBase = spec.hp;
    r.spBase = spec.sp;
    r.goldBase = spec.gold;
    r.xpBase = spec.xp;
    for (int i = 0; i <= STAT_EXTRA_ATTACKS; ++i)
        r.stats[i] = spec.stats[i];
    r.creatureType = spec.creatureType;
    r.sexCode = spec.sexCode;
    r.actions = spec.actions;
    r.actions2 = spec.actions2;
    r.drops = spec.drops;
    auto type = std::make_unique<bl3dMonsterType>(r, masterActionList);
    bl3dMonsterType* raw = type.get();
    masterMTL.pushFront(std::move(type));
    return raw;
}
