#include "actions/Effect.h"

#include "rules/Action.h"
#include "actions/Spell.h"
#include "actions/Targets.h"
#include "rules/Monster.h"
#include "rules/Actor.h"
#include "rules/Character.h"

bl3dCharacter* bl3dEffect::creatureOf(const bl3dActor* actor) { return actor ? actor->getCreature() : nullptr; }

bl3dEffect::Side bl3dEffect::sideOf(const bl3dActor* actor) {
    const bl3dCharacter* who = creatureOf(actor);
    if (!who)
        return Side::None;
    if (who->isPartyMember())
        return Side::Party;
    return who->isMonster() ? Side::Monster : Side::None;
}

int32_t bl3dEffect::roll(int64_t count, int32_t sides) {
    // Dice of no sides roll nothing (and draw nothing).
    if (count <= 0 || sides <= 0)
        return 0;
    return bl3dSpell::rollDice(count > INT32_MAX ? INT32_MAX : static_cast<int32_t>(count), sides);
}

int bl3dEffect::groupInRange(void* target, int range, bl3dMonsterList*& group) {
    int distance = 0;
    group = asEnemyGroup(target, &distance);
    if (!group)
        return EFFECT_TARGET_GONE;
    return beyond(range, distance) ? EFFECT_OUT_OF_RANGE : EFFECT_APPLIED;
}

int bl3dEffect::singleTarget(Side side, void* target, int range, int distance, bl3dCharacter*& victim) {
    victim = nullptr;
    if (side == Side::Party) {
        bl3dMonsterList* group = nullptr;
        const int found = groupInRange(target, range, group);
        if (found != EFFECT_APPLIED)
            return found;
        victim = livingMonsterIn(group);
    } else {
        if (beyond(range, distance))
            return EFFECT_OUT_OF_RANGE;
        victim = partyTargetOrFirst(target);
    }
    return victim ? EFFECT_APPLIED : EFFECT_TARGET_GONE;
}

bl3dCharacter* bl3dEffect::memberOrSelf(int mode, void* target, bl3dCharacter* user) {
    return mode == TARGET_ONE_MEMBER ? asPartyMember(target) : user;
}
