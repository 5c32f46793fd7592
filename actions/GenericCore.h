// bl3dGenericCore: what a data-defined skill (bl3dGenericSkill) and a
// data-defined spell (bl3dGenericSpell) share: the record's id, target kind,
// range and words, the effects (owned), the use record, the target of a use
// by position, running the effects and the narration chosen from what they
// did.
//
// Life cycle: built by the skill's or spell's constructor from the record's
// head and the effects the loader made; it lives and dies with its action.
//
// Targets by kind. A use aimed by position (enqueue) resolves the index by
// what the target kind asks for: one party member (kind 8) is the member in
// that slot, the user itself (0x20) and the user's own side (0x10, a
// monster's own group) need no index, and foes (kinds 1, 2, 4) are an enemy
// group from the nearest for a party member and a party member for a
// monster. A heal therefore never takes an enemy group for a member.
//
// Context values: argv[0] the narration buffer (TextBuf_C*), argv[1] a
// pointer to the distance in feet (-1 when absent). An action whose id
// carries the bard-song bit takes the songs' context instead: argv[1] is the
// interface there, so no distance is read from it.
//
// Narration: one line per use, from the best effect result and the summed
// totals, in the words of the record: the verb's third person ("casts
// Fire Dart" for a spell, "uses" for a skill), the preposition and the
// gerund ("blasting").
#pragma once
#include "actions/Catalogue.h"
#include "actions/Spell.h"
#include "actions/Effect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ActionDef_S;
class bl3dActor;
class bl3dCharacter;

// One use of a data-defined action: a spell's record (the actor it owns,
// the target, looked up again before it is used, and the narration buffer)
// with the distance in feet (-1 when none was given).
struct GenericUse_S : SpellUse_S {
    int32_t distance = -1;
};

using EffectList = std::vector<std::unique_ptr<bl3dEffect>>;

// The catalogue row of a data-defined skill or song: its name, id, class
// mask, level, target kind, range and description (the strings stay the
// record's: the row is used while the record lives).
ActionRow_S genericRow(const ActionDef_S& def);

class bl3dGenericCore {
public:
    // `spell` chooses the spell's words ("casts NAME") and texts.
    bl3dGenericCore(const ActionDef_S& def, EffectList effects, bool spell);

    int32_t id() const { return id_; }
    uint8_t targetKind() const { return targetKind_; }
    uint8_t range() const { return range_; }
    uint32_t ignoreMask() const { return ignoreMask_; }
    int aiCategory() const { return aiCategory_; }
    const std::string& phrase() const { return phrase_; }
    const std::string& verb() const { return verb_; }
    const std::string& preposition() const { return preposition_; }
    const std::string& gerund() const { return gerund_; }
    size_t effectCount() const { return effects_.size(); }
    const EffectList& effects() const { return effects_; }

    // The use record (the actor taken over); null, the actor deleted, when
    // argc is below 1.
    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) const;
    // A use aimed by position: the target found by the target kind (see
    // above), then makeEntry. Null, the actor deleted, without a context
    // value or for a user that is neither a party member nor a monster.
    ActionUse_S* enqueue(bl3dActor* actor, int index, int argc, void** argv) const;
    // The record when it is one of the generic actions'.
    static GenericUse_S* genericUse(ActionUse_S* use);

    // The distance the effects get: a monster's group's, else the use's.
    int userDistance(const GenericUse_S& use) const;
    // Applies every effect in order, summing what they did; the best result
    // (-100 when there is no effect).
    int applyAll(GenericUse_S& use, EffectSums_S& sums, bool fallOff) const;
    // Writes the line of the use into its buffer. 0 written; -1 nothing to
    // say for that result; -2 a target kind without texts.
    int narrate(GenericUse_S& use, int best, const EffectSums_S& sums) const;

private:
    // The target of a use aimed by position, by the target kind.
    void* targetAt(const bl3dCharacter* user, int index) const;
    // The user's name and the action's words, as one line prints them.
    struct Words_S {
        const char* name;
        const char* phrase;
        const char* prep;
        const char* sep; // " " after a preposition, else nothing
        const char* ger;
    };
    Words_S words(const bl3dCharacter* user) const;
    int narrateParty(GenericUse_S& use, bl3dCharacter* user, int best, const EffectSums_S& sums) const;
    int narrateMonster(GenericUse_S& use, bl3dCharacter* user, int best, const EffectSums_S& sums) const;

    int32_t id_;
    uint8_t targetKind_;
    uint8_t range_;
    uint32_t ignoreMask_;
    int aiCategory_ = 0;
    bool spell_;
    std::string phrase_;
    std::string verb_;
    std::string preposition_;
    std::string gerund_;
    EffectList effects_;
};
