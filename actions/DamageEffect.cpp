#include "actions/DamageEffect.h"

#include "rules/Action.h"
#include "actions/ActionFile.h"
#include "actions/Attributes.h"
#include "actions/PackedPoison.h"
#include "actions/Targets.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"

bl3dDamageEffect::bl3dDamageEffect(const DamageBody_S& body)
    : range_(body.range), mode_(body.mode), sides_(body.sides), count_(body.count), bonus_(body.bonus),
      perLevel_(body.perLevel), flags_(body.flags), param_(body.param),
      element_(body.element), saveIndex_(body.saveIndex) {}

bool bl3dDamageEffect::spent(int64_t multiplier, int32_t falloff) const {
    // The largest roll there can be, compared as the unsigned numbers they
    // are stored as.
    const int64_t most = count_ * multiplier * sides_ + bonus_;
    return static_cast<uint32_t>(most) <= static_cast<uint32_t>(falloff);
}

int32_t bl3dDamageEffect::elemental(bl3dCharacter* victim, int32_t damage) const {
    if (element_ < ELEMENT_FIRE || element_ > ELEMENT_WATER)
        return damage;
    if (rollElementResist(victim, element_))
        return -1;
    static const int DAMAGE_STAT[] = {STAT_FIRE_DMG, STAT_EARTH_DMG, STAT_AIR_DMG, STAT_WATER_DMG};
    const int32_t stat = victim->getStatBlock()->getCur(DAMAGE_STAT[element_ - 1]);
    const int64_t extra = static_cast<int64_t>(static_cast<double>(damage) * stat / 100.0);
    return saturate32(damage + extra);
}

void bl3dDamageEffect::poison(bl3dCharacter* victim) const {
    // The data file counts duration and stride in single ticks.
    PackedPoison_S::unpack(param_, 1).apply(*victim);
}

namespace {
// Loses twice its maximum and counts as hit (and killed when that ends it).
void slay(bl3dCharacter* who, EffectSums_S& sums) {
    who->changeHP(saturate32(-2 * static_cast<int64_t>(who->getMaxHP())));
    ++sums.count;
    if (who->getCurHP() < 1)
        ++sums.kills;
}
} // namespace

bl3dDamageEffect::Blow bl3dDamageEffect::strike(bl3dCharacter* victim, int64_t multiplier, int32_t falloff,
                                                 EffectSums_S& sums) {
    if (!victim || victim->getCurHP() < 1)
        return Blow::Passed;
    if (rollSavingThrow(victim, saveIndex_, 0))
        return Blow::Saved;
    int32_t damage = saturate32(static_cast<int64_t>(roll(count_ * multiplier, sides_)) + bonus_ - falloff);
    if (damage < 1)
        damage = 1;
    damage = elemental(victim, damage);
    if (damage < 0)
        return Blow::Resisted;

    bool poisoned = false;
    if ((flags_ & DAMAGE_POISON) && vell::gameRand() % 30 >= victim->getStatBlock()->getCur(STAT_CN)) {
        poison(victim);
        poisoned = true;
    }
    if (flags_ & DAMAGE_DEATH_BLOW) {
        // A creature that no death blow can reach is out of the whole
        // effect, once it has failed its save.
        if (victim->isMonster() && victim->creatureType() == CREATURE_NO_ESCAPE)
            return Blow::Immune;
        if (vell::gameRand() % 100 < 50) {
            slay(victim, sums);
            return Blow::Slain;
        }
    }
    const bool sameType = static_cast<uint32_t>(victim->creatureType()) == param_;
    if ((flags_ & DAMAGE_ONLY_VS) && !sameType)
        damage = 0;
    if ((flags_ & DAMAGE_DOUBLE_VS) && sameType)
        damage = saturate32(2 * static_cast<int64_t>(damage));
    if ((flags_ & DAMAGE_NONE_VS) && sameType)
        damage = 0;
    // A banished creature loses twice its maximum and still takes the blow
    // with everyone else; with nothing left of the blow it counts as hit.
    const bool banished = (flags_ & DAMAGE_BANISH) && isIllusion(victim);
    if (banished)
        victim->changeHP(saturate32(-2 * static_cast<int64_t>(victim->getMaxHP())));
    if (damage == 0 && !poisoned) {
        if (!banished)
            return Blow::NoDamage;
        ++sums.count;
        if (victim->getCurHP() < 1)
            ++sums.kills;
        return Blow::Banished;
    }
    victim->changeHP(-damage);
    sums.total = saturate32(static_cast<int64_t>(sums.total) + damage);
    ++sums.count;
    if (victim->getCurHP() < 1)
        ++sums.kills;
    return Blow::Struck;
}

