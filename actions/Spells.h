// The built-in spells by kind: effect spells (states of the world for a
// while), trap spells (traps sprung and spinners stopped), summon spells (a
// creature joins), damage spells (dice of damage) and the individual spells
// whose rule is their own. Each object is built from its catalogue row
// (actions/Catalogue.h): the constants it answers and its kind's parameter
// record.
//
// The casting frame (the cast check, paying, the use records and what each
// kind does) is built on these classes; until it is, a spell builds no use:
// enqueue and makeEntry delete the actor and return null, and perform
// carries nothing out (-1).
#pragma once
#include "actions/Action.h"
#include "actions/Catalogue.h"

#include <cstdint>

// Effect spells: six int32.
struct EffectParams_S {
    int32_t durationKind = 0; // 1..6, see the effect spells
    int32_t duration = 0;     // ticks, with duration kind 6
    int32_t lightBits = 0;    // "MagLt1"
    int32_t percepBits = 0;   // "Percep1"
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
    int32_t range = 0;
    int32_t targetMode = 0;
    int32_t sides = 0;
    int32_t count = 0;
    int32_t levelFlag = 0;
    int32_t specialFlags = 0;
    int32_t typeValue = 0;
    int32_t element = 0;
};

// What every built-in spell answers from its row.
class bl3dBuiltinSpell : public bl3dSpell {
public:
    explicit bl3dBuiltinSpell(const SpellRow_S& row);

    int perform(ActionUse_S* use) override;
    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    uint8_t targetKind() const override { return targetKind_; }
    uint8_t range() const override { return range_; }
    int32_t actionID() const override { return id_; }
    uint8_t path() const override { return path_; }
    int aiCategory() const override { return aiCategory_; }
    SpellKind kind() const { return kind_; }

private:
    int32_t id_;
    uint8_t targetKind_;
    uint8_t range_;
    uint8_t path_;
    int aiCategory_;
    SpellKind kind_;
};

class bl3dEffectSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dEffectSpell(const SpellRow_S& row);
    const void* params() const override { return &params_; }
    const EffectParams_S& effect() const { return params_; }

private:
    EffectParams_S params_;
};

class bl3dTrapSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dTrapSpell(const SpellRow_S& row);
    const void* params() const override { return &params_; }
    const TrapParams_S& trap() const { return params_; }

private:
    TrapParams_S params_;
};

class bl3dSummonSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dSummonSpell(const SpellRow_S& row);
    const void* params() const override { return &params_; }
    const SummonParams_S& summon() const { return params_; }

private:
    SummonParams_S params_;
};

// The range is the record's first field and the AI category 4 with special
// flags, else 6.
class bl3dDamageSpell : public bl3dBuiltinSpell {
public:
    explicit bl3dDamageSpell(const SpellRow_S& row);
    const void* params() const override { return &params_; }
    const DamageParams_S& damage() const { return params_; }
    uint8_t range() const override { return static_cast<uint8_t>(params_.range); }
    int aiCategory() const override { return params_.specialFlags ? AI_DRAIN : AI_ATTACK; }
    // The creature type the spell itself compares (special flag 0x01).
    virtual int32_t typeValue() const { return 0; }

private:
    DamageParams_S params_;
};

// A spell with a rule of its own and no parameter record.
class bl3dPlainSpell : public bl3dBuiltinSpell {
public:
    using bl3dBuiltinSpell::bl3dBuiltinSpell;
};

// The spell object of a row, by its kind.
bl3dSpell* makeSpell(const SpellRow_S& row);
