// The effects of data-defined actions, every side and target mode with the
// dice scripted: who is reached, what the formulas give, what is reported;
// the fall-off, elements, special rules, both armour rules, raising and
// curing (a cure clears the creature's own condition bits and the timed
// modifiers of the cured conditions, and never makes another timed
// condition permanent).
#include "ActionTest.h"

#include "actions/ActionFile.h"
#include "actions/Attributes.h"
#include "actions/DamageEffect.h"
#include "actions/PackedPoison.h"
#include "actions/HealEffect.h"
#include "actions/StatEffect.h"
#include "actions/Targets.h"
#include "rules/CharEffect.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

constexpr int32_t SPELL_ID = 0x00090064;

DamageBody_S damage(uint8_t mode, uint8_t range, int16_t count, int16_t sides, int16_t bonus = 0) {
    DamageBody_S b;
    b.mode = mode;
    b.range = range;
    b.count = count;
    b.sides = sides;
    b.bonus = bonus;
    b.saveIndex = 4;
    return b;
}

StatBody_S statBody(uint8_t mode, uint8_t range, uint16_t durationKind, int32_t conditions, int32_t pairs) {
    StatBody_S b;
    b.mode = mode;
    b.range = range;
    b.durationKind = durationKind;
    b.duration = 50;
    b.saveIndex = 1;
    b.conditions = conditions;
    b.pairCount = pairs;
    return b;
}

HealBody_S healBody(uint16_t mode, int16_t count, int16_t sides, int16_t fixed, uint32_t cure = 0, int32_t flags = 0) {
    HealBody_S b;
    b.mode = mode;
    b.count = count;
    b.sides = sides;
    b.fixed = fixed;
    b.cure = cure;
    b.flags = flags;
    return b;
}

class EffectTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ada = member("Ada");
        bo = member("Bo");
        cy = member("Cy", false);
        for (bl3dPartyChar* m : {ada, bo, cy}) {
            m->setMaxHP(40);
            m->setCurHP(40);
        }
        // A name outside the saving-throw lists: the save roll is drawn and
        // never succeeds.
        MonsterSpec_S s;
        s.name = "Bog Imp";
        s.plural = "Bog Imps";
        s.hp = 30;
        imp = kit->monsterType(s);
        s.name = "Ghoul Hound";
        s.plural = "Ghoul Hounds";
        s.creatureType = 21;
        undead = kit->monsterType(s);
    }
    void TearDown() override {
        EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << "every scripted roll was drawn";
        ActionTest::TearDown();
    }
    int applyBy(bl3dCharacter* who, bl3dEffect& e, void* target, int distance = 0, bool fallOff = true) {
        bl3dActor actor(who);
        return e.apply(&actor, target, distance, sums, fallOff, SPELL_ID);
    }
    static void script(std::initializer_list<int> v) { vell::scriptGameRand(v); }
    bl3dMonster* at(bl3dMonsterList* g, int i) { return g->getMonster(i); }

    bl3dPartyChar *ada = nullptr, *bo = nullptr, *cy = nullptr;
    bl3dMonsterType *imp = nullptr, *undead = nullptr;
    EffectSums_S sums;
};

// --- damage ------------------------------------------------------------------------

TEST_F(EffectTest, PartyStrikesOneMonsterOfTheGroupInRange) {
    bl3dMonsterList* g = kit->addGroup(imp, 3, 20);
    bl3dDamageEffect e(damage(1, 30, 2, 6, 1));
    script({1, 0, 3, 4}); // monster 1; its save; dice 4 and 5
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_APPLIED);
    EXPECT_EQ(at(g, 1)->getCurHP(), 20);
    EXPECT_EQ(sums.total, 10);
    EXPECT_EQ(sums.count, 1);
    EXPECT_EQ(sums.kills, 0);
    EXPECT_EQ(sums.victim, at(g, 1));

    // The one drawn is dead: the first living one takes it.
    at(g, 0)->setCurHP(0);
    script({0, 0, 5, 5});
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.victim, at(g, 1));
    EXPECT_EQ(at(g, 1)->getCurHP(), 7);

    bl3dMonsterList* far = kit->addGroup(undead, 1, 40);
    EXPECT_EQ(applyBy(ada, e, far), EFFECT_OUT_OF_RANGE);
    bl3dMonsterList stray(1, imp, 0); // never in the enemy list
    EXPECT_EQ(applyBy(ada, e, &stray), EFFECT_TARGET_GONE);
    EXPECT_EQ(applyBy(ada, e, bo), EFFECT_TARGET_GONE) << "a member is no enemy group";
    bl3dDamageEffect anywhere(damage(1, 0, 1, 4));
    script({0, 0, 3});
    EXPECT_EQ(applyBy(ada, anywhere, far), EFFECT_APPLIED) << "range 0 reaches any distance";
    EXPECT_EQ(sums.total, 4);
}

