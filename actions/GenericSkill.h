// bl3dGenericSkill: a skill defined by a record of the action data file
// (actions/ActionFile.h): its words and effects come from the record
// (actions/GenericCore.h). It costs nothing, has no casting check and its
// sweeps take no fall-off; perform checks that the user can act (the
// record's ignore mask passes over conditions), applies every effect in
// order and writes one line from what they did.
//
// perform: 0 when a line was written (also when an effect refused); the
// can-act check's result when it is 0 or below (its message written); -1
// when no line fits the effects' result (nothing written); -2 for a target
// kind without texts.
#pragma once
#include "actions/GenericCore.h"
#include "actions/Skill.h"

class bl3dGenericSkill : public bl3dSkill {
public:
    // Takes the effects over.
    bl3dGenericSkill(const ActionDef_S& def, EffectList effects);

    int perform(ActionUse_S* use) override;
    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    int aiCategory() const override { return core_.aiCategory(); }

    const bl3dGenericCore& core() const { return core_; }

private:
    bl3dGenericCore core_;
};
