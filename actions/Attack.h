// bl3dSkill_1, "Attack": the basic attack of party members and monsters. A
// monster strikes one party member once; a party member strikes a living
// monster of the target group (or of the nearest group that has one) with
// its weapon, bow and ammunition or thrown weapon, as many blows as its
// extra attacks and class give, and narrates the whole in one sentence.
//
// The use record is the skills' SkillUse_S (actions/Skill.h): for a monster
// attacker the distance of its group (argv[1]) must be given; the capital
// flag (argv[2]) starts a monster's sentence with a capital.
#pragma once
#include "actions/Skill.h"

class bl3dPartyChar;

class bl3dSkill_1 : public bl3dSkill {
public:
    explicit bl3dSkill_1(const ActionRow_S& row) : bl3dSkill(row) {}

    // -1 attacker dead or no living enemy; 0 acted (a hit, a miss, out of
    // range, out of ammunition) or stopped by a condition; -2 a monster
    // without a living target or an empty enemy list; -3 neither a party
    // member nor a monster; -4 a monster without a distance.
    int perform(ActionUse_S* use) override;

private:
    int monsterAttack(SkillUse_S& use);
    int partyAttack(SkillUse_S& use, bl3dPartyChar& attacker);
};

// The armour class a blow counts against: below -5 every further step of 5
// counts half as much (-7 counts as -6, -20 as -11).
int32_t effectiveAC(int32_t ac);

// The sounds of a weapon category: hit and miss.
const char* weaponHitSound(int32_t category);
const char* weaponMissSound(int32_t category);