TEST_F(EffectTest, GroupSweepFallsOffForSpellsAndNotForSkills) {
    bl3dMonsterList* g = kit->addGroup(imp, 4, 10);
    bl3dDamageEffect e(damage(2, 20, 1, 6, 2)); // most 8
    // Spell: 0, 1, 2 ... taken from the rolls of the victims hit.
    script({0, 5, 0, 5, 0, 5, 0, 0}); // save, die per victim: 8, 7, 6, then 3 - 3 -> 1
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_APPLIED);
    EXPECT_EQ(at(g, 0)->getCurHP(), 22);
    EXPECT_EQ(at(g, 1)->getCurHP(), 23);
    EXPECT_EQ(at(g, 2)->getCurHP(), 24);
    EXPECT_EQ(at(g, 3)->getCurHP(), 29) << "never below 1";
    EXPECT_EQ(sums.total, 8 + 7 + 6 + 1);
    EXPECT_EQ(sums.count, 4);

    // Skill: every victim takes its full roll; the dead are passed over.
    at(g, 1)->setCurHP(0);
    script({0, 5, 0, 5, 0, 5});
    EXPECT_EQ(applyBy(ada, e, g, 0, false), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 24);
    EXPECT_EQ(sums.count, 3);

    // The sweep ends once the fall-off reaches the largest roll there can be.
    bl3dDamageEffect small(damage(2, 20, 1, 1, 1)); // most 2: after two hits the fall-off is 2
    for (int i = 0; i < 4; ++i)
        at(g, i)->setCurHP(30);
    script({0, 0, 0, 0});
    EXPECT_EQ(applyBy(ada, small, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 2);
    EXPECT_EQ(at(g, 2)->getCurHP(), 30);

    bl3dMonsterList* far = kit->addGroup(undead, 2, 40);
    EXPECT_EQ(applyBy(ada, e, far), EFFECT_OUT_OF_RANGE);
}

TEST_F(EffectTest, AllEnemiesInRangeNearestFirstWithDoublingFallOff) {
    bl3dMonsterList* near = kit->addGroup(imp, 3, 10);
    bl3dMonsterList* mid = kit->addGroup(undead, 2, 30);
    bl3dMonsterList* far = kit->addGroup(undead, 1, 60);
    bl3dDamageEffect e(damage(4, 30, 1, 20)); // most 20
    // Near group: 20, 20-2, 20-4; middle group starts again: 20, 20-2.
    script({0, 19, 0, 19, 0, 19, 0, 19, 0, 19});
    EXPECT_EQ(applyBy(ada, e, nullptr), EFFECT_APPLIED);
    EXPECT_EQ(at(near, 0)->getCurHP(), 10);
    EXPECT_EQ(at(near, 1)->getCurHP(), 12);
    EXPECT_EQ(at(near, 2)->getCurHP(), 14);
    EXPECT_EQ(at(mid, 0)->getCurHP(), 10);
    EXPECT_EQ(at(mid, 1)->getCurHP(), 12);
    EXPECT_EQ(at(far, 0)->getCurHP(), 30) << "beyond the range";
    EXPECT_EQ(sums.count, 5);
    EXPECT_EQ(sums.total, 20 + 18 + 16 + 20 + 18);

    bl3dDamageEffect shortReach(damage(4, 5, 1, 20));
    EXPECT_EQ(applyBy(ada, shortReach, nullptr), EFFECT_APPLIED) << "no group in range is not a refusal";
    EXPECT_EQ(sums.count, 0);
}

