// Enemy groups and the enemy list: placement by distance, merging, the
// shared cursor through advances and prunes, and the pay-out of a prune;
// the initiative list's order.
#include "MonsterTestEnv.h"

#include "rules/InitList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"

#include <string>
#include <utility>
#include <vector>

namespace {

class EnemyListTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        goblin = addType(record("Goblin", 1));
        orc = addType(record("Orc", 3));
        troll = addType(record("Troll", 5));
    }

    // The list as (type name, size, distance) from the head; the walk
    // rewinds the shared cursor.
    std::vector<std::string> layout() {
        std::vector<std::string> out;
        enemyList.rewind();
        int d = 0;
        while (bl3dMonsterList* g = enemyList.nextGroupDist(&d))
            out.push_back(std::string(g->getType()->getName()) + " " + std::to_string(g->getSize()) + "@" +
                          std::to_string(d));
        return out;
    }

    static std::string name(bl3dMonsterList* g) { return g ? g->getType()->getName() : "end"; }

    bl3dMonsterType* goblin = nullptr;
    bl3dMonsterType* orc = nullptr;
    bl3dMonsterType* troll = nullptr;
};

using Layout = std::vector<std::string>;

TEST_F(EnemyListTest, GroupsOfOneTypeMergeOnlyAtTheSameDistance) {
    enemyList.add(3, goblin, 30);
    enemyList.add(2, goblin, 30);
    EXPECT_EQ(layout(), (Layout{"Goblin 5@30"}));
    enemyList.add(2, goblin, 40);
    EXPECT_EQ(layout(), (Layout{"Goblin 5@30", "Goblin 2@40"}));
    EXPECT_EQ(enemyList.countGroups(), 2);
    EXPECT_EQ(enemyList.totalLevel(), 7);
}

TEST_F(EnemyListTest, PlacementByDistance) {
    // Each step adds one group; the layout afterwards.
    std::vector<std::pair<std::pair<bl3dMonsterType*, int>, Layout>> steps = {
        {{goblin, 30}, {"Goblin 1@30"}},
        // Nearer than the head: the new head.
        {{orc, 20}, {"Orc 1@20", "Goblin 1@30"}},
        // Farther than all: the tail.
        {{troll, 50}, {"Orc 1@20", "Goblin 1@30", "Troll 1@50"}},
        // Another type at a taken distance goes ahead of the groups there.
        {{troll, 30}, {"Orc 1@20", "Troll 1@30", "Goblin 1@30", "Troll 1@50"}},
        // At the head's own distance: right after the head.
        {{goblin, 20}, {"Orc 1@20", "Goblin 1@20", "Troll 1@30", "Goblin 1@30", "Troll 1@50"}},
        {{troll, 20}, {"Orc 1@20", "Troll 1@20", "Goblin 1@20", "Troll 1@30", "Goblin 1@30", "Troll 1@50"}},
        // The second group of a type at a distance merges, wherever it stands.
        {{goblin, 30}, {"Orc 1@20", "Troll 1@20", "Goblin 1@20", "Troll 1@30", "Goblin 2@30", "Troll 1@50"}},
    };
    for (const auto& [add, expected] : steps) {
        enemyList.add(1, add.first, add.second);
        EXPECT_EQ(layout(), expected) << add.first->getName() << "@" << add.second;
    }
}

TEST_F(EnemyListTest, EmptyGroupsAreNeverInserted) {
    EXPECT_EQ(enemyList.insertGroup(new bl3dMonsterList(), 30), nullptr);
    enemyList.add(0, goblin, 30);
    enemyList.add(-4, goblin, 30);
    testing::internal::CaptureStderr();
    enemyList.add(2000000000, goblin, 30);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("OUT OF MEMORY"), std::string::npos);
    EXPECT_TRUE(enemyList.empty());
    EXPECT_EQ(enemyList.countGroups(), 0);
    EXPECT_EQ(enemyList.nextGroup(), nullptr);
    int d = 99;
    EXPECT_EQ(enemyList.nextGroupDist(&d), nullptr);
    EXPECT_EQ(d, 0);
    EXPECT_FALSE(enemyList.advanceGroup(10));
}

