#include "actions/GenericCore.h"

#include "actions/ActionFile.h"
#include "actions/DamageEffect.h"
#include "actions/Targets.h"
#include "core/Log.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"

#include <cstdio>

namespace {

// The AI category the effects make: special damage 4 beats damage 6 beats
// stat modifiers 5 beat healing 1; no effect 0.
int categoryOf(const EffectList& effects) {
    int category = AI_NONE;
    for (const auto& e : effects) {
        if (category == AI_DRAIN)
            break;
        switch (e->effectType()) {
        case 1:
            if (static_cast<const bl3dDamageEffect&>(*e).specialFlags() != 0)
                category = AI_DRAIN;
            else
                category = AI_ATTACK;
            break;
        case 2:
            if (category != AI_ATTACK)
                category = AI_CATEGORY5;
            break;
        case 3:
            if (category != AI_ATTACK && category != AI_CATEGORY5)
                category = AI_HEAL;
            break;
        default:
            break;
        }
    }
    return category;
}

enum class Outcome { NoEffect, Done, Heal, Damage, OutOfRange, Dead, Resists, Silent };

Outcome outcomeOf(int best, const EffectSums_S& s) {
    switch (best) {
    case EFFECT_APPLIED:
        if (s.total == 0)
            return s.count == 0 ? Outcome::NoEffect : Outcome::Done;
        return s.total < 0 ? Outcome::Heal : Outcome::Damage;
    case EFFECT_OUT_OF_RANGE: return Outcome::OutOfRange;
    case EFFECT_TARGET_GONE: return Outcome::Dead;
    case EFFECT_RESISTED:
    case EFFECT_NOTHING_TO_DO: return Outcome::Resists;
    default: return Outcome::Silent;
    }
}

// The endings of one family of texts. A single target's take its pronouns
// (done and the suffix the object form, refusals the subject form); the
// others take counts. A null refusal is written by the caller as a line of
// its own.
struct Family_S {
    bool single;
    const char* done;
    const char* damage;
    const char* heal;
    const char* outOfRange;
    const char* dead;
    const char* resists;
};

const Family_S SINGLE = {true,
                         ", %sing %s!\n",
                         ", causing #4%d#0 points of damage",
                         ", healing #2%d#0 points of damage",
                         ", but %s is out of range!\n",
                         ", but %s is already dead!\n",
                         ", but %s resists!\n"};
const Family_S OF_THEM = {false,
                          ", %sing %d of them!\n",
                          ", %sing %d of them and doing a total of #4%d#0 points of damage",
                          ", %sing %d of them and healing a total of #2%d#0 points of damage",
                          ", but they are out of range!\n",
                          ", but they are already dead!\n",
                          ", but they resist!\n"};
const Family_S COMPANIONS = {false,
                             ", %sing %d companions!\n",
                             ", %sing %d companions and causing a total of #4%d#0 points of damage",
                             ", %sing %d companions and healing a total of #2%d#0 points of damage",
                             nullptr,
                             nullptr,
                             ", but they resist!\n"};
const Family_S ADVENTURERS = {false,
                              ", %sing %d adventurers!\n",
                              ", %sing %d of you and doing a total of #4%d#0 points of damage",
                              ", %sing %d of you and healing a total of #2%d#0 points of damage",
                              ", but they are out of range!\n",
                              ", but you are already dead!\n",
                              ", but the entire party resists!\n"};

const char* objectPronoun(const bl3dCharacter* who) { return who ? who->pronoun(1) : "it"; }
const char* subjectPronoun(const bl3dCharacter* who) { return who ? who->pronoun(0) : "it"; }

// Appends the outcome's ending; false when the family leaves it to a line
// of its own.
bool writeOutcome(TextBuf_C& text, const Family_S& f, Outcome outcome, const EffectSums_S& s, const char* ger,
                  const bl3dCharacter* who) {
    const int32_t shown = s.total < 0 ? -s.total : s.total;
    switch (outcome) {
    case Outcome::NoEffect:
        text.appendText(", but it has no effect!\n");
        return true;
    case Outcome::Done:
        if (f.single)
            text.append(f.done, ger, objectPronoun(who));
        else
            text.append(f.done, ger, static_cast<int>(s.count));
        return true;
    case Outcome::Damage:
    case Outcome::Heal: {
        const char* format = outcome == Outcome::Damage ? f.damage : f.heal;
        if (f.single) {
            text.append(format, static_cast<int>(shown));
            const char* p1 = objectPronoun(who);
            if (s.kills == 0)
                text.append(", %sing %s!\n", ger, p1);
            else if (s.kills < 0)
                text.append(", %sing %s, and resurrecting %s!\n", ger, p1, p1);
            else
                text.append(", %sing %s, and killing %s!\n", ger, p1, p1);
        } else {
            text.append(format, ger, static_cast<int>(s.count), static_cast<int>(shown));
            if (s.kills == 0)
                text.appendText("!\n");
            else if (s.kills < 0)
                text.append(", and resurrecting %d!\n", static_cast<int>(-s.kills));
            else
                text.append(", and killing %d!\n", static_cast<int>(s.kills));
        }
        return true;
    }
    case Outcome::OutOfRange:
    case Outcome::Dead:
    case Outcome::Resists: {
        const char* format = outcome == Outcome::OutOfRange ? f.outOfRange
                             : outcome == Outcome::Dead     ? f.dead
                                                            : f.resists;
        if (!format)
            return false;
        if (f.single)
            text.append(format, subjectPronoun(who));
        else
            text.appendText(format);
        return true;
    }
    case Outcome::Silent:
        break;
    }
    return false;
}

bool knownKind(uint8_t kind) {
    return kind == 0 || kind == TARGET_ONE_ENEMY || kind == TARGET_ENEMY_GROUP || kind == TARGET_ALL_ENEMIES ||
           kind == TARGET_ONE_MEMBER || kind == TARGET_OWN_SIDE || kind == TARGET_EVIL_FOES;
}

// The type that names a group ("a" and its singular, or its plural).
const bl3dMonsterType* typeOf(const bl3dMonsterList* group) { return group ? group->getType() : nullptr; }
const char* singularOf(const bl3dMonsterList* group) {
    const bl3dMonsterType* t = typeOf(group);
    return t ? t->getName(false) : "";
}
const char* pluralOf(const bl3dMonsterList* group) {
    const bl3dMonsterType* t = typeOf(group);
    return t ? t->getName(true) : "";
}
const char* articleOf(const bl3dMonsterList* group) {
    const bl3dMonsterType* t = typeOf(group);
    return t ? t->article(false) : "";
}

} // namespace

