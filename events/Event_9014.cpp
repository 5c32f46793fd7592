#include "events/Event_9014.h"

#include "actions/Attributes.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

int Event_9014_C::invoke(Interface_C*)
{
    if (party)
        for (int i = 0; i < party->getCount(); ++i)
            setIntAttribute(party->getMember(i), tagkey::Fizzle, 0);
    for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g); ++g)
        for (uint32_t i = 0; i < group->getSize(); ++i)
            setIntAttribute(group->getMonster(static_cast<int>(i)), tagkey::Fizzle, 0);
    return 0;
}
