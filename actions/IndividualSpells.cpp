#include "actions/IndividualSpells.h"

#include "actions/ActionEnv.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "actions/WorldMagic.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// A clouded mind clears this many ticks after the spell.
constexpr uint32_t FIZZLE_TICKS = 5;
constexpr int32_t PUSH_TO = 90;
constexpr int32_t DRAW_TO = 10;
constexpr uint32_t HOLY_SPIRIT_TICKS = 15;
// Spell Compiler's shield: as good as for ever.
constexpr uint32_t SHIELD_TICKS = 1073741823;

bool saved(bl3dCharacter* who, int index) { return rollSavingThrow(who, index, 0); }

// A level for the drains: 0 counts as 1.
int32_t drainLevel(const bl3dCharacter* who) { return std::max(who->getLevel(), 1); }


void queueFizzleReset() {
    actionEnv().queueTimedEvent(EVENT_ID_FIZZLE_RESET, rulesEnv().currentTick() + FIZZLE_TICKS);
}

// A group's name in the plural, from its first monster.
const char* pluralName(const bl3dMonsterList* g) {
    const bl3dMonster* first = g ? g->getMonster(0) : nullptr;
    return first ? first->displayName(true) : "";
}

// The refusal when the chosen group has left the fight: nobody is left to
// name, so the caster's own words say it.
void targetGone(TextBuf_C& text, const bl3dCharacter* caster, const char* spell) {
    text.set("#2%s#0 casts %s, but %s target is gone!\n", caster->getName(), spell, caster->pronoun(2));
}

// The points a drain takes: spell points or hit points.
enum class Pool { Spell, Hit };

int32_t poolPoints(const bl3dCharacter* who, Pool pool) {
    return pool == Pool::Spell ? who->getCurSP() : who->getCurHP();
}

void addToPool(bl3dCharacter* who, Pool pool, int32_t amount) {
    if (pool == Pool::Spell)
        who->addSP(amount);
    else
        who->changeHP(amount);
}

// Takes up to `most` points from the target (no more than it has), and
// gives them to `gainer` when there is one; the line ends with what was
// drained, or that nothing was.
void drain(SpellUse_S& use, bl3dCharacter* target, const char* words, Pool pool, int64_t most,
           bl3dCharacter* gainer) {
    const int32_t amount = static_cast<int32_t>(std::clamp<int64_t>(most, 0, std::max(poolPoints(target, pool), 0)));
    if (amount == 0) {
        use.text->set("%s, but it has no effect!\n", words);
        return;
    }
    if (gainer)
        addToPool(gainer, pool, amount);
    addToPool(target, pool, -amount);
    use.text->set("%s, draining %d %s!\n", words, static_cast<int>(amount),
                  pool == Pool::Spell ? "spell points" : "hit points");
}

// Adds a condition for four ticks unless the save is made.
void vortexCondition(bl3dCharacter* who, int saveIndex, int32_t bit) {
    if (!saved(who, saveIndex))
        who->getStatBlock()->addModifier(STAT_CONDITIONS, bit, 4, MOD_SONG, 0, 0);
}

} // namespace

// --- the frame ------------------------------------------------------------------------

int bl3dIndividualSpell::perform(ActionUse_S* record) {
    SpellUse_S* use = nullptr;
    const int r = openCast(record, use);
    if (r != 1)
        return r;
    return cast(*use);
}

// --- single targets -------------------------------------------------------------------

int bl3dStrikeSpell::cast(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    char words[SPELL_WORDS_SIZE];
    bl3dCharacter* target = nullptr;
    if (caster->isPartyMember()) {
        int status = PICK_OK;
        target = pickTarget(reach_, use.target, &status);
        if (!target) {
            auto* group = static_cast<bl3dMonsterList*>(use.target);
            bl3dMonster* first = status == PICK_OUT_OF_RANGE ? group->getMonster(0) : nullptr;
            if (!first)
                return -1;
            pay(use);
            strikeWords(caster, spell, first, words, sizeof words);
            text.set("%s, but %s is out of range!\n", words, first->pronoun(0));
            return 0;
        }
    } else if (caster->isMonster()) {
        target = partyTargetOrFirst(use.target);
        if (!target)
            return -1;
        if (use.extra > reach_) {
            pay(use);
            strikeWords(caster, spell, target, words, sizeof words);
            text.set("%s, but %s is out of range!\n", words, caster->pronoun(0));
            return 0;
        }
    } else {
        return -1;
    }
    pay(use);
    strikeWords(caster, spell, target, words, sizeof words);
    for (int i = 0; i < saveCount(); ++i) {
        if (saved(target, saveIndex(i))) {
            text.set("%s, but the spell fizzles!\n", words);
            return 0;
        }
    }
    strike(use, target, words);
    return 0;
}

