// bl3dDamageSpell: dice of damage in three target modes for either side.
//
// What each creature hit goes through, in order: its saving throw (index 4);
// the dice; the element (a resisting creature takes nothing, another takes
// its elemental damage stat in percent more); then, with special flags:
// poison, the instant kill (an even chance for the party's strike at one
// creature, else the record's type value is the chance in percent), the
// creature-type rules and the dispelling of illusions.
// Sweeps over a group or the party take each creature's own roll less a
// fall-off that grows by 2 with every creature damaged, and stop once the
// fall-off reaches the most the dice can roll at the caster's level. A
// monster's sweep rolls four times its dice with the level flag. Dead
// creatures are passed over. A party sweep that did no damage is told as a
// fizzle, whatever it killed.
#include "actions/Spells.h"

#include "actions/PackedPoison.h"
#include "actions/Targets.h"
#include "core/MemStream.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/SavingThrow.h"

#include <algorithm>
#include <cstring>

namespace {

// The level a monster caster counts when its own is 0.
constexpr int32_t MONSTER_DEFAULT_LEVEL = 4;
// What a monster's sweep over the party multiplies its dice by with the
// level flag, whatever its level (its level still bounds the sweep).
constexpr int32_t MONSTER_SWEEP_DICE = 4;
// The party's instant kill on one creature: an even chance, whatever the
// record says (the record's chance serves the sweeps and monsters).
constexpr int32_t PARTY_ONE_KILL_CHANCE = 50;

// The record's packed poison, its duration and stride in fours of ticks.
void poisonWith(bl3dCharacter* who, int32_t g) {
    who->addBaseConditions(COND_POISONED);
    PackedPoison_S::unpack(static_cast<uint32_t>(g), 4).apply(*who);
}

void kill(bl3dCharacter* who) { who->changeHP(-2 * std::max(who->getMaxHP(), 1)); }

} // namespace

