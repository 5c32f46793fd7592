#include "actions/Skill.h"

#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/EnemyList.h"

SkillUse_S* bl3dSkill::skillUse(ActionUse_S* use) { return dynamic_cast<SkillUse_S*>(use); }

void* bl3dSkill::targetAt(const bl3dCharacter* performer, int index) {
    if (performer && performer->isPartyMember())
        return enemyList.groupAt(index);
    return partyMemberAt(index);
}

ActionUse_S* bl3dSkill::makeEntry(bl3dActor* actor, void* target, int argc, void** argv) {
    if (argc < 1) {
        delete actor;
        return nullptr;
    }
    auto* use = new SkillUse_S;
    use->performer = actor ? actor->getCreature() : nullptr;
    delete actor;
    use->target = target;
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    use->distance = contextInt(argc, argv, 1, 0);
    use->capital = contextFlag(argc, argv, 2, true);
    return use;
}

ActionUse_S* bl3dSkill::enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) {
    const bl3dCharacter* who = actor ? actor->getCreature() : nullptr;
    if (argc < 1 || !who || !(who->isPartyMember() || who->isMonster())) {
        delete actor;
        return nullptr;
    }
    return makeEntry(actor, targetAt(who, targetIndex), argc, argv);
}

int bl3dSkill::openUse(ActionUse_S* record, int32_t ignoreMask, SkillUse_S*& use) {
    use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    const int r = checkState(use->performer, ignoreMask, "attack", use->text);
    if (r < 1)
        return r;
    use->text->clear();
    return use->performer->getCurHP() < 1 ? -6 : 1;
}
