#include "actions/Effect.h"

#include "actions/Spell.h"
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
