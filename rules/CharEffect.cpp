#include "rules/CharEffect.h"

#include "core/MemStream.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/Character.h"
#include "rules/RulesEnv.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"

namespace {
// A backlog is dealt hit by hit, rolls and all, up to this many hits and
// this many dice and saving throws in one tick (far more than any real
// clock advance owes); hits past them are passed over, so that a stored
// tick far in the past cannot stall the game.
constexpr int MAX_HITS_PER_TICK = 100000;
constexpr int64_t MAX_ROLLS_PER_TICK = 10000000;

// A bard song that shields the party from poison sets this world variable.
bool songProtects() {
    TagList_C* tags = rulesEnv().worldTags();
    if (!tags)
        return false;
    TagNode_S* n = tags->find(tagkey::Bardb00b);
    return n && n->value.getInt() == 1;
}
} // namespace

void CharEffect_Poison::write(MemStream_C& s) const {
    s.writeInt32(sides_);
    s.writeInt32(count_);
    s.writeInt32(bonus_);
    s.writeInt32(stride_);
    s.writeUInt32(nextTick_);
    s.writeByte(allowSave_ ? 1 : 0);
}

bool CharEffect_Poison::read(int, MemStream_C& s) {
    uint8_t save = 0;
    if (!s.readInt32(sides_) || !s.readInt32(count_) || !s.readInt32(bonus_) || !s.readInt32(stride_) ||
        !s.readUInt32(nextTick_) || !s.readByte(save))
        return false;
    allowSave_ = save != 0;
    return sides_ == boundDice(sides_) && count_ == boundDice(count_);
}

int CharEffect_Poison::tick(bl3dCharacter& who) {
    if (!(who.getConditions() & COND_POISONED) || who.getCurHP() <= 0)
        return 0;
    if (stride_ <= 0)
        return -1;
    const uint32_t now = rulesEnv().currentTick();
    if (nextTick_ == 0)
        nextTick_ = now;
    // A long clock advance deals every missed hit, each with its saving
    // throw and damage, also those that come after the creature has died.
    const int64_t rollsPerHit = 1 + (sides_ > 0 ? count_ : 0);
    int64_t rolls = 0;
    int hits = 0;
    while (now >= nextTick_) {
        rolls += rollsPerHit;
        if (++hits > MAX_HITS_PER_TICK || rolls > MAX_ROLLS_PER_TICK) {
            const uint64_t missed = (static_cast<uint64_t>(now) - nextTick_) / static_cast<uint32_t>(stride_) + 1;
            nextTick_ = static_cast<uint32_t>(nextTick_ + missed * static_cast<uint32_t>(stride_));
            break;
        }
        if (allowSave_ && rollSavingThrow(&who, 0, 0))
            return -1;
        int64_t damage = bonus_;
        if (sides_ > 0)
            for (int32_t i = 0; i < count_; ++i)
                damage += vell::gameRandMod(sides_) + 1;
        if (!songProtects())
            who.changeHP(saturate32(-damage));
        const uint32_t next = nextTick_ + static_cast<uint32_t>(stride_);
        if (next < nextTick_) { // the clock cannot reach a tick past its end
            nextTick_ = next;
            break;
        }
        nextTick_ = next;
    }
    return 0;
}

void CharEffect_Poison::remove(bl3dCharacter& who) { who.clearBaseConditions(COND_POISONED); }
