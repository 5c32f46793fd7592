#include "actions/Spell.h"

#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "actions/WorldMagic.h"
#include "core/RefStr.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// --- the record ---------------------------------------------------------------------

SpellUse_S::~SpellUse_S() { delete actor; }

bl3dCharacter* SpellUse_S::caster() const { return actor ? actor->getCreature() : nullptr; }

// --- the spell ----------------------------------------------------------------------

bl3dSpell::bl3dSpell(int32_t classMask, int32_t level, const char* name, const char* description, const char* code)
    : bl3dAction(classMask, level), name_(name ? name : ""), description_(description ? description : "") {
    if (code)
        std::strncpy(code_, code, 4);
    code_[4] = 0;
}

SpellUse_S* bl3dSpell::spellUse(ActionUse_S* use) { return dynamic_cast<SpellUse_S*>(use); }

int bl3dSpell::minimumContext(SpellEnqueue how) {
    switch (how) {
    case SpellEnqueue::Portal:
    case SpellEnqueue::Targeted3: return 3;
    case SpellEnqueue::NoTarget2: return 2;
    case SpellEnqueue::EffectStyle:
    case SpellEnqueue::Targeted:
    case SpellEnqueue::NoTarget: break;
    }
    return 1;
}

ActionUse_S* bl3dSpell::enqueueAs(SpellEnqueue how, bl3dActor* actor, int targetIndex, int argc, void** argv) {
    bl3dCharacter* who = actor ? actor->getCreature() : nullptr;
    if (argc < minimumContext(how) || !who || !(who->isPartyMember() || who->isMonster())) {
        delete actor;
        return nullptr;
    }
    void* target = nullptr;
    switch (how) {
    case SpellEnqueue::EffectStyle:
    case SpellEnqueue::Portal:
        target = who->isPartyMember() ? static_cast<void*>(partyMemberAt(targetIndex)) : who;
        break;
    case SpellEnqueue::Targeted:
    case SpellEnqueue::Targeted3:
        target = who->isPartyMember() ? static_cast<void*>(enemyList.groupAt(targetIndex))
                                      : static_cast<void*>(partyMemberAt(targetIndex));
        break;
    case SpellEnqueue::NoTarget:
    case SpellEnqueue::NoTarget2: break;
    }
    return makeEntry(actor, target, argc, argv);
}

SpellUse_S* bl3dSpell::makeEntryAs(SpellLayout layout, int minimum, bl3dActor* actor, void* target, int argc,
                                   void** argv) {
    if (argc < minimum || argc < 1) {
        delete actor;
        return nullptr;
    }
    auto* use = new SpellUse_S;
    use->layout = layout;
    use->actor = actor;
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    switch (layout) {
    case SpellLayout::Plain: break;
    case SpellLayout::Summon: use->extra = contextInt(argc, argv, 1, 0); break;
    case SpellLayout::Portal:
        use->x = contextInt(argc, argv, 1, 0);
        use->y = contextInt(argc, argv, 2, 0);
        break;
    case SpellLayout::Group: use->target = target; break;
    case SpellLayout::Targeted:
        use->target = target;
        use->extra = contextInt(argc, argv, 1, 0);
        break;
    }
    return use;
}

// --- checks -------------------------------------------------------------------------

namespace {

int32_t worldMagicState() { return worldVar(tagkey::MagState1); }

// What an item actor casts through (null when it is gone).
const bl3dItem* actorItem(const bl3dActor* actor) {
    const auto* itemActor = dynamic_cast<const bl3dItemActor*>(actor);
    const bl3dCharacter* who = itemActor ? itemActor->getCreature() : nullptr;
    if (!who || !who->isPartyMember())
        return nullptr;
    return static_cast<const bl3dPartyChar*>(who)->getSlotItem(itemActor->getSlot());
}

} // namespace

bool bl3dSpell::castCheckCreature(const bl3dCharacter* who) const {
    return who && who->getCurHP() >= 1 && intAttribute(who, tagkey::Fizzle) == 0 && who->getCurSP() >= spCost() &&
           !(worldMagicState() & MAGSTATE_NO_MAGIC);
}

bool bl3dSpell::usable(bl3dCharacter* who, int distance) {
    if (checkState(who, 2, "test", nullptr) < 1)
        return false;
    const uint8_t r = range();
    if (r != 0 && distance > r)
        return false;
    return castCheckCreature(who);
}

