// bl3dSkill: the base of the built-in skills (Attack, Fight Evil, the combat
// skills, the utility skills) and of the data-defined ones. A skill acts for
// one creature against one target: for a party member an enemy group, for a
// monster a party member.
//
// enqueue resolves the target index (a party member's index numbers the
// enemy groups from the nearest, 0 first; a monster's the party's slots) and
// hands the actor on to makeEntry; makeEntry keeps the actor's creature in a
// SkillUse_S and deletes the actor. Context values: argv[0] the narration
// buffer (TextBuf_C*), argv[1] a pointer to the distance in feet (0 when
// absent), argv[2] a pointer to the capital flag (uint8_t; 1 when absent).
// With no context value at all nothing is queued.
#pragma once
#include "actions/RowAction.h"

class bl3dCharacter;
class TextBuf_C;

// One use of a skill.
struct SkillUse_S : ActionUse_S {
    bl3dCharacter* performer = nullptr;
    // An enemy group for a party performer, a party member for a monster;
    // looked up again before it is used (actions/Targets.h).
    void* target = nullptr;
    // Never null: a use without narration writes into TextBuf_C::discard().
    TextBuf_C* text = nullptr;
    int32_t distance = 0;
    // Whether a monster performer's sentence starts with a capital.
    bool capital = true;
};

class bl3dSkill : public bl3dRowAction {
public:
    explicit bl3dSkill(const ActionRow_S& row) : bl3dRowAction(row) {}

    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    bool isSkill() const override { return true; }

protected:
    // The record when it is one of the skills' (null otherwise).
    static SkillUse_S* skillUse(ActionUse_S* use);
    // The target by position for this performer: an enemy group or a party
    // member; null when the list is shorter (the perform then falls back).
    static void* targetAt(const bl3dCharacter* performer, int index);
    // The opening most skills share: the record, the performer's state
    // check (its message written), the buffer emptied, the performer alive.
    // 1 to go on (`use` set); otherwise perform's result: -3 no record or
    // performer, the state check's result below 1, -6 dead.
    int openUse(ActionUse_S* record, int32_t ignoreMask, SkillUse_S*& use);
};

