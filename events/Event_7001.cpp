#include "events/Event_7001.h"

#include "actions/Attributes.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

namespace
{

// The creature in play with that id: a party member or a monster of an
// enemy group; null when none has it.
bl3dCharacter* creatureWithId(uint64_t id)
{
    if (party)
        for (int i = 0; i < party->getCount(); ++i)
            if (bl3dPartyChar* m = party->getMember(i); m && m->uniqueId() == id)
                return m;
    for (int g = 0; const bl3dMonsterList* group = enemyList.groupAt(g); ++g)
        for (uint32_t i = 0; i < group->getSize(); ++i)
            if (bl3dMonster* m = group->getMonster(static_cast<int>(i)); m && m->uniqueId() == id)
                return m;
    return nullptr;
}

void endStun(bl3dCharacter* who)
{
    if (who->isStunned())
        who->clearBaseConditions(COND_STUNNED);
}

} // namespace

Event_7001_C::Event_7001_C(const bl3dCharacter* target) : creatureId_(target ? target->uniqueId() : 0) {}

int Event_7001_C::invoke(Interface_C*)
{
    if (creatureId_ != 0) {
        if (bl3dCharacter* who = creatureWithId(creatureId_))
            endStun(who);
        return 0;
    }
    if (!party)
        return 0;
    const uint32_t now = rulesEnv().currentTick();
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (m && m->isStunned() && now >= static_cast<uint32_t>(intAttribute(m, tagkey::StunTimeout)))
            endStun(m);
    }
    return 0;
}

