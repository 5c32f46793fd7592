#include "actions/CombatSkills.h"

#include "actions/ActionEnv.h"
#include "actions/Attack.h"
#include "actions/Attributes.h"
#include "actions/Moves.h"
#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/Money.h"
#include "rules/Monster.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"

#include <algorithm>

namespace {

// Venom spray reaches no more monsters than this in one use.
constexpr int MAX_SPRAY_TARGETS = 99;
// A hidden monster this far away or farther closes in instead of striking.
constexpr int HIDDEN_STRIKE_REACH = 20;

int d20() { return vell::gameRand() % 20 + 1; }
int d100() { return vell::gameRand() % 100 + 1; }

int32_t cur(const bl3dCharacter* who, int stat) { return who->getStatBlock()->getCur(stat); }

bool fearless(const bl3dCharacter* who) {
    return who->creatureType() == CREATURE_NO_ESCAPE || who->creatureType() == CREATURE_UNDEAD;
}

// A party member named by a monster, or a monster named by a party member:
// the words of each side's sentence.
struct Words {
    const char* article = ""; // the performer's (monster) or the target's (party)
    const char* performer = "";
    const char* target = "";
};

Words wordsFor(const SkillUse_S& use, const bl3dCharacter* target) {
    const bl3dCharacter* p = use.performer;
    if (p->isPartyMember())
        return Words{target->article(false), p->getName(), target->getName()};
    return Words{p->article(use.capital), p->getName(), target->getName()};
}

// The openings below share openUse's convention: 1 to go on, anything else
// is perform's result.

// The foe of a skill aimed at one creature: for a party performer a living
// monster (the target group first), for a monster the party member that
// `memberFor` gives for the record's target. 1 with the foe found and the
// words naming both; otherwise perform's refusal (-2 no foe, -3 a performer
// of neither side, -4 a monster's record without a distance).
struct Foe {
    bl3dCharacter* who = nullptr;
    int distance = 0;
    Words w;
};

int findFoe(const SkillUse_S& use, Foe& foe, bl3dCharacter* (*memberFor)(void* target) = partyTargetOrFirst) {
    const bl3dCharacter* p = use.performer;
    if (p->isPartyMember()) {
        FoeChoice_S c;
        if (!pickLivingFoe(use.target, c))
            return -2;
        foe.who = c.monster;
        foe.distance = c.distance;
    } else {
        if (!p->isMonster())
            return -3;
        if (use.distance == 0)
            return -4;
        foe.who = memberFor(use.target);
        foe.distance = use.distance;
        if (!foe.who)
            return -2;
    }
    foe.w = wordsFor(use, foe.who);
    return 1;
}

// A pickpocket's mark: the record's member, else the first living one of
// the front four; null when none of them lives.
bl3dCharacter* pocketToPick(void* target) {
    bl3dCharacter* who = asPartyMember(target);
    for (int i = 0; (!who || who->getCurHP() < 1) && i < 4; ++i)
        who = partyMemberAt(i);
    return (who && who->getCurHP() >= 1) ? who : nullptr;
}

// A victim drawn from the group itself, without falling back on other
// groups: a random one, or the first living one.
bl3dMonster* victimIn(bl3dMonsterList* group, bool firstWhenNoneLives) {
    if (bl3dMonster* m = livingMonsterIn(group))
        return m;
    return (firstWhenNoneLives && group) ? group->getMonster(0) : nullptr;
}

// Levels above `base`, in steps of five.
int32_t levelBonus(const bl3dCharacter* who, int32_t base) {
    const int32_t level = who->getLevel();
    return level > base ? (level - base) / 5 : 0;
}

// The opening of a strike that only party members make: the striker, its
// buffer emptied, and its victim drawn from the target group. 1 to go on;
// otherwise perform's result: -3 no record, 0 a striker who is no party
// member or no victim (nothing done).
struct PartyStrike {
    bl3dCharacter* striker = nullptr;
    bl3dMonster* victim = nullptr;
};

int openPartyStrike(SkillUse_S* use, bool firstWhenNoneLives, PartyStrike& s) {
    if (!use)
        return -3;
    use->text->clear();
    if (!use->performer || !use->performer->isPartyMember())
        return 0;
    s.striker = use->performer;
    s.victim = victimIn(asEnemyGroup(use->target), firstWhenNoneLives);
    return s.victim ? 1 : 0;
}

// The end of a line about a hit: who it killed, or an exclamation.
void endHit(TextBuf_C& text, const bl3dCharacter* who) {
    if (who->getCurHP() < 1)
        text.append(", killing %s!\n", who->pronoun(1));
    else
        text.append("!\n");
}

void addPoison(bl3dCharacter* who, int32_t count, int32_t stride) {
    who->addBaseConditions(COND_POISONED);
    who->poison(9999, 1, count, 0, stride, true);
}

} // namespace

