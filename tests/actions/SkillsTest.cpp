// The combat skills: each one's main path, its refusals and its narration,
// both ways (a party member on a group, a monster on a party member).
// Saving throws here: an "Orc" and a level-1 Squire (class 0x4) share the
// same table row, index 0 needs 16, index 3 needs 5.
#include "ActionTest.h"

#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t PICK_POCKETS = 0x000e03e8;
constexpr int32_t HIDE = 0x001e03e9;
constexpr int32_t ENTANGLE = 0x001603eb;
constexpr int32_t VENOM_BITE = 0x000603ec;
constexpr int32_t VENOM_SPRAY = 0x001603ed;
constexpr int32_t RAPID_HEALING = 0x001603ee;
constexpr int32_t SUGGESTION = 0x001a1011;
constexpr int32_t DEATHBLOW = 0x000d1012;
constexpr int32_t GREATER_DEATHBLOW = 0x000d1013;

class SkillsTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ada = member("Ada", false);
        MonsterSpec_S orc;
        orc.hp = 20;
        orc.stats[STAT_AC] = 0;
        orc.gold = 40;
        orcs = kit->monsterType(orc);
    }
    bl3dMonsterList* group(int distance, int count = 1) { return kit->addGroup(orcs, count, distance); }

    bl3dPartyChar* ada = nullptr;
    bl3dMonsterType* orcs = nullptr;
};

