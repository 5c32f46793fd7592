// Attack: the armour-class step and the hit roll at their edges, several
// blows and their narration, bows with ammunition that runs out (slot and
// modifiers cleared), thrown weapons, ranges, and the monster's blow.
#include "ActionTest.h"

#include "actions/Attack.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

class AttackTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ada = member("Ada", false);
        MonsterSpec_S orc;
        orc.hp = 30;
        orc.stats[STAT_AC] = 0;
        orcs = kit->monsterType(orc);
        sword = kit->weaponType("Sword", 1, 8, CAT_LONG_BLADE);
    }
    // A group of orcs at that distance.
    bl3dMonsterList* group(int distance, int count = 1) { return kit->addGroup(orcs, count, distance); }
    int attack(void* target) { return run(ACTION_ATTACK, ada, target); }

    bl3dPartyChar* ada = nullptr;
    bl3dMonsterType* orcs = nullptr;
    bl3dItemType* sword = nullptr;
};

TEST_F(AttackTest, ArmourBelowMinusFiveCountsHalfPerStep) {
    struct Case {
        int32_t ac, counted;
    };
    const Case cases[] = {{10, 10}, {-5, -5}, {-6, -5}, {-7, -6}, {-10, -7}, {-15, -10},
                          {-20, -11}, {-40, -15}};
    for (const Case& c : cases)
        EXPECT_EQ(effectiveAC(c.ac), c.counted) << c.ac;
}

TEST_F(AttackTest, BlowHitsWhenRollAttackAndArmourPassTen) {
    kit->give(ada, sword, SLOT_RT_HAND);
    bl3dMonsterList* g = group(10);
    // Target AC 0, Attack 0: a d20 of 10 misses, 11 hits (pick, d20, die).
    vell::scriptGameRand({0, 9});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0, but misses!\n");
    EXPECT_EQ(kit->env.sounds.back(), "W_LongBladeMiss");
    vell::scriptGameRand({0, 10, 3});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0, and hits for #44#0 points!\n");
    EXPECT_EQ(kit->env.sounds.back(), "W_LongBlade");
    EXPECT_EQ(g->getMonster(0)->getCurHP(), 26);
}

TEST_F(AttackTest, ANaturalOneMissesWhateverTheArmour) {
    MonsterSpec_S easy;
    easy.name = "Ogre";
    easy.stats[STAT_AC] = 30;
    bl3dMonsterList* g = kit->addGroup(kit->monsterType(easy), 1, 10);
    vell::scriptGameRand({0, 0});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Ogre#0, but misses!\n");
}

TEST_F(AttackTest, SeveralBlowsAreToldInOneSentence) {
    ada->getStatBlock()->setBase(STAT_EXTRA_ATTACKS, 2);
    kit->give(ada, sword, SLOT_RT_HAND);
    bl3dMonsterList* g = group(10);
    vell::scriptGameRand({0, 10, 1, 0});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0 2 times, and hits 1 time for a total of #42#0 points!\n");
    vell::scriptGameRand({0, 0, 0});
    attack(g);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0 2 times, but misses them all!\n");
    vell::scriptGameRand({0, 10, 7, 10, 7});
    attack(g);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0 2 times, and hits 2 times for a total of #416#0 points!\n");
}

TEST_F(AttackTest, AKillIsNarratedWithThePronoun) {
    kit->give(ada, sword, SLOT_RT_HAND);
    bl3dMonsterList* g = group(10);
    g->getMonster(0)->setCurHP(3);
    vell::scriptGameRand({0, 10, 7});
    attack(g);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0, and hits for #48#0 points, killing it!\n");
    EXPECT_LT(g->getMonster(0)->getCurHP(), 1);
}

TEST_F(AttackTest, ABowShootsNoMoreArrowsThanItHasAndDropsTheEmptyQuiver) {
    bl3dItemType* arrowType = kit->ammoType("Arrows", 1, 1, 6, 3);
    arrowType->addModifier(STAT_ATTACK, 2); // fine fletching
    kit->give(ada, kit->bowType("Bow", 40, 1), SLOT_RT_HAND);
    kit->give(ada, arrowType, SLOT_AMMO);
    ada->getStatBlock()->setBase(STAT_EXTRA_ATTACKS, 5);
    ASSERT_EQ(ada->getStatBlock()->getCur(STAT_ATTACK), 2);
    bl3dMonsterList* g = group(30);
    vell::scriptGameRand({0, 10, 0, 10, 0, 10, 0});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0 3 times, and hits 3 times for a total of #43#0 points!\n");
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << "three shots, no more";
    EXPECT_EQ(ada->getSlotItem(SLOT_AMMO), nullptr);
    EXPECT_EQ(ada->getStatBlock()->getCur(STAT_ATTACK), 0) << "the spent arrows' modifier went with them";
    EXPECT_EQ(kit->env.sounds.back(), "W_Bow");

    // An empty quiver: out of ammunition.
    attack(g);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack an Orc, but she is out of ammunition!\n");
}

