// bl3dSpell: the base of every spell, and the casting frame that all of them
// share: the record of one queued use, how a use is queued and its target
// resolved, the cast check (the fizzle rule), paying the cost, dice, the pick
// of a living monster in a group, and the cast and fizzle sounds.
//
// Life of one cast:
//   caller: new bl3dActor(creature) (or a bl3dItemActor for an item's power)
//     -> enqueue(actor, index, n, ctx)   resolves the target by position
//        or makeEntry(actor, target, n, ctx) with the target resolved
//     -> perform(use):  openCast   state check of the caster, cast check
//                       (its sound; a fizzle is narrated and may cost)
//                       ... the spell resolves its target ...
//                       pay        the cost leaves the actor
//                       ... the spell's own effect and narration ...
//     -> freeEntry(use): the record and the actor it owns are deleted.
// A spell that cannot resolve its target returns -1 before paying anything.
//
// Context values (n, ctx): ctx[0] the narration buffer (TextBuf_C*, null
// for none); ctx[1] and ctx[2] point to int32 values whose meaning depends
// on the spell (a monster caster's distance in feet; the Magician's
// Portal's target square). Each enqueue variant needs a least number of
// them; with fewer nothing is queued and the actor is deleted.
//
// Ownership follows rules/Action.h: enqueue and makeEntry take the actor
// over whatever they return; a spell's record keeps it (SpellUse_S deletes
// it), so the base freeEntry (delete the record) releases both.
#pragma once
#include "rules/Action.h"

#include <cstdint>

class bl3dMonster;
class bl3dMonsterList;

// What a record holds beside the actor and the narration buffer.
enum class SpellLayout {
    Plain,    // nothing more
    Summon,   // extra: the value behind ctx[1] (0 without it)
    Portal,   // x, y: the values behind ctx[1] and ctx[2]
    Group,    // target: an enemy group
    Targeted, // target: an enemy group (party caster) or a party member
              // (monster caster); extra: the value behind ctx[1]
};

// How enqueue turns its target index into a target, and the fewest
// context values a use needs.
enum class SpellEnqueue {
    EffectStyle, // 1: party caster the member at the index; monster: itself
    Portal,      // 3: as EffectStyle
    Targeted,    // 1: party caster the enemy group at the index (from the
                 //    nearest); monster caster the party member at it
    Targeted3,   // 3: as Targeted
    NoTarget,    // 1: no target
    NoTarget2,   // 2: no target
};

// One queued use of a spell.
struct SpellUse_S : ActionUse_S {
    ~SpellUse_S() override;

    // The creature behind the actor; null for an actor without one.
    bl3dCharacter* caster() const;

    SpellLayout layout = SpellLayout::Plain;
    bl3dActor* actor = nullptr; // owned
    TextBuf_C* text = nullptr;  // never null (TextBuf_C::discard())
    // Group and Targeted: looked up again before it is used
    // (actions/Targets.h); never trusted as it stands.
    void* target = nullptr;
    int32_t extra = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// Outcome of pickTarget.
enum PickStatus : int {
    PICK_OK = 0,
    PICK_OUT_OF_RANGE = 1, // the group stands beyond the range
    PICK_GONE = 2,         // the group is not in the enemy list (or null)
    PICK_NONE_ALIVE = 3,   // no monster of the group is alive
};

class bl3dSpell : public bl3dAction {
public:
    bl3dSpell(int32_t classMask, int32_t level, const char* name, const char* description, const char* code);

    bool isSpell() const override { return true; }
    uint8_t range() const override { return 0; }
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return description_; }
    virtual const char* code() const { return code_; }
    virtual int32_t spCost() const { return spCost_; }
    // The parameter record of the spell's kind; null for spells without one.
    virtual const void* params() const { return nullptr; }

    // Whether the creature could cast now at that distance: alive and able
    // (poison allowed), in range (0: any distance), its mind clear, the
    // points there and no anti-magic in force. Changes nothing: no sound,
    // no roll, no payment (the combat AI asks this of every spell each
    // round).
    bool usable(bl3dCharacter* who, int distance) override;