// --- Pick Pockets ------------------------------------------------------------

int bl3dSkill_1000::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use || !use->performer)
        return -3;
    bl3dCharacter* p = use->performer;
    use->text->clear();
    if (p->getCurHP() < 1)
        return -6;
    Foe foe;
    if (const int r = findFoe(*use, foe, pocketToPick); r != 1)
        return r;
    bl3dCharacter* target = foe.who;
    const Words& w = foe.w;
    const int64_t roll = p->isPartyMember()
                             ? d20() + vell::gameRandMod(cur(p, STAT_LK)) + static_cast<int64_t>(cur(p, STAT_DX))
                             : d20() + static_cast<int64_t>(cur(p, STAT_DX)) + vell::gameRandMod(cur(p, STAT_LK));
    const bool success = roll + cur(target, STAT_AC) >= 21 && foe.distance <= MELEE_DISTANCE;
    if (!success) {
        if (p->isPartyMember())
            use->text->set("#2%s#0 picks %s #4%s's#0 pocket, but misses!\n", w.performer, w.article, w.target);
        else
            use->text->set("%s #4%s#0 picks #2%s's#0 pocket, but misses!\n", w.article, w.performer, w.target);
        return 0;
    }
    int32_t amount = 0;
    const int32_t gold = target->getGold();
    if (gold > 4) {
        amount = static_cast<int32_t>((static_cast<uint32_t>(vell::gameRand()) % static_cast<uint32_t>(gold) + 1) / 2);
        if (money::pay(*target, amount))
            money::receive(*p, amount);
        else
            amount = 0;
    }
    if (p->isPartyMember())
        use->text->set("#2%s#0 picks %s #4%s's#0 pocket and steals %d GP!\n", w.performer, w.article, w.target,
                       amount);
    else
        use->text->set("%s #4%s#0 picks #2%s's#0 pocket and steals %d GP!\n", w.article, w.performer, w.target,
                       amount);
    return 0;
}

// --- Hide in Shadows -----------------------------------------------------------

bool bl3dSkill_1001::usable(bl3dCharacter* who, int distance) {
    return bl3dSkill::usable(who, distance) && who && !who->isHidden();
}

int bl3dSkill_1001::perform(ActionUse_S* record) {
    SkillUse_S* use = nullptr;
    if (const int r = openUse(record, 0, use); r != 1)
        return r;
    bl3dCharacter* p = use->performer;
    if (p->isHidden()) {
        if (p->isPartyMember()) {
            use->text->set("#2%s#0 tries to hide in shadows, finds he is already there and stops trying!\n",
                           p->getName());
            return 0;
        }
        if (use->distance < HIDDEN_STRIKE_REACH) {
            const ActionRow_S* row = actionRow(ACTION_ATTACK);
            if (!row)
                return -3;
            bl3dSkill_1 attack(*row);
            return attack.perform(use);
        }
        // Its own group closes in, as MonAdv would move it.
        if (bl3dMonsterList* g = groupHolding(p))
            return advanceMonsterGroup(g, *use->text);
        return -1;
    }
    const int64_t roll = d20() + vell::gameRandMod(cur(p, STAT_LK)) + static_cast<int64_t>(cur(p, STAT_DX));
    const bool hidden = roll <= 38;
    if (hidden)
        p->addBaseConditions(COND_HIDDEN);
    else
        p->clearBaseConditions(COND_HIDDEN);
    if (p->isPartyMember())
        use->text->set(hidden ? "#2%s#0 slips into the shadows unnoticed!\n"
                              : "#2%s#0 tries to slip into the shadows but is seen!\n",
                       p->getName());
    else
        use->text->set(hidden ? "%s #4%s#0 slips into the shadows unnoticed!\n"
                              : "%s #4%s#0 tries to slip into the shadows but is seen!\n",
                       p->article(false), p->getName());
    return 0;
}

// --- Entangle --------------------------------------------------------------------

