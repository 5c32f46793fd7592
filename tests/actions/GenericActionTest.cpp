// Data-defined spells and skills: the narration word for word for each side
// and target kind (the verb's "s" once, "casts Fire Dart" and "uses"), how
// a use aimed by position finds its target by the target kind (a heal never
// takes an enemy group for a member), the casting frame around a spell (the
// cost, an item's charge, the ignore mask), the songs' context, and the
// built-in damage spell written as a record of the action data file.
#include "ActionFileKit.h"
#include "SpellTest.h"

#include "actions/ActionFile.h"
#include "actions/CombatRound.h"
#include "actions/DamageEffect.h"
#include "actions/GenericSkill.h"
#include "actions/GenericSpell.h"
#include "actions/HealEffect.h"
#include "actions/StatEffect.h"
#include "actions/Targets.h"
#include "core/MemStream.h"
#include "rules/CharEffect.h"
#include "rules/Item.h"
#include "rules/ItemType.h"

#include <cstdio>

namespace {

ActionDef_S definition(uint32_t id, const char* name, uint8_t kind, const char* verb, const char* prep,
                       const char* gerund, uint8_t range = 0, const char* code = "TEST", uint16_t cost = 3) {
    ActionDef_S d;
    d.id = id;
    d.name = name;
    d.description = "A test.";
    d.targetKind = kind;
    d.range = range;
    d.level = 1;
    d.actionType = ACTION_RECORD_SPELL;
    d.classMask = 0x100;
    d.verb = verb;
    d.preposition = prep;
    d.gerund = gerund;
    std::snprintf(d.code, sizeof d.code, "%s", code);
    d.path = 1;
    d.spCost = cost;
    return d;
}

std::unique_ptr<bl3dEffect> damageOf(uint8_t mode, uint8_t range, int16_t count, int16_t sides) {
    DamageBody_S b;
    b.mode = mode;
    b.range = range;
    b.count = count;
    b.sides = sides;
    b.saveIndex = 4;
    return std::make_unique<bl3dDamageEffect>(b);
}

std::unique_ptr<bl3dEffect> healOf(uint16_t mode, int16_t count, int16_t sides, int16_t fixed, int32_t flags = 0,
                                   uint32_t cure = 0) {
    HealBody_S b;
    b.mode = mode;
    b.count = count;
    b.sides = sides;
    b.fixed = fixed;
    b.flags = flags;
    b.cure = cure;
    return std::make_unique<bl3dHealEffect>(b);
}

std::unique_ptr<bl3dEffect> statOf(uint8_t mode, int32_t stat, int32_t amount, int32_t conditions = 0) {
    StatBody_S b;
    b.mode = mode;
    b.durationKind = 6;
    b.duration = 30;
    b.saveIndex = 1;
    b.conditions = conditions;
    b.pairCount = stat < 0 ? 0 : 1;
    auto e = std::make_unique<bl3dStatEffect>(b);
    e->setPair(0, stat, amount);
    return e;
}

template <typename... E>
EffectList effects(E... e) {
    EffectList list;
    (list.push_back(std::move(e)), ...);
    return list;
}

class GenericActionTest : public SpellTest {
protected:
    void SetUp() override {
        SpellTest::SetUp();
        mira = mage("Mira", 100);
        bo = mage("Bo", 0, 0x4, 1, true);
        gnoll = beast("Gnoll", 20, 30);
    }
    // A spell or a skill of these words and effects, kept by the test.
    bl3dGenericSpell* spellOf(const ActionDef_S& d, EffectList e) {
        made.push_back(std::make_unique<bl3dGenericSpell>(d, std::move(e)));
        return static_cast<bl3dGenericSpell*>(made.back().get());
    }
    bl3dGenericSkill* skillOf(ActionDef_S d, EffectList e) {
        d.actionType = ACTION_RECORD_SKILL;
        made.push_back(std::make_unique<bl3dGenericSkill>(d, std::move(e)));
        return static_cast<bl3dGenericSkill*>(made.back().get());
    }
    // A cast that passes the fizzle roll, then draws `rolls`.
    int castNow(bl3dAction* a, bl3dCharacter* who, void* target, std::vector<int> rolls = {}) {
        rolls.insert(rolls.begin(), NO_FIZZLE);
        vell::scriptGameRand(rolls);
        return castBy(new bl3dActor(who), a, target);
    }
    int use(bl3dAction* a, bl3dCharacter* who, void* target, std::vector<int> rolls = {}) {
        vell::scriptGameRand(rolls);
        return castBy(new bl3dActor(who), a, target);
    }

