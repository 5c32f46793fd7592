// Fight Evil: the Protector's attack with a call upon the deity. The five
// tiers ("Fight Evil" to "Fight Evil (Divine)") differ only in their words,
// their bonus (+2 to +10 to Attack and Damage for one blow), the chance of
// being heard (the last tier always is) and the first tier's daily counter
// "FightEvilCur". Party members alone use them.
//
// The use is the skills' record, aimed at an enemy group like Attack's
// (combat asks the player for a group): enqueue takes the group's index from
// the nearest, makeEntry the group itself. perform spends the first tier's
// counter (with none left it makes a plain attack at once), then finds the
// foe (a living monster of that group, or of the nearest group that has
// one), calls upon the deity when the foe is evil, and makes the performer's
// own Attack against the foe's group; the bonus lasts for that attack only.
//
// Results: the Attack's result; -2 no living foe in any group (the counter
// stays spent); -3 neither a party member nor a monster, or no Attack to make;
// -5 a monster performer; -6 the performer is dead.
#pragma once
#include "actions/Skill.h"

class bl3dFightEvil : public bl3dSkill {
public:
    // tier 1..5
    bl3dFightEvil(const ActionRow_S& row, int tier);
    int perform(ActionUse_S* use) override;
    int tier() const { return tier_; }
    int32_t bonus() const { return 2 * tier_; }

    // Percent chance of being heard for a creature's current stat 5 (the
    // index stat 5 + 1, held to 0..19).
    static int heardChance(int32_t stat5);

private:
    int tier_;
};

// The five tiers.
class bl3dSkill_4 : public bl3dFightEvil {
public:
    explicit bl3dSkill_4(const ActionRow_S& row) : bl3dFightEvil(row, 1) {}
};
class bl3dSkill_5 : public bl3dFightEvil {
public:
    explicit bl3dSkill_5(const ActionRow_S& row) : bl3dFightEvil(row, 2) {}
};
class bl3dSkill_6 : public bl3dFightEvil {
public:
    explicit bl3dSkill_6(const ActionRow_S& row) : bl3dFightEvil(row, 3) {}
};
class bl3dSkill_7 : public bl3dFightEvil {
public:
    explicit bl3dSkill_7(const ActionRow_S& row) : bl3dFightEvil(row, 4) {}
};
class bl3dSkill_8 : public bl3dFightEvil {
public:
    explicit bl3dSkill_8(const ActionRow_S& row) : bl3dFightEvil(row, 5) {}
};
