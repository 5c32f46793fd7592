#include "actions/GenericSkill.h"

#include "actions/ActionFile.h"
#include "rules/Actor.h"
#include "rules/Character.h"

bl3dGenericSkill::bl3dGenericSkill(const ActionDef_S& def, EffectList effects)
    : bl3dSkill(genericRow(def)), core_(def, std::move(effects), false) {}

ActionUse_S* bl3dGenericSkill::makeEntry(bl3dActor* actor, void* target, int argc, void** argv) {
    return core_.makeEntry(actor, target, argc, argv);
}

ActionUse_S* bl3dGenericSkill::enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) {
    return core_.enqueue(actor, targetIndex, argc, argv);
}

int bl3dGenericSkill::perform(ActionUse_S* record) {
    GenericUse_S* use = bl3dGenericCore::genericUse(record);
    bl3dCharacter* user = use && use->actor ? use->actor->getCreature() : nullptr;
    if (!user)
        return -1;
    const int able =
        checkState(user, static_cast<int32_t>(core_.ignoreMask()), core_.verb().c_str(), use->text);
    if (able <= 0)
        return able;
    EffectSums_S sums;
    const int best = core_.applyAll(*use, sums, false);
    return core_.narrate(*use, best, sums);
}