void bl3dSpell_MIPH::strike(SpellUse_S& use, bl3dCharacter* target, const char* words) {
    setIntAttribute(target, tagkey::Fizzle, 1);
    if (use.caster()->isPartyMember())
        use.text->set("%s, phazing his mind!\n", words);
    else
        use.text->set("%s, phazing %s mind!\n", words, target->pronoun(2));
    queueFizzleReset();
}

void bl3dSpell_MIND::strike(SpellUse_S& use, bl3dCharacter* target, const char* words) {
    const int64_t rolled = static_cast<int64_t>(rollDice(3, 4)) + drainLevel(use.caster());
    drain(use, target, words, Pool::Spell, rolled, use.caster());
}

void bl3dSpell_SPFI::strike(SpellUse_S& use, bl3dCharacter* target, const char* words) {
    drain(use, target, words, Pool::Spell, INT64_MAX, nullptr);
}

void bl3dSpell_VAMP::strike(SpellUse_S& use, bl3dCharacter* target, const char* words) {
    const int64_t rolled = static_cast<int64_t>(rollDice(3, 8)) + drainLevel(use.caster());
    drain(use, target, words, Pool::Hit, rolled, use.caster());
}

// --- groups ---------------------------------------------------------------------------

int bl3dGroupSpell::cast(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    char who[SPELL_WORDS_SIZE];
    casterWords(caster, who, sizeof who);
    if (caster->isPartyMember()) {
        int distance = 0;
        bl3dMonsterList* g = asEnemyGroup(use.target, &distance);
        if (!g || g->empty()) {
            targetGone(text, caster, spell);
            return 0;
        }
        pay(use);
        const char* plural = pluralName(g);
        if ((reachBy_ == Reach::AsGiven ? use.extra : distance) > reach_) {
            text.set("%s casts %s at some #4%s#0, but they are out of range!\n", who, spell, plural);
            return 0;
        }
        onGroup(use, *g, who, plural);
        return 0;
    }
    if (!caster->isMonster())
        return -1;
    pay(use);
    if (use.extra > reach_) {
        outOfReach(use, who);
        return 0;
    }
    std::vector<bl3dCharacter*> members;
    for (int i = 0; i < partySize(); ++i)
        members.push_back(partyMemberAt(i));
    onParty(use, members, who);
    return 0;
}

void bl3dSpell_SPHA::onGroup(SpellUse_S& use, bl3dMonsterList& g, const char* who, const char* plural) {
    const char* spell = name_.c_str();
    if (saved(g.getMonster(0), 4)) {
        use.text->set("%s casts %s at some #4%s#0, but the spell fizzles!\n", who, spell, plural);
        return;
    }
    int n = 0;
    for (uint32_t i = 0; i < g.getSize(); ++i)
        n += drainAll(g.getMonster(static_cast<int>(i))) ? 1 : 0;
    if (n == 0)
        use.text->set("%s casts %s at some #4%s#0, but it has no effect!\n", who, spell, plural);
    else
        use.text->set("%s casts %s at some #4%s#0, draining %d of them\n", who, spell, plural, n);
}

void bl3dSpell_SPHA::onParty(SpellUse_S& use, const std::vector<bl3dCharacter*>& members, const char* who) {
    int n = 0;
    for (bl3dCharacter* m : members)
        n += !saved(m, 4) && drainAll(m) ? 1 : 0;
    if (n == 0)
        use.text->set("%s casts %s at the party, but it has no effect!\n", who, name_.c_str());
    else
        use.text->set("%s casts %s at the party, draining %d members!\n", who, name_.c_str(), n);
}

