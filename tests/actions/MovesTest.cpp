// The combat moves: groups closing in (one, all, already in reach), Defend
// and its own state check, and members stepping along the marching order.
#include "ActionTest.h"

#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

#include <cstdint>
#include <string>

namespace {

class MovesTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        orcs = kit->monsterType(MonsterSpec_S{});
    }
    // A move's use from plain context values, performed and released.
    int move(int32_t id, bl3dCharacter* who, void* second, int argc = 2) {
        void* context[2] = {&text, second};
        bl3dAction* a = action(id);
        ActionUse_S* u = a->makeEntry(new bl3dActor(who), nullptr, argc, context);
        if (!u)
            return -100;
        const int r = a->perform(u);
        a->freeEntry(u);
        return r;
    }
    int ranks(int32_t id, bl3dCharacter* who, intptr_t places) {
        return move(id, who, reinterpret_cast<void*>(places));
    }
    std::string order() const {
        std::string s;
        for (int i = 0; i < party->getCount(); ++i)
            s += party->getMember(i)->getName();
        return s;
    }
    void members(const char* names) {
        for (const char* c = names; *c; ++c)
            member(std::string(1, *c).c_str());
    }

    bl3dMonsterType* orcs = nullptr;
};

TEST_F(MovesTest, AGroupClosesInTenFeetAtATime) {
    bl3dMonsterList* one = kit->addGroup(orcs, 1, 20);
    EXPECT_EQ(move(ACTION_MON_ADV, nullptr, one), 0);
    EXPECT_EQ(said(), "The #4Orc#0 advances!\n");
    EXPECT_EQ(enemyList.distanceOf(one), 10);
    EXPECT_EQ(move(ACTION_MON_ADV, nullptr, one), 0);
    EXPECT_EQ(said(), "The #4Orc#0 tries to advance, but are already too close!\n");
    EXPECT_EQ(enemyList.distanceOf(one), 10);

    MonsterSpec_S w;
    w.name = "Wolf";
    w.plural = "Wolves";
    bl3dMonsterList* three = kit->addGroup(kit->monsterType(w), 3, 15);
    move(ACTION_MON_ADV, nullptr, three);
    EXPECT_EQ(said(), "The #4Wolves#0 advance!\n");
    EXPECT_EQ(enemyList.distanceOf(three), 10) << "never nearer than 10 feet";
    move(ACTION_MON_ADV, nullptr, three);
    EXPECT_EQ(said(), "The #4Wolves#0 try to advance, but are already too close!\n");
}

TEST_F(MovesTest, AGroupThatIsGoneCannotAdvanceAndOneThatMeetsItsKindMerges) {
    bl3dMonsterList* front = kit->addGroup(orcs, 2, 10);
    bl3dMonsterList* back = kit->addGroup(orcs, 3, 20);
    EXPECT_EQ(move(ACTION_MON_ADV, nullptr, back), 0);
    EXPECT_EQ(enemyList.countGroups(), 1);
    EXPECT_EQ(front->getSize(), 5u);
    EXPECT_EQ(move(ACTION_MON_ADV, nullptr, back), -1) << "merged away";
    EXPECT_EQ(move(ACTION_MON_ADV, nullptr, nullptr, 1), -100) << "MonAdv needs its group";
}

TEST_F(MovesTest, ThePartyAdvancesUnlessAFoeIsInReach) {
    bl3dMonsterList* a = kit->addGroup(orcs, 1, 10);
    MonsterSpec_S w;
    w.name = "Wolf";
    bl3dMonsterList* b = kit->addGroup(kit->monsterType(w), 1, 50);
    EXPECT_EQ(move(ACTION_PARTY_ADV, nullptr, nullptr, 1), 0);
    EXPECT_EQ(said(), "You try to advance, but the enemy is already on top of you!\n");
    EXPECT_EQ(enemyList.distanceOf(b), 50);
    enemyList.clear();
    a = kit->addGroup(orcs, 1, 15);
    b = kit->addGroup(kit->monsterType(w), 1, 50);
    EXPECT_EQ(move(ACTION_PARTY_ADV, nullptr, nullptr, 1), 0);
    EXPECT_EQ(said(), "You advance on your foes.\n");
    EXPECT_EQ(enemyList.distanceOf(a), 10);
    EXPECT_EQ(enemyList.distanceOf(b), 40);
}

