// bl3dGenericSpell: a spell defined by a record of the action data file
// (actions/ActionFile.h): name, description, code, path, cost, range,
// target kind, the words of its narration and its effects
// (actions/GenericCore.h). Casting screens, combat and the combat AI use it
// as any spell.
//
// perform: the can-act check (the record's ignore mask passes over
// conditions), the cast check, the cost paid, every effect applied in order
// with fall-off, one line written from what they did. Results: 0 when a line
// was written (also when an effect refused, and when the cast check stopped
// the cast: its message stands); the can-act check's result when it is 0 or
// below; -1 when no line fits the effects' result; -2 for a target kind
// without texts.
#pragma once
#include "actions/GenericCore.h"
#include "actions/Spell.h"

class bl3dGenericSpell : public bl3dSpell {
public:
    // Takes the effects over.
    bl3dGenericSpell(const ActionDef_S& def, EffectList effects);

    int perform(ActionUse_S* use) override;
    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    uint8_t targetKind() const override { return core_.targetKind(); }
    uint8_t range() const override { return core_.range(); }
    int32_t actionID() const override { return core_.id(); }
    uint8_t path() const override { return path_; }
    int aiCategory() const override { return core_.aiCategory(); }

    const bl3dGenericCore& core() const { return core_; }

private:
    bl3dGenericCore core_;
    uint8_t path_;
};