int bl3dSpell::castCheck(bl3dActor* actor, TextBuf_C* text) {
    TextBuf_C& out = text ? *text : TextBuf_C::discard();
    const bl3dCharacter* who = actor ? actor->getCreature() : nullptr;
    if (!who || who->getCurHP() < 1)
        return -1;
    const int32_t magState = worldMagicState();
    char shown[NAME_SIZE + 8];
    coloredName(who, shown, sizeof shown);
    const RefStr_C spell = name();

    if (intAttribute(who, tagkey::Fizzle) != 0) {
        // The possessive: "his mind is clouded".
        out.set("%s tries to cast %s, but %s mind is clouded!\n", shown, spell.c_str(), who->pronoun(2));
        rulesEnv().playSound(fizzleSound());
        return 0;
    }
    if (!actor->hasPoints(spCost())) {
        if (actor->isItem()) {
            RefStr_C item(spell.c_str());
            if (const bl3dItem* it = actorItem(actor))
                it->getDisplayName(item);
            out.set("%s tries to use %s, but it has not the necessary energy!\n", shown, item.c_str());
        } else {
            out.set("%s tries to cast %s, but has not the necessary energy!\n", shown, spell.c_str());
        }
        rulesEnv().playSound(fizzleSound());
        return 0;
    }
    if ((magState & MAGSTATE_NO_MAGIC) || (!actor->isItem() && (vell::gameRand() >> 4) % 100 < 5)) {
        out.set("%s tries to cast %s, but the spell fizzles!\n", shown, spell.c_str());
        // A fizzle costs what a cast would, but never more than the actor
        // has: an item gives its charge, a creature no points below 0.
        if (actor->isItem())
            actor->addPoints(-spCost());
        else
            actor->addPoints(-std::min(spCost(), std::max(who->getCurSP(), 0)));
        rulesEnv().playSound(fizzleSound());
        return 0;
    }
    rulesEnv().playSound(castSound());
    return 1;
}

int bl3dSpell::openCast(ActionUse_S* record, SpellUse_S*& use) {
    use = spellUse(record);
    bl3dCharacter* who = use ? use->caster() : nullptr;
    if (!who)
        return -1;
    char verb[NAME_SIZE + 8];
    std::snprintf(verb, sizeof verb, "cast %s", name().c_str());
    const int r = checkState(who, 0, verb, use->text);
    if (r < 1)
        return r;
    return castCheck(use->actor, use->text);
}

void bl3dSpell::pay(SpellUse_S& use) const {
    if (use.actor)
        use.actor->addPoints(-spCost());
}

int bl3dSpell::openAndPay(ActionUse_S* record, SpellUse_S*& use) {
    const int r = openCast(record, use);
    if (r == 1)
        pay(*use);
    return r;
}

// --- dice and targets ----------------------------------------------------------------

int32_t bl3dSpell::rollDice(int32_t count, int32_t sides) {
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i)
        sum += vell::gameRandMod(sides) + 1;
    return saturate32(sum);
}

bl3dMonster* bl3dSpell::pickTarget(int range, void* group, int* status) {
    int ignored = 0;
    int& s = status ? *status : ignored;
    s = PICK_OK;
    int distance = 0;
    bl3dMonsterList* g = asEnemyGroup(group, &distance);
    if (!g) {
        s = PICK_GONE;
        return nullptr;
    }
    if (range > 0 && distance > range) {
        s = PICK_OUT_OF_RANGE;
        return nullptr;
    }
    bl3dMonster* m = livingMonsterIn(g);
    if (!m)
        s = PICK_NONE_ALIVE;
    return m;
}

// --- sounds -----------------------------------------------------------------------------

namespace {
struct SpellSounds_S {
    const char* cast;
    const char* fizzle;
};

// The sound family of a spell by its AI category.
SpellSounds_S spellSounds(int aiCategory) {
    switch (aiCategory) {
    case AI_HEAL: return {"S_Healing_Cast", "S_Healing_Fizz"};
    case AI_SUMMON: return {"S_Summoning_Cast", "S_Summoning_Fizz"};
    case AI_ENTANGLE:
    case AI_CATEGORY5: return {"S_Modifier_Cast", "S_Modifier_Fizz"};
    case AI_DRAIN:
    case AI_ATTACK: return {"S_Damage_Cast", "S_Damage_Fizz"};
    case AI_UTILITY: return {"S_Perception_Cast", "S_Perception_Fizz"};
    default: break;
    }
    return {"S_Misc_Cast", "S_Misc_Fizz"};
}
} // namespace

const char* bl3dSpell::castSound() const { return spellSounds(aiCategory()).cast; }

const char* bl3dSpell::fizzleSound() const { return spellSounds(aiCategory()).fizzle; }

// --- narration ---------------------------------------------------------------------------

void coloredName(const bl3dCharacter* who, char* out, size_t size) {
    std::snprintf(out, size, (who && who->isPartyMember()) ? "#2%s#0" : "#4%s#0", who ? who->getName() : "");
}

void casterWords(const bl3dCharacter* who, char* out, size_t size) {
    if (who && !who->isPartyMember())
        std::snprintf(out, size, "%s #4%s#0", who->article(true), who->getName());
    else
        coloredName(who, out, size);
}

void narrateCast(TextBuf_C& text, const bl3dCharacter* caster, const char* spell) {
    char words[NAME_SIZE + 16];
    casterWords(caster, words, sizeof words);
    text.set("%s casts %s...\n", words, spell ? spell : "");
}

void strikeWords(const bl3dCharacter* caster, const char* spell, const bl3dCharacter* target, char* out,
                 size_t size) {
    const char* s = spell ? spell : "";
    if (caster && caster->isPartyMember())
        std::snprintf(out, size, "#2%s#0 casts %s at %s #4%s#0", caster->getName(), s,
                      target ? target->article(false) : "", target ? target->getName() : "");
    else
        std::snprintf(out, size, "%s #4%s#0 casts %s at #2%s#0", caster ? caster->article(true) : "",
                      caster ? caster->getName() : "", s, target ? target->getName() : "");
}