TEST_F(EffectTest, MonsterStrikesOneMemberOrTheWholeParty) {
    bl3dMonsterList* g = kit->addGroup(imp, 1, 20);
    bl3dMonster* caster = at(g, 0);
    bl3dDamageEffect one(damage(1, 30, 1, 10));
    script({0, 4});
    EXPECT_EQ(applyBy(caster, one, bo, 20), EFFECT_APPLIED);
    EXPECT_EQ(bo->getCurHP(), 35);
    EXPECT_EQ(sums.victim, bo);
    EXPECT_EQ(applyBy(caster, one, bo, 40), EFFECT_OUT_OF_RANGE) << "the distance it stands at";

    // A dead target: member 0 takes it; both dead: gone.
    bo->setCurHP(0);
    script({0, 4});
    EXPECT_EQ(applyBy(caster, one, bo, 20), EFFECT_APPLIED);
    EXPECT_EQ(sums.victim, ada);
    ada->setCurHP(0);
    EXPECT_EQ(applyBy(caster, one, bo, 20), EFFECT_TARGET_GONE);

    // The whole party, the living only, falling off 0, 2, 4.
    ada->setCurHP(40);
    bo->setCurHP(40);
    bl3dDamageEffect all(damage(2, 30, 1, 10));
    script({0, 9, 0, 9, 0, 9});
    EXPECT_EQ(applyBy(caster, all, nullptr, 20), EFFECT_APPLIED);
    EXPECT_EQ(ada->getCurHP(), 30);
    EXPECT_EQ(bo->getCurHP(), 32);
    EXPECT_EQ(cy->getCurHP(), 34);
    EXPECT_EQ(sums.total, 24);

    bl3dDamageEffect wrongSide(damage(8, 30, 1, 10));
    EXPECT_EQ(applyBy(caster, wrongSide, bo, 20), EFFECT_WRONG_SIDE);
    EXPECT_EQ(applyBy(nullptr, one, bo, 20), EFFECT_WRONG_SIDE) << "an actor without a creature";
}

