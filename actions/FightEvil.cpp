#include "actions/FightEvil.h"

#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/Monster.h"
#include "rules/TagKeys.h"

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

// The performer's own Attack at the group; its words follow the call's.
int strike(bl3dCharacter* p, bl3dAction* attack, void* group, int32_t distance, uint8_t capital, TextBuf_C& text) {
    char attackChars[ATTACK_TEXT_SIZE];
    TextBuf_C attackText(attackChars, sizeof attackChars);
    void* context[3] = {&attackText, &distance, &capital};
    int result = -2;
    if (ActionUse_S* use = attack->makeEntry(new bl3dActor(p), group, 3, context)) {
        result = attack->perform(use);
        attack->freeEntry(use);
    }
    text.appendText(attackText.c_str());
    return result;
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

    const char* name = p->getName();
    const char* his = p->pronoun(2);
    const char* call = CALLS[tier_ - 1];
    uint8_t capital = 1;
    bool blessed = false;
    // The first tier spends its use before the foe is sought: a call with no
    // foe to answer it is spent all the same.
    if (tier_ == 1) {
        const int32_t left = intAttribute(p, tagkey::FightEvilCur);
        if (left <= 0) {
            // No call at all: a plain attack at the group asked for, which
            // chooses its own victim.
            text.set("%s attempts to call upon %s deity, but is dumbfounded! ", name, his);
            int distance = 0;
            asEnemyGroup(use->target, &distance);
            return strike(p, attack, use->target, distance, capital, text);
        }
        setIntAttribute(p, tagkey::FightEvilCur, left - 1);
    }

    FoeChoice_S foe;
    if (!pickLivingFoe(use->target, foe))
        return -2;
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

    const int result = strike(p, attack, foe.group, foe.distance, capital, text);
    if (blessed) {
        p->getStatBlock()->removeModsByKey(actionID(), 0);
        p->getStatBlock()->recompute();
    }
    return result;
}
