#include "actions/Spells.h"

#include "actions/ActionEnv.h"
#include "actions/Attributes.h"
#include "actions/IndividualSpells.h"
#include "actions/Targets.h"
#include "actions/WorldMagic.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstring>

namespace {
// A summon's lifetime counts in hours.
constexpr uint32_t TICKS_PER_HOUR = 240;
} // namespace

uint32_t spellDuration(int32_t kind, int32_t ticks) {
    switch (kind) {
    case 1: return static_cast<uint32_t>(vell::gameRand() % 3 + 10);
    case 2: return static_cast<uint32_t>(vell::gameRand() % 121 + 120);
    case 3: return static_cast<uint32_t>(vell::gameRand() % 481 + 480);
    case 4: return static_cast<uint32_t>(vell::gameRand() % 721 + 1200);
    case 5: return 0x3fffffffu;
    case 6: return ticks > 0 ? static_cast<uint32_t>(ticks) : 0u;
    default: break;
    }
    return 1;
}

// --- every built-in spell ---------------------------------------------------------

bl3dBuiltinSpell::bl3dBuiltinSpell(const SpellRow_S& row, SpellEnqueue how, SpellLayout layout)
    : bl3dSpell(row.classMask, row.level, row.name, row.description, row.code), id_(row.id),
      targetKind_(row.targetKind), range_(row.range), path_(row.path), aiCategory_(row.aiCategory),
      kind_(row.kind), how_(how), layout_(layout) {
    spCost_ = row.spCost;
}

ActionUse_S* bl3dBuiltinSpell::makeEntry(bl3dActor* actor, void* target, int argc, void** argv) {
    return makeEntryAs(layout_, minimumContext(how_), actor, target, argc, argv);
}

ActionUse_S* bl3dBuiltinSpell::enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) {
    return enqueueAs(how_, actor, targetIndex, argc, argv);
}

// --- effect spells ------------------------------------------------------------------

bl3dEffectSpell::bl3dEffectSpell(const SpellRow_S& row)
    : bl3dBuiltinSpell(row, SpellEnqueue::EffectStyle, SpellLayout::Plain) {
    const int32_t* v = row.values;
    params_ = EffectParams_S{v[0], v[1], v[2], v[3], v[4], v[5]};
}

int bl3dEffectSpell::perform(ActionUse_S* record) {
    SpellUse_S* use = nullptr;
    const int r = openAndPay(record, use);
    if (r != 1)
        return r;
    const uint32_t until = rulesEnv().currentTick() + spellDuration(params_.durationKind, params_.duration);

    int32_t state = 0;
    int32_t encounter = 0;
    if (params_.stateSelector & 0x01)
        state |= MAGSTATE_FLOAT;
    if (params_.stateSelector & 0x02)
        state |= (params_.stateBits & 0x3f) << 2;
    if (params_.stateSelector & 0x04)
        encounter |= (params_.stateBits & 0x07) << 1;

    extendWorldMagic(MAGIC_LIGHT, params_.lightBits, until);
    extendWorldMagic(MAGIC_PERCEPTION, params_.percepBits, until);
    extendWorldMagic(MAGIC_STATE, state, until);
    extendWorldMagic(MAGIC_ENCOUNTER, encounter, until);
    actionEnv().calcLight();
    actionEnv().buildPercepPane();
    actionEnv().calcXC();
    narrateCast(*use->text, use->caster(), name_.c_str());
    return 0;
}

// --- trap spells ---------------------------------------------------------------------

bl3dTrapSpell::bl3dTrapSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row, SpellEnqueue::EffectStyle, SpellLayout::Plain) {
    params_.radius = row.values[0];
    params_.springTraps = static_cast<uint8_t>(row.values[1]);
    params_.stopSpinners = static_cast<uint8_t>(row.values[2]);
}

int bl3dTrapSpell::perform(ActionUse_S* record) {
    SpellUse_S* use = nullptr;
    const int r = openAndPay(record, use);
    if (r != 1)
        return r;
    const bool spring = params_.springTraps != 0;
    const bool spinners = params_.stopSpinners != 0;
    const int radius = params_.radius;
    int x = 0, y = 0, facing = 0;
    if (radius <= 0)
        actionEnv().springTraps(spring, spinners, 0, 0, -1, -1);
    else if (actionEnv().partyPosition(x, y, facing))
        actionEnv().springTraps(spring, spinners, x - radius, y - radius, x + radius, y + radius);
    actionEnv().buildPercepPane();
    // Traps are the party's business: whoever casts, the line names the
    // caster as a party member.
    use->text->set("#2%s#0 casts %s...\n", use->caster()->getName(), name_.c_str());
    return 0;
}