bl3dGenericCore::bl3dGenericCore(const ActionDef_S& def, EffectList effects, bool spell)
    : id_(static_cast<int32_t>(def.id)), targetKind_(def.targetKind), range_(def.range), ignoreMask_(def.ignoreMask),
      spell_(spell), verb_(def.verb), preposition_(def.preposition), gerund_(def.gerund),
      effects_(std::move(effects)) {
    // The verb in the third person, as every line prints it: "casts Fire
    // Dart" for a spell, "uses" for a skill.
    phrase_ = verb_ + "s";
    if (spell_)
        phrase_ += " " + def.name;
    VELL_LOG(5, "blah, foo, bar = [%s], [%s], [%s]\n", phrase_.c_str(), preposition_.c_str(), gerund_.c_str());
    aiCategory_ = categoryOf(effects_);
}

ActionRow_S genericRow(const ActionDef_S& def) {
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

GenericUse_S* bl3dGenericCore::genericUse(ActionUse_S* use) { return dynamic_cast<GenericUse_S*>(use); }

ActionUse_S* bl3dGenericCore::makeEntry(bl3dActor* actor, void* target, int argc, void** argv) const {
    if (argc < 1) {
        delete actor;
        return nullptr;
    }
    auto* use = new GenericUse_S;
    use->layout = SpellLayout::Targeted;
    use->actor = actor;
    use->target = target;
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    const bool song = (static_cast<uint32_t>(id_) & ACTION_BARD_SONG) != 0;
    use->distance = song ? -1 : contextInt(argc, argv, 1, -1);
    return use;
}

ActionUse_S* bl3dGenericCore::enqueue(bl3dActor* actor, int index, int argc, void** argv) const {
    const bl3dCharacter* user = actor ? actor->getCreature() : nullptr;
    if (argc < 1 || !user || !(user->isPartyMember() || user->isMonster())) {
        delete actor;
        return nullptr;
    }
    return makeEntry(actor, targetAt(user, index), argc, argv);
}

void* bl3dGenericCore::targetAt(const bl3dCharacter* user, int index) const {
    if (user->isPartyMember()) {
        switch (targetKind_) {
        case TARGET_ONE_MEMBER: return partyMemberAt(index);
        case TARGET_EVIL_FOES: return const_cast<bl3dCharacter*>(user);
        case TARGET_OWN_SIDE: return nullptr;
        default: return enemyList.groupAt(index);
        }
    }
    switch (targetKind_) {
    case TARGET_ONE_MEMBER:
    case TARGET_EVIL_FOES: return const_cast<bl3dCharacter*>(user);
    case TARGET_OWN_SIDE: return groupHolding(user);
    default: return partyMemberAt(index);
    }
}

int bl3dGenericCore::userDistance(const GenericUse_S& use) const {
    const bl3dCharacter* user = use.actor ? use.actor->getCreature() : nullptr;
    int distance = 0;
    if (user && user->isMonster() && groupHolding(user, &distance))
        return distance;
    return use.distance;
}

int bl3dGenericCore::applyAll(GenericUse_S& use, EffectSums_S& sums, bool fallOff) const {
    sums = EffectSums_S{};
    int best = -100;
    const int distance = userDistance(use);
    for (const auto& e : effects_) {
        EffectSums_S one;
        const int r = e->apply(use.actor, use.target, distance, one, fallOff, id_);
        if (r > best)
            best = r;
        sums.total = saturate32(static_cast<int64_t>(sums.total) + one.total);
        sums.count = saturate32(static_cast<int64_t>(sums.count) + one.count);
        sums.kills = saturate32(static_cast<int64_t>(sums.kills) + one.kills);
        if (one.victim)
            sums.victim = one.victim;
    }
    return best;
}

int bl3dGenericCore::narrate(GenericUse_S& use, int best, const EffectSums_S& sums) const {
    bl3dCharacter* user = use.actor ? use.actor->getCreature() : nullptr;
    if (!user)
        return -1;
    if (!knownKind(targetKind_))
        return -2;
    if (user->isPartyMember())
        return narrateParty(use, user, best, sums);
    if (user->isMonster())
        return narrateMonster(use, user, best, sums);
    return -1;
}

bl3dGenericCore::Words_S bl3dGenericCore::words(const bl3dCharacter* user) const {
    return Words_S{user->getName(), phrase_.c_str(), preposition_.c_str(), preposition_.empty() ? "" : " ",
                   gerund_.c_str()};
}

int bl3dGenericCore::narrateParty(GenericUse_S& use, bl3dCharacter* user, int best, const EffectSums_S& sums) const {
    TextBuf_C& text = *use.text;
    const Words_S w = words(user);
    const char *name = w.name, *phrase = w.phrase, *prep = w.prep, *sep = w.sep, *ger = w.ger;
    if (targetKind_ == 0) {
        text.set(spell_ ? "#2%s#0 %s...\n" : "%s %s...\n", name, phrase);
        return 0;
    }
    bl3dMonsterList* group = asEnemyGroup(use.target);
    // A skill aimed at all enemies has lost its target only when none is left.
    const bool gone = ((targetKind_ == TARGET_ONE_ENEMY || targetKind_ == TARGET_ENEMY_GROUP) && !group) ||
                      (!spell_ && targetKind_ == TARGET_ALL_ENEMIES && !enemyList.groupAt(0));
    if (gone) {
        text.set("#2%s#0 %s, but %s target is gone!\n", name, phrase, user->pronoun(2));
        return 0;
    }
    const Outcome outcome = outcomeOf(best, sums);
    if (outcome == Outcome::Silent)
        return -1;
    const bool lineOfItsOwn = outcome == Outcome::OutOfRange || outcome == Outcome::Dead;

    const Family_S* family = &SINGLE;
    const bl3dCharacter* who = nullptr;
    switch (targetKind_) {
    case TARGET_ONE_ENEMY:
        who = sums.victim ? sums.victim : group->getMonster(0);
        text.set("#2%s#0 %s %s%s%s #4%s#0", name, phrase, prep, sep, articleOf(group), singularOf(group));
        break;
    case TARGET_ENEMY_GROUP:
        family = &OF_THEM;
        text.set("#2%s#0 %s %s%ssome #4%s#0", name, phrase, prep, sep, pluralOf(group));
        break;
    case TARGET_ALL_ENEMIES:
        family = &OF_THEM;
        text.set("#2%s#0 %s %s%sall who face %s", name, phrase, prep, sep, user->pronoun(1));
        break;
    case TARGET_ONE_MEMBER:
    case TARGET_EVIL_FOES: {
        who = targetKind_ == TARGET_EVIL_FOES ? user : asPartyMember(use.target);
        // A member who left the party has no name left to print.
        if (!who) {
            text.set("#2%s#0 %s, but %s target is gone!\n", name, phrase, user->pronoun(2));
            return 0;
        }
        char self[NAME_SIZE + 16];
        if (who == user)
            std::snprintf(self, sizeof self, "%sself", user->pronoun(1));
        else
            std::snprintf(self, sizeof self, "%s", who->getName());
        if (lineOfItsOwn) {
            text.set(spell_ ? "%s %s %s%s%s...\n" : "#2%s#0 %s %s%s#2%s#0...\n", name, phrase, prep, sep, self);
            return 0;
        }
        text.set("#2%s#0 %s %s%s#2%s#0", name, phrase, prep, sep, self);
        break;
    }
    default: // the own side: the party
        if (lineOfItsOwn) {
            text.set("#2%s#0 %s %s%sthe party...\n", name, phrase, prep, sep);
            return 0;
        }
        family = &COMPANIONS;
        text.set("#2%s#0 %s %s%sthe party", name, phrase, prep, sep);
        break;
    }
    writeOutcome(text, *family, outcome, sums, ger, who);
    return 0;
}

int bl3dGenericCore::narrateMonster(GenericUse_S& use, bl3dCharacter* user, int best,
                                    const EffectSums_S& sums) const {
    TextBuf_C& text = *use.text;
    const Words_S w = words(user);
    const char *name = w.name, *phrase = w.phrase, *prep = w.prep, *sep = w.sep, *ger = w.ger;
    if (targetKind_ == 0) {
        text.set("%s %s...\n", name, phrase);
        return 0;
    }
    bl3dMonsterList* own = nullptr;
    if (targetKind_ == TARGET_OWN_SIDE) {
        own = asEnemyGroup(use.target);
        if (!own)
            own = groupHolding(user);
        if (!own) {
            text.set("#4%s#0 %s, but %s target is gone!\n", name, phrase, user->pronoun(2));
            return 0;
        }
    }
    const Outcome outcome = outcomeOf(best, sums);
    if (outcome == Outcome::Silent)
        return -1;

    const Family_S* family = &SINGLE;
    const bl3dCharacter* who = nullptr;
    switch (targetKind_) {
    case TARGET_ONE_ENEMY: {
        who = sums.victim ? sums.victim : asPartyMember(use.target);
        if (!who)
            who = partyMemberAt(0);
        text.set("#4%s#0 %s %s%s#2%s#0", name, phrase, prep, sep, who ? who->getName() : "");
        break;
    }
    case TARGET_ENEMY_GROUP:
    case TARGET_ALL_ENEMIES:
        family = &ADVENTURERS;
        text.set("#4%s#0 %s %s%sthe party", name, phrase, prep, sep);
        break;
    case TARGET_ONE_MEMBER:
    case TARGET_EVIL_FOES:
        who = user;
        text.set("#4%s#0 %s %s%s%s #4%s#0", name, phrase, prep, sep, user->article(false), name);
        break;
    default:
        family = &OF_THEM;
        text.set("#4%s#0 %s %s%ssome #4%s#0", name, phrase, prep, sep, pluralOf(own));
        break;
    }
    writeOutcome(text, *family, outcome, sums, ger, who);
    return 0;
}