    // The cast check: -1 the caster is dead (nothing written); 0 the cast
    // fails, with its message in text and the fizzle sound (a clouded mind
    // or too few points cost nothing; a fizzle, by the anti-magic bit or
    // the 5% roll that items never make, takes the cost from the actor,
    // never below 0); 1 the cast goes ahead, with the cast sound. The cost
    // of a cast that goes ahead is paid by pay().
    int castCheck(bl3dActor* actor, TextBuf_C* text);
    // The same test for a creature, without a message, a sound, a roll or
    // a payment (what usable asks).
    bool castCheckCreature(const bl3dCharacter* who) const;

    // The sum of count rolls of a die of `sides` sides; 0 when count <= 0.
    // Held to the int32 range.
    static int32_t rollDice(int32_t count, int32_t sides);
    // A living monster of the group: a random one, or the first living one
    // when that one is dead. Null with the status when the group is not in
    // the enemy list, stands beyond the range (a range of 0 reaches any
    // distance) or has no living monster. The status pointer may be null.
    static bl3dMonster* pickTarget(int range, void* group, int* status);

    // The sounds of the spell's family (by its AI category).
    const char* castSound() const;
    const char* fizzleSound() const;

    // The fewest context values a use of that variant needs.
    static int minimumContext(SpellEnqueue how);

protected:
    // The record of a use when it is a spell's (null otherwise).
    static SpellUse_S* spellUse(ActionUse_S* use);
    // Resolves the target index as the variant says and hands the actor on
    // to makeEntry (virtual: the spell's own layout). Null, the actor
    // deleted, for too few context values or a caster that is neither a
    // party member nor a monster.
    ActionUse_S* enqueueAs(SpellEnqueue how, bl3dActor* actor, int targetIndex, int argc, void** argv);
    // Builds the record of the layout; null, the actor deleted, with fewer
    // than `minimum` context values.
    static SpellUse_S* makeEntryAs(SpellLayout layout, int minimum, bl3dActor* actor, void* target, int argc,
                                   void** argv);

    // The opening every perform shares: the record, the caster's state
    // check (ignore mask 0, verb "cast <name>"), the cast check. 1 to go
    // on (`use` set); otherwise perform's result: -1 no record, no caster
    // or a dead one, 0 a condition or the cast check stopped it (its
    // message written).
    int openCast(ActionUse_S* record, SpellUse_S*& use);
    // The cost leaves the actor: spell points, or an item's charge.
    void pay(SpellUse_S& use) const;
    // openCast, then pay when the cast goes on: the opening of a spell
    // whose target needs no resolving.
    int openAndPay(ActionUse_S* record, SpellUse_S*& use);

    int32_t spCost_ = 0;
    RefStr_C name_;
    RefStr_C description_;
    char code_[5] = {0, 0, 0, 0, 0};
};

// --- narration ---------------------------------------------------------------------
// The colours of the game's narration: a party member "#2%s#0", a monster
// "#4%s#0" after its article.

// "#2name#0" for a party member, else "#4name#0" (no article).
void coloredName(const bl3dCharacter* who, char* out, size_t size);
// The opening of a caster's line: a party member "#2name#0", a monster
// "Article #4name#0" (capitalised: it opens the sentence).
void casterWords(const bl3dCharacter* who, char* out, size_t size);
// "<caster> casts <spell>...\n" in the caster's own form.
void narrateCast(TextBuf_C& text, const bl3dCharacter* caster, const char* spell);
// The opening of a line aimed at one creature: a party caster's
// "#2caster#0 casts <spell> at article #4monster#0", a monster caster's
// "Article #4caster#0 casts <spell> at #2member#0".
void strikeWords(const bl3dCharacter* caster, const char* spell, const bl3dCharacter* target, char* out,
                 size_t size);
// Room for any of these openings.
constexpr size_t SPELL_WORDS_SIZE = 3 * 128 + 64;