TEST_F(EffectTest, LevelsElementsAndTheHalvingSong) {
    bl3dMonsterList* g = kit->addGroup(imp, 2, 10);
    // Fire: 50% more from a victim's fire stat of 50; -100 takes it all away.
    DamageBody_S fire = damage(1, 0, 1, 10);
    fire.element = 1;
    bl3dDamageEffect e(fire);
    at(g, 0)->getStatBlock()->setBase(STAT_FIRE_DMG, 50);
    script({0, 0, 9, 50}); // monster 0, save, die 10, resistance roll 51 (none)
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 15);
    at(g, 0)->getStatBlock()->setBase(STAT_FIRE_DMG, -100);
    script({0, 0, 9, 50});
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_NOTHING_TO_DO) << "no damage left: not a hit";
    EXPECT_EQ(sums.count, 0);
    at(g, 0)->getStatBlock()->setBase(STAT_FIRE_HIT, 100);
    script({0, 0, 9, 50});
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_RESISTED);

    // Dice multiplied by the level; a monster of level 0 counts as 4 against
    // one target.
    DamageBody_S scaled = damage(1, 0, 1, 1);
    scaled.perLevel = 1;
    bl3dDamageEffect byLevel(scaled);
    kit->addMember([] {
        MemberSpec_S m;
        m.name = "Dee";
        m.level = 3;
        return m;
    }());
    script({1, 0, 0, 0, 0});
    EXPECT_EQ(applyBy(partyMemberAt(3), byLevel, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 3);
    bl3dMonster* caster = at(g, 1);
    ASSERT_EQ(caster->getLevel(), 1);
    MonsterSpec_S s;
    s.name = "Bog Wisp";
    s.level = 0;
    bl3dMonsterList* wisps = kit->addGroup(kit->monsterType(s), 1, 10);
    script({0, 0, 0, 0, 0});
    EXPECT_EQ(applyBy(at(wisps, 0), byLevel, ada, 10), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 4);
    // A multiplier capped at 2: the level-3 member rolls two dice.
    scaled.perLevel = 2;
    bl3dDamageEffect capped(scaled);
    script({1, 0, 0, 0, 0});
    EXPECT_EQ(applyBy(partyMemberAt(3), capped, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 2);

    // "Bardb00bC" 1 halves what is reported, not what is dealt.
    kit->env.tags.setInt(tagkey::Bardb00bC, 1);
    bl3dDamageEffect sweep(damage(2, 0, 1, 20));
    g->getMonster(0)->setCurHP(30);
    g->getMonster(0)->getStatBlock()->setBase(STAT_FIRE_HIT, 0);
    script({0, 6, 0, 7});
    EXPECT_EQ(applyBy(ada, sweep, g, 0, false), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 7) << "7 and 8 dealt";
    EXPECT_EQ(at(g, 0)->getCurHP(), 23);
}

TEST_F(EffectTest, SpecialRules) {
    bl3dMonsterList* g = kit->addGroup(imp, 2, 10);
    bl3dMonsterList* dead = kit->addGroup(undead, 2, 10);
    auto special = [](uint32_t flags, uint32_t param, uint8_t mode = 1) {
        DamageBody_S b = damage(mode, 0, 1, 6);
        b.flags = flags;
        b.param = param;
        return b;
    };
    // Only against the undead, double against them, never against them.
    bl3dDamageEffect only(special(DAMAGE_ONLY_VS, 21));
    script({0, 0, 5});
    EXPECT_EQ(applyBy(ada, only, g), EFFECT_NOTHING_TO_DO);
    script({0, 0, 5});
    EXPECT_EQ(applyBy(ada, only, dead), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 6);
    bl3dDamageEffect twice(special(DAMAGE_DOUBLE_VS, 21));
    script({0, 0, 5});
    EXPECT_EQ(applyBy(ada, twice, dead), EFFECT_APPLIED);
    EXPECT_EQ(sums.total, 12);
    bl3dDamageEffect never(special(DAMAGE_NONE_VS, 21, 2));
    script({0, 5, 0, 5});
    EXPECT_EQ(applyBy(ada, never, dead), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 0);

    // Poison on a failed CN roll counts as a hit even when no damage is left
    // (a victim whose fire stat takes the whole blow away).
    DamageBody_S venom = damage(1, 0, 1, 6);
    venom.element = 1;
    venom.flags = DAMAGE_POISON;
    venom.param = (3u << 22) | 4u | (1u << 5) | (1u << 16); // 3 ticks of 1d4, every tick
    bl3dDamageEffect poison(venom);
    at(g, 0)->getStatBlock()->setBase(STAT_FIRE_DMG, -100);
    script({0, 0, 5, 99, 29}); // monster 0, save, die, no resistance, 29 >= CN 10
    EXPECT_EQ(applyBy(ada, poison, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 1);
    EXPECT_EQ(sums.total, 0);
    EXPECT_TRUE(at(g, 0)->isPoisoned());
    EXPECT_EQ(at(g, 0)->countEffects(EFFECT_POISON), 1);

    // A death blow: creature type 4 is immune once it has failed its save
    // (a save is a save first); otherwise one in two dies outright and the
    // whole of its maximum is reported.
    MonsterSpec_S s;
    s.name = "Orc"; // a name with saving throws of its own
    s.creatureType = 4;
    bl3dMonsterList* swift = kit->addGroup(kit->monsterType(s), 1, 10);
    bl3dDamageEffect blow(special(DAMAGE_DEATH_BLOW, 0));
    script({0, 19});
    EXPECT_EQ(applyBy(ada, blow, swift), EFFECT_RESISTED);
    script({0, 0, 2});
    EXPECT_EQ(applyBy(ada, blow, swift), EFFECT_NOTHING_TO_DO);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << "the save and the dice are drawn before";
    EXPECT_EQ(at(swift, 0)->getCurHP(), 10);
    script({1, 0, 2, 10});
    EXPECT_EQ(applyBy(ada, blow, g), EFFECT_APPLIED);
    EXPECT_LT(at(g, 1)->getCurHP(), 1);
    EXPECT_EQ(sums.total, 30);
    EXPECT_EQ(sums.kills, 1);

    // Banishing: an illusion loses twice its maximum, then takes the blow
    // like any other victim (counted once, its damage in the total).
    bl3dMonsterList* phantoms = enemyList.insertGroup(new bl3dMonsterList(1, imp, 1), 50);
    bl3dDamageEffect banish(special(DAMAGE_BANISH, 0, 2));
    script({0, 2});
    EXPECT_EQ(applyBy(ada, banish, phantoms), EFFECT_APPLIED);
    EXPECT_EQ(at(phantoms, 0)->getCurHP(), -33);
    EXPECT_EQ(sums.count, 1);
    EXPECT_EQ(sums.total, 3);
    EXPECT_EQ(sums.kills, 1);
}

TEST_F(EffectTest, APackedPoisonReadsEveryFieldInItsPlace) {
    // sides 5, count 3, bonus 2, stride 7, duration 300, a save ends it.
    const uint32_t packed = 5u | (3u << 5) | (2u << 10) | (7u << 16) | (300u << 22) | 0x80000000u;
    const PackedPoison_S ticks = PackedPoison_S::unpack(packed, 1);
    EXPECT_EQ(ticks.sides, 5);
    EXPECT_EQ(ticks.count, 3);
    EXPECT_EQ(ticks.bonus, 2);
    EXPECT_EQ(ticks.stride, 7);
    EXPECT_EQ(ticks.duration, 300u);
    EXPECT_TRUE(ticks.allowSave);
    const PackedPoison_S fours = PackedPoison_S::unpack(packed & 0x7fffffffu, 4);
    EXPECT_EQ(fours.stride, 28);
    EXPECT_EQ(fours.duration, 1200u);
    EXPECT_EQ(fours.sides, 5);
    EXPECT_FALSE(fours.allowSave);
}

// --- stat modifiers ----------------------------------------------------------------

TEST_F(EffectTest, CursesOnFoesWithSavesAndADecliningChance) {
    bl3dMonsterList* g = kit->addGroup(imp, 3, 10);
    bl3dStatEffect one(statBody(1, 20, 6, COND_BLIND, 1));
    one.setPair(0, STAT_ATTACK, -2);
    one.setPair(5, STAT_DX, 9); // beyond the pair count: ignored
    script({2, 0});
    EXPECT_EQ(applyBy(ada, one, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 1);
    EXPECT_EQ(sums.total, 0);
    EXPECT_TRUE(at(g, 2)->isBlind());
    EXPECT_EQ(at(g, 2)->getStatBlock()->getCur(STAT_ATTACK), -2);
    EXPECT_EQ(at(g, 2)->getStatBlock()->getCur(STAT_DX), 10);
    kit->env.now += 50;
    kit->tick();
    EXPECT_FALSE(at(g, 2)->isBlind()) << "the explicit duration of 50 ticks";

    // Each further victim passes a chance that drops by 3 per one affected.
    bl3dStatEffect group(statBody(2, 20, 1, COND_SLEEPING, 0));
    script({0, 0, 0, 0, 2, 0, 6}); // the duration, then a save and a chance per monster
    EXPECT_EQ(applyBy(ada, group, g), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 2) << "2 is below 3 x 1; 6 is not";
    EXPECT_TRUE(at(g, 0)->isSleeping());
    EXPECT_FALSE(at(g, 1)->isSleeping());
    EXPECT_TRUE(at(g, 2)->isSleeping());

    bl3dStatEffect all(statBody(4, 5, 1, COND_SLEEPING, 0));
    EXPECT_EQ(applyBy(ada, all, nullptr), EFFECT_OUT_OF_RANGE) << "no group within range";

    // A monster curses one member (who may save) or the party.
    bl3dMonster* caster = at(g, 0);
    ada->setLevel(1);
    script({19});
    EXPECT_EQ(applyBy(caster, one, ada, 10), EFFECT_RESISTED);
    EXPECT_EQ(applyBy(caster, one, ada, 30), EFFECT_OUT_OF_RANGE);
    bl3dStatEffect party(statBody(2, 0, 1, 0, 1));
    party.setPair(0, STAT_DX, -2);
    bo->setCurHP(0);
    script({0, 0, 0, 0, 5});
    EXPECT_EQ(applyBy(caster, party, nullptr, 10), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 2) << "the dead are passed over";
    EXPECT_EQ(ada->getStatBlock()->getCur(STAT_DX), 8);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_DX), 10);
}

TEST_F(EffectTest, MonstersStrengthenThemselvesAndTheirOwnGroup) {
    bl3dMonsterList* g = kit->addGroup(imp, 2, 10);
    bl3dMonsterList* other = kit->addGroup(undead, 1, 20);
    bl3dStatEffect self(statBody(0x20, 0, 1, 0, 1));
    self.setPair(0, STAT_ATTACK, 3);
    EXPECT_EQ(applyBy(at(g, 1), self, ada, 10), EFFECT_APPLIED);
    EXPECT_EQ(at(g, 1)->getStatBlock()->getCur(STAT_ATTACK), 3);
    EXPECT_EQ(at(g, 0)->getStatBlock()->getCur(STAT_ATTACK), 0);

    // Its own group, whatever the use was aimed at: never a party member.
    bl3dStatEffect side(statBody(0x10, 0, 1, 0, 1));
    side.setPair(0, STAT_AC, -2);
    EXPECT_EQ(applyBy(at(g, 0), side, ada, 10), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 2);
    EXPECT_EQ(at(g, 1)->getStatBlock()->getCur(STAT_AC), 8);
    EXPECT_EQ(ada->getStatBlock()->getCur(STAT_AC), 10);
    EXPECT_EQ(at(other, 0)->getStatBlock()->getCur(STAT_AC), 10);
}

TEST_F(EffectTest, DurationKinds) {
    const struct {
        uint16_t kind;
        int roll;
        uint32_t ticks;
    } cases[] = {{1, 5, 12}, {2, 120, 240}, {3, 480, 960}, {4, 720, 1920}, {5, 0, 1073741823u}, {6, 0, 50}, {9, 0, 1}};
    for (const auto& c : cases) {
        bl3dStatEffect e(statBody(0x20, 0, c.kind, 0, 0));
        if (c.kind <= 4)
            script({c.roll});
        EXPECT_EQ(e.rollDuration(), c.ticks) << "kind " << c.kind;
    }
}

TEST_F(EffectTest, PersonalArmourRule) {
    auto armour = [](int16_t amount) {
        auto e = std::make_unique<bl3dStatEffect>(statBody(8, 0, 6, 0, 1));
        e->setPair(0, STAT_AC, amount);
        return e;
    };
    const int32_t WEAK = 0x00090401, STRONG = 0x00090402;
    bl3dActor actor(ada);
    EXPECT_EQ(armour(-6)->apply(&actor, bo, 0, sums, true, STRONG), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 4);
    EXPECT_EQ(intAttribute(bo, tagkey::CurACSpell), STRONG);
    EXPECT_EQ(static_cast<uint32_t>(intAttribute(bo, tagkey::CurACExpire)), kit->env.now + 50);

    // A weaker one while it lasts is not laid; a stronger one replaces it.
    EXPECT_EQ(armour(-4)->apply(&actor, bo, 0, sums, true, WEAK), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 4);
    EXPECT_EQ(intAttribute(bo, tagkey::CurACSpell), STRONG);
    EXPECT_EQ(armour(-8)->apply(&actor, bo, 0, sums, true, WEAK), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 2) << "the -6 is gone, the -8 laid";
    EXPECT_EQ(intAttribute(bo, tagkey::CurACSpell), WEAK);

    // Once it has run out anything is laid.
    kit->env.now += 60;
    kit->tick();
    EXPECT_EQ(armour(-1)->apply(&actor, bo, 0, sums, true, STRONG), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 9);

    // The floor of -40: at -38 a -5 lays -2.
    cy->getStatBlock()->setBase(STAT_AC, -38);
    EXPECT_EQ(armour(-5)->apply(&actor, cy, 0, sums, true, STRONG), EFFECT_APPLIED);
    EXPECT_EQ(cy->getStatBlock()->getCur(STAT_AC), -40);
    EXPECT_EQ(cy->getStatBlock()->modsOf(STAT_AC).mods().front().value, -2);

    // On the user itself.
    auto onSelf = std::make_unique<bl3dStatEffect>(statBody(0x20, 0, 6, 0, 1));
    onSelf->setPair(0, STAT_AC, -3);
    EXPECT_EQ(onSelf->apply(&actor, bo, 0, sums, true, STRONG), EFFECT_APPLIED);
    EXPECT_EQ(ada->getStatBlock()->getCur(STAT_AC), 7);
    EXPECT_EQ(armour(-3)->apply(&actor, nullptr, 0, sums, true, STRONG), EFFECT_TARGET_GONE);
}

TEST_F(EffectTest, PartyShieldRule) {
    auto shield = [](int16_t amount, uint16_t ticks) {
        StatBody_S b = statBody(0x10, 0, 6, 0, 1);
        b.duration = ticks;
        auto e = std::make_unique<bl3dStatEffect>(b);
        e->setPair(0, STAT_AC, amount);
        return e;
    };
    bl3dActor actor(ada);
    TagList_C& world = kit->env.tags;
    EXPECT_EQ(shield(-2, 40)->apply(&actor, nullptr, 0, sums, true, 0x00090205), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 3);
    for (bl3dPartyChar* m : {ada, bo, cy})
        EXPECT_EQ(m->getStatBlock()->getCur(STAT_AC), 8);
    EXPECT_EQ(intAttribute(&world, tagkey::MagState1) & 0x02, 0x02);
    EXPECT_EQ(static_cast<uint32_t>(intAttribute(&world, tagkey::MagExp32)), kit->env.now + 40);
    EXPECT_EQ(intAttribute(&world, tagkey::CurACSpell), 0x00090205);
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(kit->actionEnv.queued[0].typeId, 9012);
    EXPECT_EQ(kit->actionEnv.queued[0].due, kit->env.now + 40);

    // While it stands a weaker shield is not raised, a stronger replaces it.
    EXPECT_EQ(shield(-1, 90)->apply(&actor, nullptr, 0, sums, true, 0x0009014b), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 8);
    EXPECT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(shield(-3, 90)->apply(&actor, nullptr, 0, sums, true, 0x0009014b), EFFECT_APPLIED);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 7) << "the old shield's modifier is gone";
    EXPECT_EQ(intAttribute(&world, tagkey::CurACSpell), 0x0009014b);
    EXPECT_EQ(static_cast<uint32_t>(intAttribute(&world, tagkey::MagExp32)), kit->env.now + 90);
    EXPECT_EQ(kit->actionEnv.queued.size(), 2u);
}

