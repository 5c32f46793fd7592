#include "actions/StatEffect.h"

#include "rules/Action.h"
#include "actions/ActionEnv.h"
#include "actions/ActionFile.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"

#include <algorithm>

namespace {

// The timed event that ends the party shield.
constexpr int SHIELD_EXPIRY_EVENT = 9012;
constexpr int32_t SHIELD_BIT = 0x02;

// An integer of the other kind ("CurACMod" is stored as kind 1); 0 when
// absent. Reading adds nothing.
int32_t kind1Value(const TagList_C* tags, const char* key) {
    const TagNode_S* n = tags ? tags->find(key) : nullptr;
    return n && n->value.kind == 1 ? n->value.getInt() : 0;
}

void setKind1(TagList_C* tags, const char* key, int32_t value) {
    if (!tags)
        return;
    if (tags->setIntKind1(key, value) < 0) {
        tags->removeKey(key);
        tags->setIntKind1(key, value);
    }
}

// The amount held so that current AC + amount is not below the floor; never
// raised above 0 by the hold.
int32_t heldArmour(const bl3dCharacter* who, int32_t amount) {
    const int64_t ac = who->getStatBlock()->getCur(STAT_AC);
    if (ac + amount < AC_FLOOR) {
        const int64_t held = -(ac - AC_FLOOR);
        return held > 0 ? 0 : static_cast<int32_t>(held);
    }
    return amount;
}

} // namespace

bl3dStatEffect::bl3dStatEffect(const StatBody_S& body)
    : range_(body.range), mode_(body.mode), durationKind_(body.durationKind), duration_(body.duration),
      saveIndex_(body.saveIndex), conditions_(body.conditions) {
    const size_t n = body.pairCount > 0 ? static_cast<size_t>(body.pairCount) : 0;
    stats_.assign(n, 0);
    amounts_.assign(n, 0);
}

void bl3dStatEffect::setPair(int index, int32_t stat, int32_t amount) {
    if (index < 0 || static_cast<size_t>(index) >= stats_.size())
        return;
    stats_[static_cast<size_t>(index)] = stat;
    amounts_[static_cast<size_t>(index)] = amount;
}

uint32_t bl3dStatEffect::rollDuration() const {
    switch (durationKind_) {
    case 1: return 10 + static_cast<uint32_t>(vell::gameRand() % 3);
    case 2: return 120 + static_cast<uint32_t>(vell::gameRand() % 121);
    case 3: return 480 + static_cast<uint32_t>(vell::gameRand() % 481);
    case 4: return 1200 + static_cast<uint32_t>(vell::gameRand() % 721);
    case 5: return 1073741823u;
    case 6: return static_cast<uint32_t>(duration_);
    default: return 1;
    }
}

std::vector<size_t> bl3dStatEffect::armourPairs() const {
    std::vector<size_t> armour;
    for (size_t i = 0; i < stats_.size(); ++i)
        if (stats_[i] == STAT_AC)
            armour.push_back(i);
    return armour;
}

void bl3dStatEffect::applyTo(bl3dCharacter* who, uint32_t duration, const std::vector<size_t>* armour,
                             int32_t actionId, int32_t oldSpell) {
    bl3dStatBlock* stats = who->getStatBlock();
    if (armour && !armour->empty() && oldSpell != 0)
        stats->removeModsByKey(oldSpell, -1);
    for (size_t i = 0; i < stats_.size(); ++i) {
        if (armour && stats_[i] == STAT_AC) {
            if (std::find(armour->begin(), armour->end(), i) == armour->end())
                continue;
            stats->addModifier(STAT_AC, heldArmour(who, amounts_[i]), duration, MOD_SONG, actionId, -1);
            stats->recompute();
            continue;
        }
        stats->addModifier(stats_[i], amounts_[i], duration, MOD_SONG, 0, 0);
    }
    if (conditions_ != 0)
        stats->addModifier(STAT_CONDITIONS, conditions_, duration, MOD_SONG, 0, 0);
    stats->recompute();
}

