#include "actions/GenericSkill.h"

#include "actions/ActionFile.h"
#include "actions/Catalogue.h"
#include "rules/Actor.h"
#include "rules/Character.h"

namespace {
ActionRow_S rowOf(const ActionDef_S& def) {
    return ActionRow_S{0,
                       def.name.c_str(),
                       static_cast<int32_t>(def.id),
                       static_cast<int32_t>(def.classMask),
                       def.level,
                       def.targetKind,
                       def.range,
                       AI_NONE,
                       def.description.c_str(),
                       nullptr};
}
} // namespace

bl3dGenericSkill::bl3dGenericSkill(const ActionDef_S& def, EffectList effects)
    : bl3dSkill(rowOf(def)), core_(def, std::move(effects), false) {}

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
