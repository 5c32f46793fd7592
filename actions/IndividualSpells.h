// The fourteen built-in spells whose rule is their own (no parameter
// record): each runs the casting frame of actions/Spell.h, then its effect.
// Every perform returns 0 after a cast or a narrated refusal, -1 when its
// single target cannot be resolved (nothing is paid then), and the frame's
// values otherwise.
//
//   Magician's Portal  the party to a visited square of the map (ctx[1], ctx[2])
//   Push Foes          a group back to 90 feet
//   Draw Foes          a group forward to 10 feet
//   Mind Phazing       one foe's mind clouded ("Fizzle") until the reset
//   Mind Drain         spell points drained from one foe into the caster
//   Spirit Fist        one foe's spell points gone
//   Vampire Suction    hit points drained from one foe into the caster
//   Spirit Hammer      a group's spell points gone
//   Mind Blow          a group's minds clouded
//   Mind Vortex        every foe: death, stone, blindness or a stun
//   Holy Spirit        preclusions for a while, undead, demons and illusions
//                      banished, the party's armour class lowered
//   Spell Compiler     Ball of Bearing, Hawk Eye and the party shield at once
//   Ghost Wall, Open Wall  the wall ahead lets the party through once
//
// A monster that casts Push Foes or Draw Foes moves nothing: the party has
// no distance of its own to change.
#pragma once
#include "actions/Spells.h"

#include <vector>

// The frame of every spell here: perform opens the cast (openCast) and,
// when it goes ahead, hands the use on to cast, which pays and takes the
// spell's effect.
class bl3dIndividualSpell : public bl3dBuiltinSpell {
public:
    using bl3dBuiltinSpell::bl3dBuiltinSpell;
    int perform(ActionUse_S* use) final;

protected:
    // The rest of perform, the caster able and the cast check passed; its
    // result is perform's.
    virtual int cast(SpellUse_S& use) = 0;
};

// Spells aimed at one creature (a living monster of the chosen group, or a
// party member for a monster caster) within a range, that save throws may
// stop.
class bl3dStrikeSpell : public bl3dIndividualSpell {
public:
    bl3dStrikeSpell(const SpellRow_S& row, int reach)
        : bl3dIndividualSpell(row, SpellEnqueue::Targeted, SpellLayout::Targeted), reach_(reach) {}

protected:
    int cast(SpellUse_S& use) override;
    // What the spell does to a target that failed its saves, with the
    // opening words of the line ("<caster> casts <spell> at <target>").
    virtual void strike(SpellUse_S& use, bl3dCharacter* target, const char* words) = 0;
    // The save indices the target rolls; it is struck only when it fails
    // every one.
    virtual int saveCount() const { return 1; }
    virtual int saveIndex(int i) const { return i == 0 ? 4 : 5; }

private:
    int reach_;
};

class bl3dSpell_MIPH : public bl3dStrikeSpell {
public:
    explicit bl3dSpell_MIPH(const SpellRow_S& row) : bl3dStrikeSpell(row, 30) {}

protected:
    void strike(SpellUse_S& use, bl3dCharacter* target, const char* words) override;
    int saveCount() const override { return 2; }
};

class bl3dSpell_MIND : public bl3dStrikeSpell {
public:
    explicit bl3dSpell_MIND(const SpellRow_S& row) : bl3dStrikeSpell(row, 50) {}

protected:
    void strike(SpellUse_S& use, bl3dCharacter* target, const char* words) override;
};

class bl3dSpell_SPFI : public bl3dStrikeSpell {
public:
    explicit bl3dSpell_SPFI(const SpellRow_S& row) : bl3dStrikeSpell(row, 70) {}

protected:
    void strike(SpellUse_S& use, bl3dCharacter* target, const char* words) override;
};

class bl3dSpell_VAMP : public bl3dStrikeSpell {
public:
    explicit bl3dSpell_VAMP(const SpellRow_S& row) : bl3dStrikeSpell(row, 50) {}

protected:
    void strike(SpellUse_S& use, bl3dCharacter* target, const char* words) override;
};

// Spirit Hammer and Mind Blow: a party caster's spell on the chosen group,
// a monster caster's on the whole party within reach of the distance given.
// A party caster's reach is measured by the group's distance now (Spirit
// Hammer) or by the distance given, as a monster's is (Mind Blow).
class bl3dGroupSpell : public bl3dIndividualSpell {
public:
    enum class Reach { GroupNow, AsGiven };

    bl3dGroupSpell(const SpellRow_S& row, int reach, Reach reachBy)
        : bl3dIndividualSpell(row, SpellEnqueue::Targeted, SpellLayout::Targeted), reach_(reach), reachBy_(reachBy) {}

protected:
    int cast(SpellUse_S& use) override;
    // The effect and its narration; `who` opens the line.
    virtual void onGroup(SpellUse_S& use, bl3dMonsterList& group, const char* who, const char* plural) = 0;
    virtual void onParty(SpellUse_S& use, const std::vector<bl3dCharacter*>& members, const char* who) = 0;
    // A monster caster too far from the party.
    virtual void outOfReach(SpellUse_S& use, const char* who) = 0;

private:
    int reach_;
    Reach reachBy_;
};