bool bl3dStatEffect::personalArmour(bl3dCharacter* who, int32_t actionId, uint32_t duration,
                                    int32_t& oldSpell) const {
    const std::vector<size_t> armour = armourPairs();
    if (armour.empty())
        return false;
    int32_t amount = amounts_[armour.front()];
    for (size_t i : armour)
        amount = std::min(amount, amounts_[i]);
    TagList_C* tags = who->getTagList();
    const uint32_t now = rulesEnv().currentTick();
    oldSpell = intAttribute(tags, tagkey::CurACSpell);
    const uint32_t expires = static_cast<uint32_t>(intAttribute(tags, tagkey::CurACExpire));
    const bool free = oldSpell == 0 || !(expires > now);
    if (!free && amount > kind1Value(tags, tagkey::CurACMod))
        return false;
    // What is stored is what is laid: the amount held above the AC floor,
    // once the old spell's modifiers are gone.
    if (oldSpell != 0)
        who->getStatBlock()->removeModsByKey(oldSpell, -1);
    oldSpell = 0;
    setIntAttribute(tags, tagkey::CurACSpell, actionId);
    setIntAttribute(tags, tagkey::CurACExpire, static_cast<int32_t>(now + duration));
    setKind1(tags, tagkey::CurACMod, heldArmour(who, amount));
    return true;
}

std::vector<size_t> bl3dStatEffect::partyArmour(int32_t actionId, uint32_t duration, int32_t& oldSpell) const {
    std::vector<size_t> armour = armourPairs();
    if (armour.empty())
        return armour;
    TagList_C* world = rulesEnv().worldTags();
    const uint32_t now = rulesEnv().currentTick();
    oldSpell = intAttribute(world, tagkey::CurACSpell);
    const bool active = now < static_cast<uint32_t>(intAttribute(world, tagkey::MagExp32));
    size_t chosen = armour.front();
    if (active) {
        // Only a shield at least as strong as the one up replaces it.
        const int32_t held = kind1Value(world, tagkey::CurACMod);
        std::vector<size_t> stronger;
        for (size_t i : armour)
            if (amounts_[i] <= held && (stronger.empty() || amounts_[i] < amounts_[stronger.front()]))
                stronger.assign(1, i);
        armour = stronger;
        if (armour.empty())
            return armour;
        chosen = armour.front();
    } else {
        for (size_t i : armour)
            if (amounts_[i] < amounts_[chosen])
                chosen = i;
    }
    setIntAttribute(world, tagkey::CurACSpell, actionId);
    setKind1(world, tagkey::CurACMod, amounts_[chosen]);
    setIntAttribute(world, tagkey::MagExp32, static_cast<int32_t>(now + duration));
    setIntAttribute(world, tagkey::MagState1, intAttribute(world, tagkey::MagState1) | SHIELD_BIT);
    return armour;
}

int bl3dStatEffect::affectFoes(const std::vector<bl3dCharacter*>& foes, uint32_t duration, int32_t actionId) {
    int affected = 0;
    for (bl3dCharacter* foe : foes) {
        if (!foe || foe->getCurHP() < 1 || rollSavingThrow(foe, saveIndex_, 0))
            continue;
        if (vell::gameRand() % 100 < 3 * affected)
            continue;
        applyTo(foe, duration, nullptr, actionId, 0);
        ++affected;
    }
    return affected;
}

namespace {
std::vector<bl3dCharacter*> monstersOf(bl3dMonsterList* group) {
    std::vector<bl3dCharacter*> out;
    for (uint32_t k = 0; group && k < group->getSize(); ++k)
        out.push_back(group->getMonster(static_cast<int>(k)));
    return out;
}

std::vector<bl3dCharacter*> partyMembers() {
    std::vector<bl3dCharacter*> out;
    for (int i = 0; i < partySize(); ++i)
        out.push_back(partyMemberAt(i));
    return out;
}
} // namespace

