// bl3dStatEffect: timed stat modifiers (stat, amount pairs) and condition
// bits laid on foes (with a saving throw and a chance that drops for every
// creature already affected) or on the user's own side. Armour pairs (stat
// 8) that a party member lays on party members follow the armour rules: one
// personal armour spell per member at a time, and one party shield at a
// time for the whole party, the stronger one replacing the weaker.
#pragma once
#include "actions/Effect.h"

#include <cstddef>
#include <vector>

struct StatBody_S;

class bl3dStatEffect : public bl3dEffect {
public:
    // Room for the body's pair count of pairs, all (0, 0) until set.
    explicit bl3dStatEffect(const StatBody_S& body);

    // Sets the pair at `index`; an index not below the pair count is
    // ignored.
    void setPair(int index, int32_t stat, int32_t amount);
    int effectType() const override { return 2; }
    int apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool fallOff,
              int32_t actionId) override;
    // Ticks the modifiers last for this time (rolled for most kinds).
    uint32_t rollDuration() const;

private:
    // The indices of the armour pairs (stat 8).
    std::vector<size_t> armourPairs() const;
    // Lays every pair and the condition bits on one creature. The armour
    // pairs take part only when `armour` lists their indices.
    void applyTo(bl3dCharacter* who, uint32_t duration, const std::vector<size_t>* armour, int32_t actionId,
                 int32_t oldSpell);
    // The personal armour rule for one member: whether its armour pairs
    // are laid (the old spell's modifiers are then gone and its attributes
    // name the new one).
    bool personalArmour(bl3dCharacter* who, int32_t actionId, uint32_t duration, int32_t& oldSpell) const;
    // The party-wide rule: which armour pairs every member gets (empty for
    // none) and the old shield whose modifiers they replace.
    std::vector<size_t> partyArmour(int32_t actionId, uint32_t duration, int32_t& oldSpell) const;
    // Foes that fail their save and pass the declining chance, in order.
    int affectFoes(const std::vector<bl3dCharacter*>& foes, uint32_t duration, int32_t actionId);

    int range_;
    int mode_;
    int durationKind_;
    int duration_;
    int saveIndex_;
    int32_t conditions_;
    std::vector<int32_t> stats_;
    std::vector<int32_t> amounts_;
};
