// The combat AI: the scores, the fixed choice of a clever monster, ties,
// the group that can only defend closing in instead, Attack aimed at the
// front four, healing only when hurt, and the party side's rank rule.
// Probe actions record what the AI built, so every choice can be seen.
#include "ActionTest.h"

#include "actions/CombatAI.h"
#include "rules/EnemyList.h"
#include "rules/InitList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

#include <map>
#include <set>

namespace {

struct Made_S {
    int32_t id;
    bl3dCharacter* who;
    void* target;
    int32_t distance;
};

struct ProbeUse_S : ActionUse_S {
    Made_S made;
};

// An action that only records: which creature chose it, aimed at what.
class ProbeAction : public bl3dAction {
public:
    ProbeAction(int32_t id, int category, uint8_t kind, uint8_t range, std::vector<Made_S>* log)
        : bl3dAction(ALL_CLASSES, 0), id_(id), category_(category), kind_(kind), range_(range), log_(log) {}
    ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv) override {
        auto* u = new ProbeUse_S;
        u->made = Made_S{id_, actor ? actor->getCreature() : nullptr, target, contextInt(argc, argv, 1, 0)};
        delete actor;
        log_->push_back(u->made);
        return u;
    }
    ActionUse_S* enqueue(bl3dActor* actor, int, int argc, void** argv) override {
        return makeEntry(actor, nullptr, argc, argv);
    }
    int perform(ActionUse_S*) override { return 0; }
    RefStr_C name() const override { return RefStr_C("Probe"); }
    RefStr_C description() const override { return RefStr_C("Probe"); }
    uint8_t targetKind() const override { return kind_; }
    uint8_t range() const override { return range_; }
    int32_t actionID() const override { return id_; }
    int aiCategory() const override { return category_; }

private:
    int32_t id_;
    int category_;
    uint8_t kind_;
    uint8_t range_;
    std::vector<Made_S>* log_;
};

class CombatAITest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        for (int i = 0; i < 8; ++i)
            member(("M" + std::to_string(i)).c_str());
    }
    // A probe in the master list (which deletes it at the end).
    void probe(int32_t id, int category, uint8_t kind = TARGET_ONE_ENEMY, uint8_t range = 0) {
        masterActionList.add(new ProbeAction(id, category, kind, range, &made), 0);
    }
    bl3dMonsterType* type(std::vector<std::pair<int32_t, int32_t>> actions, int32_t iq,
                          std::vector<std::pair<int32_t, int32_t>> second = {}) {
        MonsterSpec_S s;
        s.stats[STAT_IQ] = iq;
        s.actions = std::move(actions);
        s.actions2 = std::move(second);
        return kit->monsterType(s);
    }
    // One round of choices for the group; the list is emptied unperformed.
    void choose(bl3dMonsterList* g) {
        bl3dInitList list;
        masterAIList->enqueueAct(&list, g, &text);
        queued = list.count();
    }

    std::vector<Made_S> made;
    int queued = 0;
};

TEST_F(CombatAITest, RandomScoresShrinkWithIntelligence) {
    vell::scriptGameRand({100, 100, 100, 100});
    EXPECT_EQ(masterAIList->randScore(40, 7, 20, 10), 100 % 41);
    EXPECT_EQ(masterAIList->randScore(40, 15, 20, 10), 100 % 21);
    EXPECT_EQ(masterAIList->randScore(40, 20, 20, 10), 0);
    EXPECT_EQ(masterAIList->randScore(40, 99, 20, 10), 0);
}

TEST_F(CombatAITest, ACleverMonsterAlwaysMakesTheSameChoice) {
    probe(0x7001, AI_ATTACK);
    probe(0x7002, AI_DRAIN);
    bl3dMonsterList* clever = kit->addGroup(type({{0x7001, 5}, {0x7002, 3}}, 20), 1, 10);
    for (int round = 0; round < 50; ++round)
        choose(clever);
    std::set<int32_t> chosen;
    for (const Made_S& m : made)
        chosen.insert(m.id);
    EXPECT_EQ(chosen, std::set<int32_t>{0x7001});

    // A dull one sometimes takes the lighter choice.
    made.clear();
    enemyList.clear();
    bl3dMonsterList* dull = kit->addGroup(type({{0x7001, 5}, {0x7002, 3}}, 3), 1, 10);
    for (int round = 0; round < 200; ++round)
        choose(dull);
    chosen.clear();
    for (const Made_S& m : made)
        chosen.insert(m.id);
    EXPECT_EQ(chosen, (std::set<int32_t>{0x7001, 0x7002}));
}

TEST_F(CombatAITest, TiesGoToTheActionMetFirst) {
    probe(0x7001, AI_ATTACK);
    probe(0x7002, AI_ATTACK);
    probe(0x7003, AI_ATTACK);
    // The type's list is built newest first: 0x7002 is met before 0x7001;
    // the second list comes after the first.
    bl3dMonsterList* g = kit->addGroup(type({{0x7001, 4}, {0x7002, 4}}, 20, {{0x7003, 4}}), 1, 10);
    choose(g);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].id, 0x7002);
}

