#include "rules/SavingThrow.h"

#include "platform/Random.h"
#include "rules/Character.h"
#include "rules/PartyChar.h"
#include "rules/SavingThrowTable.h"

#include <cstdint>

bool rollSavingThrow(bl3dCharacter* who, int index, int bonus) {
    // In 64 bits: a bonus near the ends of the int range saves always or never.
    const int64_t roll = static_cast<int64_t>(vell::gameRand() % 20 + 1) + bonus;
    if (!who || index < 0 || index >= savethrow::INDICES)
        return false;
    int table = -1;
    int level = 1;
    if (who->isMonster()) {
        table = savethrow::tableForCategory(savethrow::monsterCategory(who->getName()));
    } else if (who->isPartyMember()) {
        const auto* member = static_cast<const bl3dPartyChar*>(who);
        table = savethrow::tableForClass(member->getClassId());
        level = member->getLevel();
    }
    if (table < 0)
        return false;
    return roll >= savethrow::target(table, level, index);
}

bool rollElementResist(bl3dCharacter* who, int element) {
    static const int stats[4] = {STAT_FIRE_HIT, STAT_EARTH_HIT, STAT_AIR_HIT, STAT_WATER_HIT};
    if (element < ELEMENT_FIRE || element > ELEMENT_WATER)
        return false;
    const int roll = vell::gameRand() % 100 + 1;
    return who && who->getStatBlock()->getCur(stats[element - 1]) >= roll;
}