TEST_F(SkillsTest, PickPocketsStealsHalfARandomPurseWithinReach) {
    bl3dMonsterList* g = group(10);
    // pick, d20 (11), LK roll 0: 11 + 0 + DX 10 + AC 0 = 21 succeeds; the
    // purse roll 9 steals (9 + 1) / 2.
    vell::scriptGameRand({0, 10, 0, 9});
    EXPECT_EQ(run(PICK_POCKETS, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 picks an #4Orc's#0 pocket and steals 5 GP!\n");
    EXPECT_EQ(ada->getGold(), 5);
    EXPECT_EQ(g->getMonster(0)->getGold(), 35);

    // The same roll 20 feet away never succeeds.
    bl3dMonsterList* far = group(20);
    vell::scriptGameRand({0, 10, 0});
    EXPECT_EQ(run(PICK_POCKETS, ada, far), 0);
    EXPECT_EQ(said(), "#2Ada#0 picks an #4Orc's#0 pocket, but misses!\n");
}

TEST_F(SkillsTest, PickPocketsOnASmallPurseStealsNothingAndSaysSo) {
    bl3dMonsterList* g = group(10);
    bl3dMonster* orc = g->getMonster(0);
    orc->rawSpendGold(36);
    vell::scriptGameRand({0, 10, 0});
    EXPECT_EQ(run(PICK_POCKETS, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 picks an #4Orc's#0 pocket and steals 0 GP!\n");
    EXPECT_EQ(orc->getGold(), 4);
}

TEST_F(SkillsTest, AMonsterPicksAPartyPocket) {
    bl3dMonster* orc = group(10)->getMonster(0);
    ada->addGold(30);
    ada->getStatBlock()->setBase(STAT_AC, 0);
    EXPECT_EQ(run(PICK_POCKETS, orc, ada, 0), -4);
    vell::scriptGameRand({10, 0, 3});
    EXPECT_EQ(run(PICK_POCKETS, orc, ada, 10, 1), 0);
    EXPECT_EQ(said(), "An #4Orc#0 picks #2Ada's#0 pocket and steals 2 GP!\n");
    EXPECT_EQ(ada->getGold(), 28);
    orc->setCurHP(0);
    EXPECT_EQ(run(PICK_POCKETS, orc, ada, 10), -6);
}

TEST_F(SkillsTest, HideInShadowsHidesOnAModestRoll) {
    group(10);
    vell::scriptGameRand({10, 5});
    EXPECT_EQ(run(HIDE, ada, nullptr), 0);
    EXPECT_EQ(said(), "#2Ada#0 slips into the shadows unnoticed!\n");
    EXPECT_TRUE(ada->isHidden());
    EXPECT_FALSE(action(HIDE)->usable(ada, 10)) << "not for someone already hidden";
    EXPECT_EQ(run(HIDE, ada, nullptr), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to hide in shadows, finds he is already there and stops trying!\n");
}

TEST_F(SkillsTest, HideInShadowsFailsOnAHighRoll) {
    // DX 18 and LK 18: seen whenever d20 + the luck roll exceeds 20.
    ada->getStatBlock()->setBase(STAT_DX, 18);
    ada->getStatBlock()->setBase(STAT_LK, 18);
    vell::scriptGameRand({19, 1});
    run(HIDE, ada, nullptr);
    EXPECT_EQ(said(), "#2Ada#0 tries to slip into the shadows but is seen!\n");
    EXPECT_FALSE(ada->isHidden());
    vell::scriptGameRand({19, 0});
    run(HIDE, ada, nullptr);
    EXPECT_TRUE(ada->isHidden());
}

TEST_F(SkillsTest, AHiddenMonsterStrikesNearbyAndClosesInFromAfar) {
    bl3dMonsterList* near = group(10);
    bl3dMonster* lurker = near->getMonster(0);
    lurker->setConditions(COND_HIDDEN);
    vell::scriptGameRand({19, 0, 0});
    EXPECT_EQ(run(HIDE, lurker, ada, 10), 0);
    EXPECT_EQ(said(), "An #4Orc#0 attacks #2Ada#0, and hits for #41#0 points!\n");

    MonsterSpec_S w;
    w.name = "Wolf";
    w.plural = "Wolves";
    bl3dMonsterList* far = kit->addGroup(kit->monsterType(w), 1, 30);
    bl3dMonster* wolf = far->getMonster(0);
    wolf->setConditions(COND_HIDDEN);
    EXPECT_EQ(run(HIDE, wolf, ada, 30), 0);
    EXPECT_EQ(said(), "The #4Wolf#0 advances!\n");
    EXPECT_EQ(enemyList.distanceOf(far), 20);
}

TEST_F(SkillsTest, EntangleStunsAMonsterAndQueuesItsEnd) {
    bl3dMonsterList* g = group(10);
    bl3dMonster* orc = g->getMonster(0);
    // pick, a failed save (0 - 2 + 1 < 5), 3 + 7 ticks.
    vell::scriptGameRand({0, 0, 3});
    EXPECT_EQ(run(ENTANGLE, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 tries to entangles an #4Orc#0 and succeeds!\n");
    EXPECT_TRUE(orc->isStunned());
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(kit->actionEnv.queued[0].typeId, 7001);
    EXPECT_EQ(kit->actionEnv.queued[0].due, kit->env.now + 10);
    EXPECT_EQ(kit->actionEnv.queued[0].targetId, orc->uniqueId());

    // A save of 6 (5 - 2 + 1 ... needs 5) escapes.
    orc->setConditions(0);
    vell::scriptGameRand({0, 6});
    run(ENTANGLE, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 tries to entangle an #4Orc#0, but misses!\n");
    EXPECT_FALSE(orc->isStunned());
}

TEST_F(SkillsTest, EntangleOnAMemberSetsItsStunTimeout) {
    bl3dMonster* orc = group(10)->getMonster(0);
    vell::scriptGameRand({0, 5});
    EXPECT_EQ(run(ENTANGLE, orc, ada, 10, 1), 0);
    EXPECT_EQ(said(), "An #4Orc#0 tries to entangles #2Ada#0 and succeeds!\n");
    EXPECT_TRUE(ada->isStunned());
    int32_t timeout = 0;
    ada->getTagList()->getInt(tagkey::StunTimeout, timeout);
    EXPECT_EQ(static_cast<uint32_t>(timeout), kit->env.now + 12);
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(kit->actionEnv.queued[0].targetId, 0u) << "the party's stuns end by their timeouts";
    EXPECT_EQ(kit->actionEnv.queued[0].due, kit->env.now + 12);
}

TEST_F(SkillsTest, APoisonedMonsterBitesButCannotEntangle) {
    bl3dMonster* orc = group(10)->getMonster(0);
    orc->setConditions(COND_POISONED);
    EXPECT_EQ(run(ENTANGLE, orc, ada, 10, 1), 0);
    EXPECT_EQ(said(), "#4Orc#0 tries to attack, but it is poisoned!\n");
    // d20, damage 2 + 1, a failed poison save.
    vell::scriptGameRand({0, 2, 0});
    EXPECT_EQ(run(VENOM_BITE, orc, ada, 10, 1), 0);
    EXPECT_EQ(said(), "An #4Orc#0 bites at #2Ada#0, and hits for 3 points, poisoning Ada!\n");
    EXPECT_TRUE(ada->isPoisoned());
    EXPECT_EQ(ada->getCurHP(), 27);
}

TEST_F(SkillsTest, VenomBiteFromAPartyMemberNeedsReach) {
    bl3dMonsterList* g = group(20);
    // Attack 0 + AC 0 + d20 20 hits, but 20 feet is out of reach.
    vell::scriptGameRand({0, 19});
    EXPECT_EQ(run(VENOM_BITE, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 bites at an #4Orc#0, but misses!\n");
    bl3dMonsterList* near = group(10);
    near->getMonster(0)->setCurHP(2);
    vell::scriptGameRand({0, 19, 5, 19});
    run(VENOM_BITE, ada, near);
    EXPECT_EQ(said(), "#2Ada#0 bites at an #4Orc#0, and hits for 6 points, killing it!\n");
}

TEST_F(SkillsTest, VenomSprayNamesEveryVictimWithItsOwnWords) {
    bl3dMonsterList* g = group(20, 2);
    g->getMonster(1)->setCurHP(3);
    // Victim 1: 2 damage, a failed save; victim 2: 8 damage, a save.
    vell::scriptGameRand({1, 0, 7, 19});
    EXPECT_EQ(run(VENOM_SPRAY, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 sprays venom at some #4Orcs#0\n\n"
                      "An Orc takes 2 points of damage, poisoning an Orc!\n"
                      "An Orc takes 8 points of damage, killing it!\n");
    EXPECT_TRUE(g->getMonster(0)->isPoisoned());
}

TEST_F(SkillsTest, VenomSprayOverTheDeadSaysOnlyItsOpening) {
    bl3dMonsterList* g = group(20, 3);
    for (int i = 0; i < 3; ++i)
        g->getMonster(i)->setCurHP(0);
    EXPECT_EQ(run(VENOM_SPRAY, ada, g), 0);
    EXPECT_EQ(said(), "#2Ada#0 sprays venom at some #4Orcs#0\n\n");
    enemyList.clear();
    EXPECT_EQ(run(VENOM_SPRAY, ada, g), -2) << "a group no longer in the fight";
}

TEST_F(SkillsTest, AMonsterSpraysThePartyLivingMembersOnly) {
    bl3dPartyChar* bo = member("Bo");
    member("Cy")->setCurHP(0);
    bl3dMonster* orc = group(20)->getMonster(0);
    bo->setCurHP(4);
    vell::scriptGameRand({0, 19, 4, 0});
    EXPECT_EQ(run(VENOM_SPRAY, orc, ada, 20, 1), 0);
    EXPECT_EQ(said(), "An #4Orc#0 sprays venom at the party\n"
                      "Ada is hit for 1 points of damage!\n"
                      "Bo is hit for 5 points of damage, poisoning him, killing him!\n");
}

TEST_F(SkillsTest, VenomSprayOverAHugeGroupStaysInsideItsBuffer) {
    // A narration buffer of 200 characters between guard bytes: 300 victims
    // would write far more.
    char raw[232];
    std::memset(raw, 0x5a, sizeof raw);
    TextBuf_C small(raw + 16, 200);
    bl3dMonsterList* g = group(20, 300);
    int32_t distance = 20;
    void* context[2] = {&small, &distance};
    bl3dAction* spray = action(VENOM_SPRAY);
    ActionUse_S* u = spray->makeEntry(new bl3dActor(ada), g, 2, context);
    EXPECT_EQ(spray->perform(u), 0);
    spray->freeEntry(u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(raw[i]), 0x5a) << i;
        EXPECT_EQ(static_cast<unsigned char>(raw[216 + i]), 0x5a) << i;
    }
    EXPECT_EQ(small.length(), 199u);
    EXPECT_EQ(raw[16 + 199], 0);
    EXPECT_TRUE(small.wasCut());
    int hurt = 0;
    for (int i = 0; i < 300; ++i)
        hurt += g->getMonster(i)->getCurHP() < 20;
    EXPECT_EQ(hurt, 99) << "no more than 99 victims";
}

TEST_F(SkillsTest, RapidHealingHealsMonstersOnlyAndSaysNothing) {
    bl3dMonster* orc = group(10)->getMonster(0);
    orc->setCurHP(10);
    text.set("old words");
    vell::scriptGameRand({5});
    EXPECT_EQ(run(RAPID_HEALING, orc, ada, 10), 0);
    EXPECT_EQ(orc->getCurHP(), 16);
    EXPECT_EQ(said(), "");
    vell::scriptGameRand({5});
    run(RAPID_HEALING, orc, ada, 10);
    EXPECT_EQ(orc->getCurHP(), 20) << "never above the maximum";
    ada->setCurHP(5);
    EXPECT_EQ(run(RAPID_HEALING, ada, nullptr), 0);
    EXPECT_EQ(ada->getCurHP(), 5);
}

TEST_F(SkillsTest, SuggestionOfForceFrightensLessWithLevel) {
    bl3dMonsterList* g = group(10, 2);
    ada->setLevel(25);
    // A d100 of 62: enough at level 25 (needs above 60)...
    vell::scriptGameRand({0, 61});
    run(SUGGESTION, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 intimidates the #4Orc#0, and they run away!\n");
    EXPECT_LT(g->getMonster(0)->getCurHP(), 1);
    // ...not at level 35 (a bonus of 2 raises the mark to 62).
    ada->setLevel(35);
    vell::scriptGameRand({1, 61});
    run(SUGGESTION, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 tries to intimdate the #4Orc#0, but is ineffectual\n");
    EXPECT_EQ(g->getMonster(1)->getCurHP(), 20);
    vell::scriptGameRand({1, 62});
    run(SUGGESTION, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 intimidates the #4Orc#0, and they run away!\n");
}

TEST_F(SkillsTest, SuggestionOfForceCannotFrightenTheUndead) {
    MonsterSpec_S s;
    s.name = "Skeleton";
    s.creatureType = 21;
    bl3dMonsterList* g = kit->addGroup(kit->monsterType(s), 1, 10);
    vell::scriptGameRand({0});
    run(SUGGESTION, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 tries to intimidate the #4Skeleton#0, but is unable to frighten them");
    EXPECT_EQ(g->getMonster(0)->getCurHP(), 10);
    bl3dMonster* orc = group(10)->getMonster(0);
    EXPECT_EQ(run(SUGGESTION, orc, ada, 10), 0);
    EXPECT_EQ(said(), "") << "monsters do not use it";
}

TEST_F(SkillsTest, DeathblowTestsRangeHidingAndSightFirst) {
    // The range is measured by the distance the strike was given at, not
    // by where the group stands when it comes.
    struct Case {
        int groupAt;
        int32_t given;
        bool inRange;
    };
    for (const Case c : {Case{30, 30, false}, Case{10, 30, false}, Case{30, 20, true}}) {
        SCOPED_TRACE(testing::Message() << "group at " << c.groupAt << ", given at " << c.given);
        enemyList.clear();
        vell::scriptGameRand({0});
        run(DEATHBLOW, ada, group(c.groupAt), c.given);
        EXPECT_EQ(said(), c.inRange ? "#2Ada#0 attempts to attack a #4Orc#0, but is not in hiding\n"
                                    : "#2Ada#0 attempts to attack a #4Orc#0, but it is out of range\n");
    }
    bl3dMonsterList* g = group(20);
    vell::scriptGameRand({0, 99});
    run(DEATHBLOW, ada, g, 20);
    EXPECT_EQ(said(), "#2Ada#0 attempts to attack a #4Orc#0, but is not in hiding\n");
    EXPECT_EQ(g->getMonster(0)->getCurHP(), 20);
    ada->setConditions(COND_HIDDEN | COND_BLIND);
    vell::scriptGameRand({0, 99});
    run(DEATHBLOW, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 attempts to attack a #4Orc#0, but is blinded\n");
    ada->setConditions(COND_HIDDEN | COND_POISONED);
    vell::scriptGameRand({0, 99});
    run(DEATHBLOW, ada, g);
    EXPECT_EQ(said(), "#2Ada#0 backstabs the #4Orc#0, killing it!\n") << "poison does not spoil a backstab";
    EXPECT_TRUE(ada->isHidden()) << "still in hiding afterwards";
}

TEST_F(SkillsTest, DeathblowsWoundWhenTheyDoNotKill) {
    ada->setConditions(COND_HIDDEN);
    bl3dMonsterList* g = group(10, 2);
    vell::scriptGameRand({0, 29});
    run(DEATHBLOW, ada, g);
    EXPECT_EQ(said(),
              "#2Ada#0 tries to backstab the #4Orc#0, missing the nerve center, but causing 10 points of damage\n");
    EXPECT_EQ(g->getMonster(0)->getCurHP(), 10);
    vell::scriptGameRand({1, 59});
    run(GREATER_DEATHBLOW, ada, g);
    EXPECT_EQ(said(),
              "#2Ada#0 tries to backstab the #4Orc#0, missing the nerve center, but causing 12 points of damage\n");
    // A higher level raises the mark: the roll that kills at level 1 only
    // wounds at level 60 (a bonus of 2: above 62 is needed).
    bl3dMonsterList* h = group(20, 2);
    vell::scriptGameRand({0, 61});
    run(GREATER_DEATHBLOW, ada, h);
    EXPECT_EQ(said(), "#2Ada#0 backstabs the #4Orc#0, killing it!\n");
    ada->setLevel(60);
    vell::scriptGameRand({1, 61});
    run(GREATER_DEATHBLOW, ada, h);
    EXPECT_EQ(said(),
              "#2Ada#0 tries to backstab the #4Orc#0, missing the nerve center, but causing 12 points of damage\n");
    ada->setLevel(35);
    vell::scriptGameRand({1, 30});
    run(DEATHBLOW, ada, h);
    EXPECT_EQ(said(),
              "#2Ada#0 tries to backstab the #4Orc#0, missing the nerve center, but causing 4 points of damage\n")
        << "Deathblow at level 35 needs above 32";
}

TEST_F(SkillsTest, SkillsRefuseWhatTheyCannotDo) {
    bl3dMonster* orc = group(10)->getMonster(0);
    EXPECT_EQ(run(ENTANGLE, orc, ada, 0), -4);
    EXPECT_EQ(run(VENOM_BITE, orc, ada, 0), -4);
    ada->setCurHP(0);
    EXPECT_EQ(run(ENTANGLE, orc, ada, 10), -2) << "nobody left to entangle";
    EXPECT_EQ(run(PICK_POCKETS, ada, nullptr), -6);
    EXPECT_EQ(run(ENTANGLE, ada, nullptr), -1) << "the state check: dead";
    EXPECT_EQ(said(), "#2Ada#0");
}

} // namespace