TEST_F(AttackTest, ArrowsCountDownWhileTheyLast) {
    kit->give(ada, kit->bowType("Bow", 40, 1), SLOT_RT_HAND);
    bl3dItem* arrows = kit->give(ada, kit->ammoType("Arrows", 1, 1, 6, 5), SLOT_AMMO);
    bl3dMonsterList* g = group(40);
    vell::scriptGameRand({0, 10, 0});
    attack(g);
    EXPECT_EQ(arrows->getCharges(), 4);
    EXPECT_EQ(ada->getSlotItem(SLOT_AMMO), arrows);
    // Unlimited ammunition never counts down.
    arrows->setCharges(UNLIMITED_CHARGES);
    attack(g);
    EXPECT_EQ(arrows->getCharges(), UNLIMITED_CHARGES);
}

TEST_F(AttackTest, RangesOfBowHandAndWrongArrows) {
    bl3dMonsterList* far = group(50);
    kit->give(ada, sword, SLOT_RT_HAND);
    EXPECT_EQ(attack(far), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack an Orc, but the target is out of range!\n");
    delete ada->takeFromSlot(SLOT_RT_HAND);

    kit->give(ada, kit->bowType("Bow", 40, 1), SLOT_RT_HAND);
    bl3dItem* arrows = kit->give(ada, kit->ammoType("Arrows", 1, 1, 6, 5), SLOT_AMMO);
    EXPECT_EQ(attack(far), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack an Orc, but the target is out of range!\n");
    EXPECT_EQ(arrows->getCharges(), 5) << "no arrow is spent out of range";

    delete ada->takeFromSlot(SLOT_AMMO);
    kit->give(ada, kit->ammoType("Bolts", 2, 1, 6, 5), SLOT_AMMO);
    EXPECT_EQ(attack(group(40)), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack an Orc, but she is out of ammunition!\n");
}

TEST_F(AttackTest, ThrownWeaponsFlyAnyDistanceAndAreUsedUp) {
    bl3dItemType* daggers = kit->thrownType("Daggers", 1, 4, 2, false);
    kit->give(ada, daggers, SLOT_RT_HAND);
    bl3dItem* spare = kit->give(ada, sword, SLOT_READY);
    ada->getStatBlock()->setBase(STAT_EXTRA_ATTACKS, 3);
    bl3dMonsterList* g = group(60);
    vell::scriptGameRand({0, 10, 1, 10, 2});
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0 2 times, and hits 2 times for a total of #45#0 points!\n");
    EXPECT_EQ(kit->env.sounds.back(), "W_Thrown");
    // The last dagger thrown, the ready sword comes to hand.
    EXPECT_EQ(ada->getSlotItem(SLOT_RT_HAND), spare);
    EXPECT_EQ(ada->getSlotItem(SLOT_READY), nullptr);
}

TEST_F(AttackTest, ConditionsStopOrDoNotStopTheAttacker) {
    kit->give(ada, sword, SLOT_RT_HAND);
    bl3dMonsterList* g = group(10);
    ada->setConditions(COND_POISONED);
    vell::scriptGameRand({0, 10, 0});
    attack(g);
    EXPECT_EQ(said(), "#2Ada#0 attacks an #4Orc#0, and hits for #41#0 points!\n") << "poison does not stop a blow";
    ada->setConditions(COND_STUNNED);
    EXPECT_EQ(attack(g), 0);
    EXPECT_EQ(said(), "#2Ada#0 would attack, but she is stunned!\n");
    ada->setConditions(0);
    ada->setCurHP(0);
    EXPECT_EQ(attack(g), -1);
    EXPECT_EQ(said(), "#2Ada#0");
}

TEST_F(AttackTest, APartyMemberFindsTheNextLivingFoeOrNone) {
    kit->give(ada, sword, SLOT_RT_HAND);
    bl3dMonsterList* dead = group(10);
    dead->getMonster(0)->setCurHP(0);
    bl3dMonsterList* alive = group(20);
    // The chosen group has nobody left: the next group's orc is struck,
    // and at 20 feet a sword does not reach.
    EXPECT_EQ(attack(dead), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack an Orc, but the target is out of range!\n");
    alive->getMonster(0)->setCurHP(0);
    EXPECT_EQ(attack(dead), -1);
    EXPECT_EQ(said(), "#2Ada#0 tries to attack, but there are no living enemies in sight!\n");
    enemyList.clear();
    EXPECT_EQ(attack(nullptr), -2);
}

TEST_F(AttackTest, APoisonedBladePoisonsOnlyWhenItHits) {
    bl3dItemType* viper = kit->weaponType("Viper", 1, 4, CAT_SHORT_BLADE);
    // 2 dice of 3 every 4 ticks for 8 ticks, no save.
    const int32_t packed = (2 << 22) | (1 << 16) | (2 << 5) | 3;
    static_cast<bl3dWeaponType*>(viper)->setSpecial(WSPEC_POISON, packed);
    kit->give(ada, viper, SLOT_RT_HAND);
    bl3dMonster* orc = group(10)->getMonster(0);
    vell::scriptGameRand({0, 9});
    attack(enemyList.groupAt(0));
    EXPECT_FALSE(orc->isPoisoned()) << "a miss poisons nobody";
    vell::scriptGameRand({0, 10, 0});
    attack(enemyList.groupAt(0));
    EXPECT_TRUE(orc->isPoisoned());
    EXPECT_EQ(orc->countEffects(1), 1);
}

TEST_F(AttackTest, ABerserkerStrikesHarderOnceAndCalmsDown) {
    bl3dPartyChar* brak = member("Brak", true, 0x1);
    kit->give(brak, sword, SLOT_RT_HAND);
    brak->getTagList()->setInt(tagkey::BerserkOn, 1);
    // The level under the key that level gain and creation write.
    brak->getTagList()->setInt(tagkey::berserkLvl, 1);
    bl3dMonsterList* g = group(10);
    // Two blows, each +1 to hit and +1 damage.
    vell::scriptGameRand({0, 10, 0, 10, 0});
    run(ACTION_ATTACK, brak, g);
    EXPECT_EQ(said(), "#2Brak#0 attacks an #4Orc#0 2 times, and hits 2 times for a total of #44#0 points!\n");
    int32_t on = -1;
    brak->getTagList()->getInt(tagkey::BerserkOn, on);
    EXPECT_EQ(on, 0);
    // Calmed down: one blow again.
    vell::scriptGameRand({0, 10, 0});
    run(ACTION_ATTACK, brak, g);
    EXPECT_EQ(said(), "#2Brak#0 attacks an #4Orc#0, and hits for #41#0 points!\n");
}

TEST_F(AttackTest, ABrokenRecordStrikesAHundredTimesAtMost) {
    // Extra attacks at the top of their range plus a berserk level would
    // wrap, and a count in the billions would hold the fight for minutes.
    bl3dPartyChar* brak = member("Brak", true, 0x1);
    brak->getStatBlock()->setBase(STAT_EXTRA_ATTACKS, INT32_MAX);
    brak->getTagList()->setInt(tagkey::BerserkOn, 1);
    brak->getTagList()->setInt(tagkey::berserkLvl, INT32_MAX);
    MonsterSpec_S s;
    s.name = "Wall";
    s.hp = 1000;
    s.stats[STAT_AC] = -1000;
    bl3dMonsterList* g = kit->addGroup(kit->monsterType(s), 1, 10);
    vell::gameSrand(7);
    EXPECT_EQ(run(ACTION_ATTACK, brak, g), 0);
    EXPECT_EQ(said().rfind("#2Brak#0 attacks a #4Wall#0 100 times", 0), 0u) << said();
}

TEST_F(AttackTest, AMonsterStrikesOnceAndOnlyInReach) {
    bl3dMonster* orc = group(10)->getMonster(0);
    ada->getStatBlock()->setBase(STAT_AC, 0);
    // d20 of 10 (+1 + AC 0 + Attack 0 = 11) hits; damage 0 + 2 + 1.
    vell::scriptGameRand({10, 2, 1});
    EXPECT_EQ(run(ACTION_ATTACK, orc, ada, 10, 1), 0);
    EXPECT_EQ(said(), "An #4Orc#0 attacks #2Ada#0, and hits for #43#0 points!\n");
    EXPECT_EQ(ada->getCurHP(), 27);
    EXPECT_EQ(kit->env.sounds.back(), "W_Melee");
    // The same roll from 20 feet always misses.
    vell::scriptGameRand({19, 0, 0});
    EXPECT_EQ(run(ACTION_ATTACK, orc, ada, 20, 0), 0);
    EXPECT_EQ(said(), "an #4Orc#0 attacks #2Ada#0, but misses!\n");
    EXPECT_EQ(kit->env.sounds.back(), "W_MeleeMiss");
    EXPECT_EQ(run(ACTION_ATTACK, orc, ada, 0), -4) << "a monster's blow needs its group's distance";
}

TEST_F(AttackTest, AMonsterFallsBackOnTheFirstLivingMember) {
    bl3dPartyChar* bo = member("Bo");
    bl3dMonster* orc = group(10)->getMonster(0);
    bo->setCurHP(0);
    vell::scriptGameRand({19, 0, 0});
    EXPECT_EQ(run(ACTION_ATTACK, orc, bo, 10), 0);
    EXPECT_NE(said().find("#2Ada#0"), std::string::npos) << said();
    ada->setCurHP(0);
    EXPECT_EQ(run(ACTION_ATTACK, orc, bo, 10), -2);
}

} // namespace
