// bl3dHealEffect: hit points back, conditions cured and, when allowed, the
// dead raised, for one party member, the user itself or the user's whole
// side.
#pragma once
#include "actions/Effect.h"

struct HealBody_S;

// Flag bit of a heal effect.
constexpr int32_t HEAL_MAY_RAISE = 0x01;

class bl3dHealEffect : public bl3dEffect {
public:
    explicit bl3dHealEffect(const HealBody_S& body);

    int effectType() const override { return 3; }
    int apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool fallOff,
              int32_t actionId) override;
    // Whether it gives hit points back, and the conditions it cures.
    bool restoresHP() const { return count_ > 0 || fixed_ > 0; }
    uint32_t cureMask() const { return cure_; }

private:
    // Cures the mask's conditions of a living creature and heals it.
    void healOne(bl3dCharacter* who, EffectSums_S& sums) const;
    // Clears the mask's bits from the creature's own conditions (never
    // touching the timed ones of other conditions) and runs the cure of
    // every bit.
    void cure(bl3dCharacter* who) const;
    // A member raised to 1 HP and then healed; -4 when raising is not allowed.
    int raise(bl3dCharacter* who, bool healAlways, EffectSums_S& sums) const;
    bool doesNothing() const { return count_ == 0 && fixed_ == 0 && cure_ == 0; }

    int mode_;
    int32_t count_;
    int32_t sides_;
    int32_t fixed_;
    uint32_t cure_;
    int32_t flags_;
};