    bl3dPartyChar *mira = nullptr, *bo = nullptr;
    bl3dMonsterType* gnoll = nullptr;
    std::vector<std::unique_ptr<bl3dAction>> made;
};

TEST_F(GenericActionTest, APartyCastersLinesWordForWord) {
    bl3dMonsterList* gnolls = kit->addGroup(gnoll, 2, 20);
    bl3dAction* dart = spellOf(definition(0x000f0002, "Fire Dart", 1, "cast", "at", "blast", 30),
                               effects(damageOf(1, 30, 2, 4)));
    // monster 0; its save; dice 2 and 3
    EXPECT_EQ(castNow(dart, mira, gnolls, {0, 0, 1, 2}), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Fire Dart at a #4Gnoll#0, causing #45#0 points of damage, blasting it!\n");
    EXPECT_EQ(mira->getCurSP(), 97);
    gnolls->getMonster(0)->setCurHP(3);
    EXPECT_EQ(castNow(dart, mira, gnolls, {0, 0, 1, 2}), 0);
    EXPECT_EQ(said(),
              "#2Mira#0 casts Fire Dart at a #4Gnoll#0, causing #45#0 points of damage, blasting it, and killing it!\n");

    bl3dMonsterList* far = kit->addGroup(beast("Owlbear"), 1, 60);
    EXPECT_EQ(castNow(dart, mira, far), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Fire Dart at an #4Owlbear#0, but it is out of range!\n");
    bl3dMonsterList stray(1, gnoll, 0);
    EXPECT_EQ(castNow(dart, mira, &stray), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Fire Dart, but her target is gone!\n");

    bl3dAction* wave = spellOf(definition(0x000f0152, "Flame Wave", 2, "cast", "at", "burn"),
                               effects(damageOf(2, 0, 1, 6)));
    gnolls->getMonster(0)->setCurHP(20);
    EXPECT_EQ(castNow(wave, mira, gnolls, {0, 3, 0, 3}), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Flame Wave at some #4Gnolls#0, burning 2 of them and doing a total of #47#0 "
                      "points of damage!\n");

    bl3dAction* storm = spellOf(definition(0x000f0154, "Inferno", 4, "cast", "at", "engulf"),
                                effects(damageOf(4, 30, 1, 4)));
    EXPECT_EQ(castNow(storm, mira, nullptr, {0, 3, 0, 3}), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Inferno at all who face her, engulfing 2 of them and doing a total of #46#0 "
                      "points of damage!\n");

    // A curse the group shakes off: no line but "no effect".
    bl3dAction* hex = spellOf(definition(0x000b0116, "Blinding Gust", 2, "cast", "at", "blind"),
                              effects(statOf(2, -1, 0, COND_BLIND)));
    EXPECT_EQ(castNow(hex, mira, gnolls, {0, 99, 0, 0}), 0) << "the first passes, the second fails the chance";
    EXPECT_EQ(said(), "#2Mira#0 casts Blinding Gust at some #4Gnolls#0, blinding 1 of them!\n");
}

TEST_F(GenericActionTest, ASpellOnMembersAndTheParty) {
    bl3dAction* mend = spellOf(definition(0x00090064, "Heal", 8, "cast", "on", "mend"), effects(healOf(8, 2, 4, 0)));
    bo->setMaxHP(30);
    bo->setCurHP(20);
    EXPECT_EQ(castNow(mend, mira, bo, {1, 1}), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Heal on #2Bo#0, healing #24#0 points of damage, mending him!\n")
        << "casts Heal, never casts Heals";

    bl3dAction* renew = spellOf(definition(0x00090070, "Dark Renewal", 0x20, "cast", "on", "renew"),
                                effects(healOf(0x20, 0, 0, 6)));
    mira->setCurHP(mira->getMaxHP() - 10);
    EXPECT_EQ(castNow(renew, mira, nullptr), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Dark Renewal on #2herself#0, healing #26#0 points of damage, renewing her!\n");

    bl3dAction* ward = spellOf(definition(0x00090201, "Ward of Faith", 8, "cast", "upon", "ward"),
                               effects(statOf(8, STAT_AC, -2)));
    EXPECT_EQ(castNow(ward, mira, bo), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Ward of Faith upon #2Bo#0, warding him!\n");

    // No preposition: the target follows the spell's name.
    bl3dAction* draught = spellOf(definition(0x00090300, "Mending Draught", 0x20, "drink", "", "refresh"),
                                  effects(healOf(0x20, 0, 0, 0)));
    EXPECT_EQ(castNow(draught, mira, nullptr), 0);
    EXPECT_EQ(said(), "#2Mira#0 drinks Mending Draught #2herself#0, refreshing her!\n");

    // The whole party, two of them raised.
    bl3dAction* host = spellOf(definition(0x0009020b, "Blessed Host", 0x10, "cast", "upon", "bless"),
                               effects(healOf(0x10, 0, 0, 2, HEAL_MAY_RAISE)));
    bl3dPartyChar* cy = mage("Cy", 0, 0x4, 1, true);
    bo->setCurHP(0);
    cy->setCurHP(-4);
    mira->setCurHP(mira->getMaxHP() - 2);
    EXPECT_EQ(castNow(host, mira, nullptr), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Blessed Host upon the party, blessing 5 companions and healing a total of #26#0 "
                      "points of damage, and resurrecting 2!\n");
    EXPECT_EQ(bo->getCurHP(), 3);

    bl3dAction* nothing = spellOf(definition(0x00090205, "Shield", 0x10, "cast", "before", "shield"),
                                  effects(healOf(0x10, 0, 0, 0, 0, 0)));
    EXPECT_EQ(castNow(nothing, mira, nullptr), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Shield before the party, shielding 3 companions!\n");
}

TEST_F(GenericActionTest, AMonsterCastersLinesWordForWord) {
    bl3dMonsterList* gnolls = kit->addGroup(gnoll, 2, 20);
    bl3dMonster* caster = gnolls->getMonster(0);
    bl3dAction* dart = spellOf(definition(0x000f0002, "Fire Dart", 1, "cast", "at", "blast", 30),
                               effects(damageOf(1, 30, 1, 4)));
    EXPECT_EQ(castNow(dart, caster, bo, {0, 3}), 0) << "Bo fails his save";
    EXPECT_EQ(said(), "#4Gnoll#0 casts Fire Dart at #2Bo#0, causing #44#0 points of damage, blasting him!\n");

    bl3dAction* wave = spellOf(definition(0x000f0152, "Flame Wave", 2, "cast", "at", "burn"),
                               effects(damageOf(2, 0, 1, 4)));
    EXPECT_EQ(castNow(wave, caster, nullptr, {0, 3, 0, 3}), 0);
    EXPECT_EQ(said(), "#4Gnoll#0 casts Flame Wave at the party, burning 2 of you and doing a total of #46#0 points "
                      "of damage!\n");

    // Its own group, though aimed at a member.
    gnolls->getMonster(1)->setCurHP(10);
    caster->setCurHP(15);
    bl3dAction* mending = spellOf(definition(0x00024004, "Dark Mending", 0x10, "chant", "over", "mend"),
                                  effects(healOf(0x10, 0, 0, 3)));
    EXPECT_EQ(castNow(mending, caster, bo), 0);
    EXPECT_EQ(said(), "#4Gnoll#0 chants Dark Mending over some #4Gnolls#0, mending 2 of them and healing a total of "
                      "#26#0 points of damage!\n");
    EXPECT_EQ(bo->getCurHP(), 30 - 4 - 2);

    bl3dAction* self = spellOf(definition(0x00024009, "Sap Mending", 0x20, "cast", "on", "knitt"),
                               effects(healOf(0x20, 0, 0, 1)));
    EXPECT_EQ(castNow(self, caster, nullptr), 0);
    EXPECT_EQ(said(), "#4Gnoll#0 casts Sap Mending on a #4Gnoll#0, healing #21#0 points of damage, knitting it!\n");

    bl3dAction* bare = spellOf(definition(0x00090999, "Howl", 0, "cast", "", "howl"), effects());
    EXPECT_EQ(castNow(bare, caster, nullptr), 0);
    EXPECT_EQ(said(), "Gnoll casts Howl...\n");
}

TEST_F(GenericActionTest, SkillsUseTheBareVerb) {
    bl3dMonsterList* gnolls = kit->addGroup(gnoll, 1, 10);
    ActionDef_S whirl = definition(0x000a2040, "Whirlwind", 4, "whirl", "among", "slash", 10);
    bl3dAction* whirlwind = skillOf(whirl, effects(damageOf(4, 10, 1, 4)));
    EXPECT_EQ(use(whirlwind, bo, nullptr, {0, 3}), 0);
    EXPECT_EQ(said(), "#2Bo#0 whirls among all who face him, slashing 1 of them and doing a total of #44#0 points "
                      "of damage!\n");
    EXPECT_EQ(bo->getCurSP(), 0) << "a skill costs nothing";
    enemyList.clear();
    EXPECT_EQ(use(whirlwind, bo, nullptr), 0);
    EXPECT_EQ(said(), "#2Bo#0 whirls, but his target is gone!\n") << "only once no foe is left";
    (void)gnolls;

    bl3dAction* shout = skillOf(definition(0x001e2037, "Battle Cry", 0, "roar", "", "rous"),
                                effects(statOf(0x10, STAT_ATTACK, 2)));
    EXPECT_EQ(use(shout, bo, nullptr), 0);
    EXPECT_EQ(said(), "Bo roars...\n");
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_ATTACK), 2);

    // A member who has left the party has no name to print: the line says
    // the target is gone, for a skill as for a spell.
    bl3dAction* hands = skillOf(definition(0x00882038, "Laying of Hands", 8, "lay", "upon", "heal"),
                                effects(healOf(8, 0, 0, 4)));
    bl3dPartyChar stranger("Stranger");
    EXPECT_EQ(use(hands, bo, &stranger), 0);
    EXPECT_EQ(said(), "#2Bo#0 lays, but his target is gone!\n");
    bl3dAction* ward = spellOf(definition(0x00090201, "Ward of Faith", 8, "cast", "upon", "ward"),
                               effects(statOf(8, STAT_AC, -2)));
    EXPECT_EQ(castNow(ward, mira, &stranger), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Ward of Faith, but her target is gone!\n");

    // A stunned user is stopped unless the skill passes over the stun.
    bo->addBaseConditions(COND_STUNNED);
    EXPECT_EQ(use(hands, bo, mira), 0);
    EXPECT_EQ(said(), "#2Bo#0 would lay, but he is stunned!\n");
    ActionDef_S steady = definition(0x000a2041, "Iron Will", 0x20, "steel", "", "brac");
    steady.ignoreMask = COND_STUNNED;
    bl3dAction* will = skillOf(steady, effects(healOf(0x20, 0, 0, 0, 0, COND_STUNNED)));
    EXPECT_EQ(use(will, bo, nullptr), 0);
    EXPECT_EQ(said(), "#2Bo#0 steels #2himself#0, bracing him!\n");
    EXPECT_FALSE(bo->isStunned());
}

TEST_F(GenericActionTest, ResultsWithoutALineAndTheBestOfSeveral) {
    bl3dMonsterList* gnolls = kit->addGroup(gnoll, 1, 20);
    bl3dAction* empty = spellOf(definition(0x000f0003, "Empty", 1, "cast", "at", "zapp"), effects());
    EXPECT_EQ(castNow(empty, mira, gnolls), -1) << "no effect, no line";
    EXPECT_EQ(said(), "");
    EXPECT_EQ(mira->getCurSP(), 97) << "the cast itself went ahead";

    ActionDef_S odd = definition(0x000f0004, "Odd", 3, "cast", "at", "zapp");
    bl3dAction* oddKind = spellOf(odd, effects(damageOf(1, 0, 1, 4)));
    EXPECT_EQ(castNow(oddKind, mira, gnolls, {0, 0, 0}), -2) << "a target kind without texts";

    // A damage that lands and a curse resisted: the landing one speaks.
    bl3dAction* both = spellOf(definition(0x000f0005, "Both", 1, "cast", "at", "zapp"),
                               effects(damageOf(1, 0, 1, 4), statOf(0x08, STAT_AC, 1)));
    EXPECT_EQ(castNow(both, mira, gnolls, {0, 0, 3}), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Both at a #4Gnoll#0, causing #44#0 points of damage, zapping it!\n");
}

TEST_F(GenericActionTest, UsesAimedByPositionFindTheirTargetByKind) {
    bl3dMonsterList* near = kit->addGroup(gnoll, 1, 10);
    bl3dMonsterList* far = kit->addGroup(beast("Owlbear"), 1, 30);
    bl3dAction* mend = spellOf(definition(0x00090064, "Heal", 8, "cast", "on", "mend"), effects(healOf(8, 0, 0, 5)));
    bl3dAction* dart = spellOf(definition(0x000f0002, "Dart", 1, "cast", "at", "blast"), effects(damageOf(1, 0, 1, 1)));
    bl3dAction* renew = spellOf(definition(0x00090070, "Renew", 0x20, "cast", "on", "renew"),
                                effects(healOf(0x20, 0, 0, 1)));
    bl3dAction* side = spellOf(definition(0x00024004, "Mend All", 0x10, "cast", "on", "mend"),
                               effects(healOf(0x10, 0, 0, 1)));
    auto targetOf = [&](bl3dAction* a, bl3dCharacter* who, int index) -> void* {
        void* context[1] = {&text};
        ActionUse_S* u = a->enqueue(new bl3dActor(who), index, 1, context);
        void* t = u ? static_cast<GenericUse_S*>(u)->target : reinterpret_cast<void*>(-1);
        if (u)
            a->freeEntry(u);
        return t;
    };
    EXPECT_EQ(targetOf(mend, mira, 1), bo) << "a member by its slot, not the enemy group of that place";
    EXPECT_EQ(targetOf(dart, mira, 1), far);
    EXPECT_EQ(targetOf(renew, mira, 1), mira);
    EXPECT_EQ(targetOf(side, mira, 1), nullptr) << "the party needs no target";
    bl3dMonster* m = near->getMonster(0);
    EXPECT_EQ(targetOf(dart, m, 1), bo);
    EXPECT_EQ(targetOf(mend, m, 1), m) << "a monster's kind 8 is itself";
    EXPECT_EQ(targetOf(side, m, 0), near) << "its own group";
    EXPECT_EQ(targetOf(mend, nullptr, 0), reinterpret_cast<void*>(-1)) << "no creature: nothing queued";
    void* none[1] = {nullptr};
    EXPECT_EQ(mend->enqueue(new bl3dActor(mira), 0, 0, none), nullptr) << "no context value";
}

TEST_F(GenericActionTest, TheCastingFrameAroundASpell) {
    bl3dAction* mend = spellOf(definition(0x00090064, "Heal", 8, "cast", "on", "mend", 0, "HEAL", 5),
                               effects(healOf(8, 0, 0, 5)));
    bo->setCurHP(10);
    mira->setCurSP(4);
    EXPECT_EQ(castNow(mend, mira, bo), 0);
    EXPECT_EQ(said(), "#2Mira#0 tries to cast Heal, but has not the necessary energy!\n");
    EXPECT_EQ(bo->getCurHP(), 10);
    EXPECT_EQ(mira->getCurSP(), 4);

    // Through an item: one charge, no fizzle roll.
    bl3dItemType* wandType = kit->gearType("Wand", 1 << SLOT_MISC, {});
    wandType->setFlags(ITEMF_CHARGES);
    bl3dItem* wand = kit->give(mira, wandType, SLOT_MISC);
    wand->setCharges(3);
    vell::scriptGameRand({});
    EXPECT_EQ(castBy(new bl3dItemActor(mira, SLOT_MISC), mend, bo), 0);
    EXPECT_EQ(bo->getCurHP(), 15);
    EXPECT_EQ(wand->getCharges(), 2);
    EXPECT_EQ(mira->getCurSP(), 4);

    // Poisoned: stopped, unless the spell passes over poison.
    mira->setCurSP(50);
    mira->addBaseConditions(COND_POISONED);
    EXPECT_EQ(castBy(new bl3dActor(mira), mend, bo), 0);
    EXPECT_EQ(said(), "#2Mira#0 tries to cast Heal, but she is poisoned!\n");
    EXPECT_EQ(mira->getCurSP(), 50);
    ActionDef_S d = definition(0x00090065, "Purge", 0x20, "cast", "on", "cleans", 0, "PURG", 5);
    d.ignoreMask = COND_POISONED;
    bl3dAction* purge = spellOf(d, effects(healOf(0x20, 0, 0, 0, 0, COND_POISONED)));
    EXPECT_EQ(castNow(purge, mira, nullptr), 0);
    EXPECT_FALSE(mira->isPoisoned());
    EXPECT_EQ(mira->getCurSP(), 45);
}

TEST_F(GenericActionTest, ASongReadsNoDistanceFromTheInterface) {
    ActionDef_S d = definition(0x0040b010, "Hearthsong", 0x10, "play", "for", "eas");
    d.actionType = ACTION_RECORD_SKILL;
    bl3dAction* song = skillOf(d, effects(healOf(0x10, 0, 0, 1)));
    int32_t notADistance[4] = {12345, 0, 0, 0}; // what an interface pointer points at
    void* context[3] = {&text, notADistance, reinterpret_cast<void*>(0)};
    ActionUse_S* u = song->makeEntry(new bl3dActor(mira), nullptr, 3, context);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(static_cast<GenericUse_S*>(u)->distance, -1);
    EXPECT_EQ(song->perform(u), 0);
    song->freeEntry(u);
    EXPECT_EQ(said(), "#2Mira#0 plays for the party, easing 2 companions!\n");
}

TEST_F(GenericActionTest, MonstersUseTheirAbilitiesInAFight) {
    // Two abilities in the master list, as the spell book puts them there.
    ActionDef_S breath = definition(0x00024001, "Fire Breath", 2, "breathe", "upon", "scorch", 30);
    breath.actionType = ACTION_RECORD_SKILL;
    masterActionList.add(new bl3dGenericSkill(breath, effects(damageOf(2, 30, 2, 6))), 0);
    ActionDef_S mend = definition(0x00024004, "Dark Mending", 0x10, "chant", "over", "mend");
    mend.actionType = ACTION_RECORD_SKILL;
    masterActionList.add(new bl3dGenericSkill(mend, effects(healOf(0x10, 0, 0, 3))), 0);
    MonsterSpec_S drake;
    drake.name = "Drake";
    drake.plural = "Drakes";
    drake.hp = 400;
    drake.actions = {{0x00024001, 40}};
    kit->addGroup(kit->monsterType(drake), 1, 20);
    MonsterSpec_S shaman;
    shaman.name = "Shaman";
    shaman.plural = "Shamans";
    shaman.hp = 400;
    shaman.actions = {{0x00024004, 40}};
    bl3dMonsterList* shamans = kit->addGroup(kit->monsterType(shaman), 2, 30);
    shamans->getMonster(0)->setCurHP(100);
    mira->setMaxHP(500);
    mira->setCurHP(500);
    bo->setMaxHP(500);
    bo->setCurHP(500);

    CombatRound_C round;
    std::vector<std::string> lines;
    round.setNarration([&lines](const char* t) { lines.emplace_back(t); });
    round.setRoundEnd([this] { kit->tick(); });
    for (int i = 0; i < 4; ++i)
        round.runRound();
    auto any = [&lines](const char* part) {
        for (const std::string& l : lines)
            if (l.find(part) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(any("#4Drake#0 breathes upon the party, scorching ")) << "the breath";
    EXPECT_LT(mira->getCurHP() + bo->getCurHP(), 1000);
    EXPECT_TRUE(any("#4Shaman#0 chants over some #4Shamans#0, mending 2 of them")) << "the healing";
    EXPECT_GT(shamans->getMonster(0)->getCurHP(), 100);
}

TEST_F(GenericActionTest, TheBuiltInDamageSpellWritesARecordTheLoaderReads) {
    MemStream_C s;
    masterActionList.getSpellByCode("SIST")->writeRecord(s);
    const std::string path = actionfile::tempPath("sist.dat");
    actionfile::writeGz(path, std::string(reinterpret_cast<const char*>(s.data()), s.size()));
    gzFile f = gzopen(path.c_str(), "rb");
    ActionRecord_S r;
    ASSERT_EQ(r.read(f), 1);
    gzclose(f);
    EXPECT_EQ(r.fault(), "");
    EXPECT_EQ(r.def.id, 0x000f0021u);
    EXPECT_STREQ(r.def.code, "SIST");
    EXPECT_EQ(r.def.spCost, 4);
    EXPECT_EQ(r.def.path, 2);
    ASSERT_EQ(r.effects.size(), 1u);
    EXPECT_EQ(r.effects[0].damage.sides, 4);
    EXPECT_EQ(r.effects[0].damage.count, 6);
    EXPECT_EQ(r.effects[0].damage.flags, 16u);
    EXPECT_EQ(r.effects[0].damage.param, 21u);
    MemStream_C again;
    ASSERT_TRUE(r.write(again));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.data()), again.size()),
              std::string(reinterpret_cast<const char*>(s.data()), s.size()));
    ActionList list;
    EXPECT_EQ(list.load(path.c_str()), 1);
    list.destroyAll();
    std::remove(path.c_str());
}

} // namespace