TEST_F(EnemyListTest, AdvancingStopsAtMeleeReachAndMerges) {
    enemyList.add(2, goblin, 10);
    enemyList.add(1, orc, 12);
    enemyList.add(3, goblin, 15);
    enemyList.rewind();
    enemyList.nextGroup(); // goblins at 10
    enemyList.nextGroup(); // the orc
    bl3dMonsterList* far = enemyList.nextGroup();
    ASSERT_EQ(far->getSize(), 3u);
    EXPECT_EQ(enemyList.nextGroup(), nullptr);
    // The cursor is at the end: the group before it, the far goblins, moves.
    EXPECT_TRUE(enemyList.advanceGroup(10));
    EXPECT_EQ(layout(), (Layout{"Goblin 5@10", "Orc 1@12"}));
    EXPECT_FALSE(enemyList.hasGroup(far)) << "absorbed into the goblins at 10";
}

TEST_F(EnemyListTest, AdvanceMovesTheGroupLastReturnedAndKeepsTheCursor) {
    enemyList.add(1, goblin, 20);
    enemyList.add(1, orc, 40);
    enemyList.add(1, troll, 60);
    enemyList.rewind();
    EXPECT_EQ(name(enemyList.nextGroup()), "Goblin");
    EXPECT_EQ(name(enemyList.nextGroup()), "Orc");
    ASSERT_TRUE(enemyList.advanceGroup(30)); // the orc: 40 -> 10, now the head
    EXPECT_EQ(name(enemyList.nextGroup()), "Troll") << "the walk goes on where it was";
    EXPECT_EQ(enemyList.nextGroup(), nullptr);
    EXPECT_EQ(layout(), (Layout{"Orc 1@10", "Goblin 1@20", "Troll 1@60"}));

    // Just rewound: the head is the group moved; the cursor stays on it.
    enemyList.rewind();
    ASSERT_TRUE(enemyList.advanceGroup(-50)); // the orc steps back to 60
    EXPECT_EQ(name(enemyList.nextGroup()), "Orc");
    EXPECT_EQ(name(enemyList.nextGroup()), "Troll");
    EXPECT_EQ(enemyList.nextGroup(), nullptr);
    EXPECT_EQ(layout(), (Layout{"Goblin 1@20", "Orc 1@60", "Troll 1@60"}));
}

TEST_F(EnemyListTest, AdvanceAllMovesEveryGroupAndMergesThoseThatMeet) {
    enemyList.add(1, goblin, 10);
    enemyList.add(2, orc, 20);
    enemyList.add(3, goblin, 30);
    enemyList.add(4, orc, 40);
    enemyList.add(1, troll, 70);
    enemyList.rewind();
    enemyList.nextGroup();
    enemyList.nextGroup(); // the cursor is on the goblins at 30
    enemyList.advanceAll(30);
    EXPECT_EQ(name(enemyList.nextGroup()), "Goblin") << "the cursor follows the goblins into their new group";
    EXPECT_EQ(name(enemyList.nextGroup()), "Orc");
    EXPECT_EQ(layout(), (Layout{"Goblin 4@10", "Orc 6@10", "Troll 1@40"}));
}

TEST_F(EnemyListTest, PrunePaysOutAndRemovesTheDead) {
    addItemType(7, "Tooth");
    MonsterTypeRecord_S r = record("Ghoul", 2);
    r.xpBase = 100;
    r.xpSpread = 10;
    r.goldBase = 5;
    r.drops = {"Tooth 1000 1d1+0"};
    bl3dMonsterType* ghoul = addType(r);
    enemyList.add(3, ghoul, 10);
    enemyList.add(2, orc, 20);
    enemyList.add(1, troll, 30);
    enemyList.rewind();
    bl3dMonsterList* ghouls = enemyList.nextGroup();
    bl3dMonsterList* orcs = enemyList.nextGroup(); // the cursor is on the troll
    for (int i = 0; i < 3; ++i)
        ghouls->getMonster(i)->setCurHP(i == 1 ? 1 : 0);
    orcs->getMonster(0)->setCurHP(-3);
    orcs->getMonster(1)->setCurHP(-1);

    int xp = 1, gold = 2;
    PtrList_C loot;
    vell::scriptGameRand({0, 10, 3}); // XP rolls: 100, 90, then the orcs' 0-spread draws
    EXPECT_TRUE(enemyList.prune(&xp, &gold, &loot));
    EXPECT_EQ(xp, 1 + 100 + 90 + 0 + 0);
    EXPECT_EQ(gold, 2 + 5 + 5);
    EXPECT_EQ(loot.count(), 2) << "the dead ghouls' teeth";
    EXPECT_EQ(ghouls->getSize(), 1u);
    EXPECT_EQ(ghouls->getMonster(0)->getCurHP(), 1);
    EXPECT_FALSE(enemyList.hasGroup(orcs));
    EXPECT_EQ(name(enemyList.nextGroup()), "Troll") << "the cursor is untouched";

    // The group under the cursor dies: the cursor moves past it.
    enemyList.rewind();
    enemyList.nextGroup();
    bl3dMonsterList* trolls = enemyList.nextGroup();
    trolls->getMonster(0)->setCurHP(0);
    enemyList.rewind();
    enemyList.nextGroup(); // the cursor is now on the trolls
    EXPECT_TRUE(enemyList.prune(nullptr, nullptr, nullptr));
    EXPECT_EQ(enemyList.nextGroup(), nullptr);
    EXPECT_FALSE(enemyList.prune(nullptr, nullptr, nullptr)) << "nothing left to remove";
    EXPECT_EQ(enemyList.countGroups(), 1);
}

