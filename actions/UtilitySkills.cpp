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

namespace {
constexpr int EVENT_EXPIRE_PERCEP = 9011;
constexpr int EVENT_EXPIRE_XCSTATE = 9013;
} // namespace

int bl3dWorldSkill::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    use->text->clear();
    TagList_C* tags = rulesEnv().worldTags();
    if (!tags)
        return -1;
    const uint32_t due = rulesEnv().currentTick() + 120 + static_cast<uint32_t>(vell::gameRand() % 240);
    const int32_t bits = intAttribute(tags, world_.variable) | world_.bit;
    const uint32_t expiry = static_cast<uint32_t>(intAttribute(tags, world_.expiry));
    if (expiry < due) {
        setIntAttribute(tags, world_.expiry, static_cast<int32_t>(due));
        actionEnv().queueTimedEvent(world_.expiryEvent, due);
    }
    setIntAttribute(tags, world_.variable, bits);
    refresh();
    use->text->set(world_.format, use->performer->getName(), name().c_str());
    return 0;
}

bl3dSkill_12289::bl3dSkill_12289(const ActionRow_S& row)
    : bl3dWorldSkill(row, World_S{"Percep1", 0x01, "MagExp21", EVENT_EXPIRE_PERCEP, "%s focuses the %s...\n"}) {}

void bl3dSkill_12289::refresh() const { actionEnv().buildPercepPane(); }

bl3dSkill_12290::bl3dSkill_12290(const ActionRow_S& row)
    : bl3dWorldSkill(row,
                     World_S{"XCState", 0x08, "MagExp43", EVENT_EXPIRE_XCSTATE, "%s instructs the party to %s...\n"}) {}

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
    setIntAttribute(animal, "MonExpire", 0);
    if (!party->addMember(animal)) {
        delete animal;
        use->text->set("%s tries, but the party is full!\n", who);
        return 0;
    }
    use->text->set("%s instructs the party to %s...\n", who, name().c_str());
    return 0;
}