TEST_F(CombatAITest, AGroupThatCanOnlyDefendClosesInInstead) {
    probe(0x7001, AI_ATTACK, TARGET_ONE_ENEMY, 10);
    bl3dMonsterType* t = type({{ACTION_DEFEND, 2}, {0x7001, 5}}, 20);
    bl3dMonsterList* g = kit->addGroup(t, 3, 30);
    choose(g);
    EXPECT_EQ(queued, 1) << "one advance for the whole group";
    EXPECT_TRUE(made.empty()) << "the out-of-reach attack was never built";

    bl3dInitList list;
    masterAIList->enqueueAct(&list, g, &text);
    EXPECT_EQ(list.pop(), 0);
    EXPECT_EQ(said(), "The #4Orcs#0 advance!\n");
    EXPECT_EQ(enemyList.distanceOf(g), 20);

    // In reach the attack is chosen; a group that can only defend in reach
    // defends.
    enemyList.clear();
    g = kit->addGroup(type({{ACTION_DEFEND, 2}}, 20), 3, 10);
    bl3dInitList near;
    masterAIList->enqueueAct(&near, g, &text);
    EXPECT_EQ(near.count(), 3);
    EXPECT_EQ(near.pop(), 0);
    EXPECT_EQ(said(), "An #4Orc#0 crouches in a defensive posture.\n");
}

// Monsters whose own list offers Monster Advance (as the shipped wolves'
// and goblins' do) close in with their group; they never build an advance
// of their own, which would move nothing.
TEST_F(CombatAITest, AGroupThatWouldRatherAdvanceClosesIn) {
    bl3dMonsterList* g = kit->addGroup(type({{ACTION_ATTACK, 12}, {ACTION_MON_ADV, 6}}, 20), 3, 20);
    bl3dInitList list;
    masterAIList->enqueueAct(&list, g, &text);
    EXPECT_EQ(list.count(), 1) << "one advance for the whole group";
    EXPECT_EQ(list.pop(), 0);
    EXPECT_EQ(said(), "The #4Orcs#0 advance!\n");
    EXPECT_EQ(enemyList.distanceOf(g), 10);

    // In reach they attack.
    bl3dInitList near;
    masterAIList->enqueueAct(&near, g, &text);
    EXPECT_EQ(near.count(), 3);
}

TEST_F(CombatAITest, AttackIsAimedAtTheFrontFourOnly) {
    probe(ACTION_ATTACK, AI_ATTACK); // stands for Attack: looked up by id
    probe(0x7002, AI_DRAIN);
    bl3dMonsterList* attackers = kit->addGroup(type({{ACTION_ATTACK, 5}}, 20), 20, 10);
    choose(attackers);
    MonsterSpec_S s;
    s.name = "Witch";
    s.stats[STAT_IQ] = 20;
    s.actions = {{0x7002, 5}};
    bl3dMonsterList* drainers = kit->addGroup(kit->monsterType(s), 20, 10);
    choose(drainers);
    std::map<int32_t, std::set<int>> slots;
    for (const Made_S& m : made) {
        int slot = -1;
        for (int i = 0; i < party->getCount(); ++i)
            if (party->getMember(i) == m.target)
                slot = i;
        ASSERT_GE(slot, 0);
        slots[m.id].insert(slot);
        EXPECT_EQ(m.distance, 10);
    }
    EXPECT_EQ(*slots[ACTION_ATTACK].rbegin(), 3);
    EXPECT_GT(*slots[0x7002].rbegin(), 3) << "other actions reach the whole party";
}

TEST_F(CombatAITest, AMonsterHealsOnlyWhenBadlyHurt) {
    probe(0x7001, AI_HEAL, TARGET_NONE);
    bl3dMonsterList* g = kit->addGroup(type({{0x7001, 4}}, 20), 1, 10);
    bl3dMonster* m = g->getMonster(0);
    m->setCurHP(1); // of 10: exactly a tenth is not below it
    choose(g);
    EXPECT_TRUE(made.empty()) << "4 x 10 - 50 is dropped";
    m->setMaxHP(11);
    choose(g);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].id, 0x7001);
}

TEST_F(CombatAITest, NothingIsAimedWithoutAPartyOrAtAGroupNoLongerThere) {
    probe(0x7001, AI_ATTACK);
    bl3dMonsterList* g = kit->addGroup(type({{0x7001, 5}}, 20), 2, 10);
    while (party->getCount() > 0)
        party->removeAt(0);
    choose(g);
    EXPECT_EQ(queued, 0);
    auto* stray = new bl3dMonsterList(1, type({{0x7001, 5}}, 20), 0);
    choose(stray);
    EXPECT_EQ(queued, 0);
    delete stray;
    EXPECT_TRUE(made.empty());
}

TEST_F(CombatAITest, ACreatureInThePartyChoosesByRank) {
    probe(0x7001, AI_ATTACK);
    probe(0x7002, AI_UTILITY, TARGET_ONE_MEMBER);
    bl3dMonsterType* t = type({{0x7001, 5}, {0x7002, 1}}, 20);
    bl3dAction* action = nullptr;
    ActionUse_S* use = nullptr;
    bl3dPartyChar* pet = kit->addJoined(t);
    ASSERT_EQ(pet, nullptr) << "the party is full";
    party->removeAt(7);
    pet = kit->addJoined(t);
    ASSERT_NE(pet, nullptr);
    // No enemy: nothing chosen.
    masterAIList->enqueuePartySide(&action, &use, pet, &text);
    EXPECT_EQ(action, nullptr);

    bl3dMonsterList* g = kit->addGroup(type({{0x7001, 5}}, 20), 1, 20);
    masterAIList->enqueuePartySide(&action, &use, pet, &text);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->actionID(), 0x7002) << "the back ranks leave attacks alone";
    EXPECT_EQ(made.back().target, pet) << "a party-member action is aimed at the creature itself";
    action->freeEntry(use);

    party->swap(0, 7);
    action = nullptr;
    masterAIList->enqueuePartySide(&action, &use, pet, &text);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->actionID(), 0x7001);
    EXPECT_EQ(made.back().target, g);
    EXPECT_EQ(made.back().distance, 20);
    action->freeEntry(use);
}

} // namespace
