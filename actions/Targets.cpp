#include "actions/Targets.h"

#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

int partySize() { return party ? party->getCount() : 0; }

bl3dPartyChar* partyMemberAt(int slot) {
    if (!party || slot < 0 || slot >= party->getCount())
        return nullptr;
    return party->getMember(slot);
}

int partySlotOf(const bl3dCharacter* who) {
    if (!who)
        return -1;
    for (int i = 0; i < partySize(); ++i)
        if (party->getMember(i) == who)
            return i;
    return -1;
}

bl3dCharacter* asPartyMember(void* target) {
    for (int i = 0; i < partySize(); ++i)
        if (party->getMember(i) == target)
            return party->getMember(i);
    return nullptr;
}

bl3dMonsterList* asEnemyGroup(void* target, int* distance) {
    const int d = target ? enemyList.distanceOf(static_cast<const bl3dMonsterList*>(target)) : -1;
    if (distance)
        *distance = d < 0 ? 0 : d;
    return d < 0 ? nullptr : static_cast<bl3dMonsterList*>(target);
}

bl3dMonsterList* groupHolding(const bl3dCharacter* who, int* distance) {
    if (distance)
        *distance = 0;
    if (!who)
        return nullptr;
    int d = 0;
    for (int i = 0; bl3dMonsterList* g = enemyList.groupAt(i, &d); ++i)
        for (uint32_t k = 0; k < g->getSize(); ++k)
            if (g->getMonster(static_cast<int>(k)) == who) {
                if (distance)
                    *distance = d;
                return g;
            }
    return nullptr;
}

bl3dMonster* livingMonsterIn(bl3dMonsterList* group) {
    if (!group || group->empty())
        return nullptr;
    const int size = static_cast<int>(group->getSize());
    bl3dMonster* m = group->getMonster(vell::gameRandMod(size));
    if (m && m->getCurHP() >= 1)
        return m;
    for (int i = 0; i < size; ++i) {
        bl3dMonster* other = group->getMonster(i);
        if (other && other->getCurHP() > 0)
            return other;
    }
    return nullptr;
}

bool pickLivingFoe(void* preferredGroup, FoeChoice_S& out) {
    out = FoeChoice_S{};
    int d = 0;
    if (bl3dMonsterList* g = asEnemyGroup(preferredGroup, &d)) {
        if (bl3dMonster* m = livingMonsterIn(g)) {
            out = FoeChoice_S{g, m, d};
            return true;
        }
    }
    for (int i = 0; bl3dMonsterList* g = enemyList.groupAt(i, &d); ++i) {
        if (bl3dMonster* m = livingMonsterIn(g)) {
            out = FoeChoice_S{g, m, d};
            return true;
        }
    }
    return false;
}

bool isIllusion(const bl3dCharacter* who) {
    if (!who)
        return false;
    if (who->isMonster())
        return static_cast<const bl3dMonster*>(who)->kind() != 0;
    return who->isPartyMember() && static_cast<const bl3dPartyChar*>(who)->isClass(CLASS_SUMMONED);
}

bl3dCharacter* partyTargetOrFirst(void* target) {
    bl3dCharacter* who = asPartyMember(target);
    if (who && who->getCurHP() >= 1)
        return who;
    bl3dCharacter* first = partyMemberAt(0);
    return (first && first->getCurHP() >= 1) ? first : nullptr;
}
