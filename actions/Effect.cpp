#include "actions/Effect.h"

#include "platform/Random.h"
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
    if (count <= 0 || sides <= 0)
        return 0;
    int64_t sum = 0;
    for (int64_t i = 0; i < count; ++i)
        sum += vell::gameRand() % sides + 1;
    return sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
}