// --- healing -----------------------------------------------------------------------

TEST_F(EffectTest, HealsAreCutToWhatIsMissing) {
    bl3dHealEffect e(healBody(8, 2, 4, 3));
    bo->setCurHP(36);
    script({3, 3});
    EXPECT_EQ(applyBy(ada, e, bo), EFFECT_APPLIED);
    EXPECT_EQ(bo->getCurHP(), 40);
    EXPECT_EQ(sums.total, -4) << "a heal counts negative";
    EXPECT_EQ(sums.count, 1);

    // Dice of no sides roll nothing (no division by them).
    bl3dHealEffect noSides(healBody(0x20, 3, 0, 5));
    ada->setCurHP(20);
    EXPECT_EQ(applyBy(ada, noSides, nullptr), EFFECT_APPLIED);
    EXPECT_EQ(ada->getCurHP(), 25);

    // A member's heal never takes an enemy group for the member.
    bl3dMonsterList* g = kit->addGroup(imp, 1, 10);
    EXPECT_EQ(applyBy(ada, e, g), EFFECT_TARGET_GONE);
    EXPECT_EQ(at(g, 0)->getCurHP(), 30);
    bl3dHealEffect group(healBody(2, 1, 4, 0));
    EXPECT_EQ(applyBy(ada, group, g), EFFECT_WRONG_SIDE);
}