bl3dDamageSpell::bl3dDamageSpell(const SpellRow_S& row)
    : bl3dBuiltinSpell(row, SpellEnqueue::Targeted, SpellLayout::Targeted) {
    const int32_t* v = row.values;
    params_ = DamageParams_S{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
}

int32_t bl3dDamageSpell::diceCount(const bl3dCharacter* caster) const {
    int64_t level = 1;
    if (params_.levelFlag) {
        level = caster->getLevel();
        if (caster->isMonster() && level == 0)
            level = MONSTER_DEFAULT_LEVEL;
    }
    return saturate32(static_cast<int64_t>(params_.count) * level);
}

// What a sweep adds up.
struct bl3dDamageSpell::Tally_S {
    int64_t limit = 0; // the sweep stops once the fall-off reaches it
    int32_t dice = 0;
    int32_t falloff = 0;
    int hit = 0;
    int kills = 0;
    int disbelieved = 0;
    int64_t total = 0;
};

namespace {
// The element step: true when the creature resists; else the damage grows
// by its elemental damage stat in percent.
bool resists(bl3dCharacter* who, int32_t element, int64_t& damage) {
    if (element < ELEMENT_FIRE || element > ELEMENT_WATER)
        return false;
    if (rollElementResist(who, element))
        return true;
    const int32_t stat = STAT_FIRE_DMG + 2 * (element - ELEMENT_FIRE);
    damage += damage * who->getStatBlock()->getCur(stat) / 100;
    return false;
}
} // namespace

bl3dDamageSpell::Strike bl3dDamageSpell::strikeOne(const bl3dCharacter* caster, bl3dCharacter* target,
                                                    int64_t& damage, bool& poisoned, int32_t killChance) const {
    poisoned = false;
    if (resists(target, params_.element, damage))
        return Strike::Resists;
    const int32_t flags = params_.specialFlags;
    const int32_t g = params_.typeValue;
    if (flags) {
        if (flags & DMG_POISON) {
            poisonWith(target, g);
            poisoned = true;
        }
        if (flags & DMG_INSTANT_KILL) {
            // Creatures that cannot be outrun shrug off the party's
            // instant kill.
            if (caster->isPartyMember() && target->creatureType() == CREATURE_NO_ESCAPE)
                return Strike::Resists;
            if (vell::gameRand() % 100 < killChance) {
                kill(target);
                return Strike::Killed;
            }
        }
        const int32_t compared = (flags & DMG_TYPE_FROM_SPELL) ? typeValue() : g;
        const bool same = target->creatureType() == compared;
        if ((flags & DMG_ONLY_TYPE) && !same)
            damage = 0;
        if ((flags & DMG_DOUBLE_TYPE) && same)
            damage *= 2;
        if ((flags & DMG_SPARE_TYPE) && same)
            damage = 0;
        if ((flags & DMG_DISPEL) && isIllusion(target)) {
            kill(target);
            return Strike::Dispelled;
        }
    }
    if (damage == 0)
        return Strike::NoEffect;
    target->changeHP(-saturate32(damage));
    return Strike::Damaged;
}

bool bl3dDamageSpell::sweepOne(const bl3dCharacter* caster, bl3dCharacter* victim, Tally_S& t) const {
    if (t.falloff >= t.limit)
        return false;
    if (victim->getCurHP() < 1 || rollSavingThrow(victim, 4, 0))
        return true;
    int64_t damage = std::max<int64_t>(static_cast<int64_t>(rollDice(t.dice, params_.sides)) - t.falloff, 1);
    bool poisoned = false;
    switch (strikeOne(caster, victim, damage, poisoned, params_.typeValue)) {
    case Strike::Resists: return true;
    case Strike::Killed: ++t.kills; break;
    case Strike::Dispelled: ++t.disbelieved; break;
    case Strike::NoEffect:
        if (!poisoned)
            return true;
        t.falloff += 2;
        break;
    case Strike::Damaged:
        t.falloff += 2;
        t.total += damage;
        if (victim->getCurHP() < 1)
            ++t.kills;
        break;
    }
    ++t.hit;
    return true;
}

int bl3dDamageSpell::perform(ActionUse_S* record) {
    SpellUse_S* use = nullptr;
    const int r = openCast(record, use);
    if (r != 1)
        return r;
    if (params_.targetMode < 1 || params_.targetMode > 3)
        return -1;
    const bl3dCharacter* caster = use->caster();
    if (caster->isPartyMember())
        return params_.targetMode == 1 ? partyOne(*use) : partyGroups(*use);
    if (caster->isMonster())
        return params_.targetMode == 1 ? monsterOne(*use) : monsterParty(*use);
    return -1;
}

// --- one creature ------------------------------------------------------------------

void bl3dDamageSpell::strikeNarrated(SpellUse_S& use, bl3dCharacter* target, const char* words) const {
    TextBuf_C& text = *use.text;
    if (rollSavingThrow(target, 4, 0)) {
        text.set("%s, but the spell fizzles!\n", words);
        return;
    }
    int64_t damage = std::max(rollDice(diceCount(use.caster()), params_.sides), 1);
    bool poisoned = false;
    const int32_t killChance = use.caster()->isPartyMember() ? PARTY_ONE_KILL_CHANCE : params_.typeValue;
    switch (strikeOne(use.caster(), target, damage, poisoned, killChance)) {
    case Strike::Resists: text.set("%s, but %s resists!\n", words, target->pronoun(0)); return;
    case Strike::Killed: text.set("%s, killing %s instantly!\n", words, target->pronoun(1)); return;
    case Strike::Dispelled:
        text.set(use.caster()->isPartyMember() ? "%s, causing %s to disappear!\n" : "%s, disbelieving %s!\n", words,
                 target->pronoun(1));
        return;
    case Strike::NoEffect: text.set("%s, but it has no effect!\n", words); return;
    case Strike::Damaged: break;
    }
    text.set("%s, causing %d points of damage", words, saturate32(damage));
    if (target->getCurHP() < 1)
        text.append(", killing %s!\n", target->pronoun(1));
    else
        text.appendText("!\n");
}

int bl3dDamageSpell::partyOne(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    const char* spell = name_.c_str();
    char words[SPELL_WORDS_SIZE];
    int status = PICK_OK;
    bl3dMonster* m = pickTarget(params_.range, use.target, &status);
    if (!m) {
        bl3dMonster* first =
            status == PICK_OUT_OF_RANGE ? static_cast<bl3dMonsterList*>(use.target)->getMonster(0) : nullptr;
        if (!first)
            return -1;
        pay(use);
        strikeWords(caster, spell, first, words, sizeof words);
        use.text->set("%s, but %s is out of range!\n", words, first->pronoun(0));
        return 0;
    }
    pay(use);
    strikeWords(caster, spell, m, words, sizeof words);
    strikeNarrated(use, m, words);
    return 0;
}

int bl3dDamageSpell::monsterOne(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    char words[SPELL_WORDS_SIZE];
    bl3dCharacter* p = partyTargetOrFirst(use.target);
    if (!p)
        return -1;
    pay(use);
    strikeWords(caster, name_.c_str(), p, words, sizeof words);
    if (params_.range > 0 && use.extra > params_.range) {
        use.text->set("%s, but %s is out of range!\n", words, caster->pronoun(0));
        return 0;
    }
    strikeNarrated(use, p, words);
    return 0;
}

// --- sweeps -------------------------------------------------------------------------

int bl3dDamageSpell::partyGroups(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    const char* who = caster->getName();
    Tally_S t;
    t.dice = diceCount(caster);
    const int64_t limit = static_cast<int64_t>(t.dice) * params_.sides;
    auto sweep = [&](bl3dMonsterList* g) {
        t.falloff = 0;
        t.limit = limit;
        for (uint32_t i = 0; i < g->getSize(); ++i)
            if (!sweepOne(caster, g->getMonster(static_cast<int>(i)), t))
                break;
    };
    // The ending of an "affecting" line.
    auto affecting = [&](const char* opening, const char* killsWord) {
        text.set("%s, affecting %d of them and doing a total of %d points of damage", opening, t.hit,
                 saturate32(t.total));
        if (t.kills > 0)
            text.append(", killing %d%s!\n", t.kills, killsWord);
        else
            text.appendText("!\n");
    };
    char opening[SPELL_WORDS_SIZE];

    if (params_.targetMode == 2) {
        int distance = 0;
        bl3dMonsterList* g = asEnemyGroup(use.target, &distance);
        if (!g || g->empty()) {
            text.set("#2%s#0 casts %s, but %s target is gone!", who, spell, caster->pronoun(2));
            return 0;
        }
        pay(use);
        const char* plural = g->getMonster(0)->displayName(true);
        if (params_.range > 0 && distance > params_.range) {
            text.set("#2%s#0 casts %s at some #4%s#0, but they are out of range!", who, spell, plural);
            return 0;
        }
        sweep(g);
        std::snprintf(opening, sizeof opening, "#2%s#0 casts %s at some #4%s#0", who, spell, plural);
        if (t.disbelieved > 0)
            text.set("%s, disbelieving %d of them!\n", opening, t.disbelieved);
        else if (t.total > 0)
            affecting(opening, "");
        else
            text.set("%s, but it fizzles!\n", opening);
        return 0;
    }

    pay(use);
    bool inRange = false;
    for (int i = 0;; ++i) {
        int distance = 0;
        bl3dMonsterList* g = enemyList.groupAt(i, &distance);
        if (!g)
            break;
        if (params_.range > 0 && distance > params_.range)
            continue;
        inRange = true;
        sweep(g);
    }
    if (!inRange) {
        text.set("#2%s#0 casts %s on all who stand against you, but they are all out of range!\n", who, spell);
        return 0;
    }
    std::snprintf(opening, sizeof opening, "#2%s#0 casts %s at all who face you", who, spell);
    if (t.disbelieved > 0)
        text.set("%s, disbelieving %d illusory enemies!\n", opening, t.disbelieved);
    else if (t.total > 0)
        affecting(opening, " foes");
    else
        text.set("%s, but it fizzles!\n", opening);
    return 0;
}

int bl3dDamageSpell::monsterParty(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    char who[SPELL_WORDS_SIZE];
    casterWords(caster, who, sizeof who);
    pay(use);
    if (params_.range > 0 && use.extra > params_.range) {
        text.set("%s casts %s at the party, but %s is out of range!\n", who, spell, caster->pronoun(0));
        return 0;
    }
    Tally_S t;
    t.dice = saturate32(static_cast<int64_t>(params_.count) * (params_.levelFlag ? MONSTER_SWEEP_DICE : 1));
    t.limit = static_cast<int64_t>(diceCount(caster)) * params_.sides;
    for (int i = 0; i < partySize(); ++i)
        if (!sweepOne(caster, partyMemberAt(i), t))
            break;
    if (t.hit == 0) {
        text.set("%s casts %s at the party, but it has no effect!\n", who, spell);
        return 0;
    }
    if (t.total == 0)
        text.set("%s casts %s at the party", who, spell);
    else
        text.set("%s casts %s at the party, doing a total of %d points of damage", who, spell, saturate32(t.total));
    if (t.kills > 0)
        text.append(", killing %d members!\n", t.kills + t.disbelieved);
    else if (t.disbelieved == 0)
        text.appendText("!\n");
    else
        text.append(", %sdisbelieving %d members!\n", t.total ? "and " : "", t.disbelieved);
    return 0;
}

// --- the action data file's form ------------------------------------------------------------

void bl3dDamageSpell::writeRecord(MemStream_C& s) const {
    static const char* const VERB = "cast";
    static const char* const PREPOSITION = "at";
    static const char* const GERUND = "blast";
    const RefStr_C n = name();
    const RefStr_C d = description();
    const uint8_t targetBits =
        params_.targetMode >= 1 && params_.targetMode <= 8 ? static_cast<uint8_t>(1u << (params_.targetMode - 1)) : 0;
    const uint16_t nameLen = static_cast<uint16_t>(std::min<size_t>(std::strlen(n.c_str()), UINT16_MAX));
    const uint16_t descLen = static_cast<uint16_t>(std::min<size_t>(std::strlen(d.c_str()), UINT16_MAX));
    // Header.
    s.writeUInt32(static_cast<uint32_t>(actionID()));
    s.writeUInt16(nameLen);
    s.writeUInt16(descLen);
    s.writeByte(targetBits);
    s.writeByte(static_cast<uint8_t>(params_.range));
    s.writeByte(static_cast<uint8_t>(getLevel()));
    s.writeByte(2); // a spell
    s.writeUInt32(static_cast<uint32_t>(getClassMask()));
    s.writeUInt32(0); // no condition ignored
    s.writeByte(1);   // one effect
    s.writeByte(static_cast<uint8_t>(std::strlen(VERB)));
    s.writeByte(static_cast<uint8_t>(std::strlen(PREPOSITION)));
    s.writeByte(static_cast<uint8_t>(std::strlen(GERUND)));
    // Strings and the spell's tail.
    s.write(n.c_str(), nameLen);
    s.write(d.c_str(), descLen);
    s.write(VERB, static_cast<uint32_t>(std::strlen(VERB)));
    s.write(PREPOSITION, static_cast<uint32_t>(std::strlen(PREPOSITION)));
    s.write(GERUND, static_cast<uint32_t>(std::strlen(GERUND)));
    s.write(code(), 4);
    s.writeUInt16(path());
    s.writeUInt16(static_cast<uint16_t>(spCost()));
    // The damage effect.
    s.writeUInt16(1);
    s.writeUInt16(24);
    s.writeByte(static_cast<uint8_t>(params_.range));
    s.writeByte(targetBits);
    s.writeInt16(static_cast<int16_t>(params_.sides));
    s.writeInt16(static_cast<int16_t>(params_.count));
    s.writeInt16(0); // no bonus
    s.writeInt32(0);
    s.writeByte(params_.levelFlag ? 1 : 0);
    s.writeByte(static_cast<uint8_t>(params_.element));
    s.writeUInt16(4); // saving throw index
    s.writeUInt32(static_cast<uint32_t>(params_.specialFlags));
    s.writeUInt32(static_cast<uint32_t>(params_.typeValue));
}
