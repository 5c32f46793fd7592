// The built-in spells by kind: effect spells (states of the world for a
// while), trap spells (traps sprung and spinners stopped around the party),
// summon spells (a creature joins the party, or the caster's side in a
// fight), damage spells (dice of damage, actions/DamageSpell.cpp) and the
// individual spells whose rule is their own (actions/IndividualSpells.h).
// Each object is built from its catalogue row (actions/Catalogue.h): the
// constants it answers, its kind's parameter record, how its uses are
// queued and what they hold. All of them run the casting frame of
// actions/Spell.h.
#pragma once
#include "actions/Catalogue.h"
#include "actions/Spell.h"

#include <cstdint>

// Effect spells: six int32.
struct EffectParams_S {
    int32_t durationKind = 0; // 1..6, see spellDuration
    int32_t duration = 0;     // ticks, with duration kind 6
    int32_t lightBits = 0;    // "MagLt1"
    int32_t percepBits = 0;   // "Percep1"
    // 0x01: "MagState1" bit 0x01; 0x02: the magic-state bits named by
    // stateBits (0x01..0x20 stand for 0x04..0x80); 0x04: the encounter bits
    // named by stateBits (0x01..0x04 stand for "XCState" 0x02..0x08).
    int32_t stateSelector = 0;
    int32_t stateBits = 0;
};

// Trap spells: an int32 and two bytes.
struct TrapParams_S {
    int32_t radius = 0; // squares; 0 or less for the whole map
    uint8_t springTraps = 0;
    uint8_t stopSpinners = 0;
};

// Summon spells: the monster type's name, the illusion flag and two int32.
struct SummonParams_S {
    char monster[128] = {};
    uint8_t illusion = 0;
    int32_t chance = 0;   // percent
    int32_t duration = 0; // units of 240 ticks; 0 until it dies
};

// Damage spells: eight int32.
struct DamageParams_S {
    int32_t range = 0;      // feet; 0 reaches any distance
    int32_t targetMode = 0; // 1 one monster/member, 2 a group/the party, 3 every group in range/the party
    int32_t sides = 0;
    int32_t count = 0;
    int32_t levelFlag = 0; // the count is multiplied by a level
    int32_t specialFlags = 0;
    int32_t typeValue = 0; // the compared creature type, kill chance or packed poison
    int32_t element = 0;   // 0 none, 1 fire, 2 earth, 3 air, 4 water
};

// How long an effect lasts, in ticks, by its duration kind: 1 ten to twelve,
// 2 120 to 240, 3 480 to 960, 4 1200 to 1920 (each one roll), 5 for good
// (0x3fffffff), 6 the given ticks (0 for a negative count), anything else 1.
uint32_t spellDuration(int32_t kind, int32_t ticks);

// What every built-in spell answers from its row, and how its uses are made.
class bl3dBuiltinSpell : public bl3dSpell {
public:
    bl3dBuiltinSpell(const SpellRow_S& row, SpellEnqueue how, SpellLayout layout);

    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    uint8_t targetKind() const override { return targetKind_; }
    uint8_t range() const override { return range_; }
    int32_t actionID() const override { return id_; }
    uint8_t path() const override { return path_; }
    int aiCategory() const override { return aiCategory_; }
    SpellKind kind() const { return kind_; }
    SpellEnqueue enqueueVariant() const { return how_; }
    SpellLayout layout() const { return layout_; }

private:
    int32_t id_;
    uint8_t targetKind_;
    uint8_t range_;
    uint8_t path_;
    int aiCategory_;
    SpellKind kind_;
    SpellEnqueue how_;
    SpellLayout layout_;
};

// Switches world state bits on for a while (actions/WorldMagic.h): each
// selected bit's end moves later, never earlier, and its family's expiry
// event is queued only when it moved. Then the light, the perception pane
// and the encounter values are recomputed.
class bl3dEffectSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dEffectSpell(const SpellRow_S& row);
    // 0 after a cast; the frame's values otherwise.
    int perform(ActionUse_S* use) override;
    const void* params() const override { return &params_; }
    const EffectParams_S& effect() const { return params_; }