TEST_F(EnemyListTest, PrunedPoolsStopAtTheTopOfTheirRange) {
    MonsterTypeRecord_S r = record("Dragon", 30);
    r.xpBase = 2000000000;
    r.goldBase = 2000000000;
    enemyList.add(2, addType(r), 10);
    bl3dMonsterList* dragons = enemyList.groupAt(0);
    dragons->getMonster(0)->setCurHP(0);
    dragons->getMonster(1)->setCurHP(0);
    int xp = 1000, gold = 1000;
    EXPECT_TRUE(enemyList.prune(&xp, &gold, nullptr));
    EXPECT_EQ(xp, INT32_MAX);
    EXPECT_EQ(gold, INT32_MAX);
}

TEST_F(EnemyListTest, GroupsGobbleRemoveAndIndex) {
    bl3dMonsterList a(2, goblin, 0), b(3, goblin, 0);
    bl3dMonster* firstOfB = b.getMonster(0);
    a.gobble(b);
    EXPECT_EQ(a.getSize(), 5u);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(a.getMonster(2), firstOfB);
    a.removeAt(2);
    EXPECT_EQ(a.getSize(), 4u);
    a.removeAt(4);
    a.removeAt(-1);
    EXPECT_EQ(a.getSize(), 4u);
    EXPECT_EQ(a.getMonster(4), nullptr);
    EXPECT_EQ(a.getMonster(-1), nullptr);
    EXPECT_EQ(b.getType(), nullptr);
}

// --- initiative -------------------------------------------------------------------

struct TaggedUse : ActionUse_S {
    explicit TaggedUse(int t) : tag(t) {}
    int tag;
};

class CountingAction : public FakeAction {
public:
    CountingAction() : FakeAction(0x000e0001, "Attack") {}
    int perform(ActionUse_S* use) override {
        performed.push_back(static_cast<TaggedUse*>(use)->tag);
        return static_cast<TaggedUse*>(use)->tag;
    }
    void freeEntry(ActionUse_S* use) override {
        ++freed;
        delete use;
    }
    std::vector<int> performed;
    int freed = 0;
};

TEST(InitListTest, HighestFirstAndNewBeforeEqual) {
    CountingAction act;
    bl3dInitList list;
    EXPECT_EQ(list.add(&act, new TaggedUse(1), 12), 0);
    EXPECT_EQ(list.add(&act, new TaggedUse(2), 7), 0);
    EXPECT_EQ(list.add(&act, new TaggedUse(3), 12), 0);
    EXPECT_EQ(list.add(&act, new TaggedUse(4), 0x80000000u), 0) << "compared unsigned";
    std::vector<int> order;
    for (int r; (r = list.pop()) != INIT_LIST_EMPTY;)
        order.push_back(r);
    EXPECT_EQ(order, (std::vector<int>{4, 3, 1, 2}));
    EXPECT_EQ(act.freed, 4);
    EXPECT_EQ(list.pop(), INIT_LIST_EMPTY);
}

TEST(InitListTest, ClearReleasesWithoutPerforming) {
    CountingAction act;
    {
        bl3dInitList list;
        list.add(&act, new TaggedUse(1), 5);
        list.add(&act, new TaggedUse(2), 9);
        list.clear();
        EXPECT_TRUE(list.empty());
        list.add(&act, new TaggedUse(3), 1);
    } // the destructor releases what is left
    EXPECT_TRUE(act.performed.empty());
    EXPECT_EQ(act.freed, 3);
}

} // namespace
