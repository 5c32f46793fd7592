#include "actions/HealEffect.h"

#include "rules/Action.h"
#include "actions/ActionFile.h"
#include "actions/Targets.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/CharEffect.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/PartyChar.h"

bl3dHealEffect::bl3dHealEffect(const HealBody_S& body)
    : mode_(body.mode), count_(body.count), sides_(body.sides), fixed_(body.fixed), cure_(body.cure),
      flags_(body.flags) {}

void bl3dHealEffect::cure(bl3dCharacter* who) const {
    bl3dStatBlock* stats = who->getStatBlock();
    who->clearBaseConditions(static_cast<int32_t>(cure_));
    if (cure_ & COND_STUNNED)
        stats->cureStun();
    if (cure_ & COND_POISONED)
        who->removeEffects(EFFECT_POISON);
    if (cure_ & COND_AGED)
        stats->cureAged();
    if (cure_ & COND_SLEEPING)
        stats->cureSleep();
    if (cure_ & COND_BLIND)
        stats->cureBlind();
    if (cure_ & COND_WITHERED)
        stats->cureWithered();
    if (cure_ & COND_STONE)
        stats->cureStone();
}

void bl3dHealEffect::healOne(bl3dCharacter* who, EffectSums_S& sums) const {
    if (cure_ != 0)
        cure(who);
    ++sums.count;
    if (count_ == 0 && fixed_ == 0)
        return;
    int64_t amount = static_cast<int64_t>(fixed_) + roll(count_, sides_);
    const int64_t room = static_cast<int64_t>(who->getMaxHP()) - who->getCurHP();
    if (amount > room)
        amount = room;
    if (amount < 0)
        amount = 0;
    who->changeHP(static_cast<int32_t>(amount));
    sums.total = saturate32(static_cast<int64_t>(sums.total) - amount);
}

int bl3dHealEffect::raise(bl3dCharacter* who, bool healAlways, EffectSums_S& sums) const {
    if (!(flags_ & HEAL_MAY_RAISE))
        return EFFECT_NOTHING_TO_DO;
    who->changeHP(1 - who->getCurHP());
    --sums.kills;
    ++sums.count;
    if (healAlways || !doesNothing())
        healOne(who, sums);
    return EFFECT_APPLIED;
}

int bl3dHealEffect::apply(bl3dActor* actor, void* target, int, EffectSums_S& sums, bool, int32_t) {
    sums = EffectSums_S{};
    const Side side = sideOf(actor);
    bl3dCharacter* user = creatureOf(actor);
    if (side == Side::Party) {
        switch (mode_) {
        case TARGET_ONE_MEMBER:
        case TARGET_EVIL_FOES: {
            bl3dCharacter* who = memberOrSelf(mode_, target, user);
            if (!who)
                return EFFECT_TARGET_GONE;
            sums.victim = who;
            if (who->getCurHP() < 1)
                return raise(who, false, sums);
            healOne(who, sums);
            return EFFECT_APPLIED;
        }
        case TARGET_OWN_SIDE:
            for (int i = 0; i < partySize(); ++i) {
                bl3dCharacter* member = partyMemberAt(i);
                if (member->getCurHP() >= 1)
                    healOne(member, sums);
                else if (flags_ & HEAL_MAY_RAISE)
                    raise(member, true, sums);
            }
            return EFFECT_APPLIED;
        default:
            return EFFECT_WRONG_SIDE;
        }
    }
    if (side == Side::Monster) {
        switch (mode_) {
        case TARGET_ONE_MEMBER:
        case TARGET_EVIL_FOES:
            // A monster heals itself; it is never raised.
            if (user->getCurHP() < 1)
                return EFFECT_NOTHING_TO_DO;
            healOne(user, sums);
            return EFFECT_APPLIED;
        case TARGET_OWN_SIDE: {
            // The user's own group, whatever the use was aimed at; its dead
            // stay dead.
            bl3dMonsterList* own = groupHolding(user);
            if (!own)
                return EFFECT_TARGET_GONE;
            for (uint32_t k = 0; k < own->getSize(); ++k) {
                bl3dCharacter* m = own->getMonster(static_cast<int>(k));
                if (m && m->getCurHP() >= 1)
                    healOne(m, sums);
            }
            return EFFECT_APPLIED;
        }
        default:
            return EFFECT_WRONG_SIDE;
        }
    }
    return EFFECT_WRONG_SIDE;
}
