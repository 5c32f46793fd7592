// The combat skills besides Attack and Fight Evil: the thief's Pick Pockets,
// Hide in Shadows, Deathblow and Greater Deathblow, the warrior's Suggestion
// of Force, and the monsters' Entangle, Venom Bite, Venom spray and Rapid
// Healing. Each is a bl3dSkill (actions/Skill.h) with the skills' use record
// and target resolution; perform applies the rule to one use and writes one
// narration into the use's buffer (replacing what was there).
//
// Results of perform: 0 performed (a hit, a miss, no effect; the narration
// says which); below 1 from the state check (its message written); -2 no
// target; -3 the performer is neither a party member nor a monster; -4 a
// monster performer without a distance; -6 the performer is dead.
#pragma once
#include "actions/Skill.h"

// "Pick Pockets": steals gold from a foe 10 feet away or nearer.
class bl3dSkill_1000 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Hide in Shadows": hides the performer (condition bit 0x40). A monster
// already hidden attacks instead, or closes in when it is 20 feet away or
// more.
class bl3dSkill_1001 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
    // Not for a performer already hidden.
    bool usable(bl3dCharacter* who, int distance) override;
};

// "Entangle": a stun of 7 to 12 ticks unless the target saves; its end is a
// timed event (queued through the actions' environment).
class bl3dSkill_1003 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Venom Bite": a bite that may poison.
class bl3dSkill_1004 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Venom spray": venom over a whole group, or over the whole party.
class bl3dSkill_1005 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Rapid Healing": a monster heals 1 to 6 points; nothing for a party member.
class bl3dSkill_1006 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Suggestion of Force": frightens one foe of the target group away. Party
// performers only; for anyone else it does nothing and returns 0.
class bl3dSkill_4113 : public bl3dSkill {
public:
    using bl3dSkill::bl3dSkill;
    int perform(ActionUse_S* use) override;
};

// "Deathblow" and "Greater Deathblow": a strike from the shadows at one foe
// of the target group, with a chance of killing it outright. Party
// performers only.
class bl3dDeathblow : public bl3dSkill {
public:
    bl3dDeathblow(const ActionRow_S& row, bool greater) : bl3dSkill(row), greater_(greater) {}
    int perform(ActionUse_S* use) override;

private:
    bool greater_;
};

class bl3dSkill_4114 : public bl3dDeathblow {
public:
    explicit bl3dSkill_4114(const ActionRow_S& row) : bl3dDeathblow(row, false) {}
};

class bl3dSkill_4115 : public bl3dDeathblow {
public:
    explicit bl3dSkill_4115(const ActionRow_S& row) : bl3dDeathblow(row, true) {}
};
