#include "actions/FightEvil.h"

#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/Monster.h"

#include <algorithm>

namespace {

const int HEARD_PERCENT[20] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 25, 50, 60, 70, 80, 90, 100};

// What each tier calls upon.
const char* const CALLS[5] = {"deity's name", "deity's grace", "deity's blessing", "deity to absolve",
                              "deity's divine power"};

// The narration of the attack itself, which follows the call.
constexpr size_t ATTACK_TEXT_SIZE = 1024;

bl3dAction* attackOf(bl3dCharacter* who) {
    if (bl3dAction* a = who->actions()->getAction(ACTION_ATTACK))
        return a;
    // Everyone may attack: a list without Attack falls back on the game's.
    return masterActionList.getAction(ACTION_ATTACK);
}

} // namespace

bl3dFightEvil::bl3dFightEvil(const ActionRow_S& row, int tier) : bl3dSkill(row), tier_(std::clamp(tier, 1, 5)) {}

int bl3dFightEvil::heardChance(int32_t stat5) {
    const int64_t index = std::clamp<int64_t>(static_cast<int64_t>(stat5) + 1, 0, 19);
    return HEARD_PERCENT[index];
}

int bl3dFightEvil::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    bl3dCharacter* p = use->performer;
    bl3dAction* attack = attackOf(p);
    if (p->getCurHP() < 1)
        return -6;
    if (p->isMonster())
        return -5;
    if (!p->isPartyMember() || !attack)
        return -3;
    TextBuf_C& text = *use->text;
    text.clear();

    FoeChoice_S foe;
    if (!pickLivingFoe(use->target, foe))
        return -2;

    const char* name = p->getName();
    const char* his = p->pronoun(2);
    const char* call = CALLS[tier_ - 1];
    uint8_t capital = 1;
    bool blessed = false;
    if (tier_ == 1 && intAttribute(p, "FightEvilCur") <= 0) {
        text.set("%s attempts to call upon %s deity, but is dumbfounded! ", name, his);
    } else {
        if (tier_ == 1)
            setIntAttribute(p, "FightEvilCur", intAttribute(p, "FightEvilCur") - 1);
        if (!foe.monster->isEvil()) {
            text.set("%s calls upon %s %s, but %s are not evil! ", name, his, call, foe.monster->displayName(true));
        } else if (tier_ == 5 || vell::gameRand() % 100 < heardChance(p->getStatBlock()->getCur(STAT_CH))) {
            text.set("Calling upon %s %s, ", his, call);
            bl3dStatBlock& s = *p->getStatBlock();
            s.addModifier(STAT_ATTACK, bonus(), 1, MOD_FIGHT_EVIL, actionID(), 0);
            s.addModifier(STAT_DAMAGE, bonus(), 1, MOD_FIGHT_EVIL, actionID(), 0);
            s.recompute();
            blessed = true;
            capital = 0;
        } else {
            text.set("%s calls upon %s %s, but seems to be ignored! ", name, his, call);
        }
    }

    char attackChars[ATTACK_TEXT_SIZE];
    TextBuf_C attackText(attackChars, sizeof attackChars);
    int32_t distance = foe.distance;
    void* context[3] = {&attackText, &distance, &capital};
    int result = -2;
    if (ActionUse_S* strike = attack->makeEntry(new bl3dActor(p), foe.group, 3, context)) {
        result = attack->perform(strike);
        attack->freeEntry(strike);
    }
    text.appendText(attackText.c_str());

    if (blessed) {
        p->getStatBlock()->removeModsByKey(actionID(), 0);
        p->getStatBlock()->recompute();
    }
    return result;
}