TEST_F(EffectTest, RaisingTheDead) {
    bl3dHealEffect plain(healBody(8, 1, 6, 0));
    bo->setCurHP(-5);
    EXPECT_EQ(applyBy(ada, plain, bo), EFFECT_NOTHING_TO_DO);
    EXPECT_EQ(bo->getCurHP(), -5);

    bl3dHealEffect raise(healBody(8, 1, 6, 0, 0, HEAL_MAY_RAISE));
    script({3});
    EXPECT_EQ(applyBy(ada, raise, bo), EFFECT_APPLIED);
    EXPECT_EQ(bo->getCurHP(), 5);
    EXPECT_EQ(sums.kills, -1);
    EXPECT_EQ(sums.count, 2) << "raised and healed";
    EXPECT_EQ(sums.total, -4);

    // The whole party: the dead are raised to 1 and healed with the rest.
    bl3dHealEffect host(healBody(0x10, 0, 0, 2, 0, HEAL_MAY_RAISE));
    bo->setCurHP(0);
    cy->setCurHP(-10);
    ada->setCurHP(30);
    EXPECT_EQ(applyBy(ada, host, nullptr), EFFECT_APPLIED);
    EXPECT_EQ(ada->getCurHP(), 32);
    EXPECT_EQ(bo->getCurHP(), 3);
    EXPECT_EQ(cy->getCurHP(), 3);
    EXPECT_EQ(sums.kills, -2);
    EXPECT_EQ(sums.count, 5);

    bl3dHealEffect hostNoRaise(healBody(0x10, 0, 0, 2));
    cy->setCurHP(0);
    EXPECT_EQ(applyBy(ada, hostNoRaise, nullptr), EFFECT_APPLIED);
    EXPECT_EQ(cy->getCurHP(), 0) << "the dead are passed over";
    EXPECT_EQ(sums.count, 2);
}