private:
    EffectParams_S params_;
};

// Marks the squares within the radius around the party (or the whole map)
// as traps sprung and/or spinners stopped.
class bl3dTrapSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dTrapSpell(const SpellRow_S& row);
    // 0 after a cast; the frame's values otherwise.
    int perform(ActionUse_S* use) override;
    const void* params() const override { return &params_; }
    const TrapParams_S& trap() const { return params_; }

private:
    TrapParams_S params_;
};

// Brings a creature of the named monster type: cast by a party member it
// joins the party (an illusion as a summoned member); cast by a monster it
// enters the fight as a new enemy group. Preclusion magic stops it.
class bl3dSummonSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dSummonSpell(const SpellRow_S& row);
    // 0 after a cast or a narrated refusal (a missing monster type is
    // refused before anything is paid); -1 for a caster that is neither a
    // party member nor a monster; the frame's values otherwise.
    int perform(ActionUse_S* use) override;
    const void* params() const override { return &params_; }
    const SummonParams_S& summon() const { return params_; }

private:
    SummonParams_S params_;
};

// Dice of damage against one monster, a group or every group in range, or,
// cast by a monster, one party member or the whole party. The range is the
// record's first field and the AI category 4 with special flags, else 6.
class bl3dDamageSpell : public bl3dBuiltinSpell {
public:
    // Special flags.
    enum : int32_t {
        DMG_TYPE_FROM_SPELL = 0x01, // compare typeValue() instead of the record's
        DMG_POISON = 0x02,
        DMG_INSTANT_KILL = 0x04, // chance in percent: the record's type value
        DMG_ONLY_TYPE = 0x08,
        DMG_DOUBLE_TYPE = 0x10,
        DMG_SPARE_TYPE = 0x20,
        DMG_DISPEL = 0x40, // illusions vanish
    };

    explicit bl3dDamageSpell(const SpellRow_S& row);
    // 0 after a cast, a narrated miss or a target out of range; -1 when the
    // target cannot be resolved (before anything is paid), for a target
    // mode other than 1 to 3, or a caster that is neither a party member
    // nor a monster; the frame's values otherwise.
    int perform(ActionUse_S* use) override;
    const void* params() const override { return &params_; }
    const DamageParams_S& damage() const { return params_; }
    uint8_t range() const override { return static_cast<uint8_t>(params_.range); }
    int aiCategory() const override { return params_.specialFlags ? AI_DRAIN : AI_ATTACK; }
    // The creature type the spell itself compares (special flag 0x01).
    virtual int32_t typeValue() const { return 0; }
    // The spell as one record of the action data file with one damage
    // effect.
    void writeRecord(MemStream_C& s) const override;

private:
    struct Tally_S;
    // What became of one creature struck.
    enum class Strike { Resists, Killed, Dispelled, NoEffect, Damaged };
    // The steps after the saving throw and the dice: the element, poison,
    // the instant kill, the creature-type rules, illusions; then the damage
    // is dealt. `poisoned` tells whether the poison took.
    Strike strikeOne(const bl3dCharacter* caster, bl3dCharacter* target, int64_t& damage, bool& poisoned,
                     int32_t killChance) const;
    // One creature struck alone, from its saving throw to the narration.
    void strikeNarrated(SpellUse_S& use, bl3dCharacter* target, const char* words) const;
    int partyOne(SpellUse_S& use);
    int partyGroups(SpellUse_S& use);
    int monsterOne(SpellUse_S& use);
    int monsterParty(SpellUse_S& use);
    // The count of dice with the level factor.
    int32_t diceCount(const bl3dCharacter* caster) const;
    // One creature of a sweep; false once the sweep must stop.
    bool sweepOne(const bl3dCharacter* caster, bl3dCharacter* victim, Tally_S& t) const;

    DamageParams_S params_;
};

// The spell object of a row, by its kind (and, for the individual spells,
// by its id); null for a row this game has no class for.
bl3dSpell* makeSpell(const SpellRow_S& row);