void bl3dSpell_SPHA::outOfReach(SpellUse_S& use, const char* who) {
    use.text->set("%s casts %s at the party, but %s is out of range!\n", who, name_.c_str(),
                  use.caster()->pronoun(0));
}

bool bl3dSpell_SPHA::drainAll(bl3dCharacter* c) {
    if (c->getCurSP() <= 0)
        return false;
    c->addSP(-c->getCurSP());
    return true;
}

void bl3dSpell_MIBL::onGroup(SpellUse_S& use, bl3dMonsterList& g, const char* who, const char* plural) {
    int n = 0;
    for (uint32_t i = 0; i < g.getSize(); ++i)
        n += phazed(g.getMonster(static_cast<int>(i))) ? 1 : 0;
    if (n == 0) {
        use.text->set("%s casts %s, but it seems to have no effect!", who, name_.c_str());
        return;
    }
    use.text->set("%s casts %s at some #4%s#0, phazing %d of them!\n", who, name_.c_str(), plural, n);
    queueFizzleReset();
}

void bl3dSpell_MIBL::onParty(SpellUse_S& use, const std::vector<bl3dCharacter*>& members, const char* who) {
    int n = 0;
    for (bl3dCharacter* m : members)
        n += phazed(m) ? 1 : 0;
    if (n == 0) {
        use.text->set("%s casts %s at the party, but it is ineffective", who, name_.c_str());
        return;
    }
    use.text->set("%s casts %s at the party, phazing %d of them!\n", who, name_.c_str(), n);
    queueFizzleReset();
}

void bl3dSpell_MIBL::outOfReach(SpellUse_S& use, const char*) {
    // This line colours the article rather than the name.
    const bl3dCharacter* caster = use.caster();
    use.text->set("#4%s#0 %s casts %s at the party, but they are out of range!\n", caster->article(true),
                  caster->getName(), name_.c_str());
}

bool bl3dSpell_MIBL::phazed(bl3dCharacter* c) {
    if (c->getCurHP() < 1 || saved(c, 4) || saved(c, 5))
        return false;
    setIntAttribute(c, tagkey::Fizzle, 1);
    return true;
}

int bl3dSpell_MIVO::cast(SpellUse_S& use) {
    bl3dCharacter* caster = use.caster();
    const bool party = caster->isPartyMember();
    if (!party && !caster->isMonster())
        return -1;
    pay(use);
    const int32_t mind = caster->getStatBlock()->getCur(STAT_IQ);
    int affected = 0, destroyed = 0;
    auto vortex = [&](bl3dCharacter* c, bool mayDie) {
        if (c->getCurHP() < 1)
            return;
        const int32_t roll = vell::gameRand() % 8 + mind;
        if (roll >= 24 && mayDie) {
            c->changeHP(-c->getCurHP());
            ++destroyed;
            return;
        }
        const int k = vell::gameRand() % 4;
        if (k == 0)
            return;
        ++affected;
        if (k == 3)
            vortexCondition(c, 2, COND_STONE);
        if (k >= 2)
            vortexCondition(c, 4, COND_BLIND);
        vortexCondition(c, 4, COND_STUNNED);
        c->getStatBlock()->recompute();
    };
    if (party) {
        for (int gi = 0; bl3dMonsterList* g = enemyList.groupAt(gi); ++gi)
            for (uint32_t i = 0; i < g->getSize(); ++i) {
                bl3dMonster* m = g->getMonster(static_cast<int>(i));
                vortex(m, m->creatureType() != CREATURE_NO_ESCAPE && m->creatureType() != CREATURE_UNDEAD);
            }
    } else {
        for (int i = 0; i < partySize(); ++i)
            vortex(partyMemberAt(i), true);
    }
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    const char* form = party ? "#2%s#0" : "#4%s#0";
    char who[NAME_SIZE + 8];
    std::snprintf(who, sizeof who, form, caster->getName());
    const char* foes = party ? "enemies" : "party members";
    if (affected == 0 && destroyed == 0)
        text.set("%s casts %s, but it seems to have no effect", who, spell);
    else if (destroyed == 0)
        text.set("%s casts %s, affecting %d %s!", who, spell, affected, foes);
    else if (affected == 0)
        text.set("%s casts %s, destroying %d %s!", who, spell, destroyed, foes);
    else
        text.set("%s casts %s, affecting %d %s and killing %d others", who, spell, affected, foes, destroyed);
    return 0;
}

