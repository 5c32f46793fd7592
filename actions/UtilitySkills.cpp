#include "actions/UtilitySkills.h"

#include "actions/ActionEnv.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

int bl3dWorldSkill::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    use->text->clear();
    if (!rulesEnv().worldTags())
        return -1;
    const uint32_t due = rulesEnv().currentTick() + 120 + static_cast<uint32_t>(vell::gameRand() % 240);
    extendWorldMagic(world_.family, world_.bit, due);
    refresh();
    use->text->set(world_.format, use->performer->getName(), name().c_str());
    return 0;
}

bl3dSkill_12289::bl3dSkill_12289(const ActionRow_S& row)
    : bl3dWorldSkill(row, World_S{MAGIC_PERCEPTION, 0x01, "%s focuses the %s...\n"}) {}

void bl3dSkill_12289::refresh() const { actionEnv().buildPercepPane(); }

bl3dSkill_12290::bl3dSkill_12290(const ActionRow_S& row)
    : bl3dWorldSkill(row,
                     World_S{MAGIC_ENCOUNTER, 0x08, "%s instructs the party to %s...\n"}) {}

void bl3dSkill_12290::refresh() const { actionEnv().calcXC(); }

int bl3dSkill_12291::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    use->text->clear();
    if (!party)
        return -3;
    const char* const kind = vell::gameRand() % 2 == 0 ? "Bear" : "Wolf";
    bl3dMonsterType* type = actionEnv().findMonsterType(kind);
    const char* who = use->performer->getName();
    if (!type) {
        use->text->set("%s tries to %s, but no animal answers!\n", who, name().c_str());
        return -2;
    }
    if (party->getCount() >= MAX_PARTY) {
        use->text->set("%s tries, but the party is full!\n", who);
        return 0;
    }
    bl3dPartyChar* animal = type->makePartyChar(false);
    setIntAttribute(animal, tagkey::MonExpire, 0);
    if (!party->addMonster(animal)) {
        delete animal;
        use->text->set("%s tries, but the party is full!\n", who);
        return 0;
    }
    use->text->set("%s instructs the party to %s...\n", who, name().c_str());
    return 0;
}
