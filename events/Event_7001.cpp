#include "events/Event_7001.h"

#include "actions/Attributes.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"

namespace
{

bool inParty(const bl3dCharacter* who)
{
    if (!party)
        return false;
    for (int i = 0; i < party->getCount(); ++i)
        if (party->getMember(i) == who)
            return true;
    return false;
}

bool amongEnemies(const bl3dCharacter* who)
{
    for (int g = 0; const bl3dMonsterList* group = enemyList.groupAt(g); ++g)
        for (uint32_t i = 0; i < group->getSize(); ++i)
            if (group->getMonster(static_cast<int>(i)) == who)
                return true;
    return false;
}

void endStun(bl3dCharacter* who)
{
    if (who->isStunned())
        who->clearBaseConditions(COND_STUNNED);
}

} // namespace

int Event_7001_C::invoke(Interface_C*)
{
    if (target_) {
        // Compared as an address only: a creature that is gone is not read.
        if (inParty(target_) || amongEnemies(target_))
            endStun(target_);
        return 0;
    }
    if (!party)
        return 0;
    const uint32_t now = rulesEnv().currentTick();
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (m && m->isStunned() && now >= static_cast<uint32_t>(intAttribute(m, "StunTimeout")))
            endStun(m);
    }
    return 0;
}

std::unique_ptr<Event_C> Event_7001_C::create()
{
    return std::make_unique<Event_7001_C>();
}