// --- summon spells --------------------------------------------------------------------

bl3dSummonSpell::bl3dSummonSpell(const SpellRow_S& row) : bl3dBuiltinSpell(row, SpellEnqueue::NoTarget, SpellLayout::Summon) {
    if (row.monster)
        std::strncpy(params_.monster, row.monster, sizeof params_.monster - 1);
    params_.illusion = static_cast<uint8_t>(row.values[0]);
    params_.chance = row.values[1];
    params_.duration = row.values[2];
}

int bl3dSummonSpell::perform(ActionUse_S* record) {
    SpellUse_S* use = nullptr;
    const int r = openCast(record, use);
    if (r != 1)
        return r;
    bl3dCharacter* caster = use->caster();
    if (!caster->isPartyMember() && !caster->isMonster())
        return -1;
    TextBuf_C& text = *use->text;
    const char* spell = name_.c_str();
    char shown[NAME_SIZE + 16];
    bl3dMonsterType* type = actionEnv().findMonsterType(params_.monster);
    if (!type) {
        // The bestiary lacks the creature: nothing answers, nothing is paid.
        casterWords(caster, shown, sizeof shown);
        text.set("%s tries to cast %s, but nothing answers the call!\n", shown, spell);
        return 0;
    }
    pay(*use);

    const int32_t magState = worldVar(tagkey::MagState1);
    const int32_t kind = type->getKind();
    if ((params_.illusion && (magState & MAGSTATE_NO_ILLUSIONS)) ||
        (kind == CREATURE_UNDEAD && (magState & MAGSTATE_NO_UNDEAD)) ||
        (kind == CREATURE_DEMON && (magState & MAGSTATE_NO_DEMONS)) || (magState & MAGSTATE_NO_SUMMONING)) {
        text.set("#2%s#0 tries to cast %s, but the spell fizzles!\n", caster->getName(), spell);
        return 0;
    }

    if (caster->isMonster()) {
        auto* group = new bl3dMonsterList(1, type, params_.illusion);
        enemyList.insertGroup(group, std::max(use->extra, MELEE_DISTANCE));
        text.set("#4%s#0 casts %s, and %s #4%s#0 appears!\n", caster->getName(), spell, type->article(false),
                 type->getName());
        return 0;
    }

    const char* who = caster->getName();
    if (party && (party->hasMember(params_.monster) || party->hasMonsterOf(type))) {
        text.set("#2%s#0 casts %s, but there is already one in the party!\n", who, spell);
        return 0;
    }
    if (partySize() >= MAX_PARTY) {
        text.set("#2%s#0 casts %s, but the party is full!\n", who, spell);
        return 0;
    }
    if (vell::gameRand() % 100 + 1 > params_.chance) {
        text.set("#2%s#0 casts %s, but the spell fizzles!\n", who, spell);
        return 0;
    }
    bl3dPartyChar* member = type->makePartyChar(params_.illusion != 0);
    const uint32_t expire =
        params_.duration ? rulesEnv().currentTick() + static_cast<uint32_t>(params_.duration) * TICKS_PER_HOUR : 0;
    setIntAttribute(member, tagkey::MonExpire, static_cast<int32_t>(expire));
    if (!party || !party->addMonster(member)) {
        delete member;
        text.set("#2%s#0 casts %s, but the party is full!\n", who, spell);
        return 0;
    }
    text.set("#2%s#0 casts %s...\n", who, spell);
    return 0;
}

// --- making them ------------------------------------------------------------------

bl3dSpell* makeSpell(const SpellRow_S& row) {
    switch (row.kind) {
    case SpellKind::Effect: return new bl3dEffectSpell(row);
    case SpellKind::Trap: return new bl3dTrapSpell(row);
    case SpellKind::Summon: return new bl3dSummonSpell(row);
    case SpellKind::Damage: return new bl3dDamageSpell(row);
    case SpellKind::Plain: break;
    }
    return makeIndividualSpell(row);
}