int bl3dStatEffect::apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool, int32_t actionId) {
    sums = EffectSums_S{};
    const Side side = sideOf(actor);
    bl3dCharacter* user = creatureOf(actor);
    if (side == Side::None)
        return EFFECT_WRONG_SIDE;
    const uint32_t duration = rollDuration();

    if (mode_ == TARGET_ONE_ENEMY) {
        bl3dCharacter* victim = nullptr;
        const int found = singleTarget(side, target, range_, distance, victim);
        if (found != EFFECT_APPLIED)
            return found;
        sums.victim = victim;
        if (rollSavingThrow(victim, saveIndex_, 0))
            return EFFECT_RESISTED;
        applyTo(victim, duration, nullptr, actionId, 0);
        sums.count = 1;
        return EFFECT_APPLIED;
    }
    if (side == Side::Party) {
        switch (mode_) {
        case TARGET_ENEMY_GROUP: {
            bl3dMonsterList* group = nullptr;
            const int found = groupInRange(target, range_, group);
            if (found != EFFECT_APPLIED)
                return found;
            sums.count = affectFoes(monstersOf(group), duration, actionId);
            return EFFECT_APPLIED;
        }
        case TARGET_ALL_ENEMIES: {
            std::vector<bl3dCharacter*> foes;
            int d = 0;
            bool inRange = false;
            for (int i = 0; bl3dMonsterList* g = enemyList.groupAt(i, &d); ++i)
                if (!beyond(range_, d)) {
                    inRange = true;
                    const std::vector<bl3dCharacter*> more = monstersOf(g);
                    foes.insert(foes.end(), more.begin(), more.end());
                }
            if (!inRange)
                return EFFECT_OUT_OF_RANGE;
            sums.count = affectFoes(foes, duration, actionId);
            return EFFECT_APPLIED;
        }
        case TARGET_ONE_MEMBER:
        case TARGET_EVIL_FOES: {
            bl3dCharacter* who = memberOrSelf(mode_, target, user);
            if (!who)
                return EFFECT_TARGET_GONE;
            sums.victim = who;
            int32_t oldSpell = 0;
            const std::vector<size_t> laid =
                personalArmour(who, actionId, duration, oldSpell) ? armourPairs() : std::vector<size_t>{};
            applyTo(who, duration, &laid, actionId, oldSpell);
            sums.count = 1;
            return EFFECT_APPLIED;
        }
        case TARGET_OWN_SIDE: {
            int32_t oldSpell = 0;
            const std::vector<size_t> armour = partyArmour(actionId, duration, oldSpell);
            for (bl3dCharacter* member : partyMembers())
                applyTo(member, duration, &armour, actionId, oldSpell);
            if (!armour.empty())
                actionEnv().queueTimedEvent(SHIELD_EXPIRY_EVENT, rulesEnv().currentTick() + duration);
            sums.count = partySize();
            return EFFECT_APPLIED;
        }
        default:
            return EFFECT_WRONG_SIDE;
        }
    }

    switch (mode_) {
    case TARGET_ENEMY_GROUP:
    case TARGET_ALL_ENEMIES:
        if (beyond(range_, distance))
            return EFFECT_OUT_OF_RANGE;
        sums.count = affectFoes(partyMembers(), duration, actionId);
        return EFFECT_APPLIED;
    case TARGET_ONE_MEMBER:
    case TARGET_EVIL_FOES:
        applyTo(user, duration, nullptr, actionId, 0);
        sums.count = 1;
        return EFFECT_APPLIED;
    case TARGET_OWN_SIDE: {
        // The user's own group, whatever the use was aimed at.
        bl3dMonsterList* own = groupHolding(user);
        if (!own)
            return EFFECT_TARGET_GONE;
        for (bl3dCharacter* m : monstersOf(own))
            if (m && m->getCurHP() >= 1) {
                applyTo(m, duration, nullptr, actionId, 0);
                ++sums.count;
            }
        return EFFECT_APPLIED;
    }
    default:
        return EFFECT_WRONG_SIDE;
    }
}
