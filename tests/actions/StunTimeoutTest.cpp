// The end of a stun: event 7001 frees the monster it was queued for, or the
// party members whose "StunTimeout" has passed; a monster that died and was
// pruned before the event runs is not touched (the sanitizer build would
// see a read of the freed monster).
#include "ActionTest.h"

#include "events/Event_7001.h"
#include "app/GameEvents.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

constexpr int32_t ENTANGLE = 0x001603eb;

class StunTimeoutTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ada = member("Ada");
        MonsterSpec_S s;
        s.stats[STAT_AC] = 0;
        orcs = kit->monsterType(s);
    }
    void TearDown() override {
        clearEventMakers();
        ActionTest::TearDown();
    }
    // Runs what the actions queued, as the world's queue would at its tick.
    void runQueued() {
        for (const FakeActionEnv_C::Queued_S& q : kit->actionEnv.queued) {
            ASSERT_EQ(q.typeId, 7001);
            kit->env.now = q.due;
            Event_7001_C(q.targetId).invoke(nullptr);
        }
        kit->actionEnv.queued.clear();
    }

    bl3dPartyChar* ada = nullptr;
    bl3dMonsterType* orcs = nullptr;
};

TEST_F(StunTimeoutTest, AnEntangledMonsterIsFreedWhenItsTimeComes) {
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    vell::scriptGameRand({0, 0, 0});
    run(ENTANGLE, ada, g);
    ASSERT_TRUE(g->getMonster(0)->isStunned());
    runQueued();
    EXPECT_FALSE(g->getMonster(0)->isStunned());
}

TEST_F(StunTimeoutTest, AMonsterPrunedBeforeItsTimeIsLeftAlone) {
    bl3dMonsterList* g = kit->addGroup(orcs, 2, 10);
    bl3dMonster* victim = g->getMonster(0);
    vell::scriptGameRand({0, 0, 0});
    run(ENTANGLE, ada, g);
    ASSERT_TRUE(victim->isStunned());
    victim->setCurHP(0);
    enemyList.prune(nullptr, nullptr, nullptr);
    ASSERT_EQ(g->getSize(), 1u);
    runQueued(); // holds the pruned monster's address: must not read it
    EXPECT_FALSE(g->getMonster(0)->isStunned());
}

TEST_F(StunTimeoutTest, AMonsterMadeAfterThePrunedOneKeepsItsOwnStun) {
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    vell::scriptGameRand({0, 0, 0});
    run(ENTANGLE, ada, g);
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    g->getMonster(0)->setCurHP(0);
    enemyList.prune(nullptr, nullptr, nullptr);
    // A newcomer, likely at the freed monster's address, stunned by
    // someone else for longer.
    bl3dMonster* newcomer = kit->addGroup(orcs, 1, 10)->getMonster(0);
    newcomer->setConditions(COND_STUNNED);
    runQueued();
    EXPECT_TRUE(newcomer->isStunned());
}

TEST_F(StunTimeoutTest, NoTimeoutNoStun) {
    // A stun that nothing would ever end is not laid on at all.
    kit->actionEnv.queueRefuses = true;
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    vell::scriptGameRand({0, 0, 0});
    EXPECT_EQ(run(ENTANGLE, ada, g), 0);
    EXPECT_FALSE(g->getMonster(0)->isStunned());
    EXPECT_EQ(said(), "#2Ada#0 tries to entangle an #4Orc#0, but misses!\n");
    bl3dMonster* orc = g->getMonster(0);
    ada->getTagList()->setInt(tagkey::StunTimeout, 0);
    vell::scriptGameRand({0, 0});
    EXPECT_EQ(run(ENTANGLE, orc, ada, 10), 0);
    EXPECT_FALSE(ada->isStunned());
    int32_t timeout = -1;
    ada->getTagList()->getInt(tagkey::StunTimeout, timeout);
    EXPECT_EQ(timeout, 0) << "no timeout written for a stun not laid";
}

TEST_F(StunTimeoutTest, MembersAreFreedByTheirOwnTimeouts) {
    bl3dPartyChar* bo = member("Bo");
    ada->setConditions(COND_STUNNED);
    ada->getTagList()->setInt(tagkey::StunTimeout, 1005);
    bo->setConditions(COND_STUNNED | COND_POISONED);
    bo->getTagList()->setInt(tagkey::StunTimeout, 1010);
    kit->env.now = 1005;
    Event_7001_C none;
    EXPECT_EQ(none.invoke(nullptr), 0);
    EXPECT_FALSE(ada->isStunned());
    EXPECT_TRUE(bo->isStunned()) << "Bo's stun lasts longer";
    kit->env.now = 1010;
    none.invoke(nullptr);
    EXPECT_FALSE(bo->isStunned());
    EXPECT_TRUE(bo->isPoisoned());
}

TEST_F(StunTimeoutTest, AMemberWhoLeftThePartyIsLeftAlone) {
    bl3dPartyChar* bo = member("Bo");
    bo->setConditions(COND_STUNNED);
    Event_7001_C forBo(bo);
    bl3dPartyChar* gone = party->detachAt(1);
    forBo.invoke(nullptr);
    EXPECT_TRUE(gone->isStunned());
    party->addMember(gone);
    forBo.invoke(nullptr);
    EXPECT_FALSE(bo->isStunned());
}

TEST_F(StunTimeoutTest, ASavedQueueRebuildsTheEventWithoutACreature) {
    registerGameEvents();
    std::unique_ptr<Event_C> e = createTimedEvent(7001);
    auto* stun = dynamic_cast<Event_7001_C*>(e.get());
    ASSERT_NE(stun, nullptr) << "registered, not a placeholder";
    EXPECT_EQ(stun->typeId(), 7001);
    EXPECT_EQ(stun->creatureId(), 0u);
}

} // namespace

// A stun begins and ends on the creature's own conditions: a condition that
// a timed modifier lays on it meanwhile stays the modifier's, to end with it.
TEST_F(StunTimeoutTest, AStunLeavesTimedConditionsToTheirModifiers) {
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    bl3dMonster* orc = g->getMonster(0);
    orc->getStatBlock()->addModifier(STAT_CONDITIONS, COND_SLEEPING, 10, 1, 0, 0);
    orc->setConditions(0);
    ASSERT_TRUE(orc->isSleeping());
    vell::scriptGameRand({0, 0, 0});
    run(ENTANGLE, ada, g);
    ASSERT_TRUE(orc->isStunned());
    EXPECT_EQ(orc->getStatBlock()->getBase(STAT_CONDITIONS), COND_STUNNED);

    ada->getStatBlock()->addModifier(STAT_CONDITIONS, COND_SLEEPING, 10, 1, 0, 0);
    ada->setConditions(COND_STUNNED);
    ada->getTagList()->setInt(tagkey::StunTimeout, 1005);
    kit->env.now = 1005;
    Event_7001_C none;
    none.invoke(nullptr);
    EXPECT_FALSE(ada->isStunned());
    EXPECT_TRUE(ada->isSleeping()) << "the modifier still holds";
    EXPECT_EQ(ada->getStatBlock()->getBase(STAT_CONDITIONS), 0) << "the timed sleep became her own";
}