// --- the party's protections ------------------------------------------------------------

int bl3dSpell_HOSP::cast(SpellUse_S& use) {
    // The spell speaks for itself: no narration, whoever casts it.
    use.text->clear();
    pay(use);
    bl3dCharacter* caster = use.caster();
    if (!caster->isPartyMember())
        return 0;
    const uint32_t until = rulesEnv().currentTick() + HOLY_SPIRIT_TICKS;
    extendWorldMagic(MAGIC_STATE,
                     MAGSTATE_NO_ILLUSIONS | MAGSTATE_NO_UNDEAD | MAGSTATE_NO_DEMONS | MAGSTATE_NO_REPRODUCTION |
                         MAGSTATE_NO_SUMMONING,
                     until);
    for (int gi = 0; bl3dMonsterList* g = enemyList.groupAt(gi); ++gi)
        for (uint32_t i = 0; i < g->getSize(); ++i) {
            bl3dMonster* m = g->getMonster(static_cast<int>(i));
            const int32_t kind = m->creatureType();
            if (m->getCurHP() >= 1 && (kind == CREATURE_DEMON || kind == CREATURE_UNDEAD || isIllusion(m)))
                m->changeHP(-m->getMaxHP());
        }
    for (int i = 0; i < partySize(); ++i) {
        bl3dStatBlock* stats = partyMemberAt(i)->getStatBlock();
        stats->addModifier(STAT_AC, -8, HOLY_SPIRIT_TICKS, MOD_SONG, 0, 0);
        stats->recompute();
    }
    return 0;
}

int bl3dSpell_SPCO::cast(SpellUse_S& use) {
    pay(use);
    const uint32_t now = rulesEnv().currentTick();
    const uint32_t until = now + static_cast<uint32_t>(vell::gameRand() % 481 + 480);
    extendWorldMagic(MAGIC_PERCEPTION, 0x01 | 0x08 | 0x10, until);
    // The shield is for good: its expiry is pushed out of reach and its bit
    // is left as it is, so no expiry event ever clears it.
    TagList_C* world = rulesEnv().worldTags();
    const uint32_t shieldEnd = now + SHIELD_TICKS;
    if (world && static_cast<uint32_t>(intAttribute(world, tagkey::MagExp32)) < shieldEnd)
        setIntAttribute(world, tagkey::MagExp32, static_cast<int32_t>(shieldEnd));
    // One shield: a new cast replaces the modifier rather than adding
    // another.
    for (int i = 0; i < partySize(); ++i) {
        bl3dStatBlock* stats = partyMemberAt(i)->getStatBlock();
        stats->removeModsByKey(SHIELD_KEY1, SHIELD_KEY2);
        stats->addModifier(STAT_AC, -3, SHIELD_TICKS, MOD_SONG, SHIELD_KEY1, SHIELD_KEY2);
        stats->recompute();
    }
    actionEnv().buildPercepPane();
    narrateCast(*use.text, use.caster(), name_.c_str());
    return 0;
}

// --- the party's place ---------------------------------------------------------------------

int bl3dSpell_MAPO::cast(SpellUse_S& use) {
    pay(use);
    const char* who = use.caster()->getName();
    const char* spell = name_.c_str();
    int width = 0, height = 0;
    const bool onMap =
        actionEnv().mapSize(width, height) && use.x >= 0 && use.y >= 0 && use.x < width && use.y < height;
    if (onMap && (actionEnv().squareState(use.x, use.y) & 0x01) && actionEnv().moveParty(use.x, use.y)) {
        use.text->set("%s casts %s...\n", who, spell);
        return 0;
    }
    use.text->set("%s casts %s, but it fizzles!\n", who, spell);
    return 0;
}