int bl3dSkill_1003::perform(ActionUse_S* record) {
    SkillUse_S* use = nullptr;
    if (const int r = openUse(record, 0, use); r != 1)
        return r;
    bl3dCharacter* p = use->performer;
    Foe foe;
    if (const int r = findFoe(*use, foe); r != 1)
        return r;
    bl3dCharacter* target = foe.who;
    const Words& w = foe.w;
    const bool party = p->isPartyMember();
    const bool saved = rollSavingThrow(target, 3, -2);
    // A stun lasts only as long as its timeout: one that cannot be queued
    // would never end, so it is not laid on (and told as a miss).
    bool stunned = false;
    if (!saved) {
        const uint32_t due = rulesEnv().currentTick() + static_cast<uint32_t>(vell::gameRand() % 6 + 7);
        const bool member = target->isPartyMember();
        stunned = actionEnv().queueStunTimeout(member ? nullptr : target, due);
        if (stunned && member)
            setIntAttribute(target, tagkey::StunTimeout, static_cast<int32_t>(due));
        if (stunned)
            target->addBaseConditions(COND_STUNNED);
    }
    if (!stunned) {
        if (party)
            use->text->set("#2%s#0 tries to entangle %s #4%s#0, but misses!\n", w.performer, w.article, w.target);
        else
            use->text->set("%s #4%s#0 tries to entangle #2%s#0, but misses!\n", w.article, w.performer, w.target);
        return 0;
    }
    if (party)
        use->text->set("#2%s#0 tries to entangles %s #4%s#0 and succeeds!\n", w.performer, w.article, w.target);
    else
        use->text->set("%s #4%s#0 tries to entangles #2%s#0 and succeeds!\n", w.article, w.performer, w.target);
    return 0;
}

// --- Venom Bite --------------------------------------------------------------------

int bl3dSkill_1004::perform(ActionUse_S* record) {
    SkillUse_S* use = nullptr;
    // A poisoned creature still bites.
    if (const int r = openUse(record, COND_POISONED, use); r != 1)
        return r;
    bl3dCharacter* p = use->performer;
    Foe foe;
    if (const int r = findFoe(*use, foe); r != 1)
        return r;
    bl3dCharacter* target = foe.who;
    const Words& w = foe.w;
    const bool party = p->isPartyMember();
    const int64_t roll = d20() + static_cast<int64_t>(cur(p, STAT_ATTACK)) + cur(target, STAT_AC);
    if (roll < 11 || foe.distance > MELEE_DISTANCE) {
        if (party)
            use->text->set("#2%s#0 bites at %s #4%s#0, but misses!\n", w.performer, w.article, w.target);
        else
            use->text->set("%s #4%s#0 bites at #2%s#0, but misses!\n", w.article, w.performer, w.target);
        return 0;
    }
    const int32_t damage = std::max<int32_t>(saturate32(static_cast<int64_t>(cur(p, STAT_DAMAGE)) + 1 +
                                                        vell::gameRand() % 6),
                                             1);
    target->changeHP(-damage);
    if (party)
        use->text->set("#2%s#0 bites at %s #4%s#0, and hits for %d points", w.performer, w.article, w.target, damage);
    else
        use->text->set("%s #4%s#0 bites at #2%s#0, and hits for %d points", w.article, w.performer, w.target, damage);
    if (!rollSavingThrow(target, 0, 0)) {
        addPoison(target, 1, party ? 1 : 2);
        if (party)
            use->text->append(", poisoning %s %s", w.article, w.target);
        else
            use->text->append(", poisoning %s", w.target);
    }
    endHit(*use->text, target);
    return 0;
}

// --- Venom spray -------------------------------------------------------------------

