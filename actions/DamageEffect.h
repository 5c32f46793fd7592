// bl3dDamageEffect: dice of damage against one monster of a group, a whole
// group or every group in range (a party member acting), or against one
// party member or the whole party (a monster acting), with a saving throw,
// an element, special rules by creature type, poison, a death blow and
// banishing; spells let successive victims of a sweep take less (fall-off).
#pragma once
#include "actions/Effect.h"

struct DamageBody_S;

// Special flags of a damage effect.
enum DamageFlags : uint32_t {
    DAMAGE_POISON = 0x02,
    DAMAGE_DEATH_BLOW = 0x04,
    DAMAGE_ONLY_VS = 0x08,
    DAMAGE_DOUBLE_VS = 0x10,
    DAMAGE_NONE_VS = 0x20,
    DAMAGE_BANISH = 0x40,
};

class bl3dDamageEffect : public bl3dEffect {
public:
    explicit bl3dDamageEffect(const DamageBody_S& body);

    int effectType() const override { return 1; }
    int apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool fallOff,
              int32_t actionId) override;
    uint32_t specialFlags() const { return flags_; }

private:
    // What one victim came to.
    enum class Blow { Passed, Saved, Resisted, Immune, Slain, Banished, Struck, NoDamage };
    // Rolls and deals the damage to one victim (alive or dead), adding to
    // sums.
    Blow strike(bl3dCharacter* victim, int64_t multiplier, int32_t falloff, EffectSums_S& sums);
    // Whether a group walk must stop before the next victim.
    bool spent(int64_t multiplier, int32_t falloff) const;
    // The damage after the element, or -1 when the victim resists.
    int32_t elemental(bl3dCharacter* victim, int32_t damage) const;
    void poison(bl3dCharacter* victim) const;

    int range_;
    int mode_;
    int32_t sides_;
    int32_t count_;
    int32_t bonus_;
    uint8_t perLevel_; // 0 no multiplier; 1 the level; above, the level up to that
    uint32_t flags_;
    uint32_t param_;
    int element_;
    int saveIndex_;
};