int bl3dFoeMoveSpell::cast(SpellUse_S& use) {
    pay(use);
    bl3dCharacter* caster = use.caster();
    TextBuf_C& text = *use.text;
    const char* spell = name_.c_str();
    if (!caster->isPartyMember()) {
        narrateCast(text, caster, spell);
        return 0;
    }
    int distance = 0;
    bl3dMonsterList* g = asEnemyGroup(use.target, &distance);
    if (!g)
        g = enemyList.groupAt(0, &distance);
    if (!g) {
        text.set("#2%s#0 casts %s ...", caster->getName(), spell);
        return 0;
    }
    text.set(push_ ? "#2%s#0 casts %s at some #4%s#0, pushing them back!"
                   : "#2%s#0 casts %s at some #4%s#0, drawing them forward!",
             caster->getName(), spell, pluralName(g));
    const int32_t feet = push_ ? (distance < PUSH_TO ? distance - PUSH_TO : 0)
                               : (distance > DRAW_TO ? distance - DRAW_TO : 0);
    if (feet == 0)
        return 0;
    enemyList.rewind();
    while (bl3dMonsterList* n = enemyList.nextGroup())
        if (n == g) {
            enemyList.advanceGroup(feet);
            break;
        }
    return 0;
}

int bl3dWallSpell::cast(SpellUse_S& use) {
    pay(use);
    const char* who = use.caster()->getName();
    const char* spell = name_.c_str();
    TextBuf_C& text = *use.text;
    ActionEnv_C& env = actionEnv();
    int x = 0, y = 0, f = 0, width = 0, height = 0;
    const bool placed = env.partyPosition(x, y, f) && env.mapSize(width, height);
    bool outside = false, wall = false;
    if (placed && env.isBlocked(x, y, f)) {
        switch (f) {
        case 0:
            outside = y >= height - 1;
            wall = !outside && (env.hasWall(x, y, 0) || env.hasWall(x, y + 1, 180));
            break;
        case 180:
            outside = y < 1;
            wall = !outside && (env.hasWall(x, y, 180) || env.hasWall(x, y - 1, 0));
            break;
        case 90:
            outside = x < 1;
            wall = !outside && (env.hasWall(x, y, 90) || env.hasWall(x - 1, y, 270));
            break;
        case 270:
            outside = x >= width - 1;
            wall = !outside && (env.hasWall(x, y, 270) || env.hasWall(x + 1, y, 90));
            break;
        default: break;
        }
    }
    if (outside) {
        text.set("#2%s#0 casts %s, but the mystical energies cannot open this wall\n", who, spell);
    } else if (wall) {
        text.set("#2%s#0 casts %s, and the wall begins to flicker out of existence!\n", who, spell);
        // The next step ignores walls.
        setWorldVar(tagkey::WalkThrough, 1);
    } else {
        text.set("#2%s#0 casts %s, but it fizzles!\n", who, spell);
    }
    return 0;
}

// --- making them ------------------------------------------------------------------------------

bl3dSpell* makeIndividualSpell(const SpellRow_S& row) {
    switch (row.id) {
    case 0x00890015: return new bl3dSpell_MAPO(row);
    case 0x001b0016: return new bl3dSpell_PUFO(row);
    case 0x001f0037: return new bl3dSpell_MIPH(row);
    case 0x001b0040: return new bl3dSpell_MIVO(row);
    case 0x001f003d: return new bl3dSpell_MIND(row);
    case 0x001f004c: return new bl3dSpell_SPFI(row);
    case 0x001f0050: return new bl3dSpell_SPHA(row);
    case 0x001b0056: return new bl3dSpell_DRFO(row);
    case 0x001b0057: return new bl3dSpell_SPCO(row);
    case 0x001f0058: return new bl3dSpell_VAMP(row);
    case 0x001b0060: return new bl3dSpell_MIBL(row);
    case 0x001b0061: return new bl3dSpell_HOSP(row);
    case 0x00890062: return new bl3dSpell_GHWA(row);
    case 0x00890063: return new bl3dSpell_OPWA(row);
    default: break;
    }
    return nullptr;
}