int bl3dSkill_1005::perform(ActionUse_S* record) {
    SkillUse_S* use = nullptr;
    if (const int r = openUse(record, 0, use); r != 1)
        return r;
    bl3dCharacter* p = use->performer;
    TextBuf_C& text = *use->text;
    if (p->isPartyMember()) {
        bl3dMonsterList* group = asEnemyGroup(use->target);
        if (!group)
            return -2;
        const bl3dMonster* first = group->getMonster(0);
        text.set("#2%s#0 sprays venom at some #4%s#0\n\n", p->getName(), first ? first->displayName(true) : "");
        int sprayed = 0;
        for (uint32_t i = 0; i < group->getSize() && sprayed < MAX_SPRAY_TARGETS; ++i) {
            bl3dMonster* m = group->getMonster(static_cast<int>(i));
            if (m->getCurHP() <= 0)
                continue;
            ++sprayed;
            const int damage = vell::gameRand() % 8 + 1;
            m->changeHP(-damage);
            text.append("%s %s takes %d points of damage", m->article(true), m->getName(), damage);
            if (!rollSavingThrow(m, 0, 0)) {
                addPoison(m, 1, 1);
                text.append(", poisoning %s %s", m->article(false), m->getName());
            }
            endHit(text, m);
        }
        return 0;
    }
    if (!p->isMonster())
        return -3;
    text.set("%s #4%s#0 sprays venom at the party\n", p->article(use->capital), p->getName());
    for (int i = 0; i < partySize(); ++i) {
        bl3dCharacter* m = partyMemberAt(i);
        if (!m || m->getCurHP() <= 0)
            continue;
        const int damage = vell::gameRand() % 8 + 1;
        m->changeHP(-damage);
        text.append("%s is hit for %d points of damage", m->getName(), damage);
        if (!rollSavingThrow(m, 0, 0)) {
            addPoison(m, 4, 2);
            text.append(", poisoning %s", m->pronoun(1));
        }
        endHit(text, m);
    }
    return 0;
}

// --- Rapid Healing ------------------------------------------------------------------

int bl3dSkill_1006::perform(ActionUse_S* record) {
    SkillUse_S* use = nullptr;
    if (const int r = openUse(record, 0, use); r != 1)
        return r;
    if (use->performer->isMonster())
        use->performer->changeHP(vell::gameRand() % 6 + 1);
    return 0;
}

// --- Suggestion of Force ---------------------------------------------------------------

int bl3dSkill_4113::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    PartyStrike s;
    if (const int r = openPartyStrike(use, false, s); r != 1)
        return r;
    bl3dCharacter* p = s.striker;
    bl3dMonster* victim = s.victim;
    const int32_t bonus = levelBonus(p, 25);
    if (fearless(victim)) {
        use->text->set("#2%s#0 tries to intimidate the #4%s#0, but is unable to frighten them", p->getName(),
                       victim->getName());
        return 0;
    }
    // The level raises the mark: a seasoned warrior frightens less often.
    if (d100() > 60 + bonus) {
        victim->changeHP(-victim->getMaxHP());
        use->text->set("#2%s#0 intimidates the #4%s#0, and they run away!\n", p->getName(), victim->getName());
    } else {
        use->text->set("#2%s#0 tries to intimdate the #4%s#0, but is ineffectual\n", p->getName(), victim->getName());
    }
    return 0;
}

// --- Deathblow and Greater Deathblow ---------------------------------------------------

int bl3dDeathblow::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    PartyStrike s;
    if (const int r = openPartyStrike(use, true, s); r != 1)
        return r;
    bl3dCharacter* p = s.striker;
    bl3dMonster* victim = s.victim;
    const int32_t bonus = levelBonus(p, greater_ ? 50 : 25);
    const char* name = p->getName();
    const char* foe = victim->getName();
    // The distance the order was given at.
    if (use->distance > range()) {
        use->text->set("#2%s#0 attempts to attack a #4%s#0, but it is out of range\n", name, foe);
        return 0;
    }
    if (!p->isHidden()) {
        use->text->set("#2%s#0 attempts to attack a #4%s#0, but is not in hiding\n", name, foe);
        return 0;
    }
    if (p->isBlind()) {
        use->text->set("#2%s#0 attempts to attack a #4%s#0, but is blinded\n", name, foe);
        return 0;
    }
    if (fearless(victim)) {
        use->text->set("#2%s#0 tries to backstab the #4%s#0 but cannot find a nerve center!\n", name, foe);
        return 0;
    }
    // The level raises the mark: a seasoned hand kills outright less often.
    if (d100() > (greater_ ? 60 : 30) + bonus) {
        victim->changeHP(-victim->getMaxHP());
        use->text->set("#2%s#0 backstabs the #4%s#0, killing it!\n", name, foe);
        return 0;
    }
    const int32_t hp = victim->getCurHP();
    const int32_t damage = greater_ ? (hp / 3) * 2 : hp / 2;
    victim->changeHP(-damage);
    use->text->set("#2%s#0 tries to backstab the #4%s#0, missing the nerve center, but causing %d points of damage\n",
                   name, foe, damage);
    return 0;
}
