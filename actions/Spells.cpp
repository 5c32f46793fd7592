#include "actions/Spells.h"

#include "rules/Actor.h"

#include <cstring>

bl3dBuiltinSpell::bl3dBuiltinSpell(const SpellRow_S& row)
    : bl3dSpell(row.classMask, row.level, row.name, row.description, row.code), id_(row.id),
      targetKind_(row.targetKind), range_(row.range), path_(row.path), aiCategory_(row.aiCategory),
      kind_(row.kind) {
    spCost_ = row.spCost;
}

int bl3dBuiltinSpell::perform(ActionUse_S*) { return -1; }

ActionUse_S* bl3dBuiltinSpell::makeEntry(bl3dActor* actor, void*, int, void**) {
    delete actor;
    return nullptr;
}

ActionUse_S* bl3dBuiltinSpell::enqueue(bl3dActor* actor, int, int, void**) {
    delete actor;
    return nullptr;
}

bl3dEffectSpell::bl3dEffectSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row) {
    const int32_t* v = row.values;
    params_ = EffectParams_S{v[0], v[1], v[2], v[3], v[4], v[5]};
}

bl3dTrapSpell::bl3dTrapSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row) {
    params_.radius = row.values[0];
    params_.springTraps = static_cast<uint8_t>(row.values[1]);
    params_.stopSpinners = static_cast<uint8_t>(row.values[2]);
}

bl3dSummonSpell::bl3dSummonSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row) {
    if (row.monster)
        std::strncpy(params_.monster, row.monster, sizeof params_.monster - 1);
    params_.illusion = static_cast<uint8_t>(row.values[0]);
    params_.chance = row.values[1];
    params_.duration = row.values[2];
}

bl3dDamageSpell::bl3dDamageSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row) {
    const int32_t* v = row.values;
    params_ = DamageParams_S{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
}

bl3dSpell* makeSpell(const SpellRow_S& row) {
    switch (row.kind) {
    case SpellKind::Effect: return new bl3dEffectSpell(row);
    case SpellKind::Trap: return new bl3dTrapSpell(row);
    case SpellKind::Summon: return new bl3dSummonSpell(row);
    case SpellKind::Damage: return new bl3dDamageSpell(row);
    case SpellKind::Plain: break;
    }
    return new bl3dPlainSpell(row);
}