class bl3dSpell_SPHA : public bl3dGroupSpell {
public:
    explicit bl3dSpell_SPHA(const SpellRow_S& row) : bl3dGroupSpell(row, 40, Reach::GroupNow) {}

protected:
    void onGroup(SpellUse_S& use, bl3dMonsterList& group, const char* who, const char* plural) override;
    void onParty(SpellUse_S& use, const std::vector<bl3dCharacter*>& members, const char* who) override;
    void outOfReach(SpellUse_S& use, const char* who) override;

private:
    // Takes every spell point; false when there were none.
    static bool drainAll(bl3dCharacter* c);
};

// The distance it was given at counts against 30 feet (the catalogue gives
// the spell no range of its own).
class bl3dSpell_MIBL : public bl3dGroupSpell {
public:
    explicit bl3dSpell_MIBL(const SpellRow_S& row) : bl3dGroupSpell(row, 30, Reach::AsGiven) {}

protected:
    void onGroup(SpellUse_S& use, bl3dMonsterList& group, const char* who, const char* plural) override;
    void onParty(SpellUse_S& use, const std::vector<bl3dCharacter*>& members, const char* who) override;
    void outOfReach(SpellUse_S& use, const char* who) override;

private:
    // A living creature that fails both saves has its mind clouded.
    static bool phazed(bl3dCharacter* c);
};

class bl3dSpell_MIVO : public bl3dIndividualSpell {
public:
    explicit bl3dSpell_MIVO(const SpellRow_S& row)
        : bl3dIndividualSpell(row, SpellEnqueue::NoTarget, SpellLayout::Plain) {}

protected:
    int cast(SpellUse_S& use) override;
};

class bl3dSpell_HOSP : public bl3dIndividualSpell {
public:
    explicit bl3dSpell_HOSP(const SpellRow_S& row)
        : bl3dIndividualSpell(row, SpellEnqueue::NoTarget, SpellLayout::Plain) {}

protected:
    int cast(SpellUse_S& use) override;
};

class bl3dSpell_SPCO : public bl3dIndividualSpell {
public:
    explicit bl3dSpell_SPCO(const SpellRow_S& row)
        : bl3dIndividualSpell(row, SpellEnqueue::NoTarget2, SpellLayout::Plain) {}

protected:
    int cast(SpellUse_S& use) override;
};

class bl3dSpell_MAPO : public bl3dIndividualSpell {
public:
    explicit bl3dSpell_MAPO(const SpellRow_S& row)
        : bl3dIndividualSpell(row, SpellEnqueue::Portal, SpellLayout::Portal) {}

protected:
    int cast(SpellUse_S& use) override;
};

// Push Foes and Draw Foes: the group to `to` feet (90 back, 10 forward)
// when it stands nearer (push) or farther (draw).
class bl3dFoeMoveSpell : public bl3dIndividualSpell {
public:
    bl3dFoeMoveSpell(const SpellRow_S& row, bool push)
        : bl3dIndividualSpell(row, SpellEnqueue::Targeted3, SpellLayout::Group), push_(push) {}

protected:
    int cast(SpellUse_S& use) override;

private:
    bool push_;
};

class bl3dSpell_PUFO : public bl3dFoeMoveSpell {
public:
    explicit bl3dSpell_PUFO(const SpellRow_S& row) : bl3dFoeMoveSpell(row, true) {}
};

class bl3dSpell_DRFO : public bl3dFoeMoveSpell {
public:
    explicit bl3dSpell_DRFO(const SpellRow_S& row) : bl3dFoeMoveSpell(row, false) {}
};

// Ghost Wall and Open Wall share their rule.
class bl3dWallSpell : public bl3dIndividualSpell {
public:
    explicit bl3dWallSpell(const SpellRow_S& row)
        : bl3dIndividualSpell(row, SpellEnqueue::EffectStyle, SpellLayout::Plain) {}

protected:
    int cast(SpellUse_S& use) override;
};

class bl3dSpell_GHWA : public bl3dWallSpell {
public:
    using bl3dWallSpell::bl3dWallSpell;
};

class bl3dSpell_OPWA : public bl3dWallSpell {
public:
    using bl3dWallSpell::bl3dWallSpell;
};

// Modifier keys of the party shield of Spell Compiler: never an item's
// (an item's high key word is the high half of its serial).
constexpr int32_t SHIELD_KEY1 = 0x001b0057;
constexpr int32_t SHIELD_KEY2 = -1;

// The individual spell of a row (by its id); null for an id that has none.
bl3dSpell* makeIndividualSpell(const SpellRow_S& row);
