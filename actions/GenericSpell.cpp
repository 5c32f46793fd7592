#include "actions/GenericSpell.h"

#include "actions/ActionFile.h"
#include "rules/Actor.h"
#include "rules/Character.h"

#include <string>

bl3dGenericSpell::bl3dGenericSpell(const ActionDef_S& def, EffectList effects)
    : bl3dSpell(static_cast<int32_t>(def.classMask), def.level, def.name.c_str(), def.description.c_str(), def.code),
      core_(def, std::move(effects), true), path_(static_cast<uint8_t>(def.path & 0xff)) {
    spCost_ = def.spCost;
}

ActionUse_S* bl3dGenericSpell::makeEntry(bl3dActor* actor, void* target, int argc, void** argv) {
    return core_.makeEntry(actor, target, argc, argv);
}

ActionUse_S* bl3dGenericSpell::enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) {
    return core_.enqueue(actor, targetIndex, argc, argv);
}

int bl3dGenericSpell::perform(ActionUse_S* record) {
    GenericUse_S* use = bl3dGenericCore::genericUse(record);
    bl3dCharacter* caster = use && use->actor ? use->actor->getCreature() : nullptr;
    if (!caster)
        return -1;
    const std::string verb = "cast " + std::string(name_.c_str());
    const int able = checkState(caster, static_cast<int32_t>(core_.ignoreMask()), verb.c_str(), use->text);
    if (able <= 0)
        return able;
    // A refused cast has written why (and paid what a fizzle costs).
    if (castCheck(use->actor, use->text) != 1)
        return 0;
    pay(*use);
    EffectSums_S sums;
    const int best = core_.applyAll(*use, sums, true);
    return core_.narrate(*use, best, sums);
}