TEST_F(EffectTest, CuringClearsOwnConditionsAndNeverMakesATimedOnePermanent) {
    bl3dStatBlock* stats = bo->getStatBlock();
    // Blind of its own, asleep and withered for a while.
    bo->addBaseConditions(COND_BLIND);
    stats->addModifier(STAT_CONDITIONS, COND_SLEEPING, 20, MOD_SONG, 0, 0);
    stats->addModifier(STAT_CONDITIONS, COND_WITHERED, 20, MOD_SONG, 0, 0);
    stats->recompute();
    ASSERT_TRUE(bo->isBlind() && bo->isSleeping() && bo->isWithered());

    bl3dHealEffect cure(healBody(8, 0, 0, 0, COND_BLIND | COND_SLEEPING));
    EXPECT_EQ(applyBy(ada, cure, bo), EFFECT_APPLIED);
    EXPECT_EQ(sums.count, 1) << "a cure alone counts its target";
    EXPECT_FALSE(bo->isBlind());
    EXPECT_FALSE(bo->isSleeping()) << "the timed sleep is cured too";
    EXPECT_TRUE(bo->isWithered());
    EXPECT_EQ(stats->getBase(STAT_CONDITIONS) & COND_WITHERED, 0) << "the withering stays timed";
    kit->env.now += 25;
    kit->tick();
    EXPECT_FALSE(bo->isWithered());

    // Poison: the effect goes with its bit; a timed blindness stays timed.
    bo->poison(100, 4, 1, 0, 1, false);
    stats->addModifier(STAT_CONDITIONS, COND_BLIND, 20, MOD_SONG, 0, 0);
    stats->recompute();
    ASSERT_TRUE(bo->isPoisoned() && bo->isBlind());
    bl3dHealEffect antidote(healBody(8, 1, 4, 0, COND_POISONED));
    script({1});
    EXPECT_EQ(applyBy(ada, antidote, bo), EFFECT_APPLIED);
    EXPECT_FALSE(bo->isPoisoned());
    EXPECT_EQ(bo->countEffects(EFFECT_POISON), 0);
    EXPECT_EQ(stats->getBase(STAT_CONDITIONS) & COND_BLIND, 0);
    kit->env.now += 25;
    kit->tick();
    EXPECT_FALSE(bo->isBlind());

    // Stone, stun, age: one mask cures them all.
    bo->addBaseConditions(COND_STONE | COND_STUNNED | COND_AGED);
    bl3dHealEffect restore(healBody(8, 0, 0, 0, COND_STONE | COND_STUNNED | COND_AGED));
    EXPECT_EQ(applyBy(ada, restore, bo), EFFECT_APPLIED);
    EXPECT_EQ(bo->getConditions(), 0);
}