TEST_F(MovesTest, DefendLowersArmourForOneTick) {
    members("A");
    bl3dPartyChar* a = party->getMember(0);
    const int32_t ac = a->getStatBlock()->getCur(STAT_AC);
    a->setConditions(COND_STUNNED);
    EXPECT_TRUE(action(ACTION_DEFEND)->usable(a, 500)) << "always usable";
    EXPECT_EQ(move(ACTION_DEFEND, a, nullptr, 1), 0) << "a stunned fighter still defends";
    EXPECT_EQ(said(), "#2A#0 crouches in a defensive posture.\n");
    EXPECT_EQ(a->getStatBlock()->getCur(STAT_AC), ac - 2);
    kit->tick();
    EXPECT_EQ(a->getStatBlock()->getCur(STAT_AC), ac);

    a->setConditions(COND_SLEEPING);
    EXPECT_EQ(move(ACTION_DEFEND, a, nullptr, 1), 0);
    EXPECT_EQ(said(), "A tries to defend, but he is sleeping!\n");
    EXPECT_EQ(a->getStatBlock()->getCur(STAT_AC), ac);

    bl3dMonster* orc = kit->addGroup(orcs, 1, 10)->getMonster(0);
    move(ACTION_DEFEND, orc, nullptr, 1);
    EXPECT_EQ(said(), "An #4Orc#0 crouches in a defensive posture.\n");
    EXPECT_EQ(move(ACTION_DEFEND, nullptr, nullptr, 1), -1);
    a->setCurHP(0);
    EXPECT_EQ(move(ACTION_DEFEND, a, nullptr, 1), -1);
}

TEST_F(MovesTest, MembersStepAlongTheMarchingOrder) {
    members("ABCDEF");
    EXPECT_EQ(ranks(ACTION_RETREAT, party->getMember(1), 2), 0);
    EXPECT_EQ(said(), "#2B#0 retreats!\n");
    EXPECT_EQ(order(), "ACDBEF");
    EXPECT_EQ(ranks(ACTION_ADVANCE, party->getMember(0), 2), 0);
    EXPECT_EQ(said(), "#2A#0 advances!\n");
    EXPECT_EQ(order(), "ACDBEF");
    ranks(ACTION_RETREAT, party->getMember(5), 3);
    EXPECT_EQ(order(), "ACDBEF");
    ranks(ACTION_ADVANCE, party->getMember(4), 9);
    EXPECT_EQ(order(), "EACDBF");
    ranks(ACTION_ADVANCE, party->getMember(2), -3);
    EXPECT_EQ(order(), "EACDBF") << "a negative count moves nobody";
}

TEST_F(MovesTest, OnlyPartyMembersChangeRanks) {
    members("AB");
    bl3dMonster* orc = kit->addGroup(orcs, 1, 10)->getMonster(0);
    EXPECT_EQ(ranks(ACTION_ADVANCE, orc, 1), -2);
    EXPECT_EQ(ranks(ACTION_ADVANCE, nullptr, 1), -1);
    EXPECT_EQ(move(ACTION_ADVANCE, party->getMember(1), nullptr, 1), -100) << "the count is needed";
    party->getMember(1)->setConditions(COND_STUNNED);
    EXPECT_EQ(ranks(ACTION_ADVANCE, party->getMember(1), 1), 0);
    EXPECT_EQ(said(), "#2B#0 would advance, but he is stunned!\n");
    EXPECT_EQ(order(), "AB");
}

TEST_F(MovesTest, SwappingSlotsChecksItsSlots) {
    members("AB");
    EXPECT_TRUE(party->swap(0, 1));
    EXPECT_EQ(order(), "BA");
    EXPECT_FALSE(party->swap(1, 1));
    EXPECT_FALSE(party->swap(0, 8));
    EXPECT_FALSE(party->swap(-1, 0));
    EXPECT_EQ(order(), "BA");
}

} // namespace