int bl3dDamageEffect::apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool fallOff,
                            int32_t) {
    sums = EffectSums_S{};
    const Side side = sideOf(actor);
    bl3dCharacter* user = creatureOf(actor);
    if (side == Side::None)
        return EFFECT_WRONG_SIDE;
    const bool single = mode_ == TARGET_ONE_ENEMY;
    if (!single && mode_ != TARGET_ENEMY_GROUP && mode_ != TARGET_ALL_ENEMIES)
        return EFFECT_WRONG_SIDE;

    int64_t level = 1;
    if (perLevel_) {
        level = user->getLevel();
        if (level == 0 && side == Side::Monster && single)
            level = 4;
        // Above 1 the byte is the highest multiplier.
        if (perLevel_ > 1 && level > perLevel_)
            level = perLevel_;
    }

    int result = EFFECT_APPLIED;
    // A sweep: victims in order, the fall-off growing with every hit.
    auto sweep = [&](bl3dCharacter* victim, int32_t& falloff, bool byOne) {
        if (spent(level, falloff))
            return false;
        if (strike(victim, level, falloff, sums) == Blow::Struck && fallOff)
            falloff = byOne ? falloff + 1 : (falloff == 0 ? 2 : saturate32(2 * static_cast<int64_t>(falloff)));
        return true;
    };

    if (single) {
        bl3dCharacter* victim = nullptr;
        const int found = singleTarget(side, target, range_, distance, victim);
        if (found != EFFECT_APPLIED)
            return found;
        sums.victim = victim;
        switch (strike(victim, level, 0, sums)) {
        case Blow::Saved:
        case Blow::Resisted: result = EFFECT_RESISTED; break;
        case Blow::Immune: result = EFFECT_NOTHING_TO_DO; break;
        case Blow::NoDamage:
            // A monster's blow that came to nothing is no refusal.
            if (side == Side::Party)
                result = EFFECT_NOTHING_TO_DO;
            break;
        case Blow::Slain:
            if (victim->isMonster()) {
                sums.total = victim->getMaxHP();
                sums.kills = 1;
            }
            break;
        default: break;
        }
    } else if (side == Side::Monster) {
        if (beyond(range_, distance))
            return EFFECT_OUT_OF_RANGE;
        int32_t falloff = 0;
        for (int i = 0; i < partySize(); ++i)
            if (!sweep(partyMemberAt(i), falloff, false))
                break;
    } else if (mode_ == TARGET_ALL_ENEMIES) {
        int d = 0;
        for (int i = 0; bl3dMonsterList* g = enemyList.groupAt(i, &d); ++i) {
            if (beyond(range_, d))
                continue;
            int32_t falloff = 0;
            for (uint32_t k = 0; k < g->getSize(); ++k)
                if (!sweep(g->getMonster(static_cast<int>(k)), falloff, false))
                    break;
        }
    } else {
        bl3dMonsterList* group = nullptr;
        const int found = groupInRange(target, range_, group);
        if (found != EFFECT_APPLIED)
            return found;
        int32_t falloff = 0;
        for (uint32_t k = 0; k < group->getSize(); ++k)
            if (!sweep(group->getMonster(static_cast<int>(k)), falloff, true))
                break;
    }
    if (worldVar(tagkey::Bardb00bC) == 1)
        sums.total /= 2;
    return result;
}