TEST_F(EffectTest, MonstersHealThemselvesAndTheirOwnGroupNeverTheDead) {
    bl3dMonsterList* g = kit->addGroup(imp, 3, 10);
    for (int i = 0; i < 3; ++i)
        at(g, i)->setCurHP(10);
    at(g, 2)->setCurHP(0);
    bl3dHealEffect self(healBody(0x20, 0, 0, 5));
    EXPECT_EQ(applyBy(at(g, 0), self, ada, 10), EFFECT_APPLIED);
    EXPECT_EQ(at(g, 0)->getCurHP(), 15);
    EXPECT_EQ(ada->getCurHP(), 40);

    bl3dHealEffect side(healBody(0x10, 0, 0, 5));
    EXPECT_EQ(applyBy(at(g, 0), side, ada, 10), EFFECT_APPLIED) << "aimed at a member, it heals its own group";
    EXPECT_EQ(at(g, 0)->getCurHP(), 20);
    EXPECT_EQ(at(g, 1)->getCurHP(), 15);
    EXPECT_EQ(at(g, 2)->getCurHP(), 0);
    EXPECT_EQ(sums.count, 2);
    EXPECT_EQ(sums.total, -10);

    bl3dHealEffect member(healBody(8, 0, 0, 5));
    EXPECT_EQ(applyBy(at(g, 1), member, ada, 10), EFFECT_APPLIED) << "a monster's kind 8 is itself";
    EXPECT_EQ(at(g, 1)->getCurHP(), 20);
    EXPECT_EQ(ada->getCurHP(), 40);
}

} // namespace
