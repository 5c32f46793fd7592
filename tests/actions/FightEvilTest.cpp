// Fight Evil: the call upon the deity before an ordinary attack, against
// evil and non-evil foes, heard or ignored, the first tier's counter, and
// the group the attack is aimed at (never a stale index).
#include "ActionTest.h"

#include "actions/FightEvil.h"
#include "rules/EnemyList.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

constexpr int32_t FIGHT_EVIL = 0x000e0004;
constexpr int32_t FIGHT_EVIL_DIVINE = 0x000e0008;

// Monster types are always evil: this one's monsters are not.
class GoodMonster : public bl3dMonster {
public:
    using bl3dMonster::bl3dMonster;
    bool isEvil() const override { return false; }
};

class FightEvilTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        MemberSpec_S m;
        m.name = "Pia";
        m.classId = 0x20;
        m.male = false;
        m.stats[STAT_CH] = 18;
        m.skills = {FIGHT_EVIL, 0x000e0005, 0x000e0006, 0x000e0007, FIGHT_EVIL_DIVINE};
        pia = kit->addMember(m);
        pia->getTagList()->setInt(tagkey::FightEvilCur, 2);
        kit->give(pia, kit->weaponType("Sword", 1, 8, CAT_LONG_BLADE), SLOT_RT_HAND);
        MonsterSpec_S orc;
        orc.hp = 30;
        orc.stats[STAT_AC] = 0;
        orcs = kit->monsterType(orc);
    }
    int32_t counter() {
        int32_t n = -1;
        pia->getTagList()->getInt(tagkey::FightEvilCur, n);
        return n;
    }
    bl3dMonsterList* goodies(int distance) {
        MonsterSpec_S s;
        s.name = "Goodie";
        s.plural = "Goodies";
        s.hp = 30;
        s.stats[STAT_AC] = 0;
        bl3dMonsterType* t = kit->monsterType(s);
        auto* g = new bl3dMonsterList;
        g->append(new GoodMonster(t, nullptr, 0));
        return enemyList.insertGroup(g, distance);
    }

    bl3dPartyChar* pia = nullptr;
    bl3dMonsterType* orcs = nullptr;
};

TEST_F(FightEvilTest, AHeardCallLendsItsBonusToOneBlow) {
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    // foe, heard (CH 18: always), the attack's pick, d20 9 (+2 hits AC 0),
    // die 1 (+2 damage).
    vell::scriptGameRand({0, 99, 0, 8, 0});
    EXPECT_EQ(run(FIGHT_EVIL, pia, g), 0);
    EXPECT_EQ(said(), "Calling upon her deity's name, #2Pia#0 attacks an #4Orc#0, and hits for #43#0 points!\n");
    EXPECT_EQ(g->getMonster(0)->getCurHP(), 27);
    EXPECT_EQ(counter(), 1);
    EXPECT_EQ(pia->getStatBlock()->getCur(STAT_ATTACK), 0) << "the bonus is gone after the blow";
    EXPECT_EQ(pia->getStatBlock()->getCur(STAT_DAMAGE), 0);
}

TEST_F(FightEvilTest, WithoutUsesLeftTheCallFailsAndAPlainAttackFollows) {
    pia->getTagList()->setInt(tagkey::FightEvilCur, 0);
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    // No foe is sought for a call that is never made: the attack's pick,
    // then its d20.
    vell::scriptGameRand({0, 8});
    EXPECT_EQ(run(FIGHT_EVIL, pia, g), 0);
    EXPECT_EQ(said(), "Pia attempts to call upon her deity, but is dumbfounded! #2Pia#0 attacks an #4Orc#0, but misses!\n");
    EXPECT_EQ(counter(), 0);
}

TEST_F(FightEvilTest, ANonEvilFoeGetsAPlainAttackAndTheUseIsSpent) {
    bl3dMonsterList* g = goodies(10);
    vell::scriptGameRand({0, 0, 8});
    EXPECT_EQ(run(FIGHT_EVIL, pia, g), 0);
    EXPECT_EQ(said(),
              "Pia calls upon her deity's name, but Goodies are not evil! #2Pia#0 attacks a #4Goodie#0, but misses!\n");
    EXPECT_EQ(counter(), 1);
}

TEST_F(FightEvilTest, TheDeityHearsByCharisma) {
    pia->getStatBlock()->setBase(STAT_CH, 12); // a 25 % chance
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    vell::scriptGameRand({0, 25, 0, 8});
    run(FIGHT_EVIL, pia, g);
    EXPECT_EQ(said(), "Pia calls upon her deity's name, but seems to be ignored! #2Pia#0 attacks an #4Orc#0, but misses!\n");
    vell::scriptGameRand({0, 24, 0, 8, 0});
    run(FIGHT_EVIL, pia, g);
    EXPECT_EQ(said().rfind("Calling upon her deity's name, ", 0), 0u) << said();
    struct Case {
        int32_t ch;
        int percent;
    };
    const Case cases[] = {{-5, 10}, {11, 10}, {12, 25}, {13, 50}, {17, 90}, {18, 100}, {25, 100}};
    for (const Case& c : cases)
        EXPECT_EQ(bl3dFightEvil::heardChance(c.ch), c.percent) << c.ch;
}

TEST_F(FightEvilTest, TheDivineTierIsAlwaysHeard) {
    pia->getStatBlock()->setBase(STAT_CH, 3);
    bl3dMonsterList* g = kit->addGroup(orcs, 1, 10);
    // No roll for being heard: foe, pick, d20 3 (+10 hits), die 1 (+10).
    vell::scriptGameRand({0, 0, 3, 0});
    run(FIGHT_EVIL_DIVINE, pia, g);
    EXPECT_EQ(said(), "Calling upon her deity's divine power, #2Pia#0 attacks an #4Orc#0, and hits for #411#0 points!\n");
    EXPECT_EQ(counter(), 2) << "only the first tier counts its uses";
}

TEST_F(FightEvilTest, TheUseIsSpentBeforeTheFoeIsSought) {
    // An index past the groups (what a party slot used as an index gave):
    // the nearest group with a living foe is fought instead.
    bl3dMonsterList* near = kit->addGroup(orcs, 1, 10);
    int32_t distance = 0;
    void* context[2] = {&text, &distance};
    bl3dAction* fe = action(FIGHT_EVIL);
    ActionUse_S* u = fe->enqueue(new bl3dActor(pia), 5, 2, context);
    ASSERT_NE(u, nullptr);
    vell::scriptGameRand({0, 99, 0, 8, 0});
    EXPECT_EQ(fe->perform(u), 0);
    fe->freeEntry(u);
    EXPECT_EQ(near->getMonster(0)->getCurHP(), 27);

    // With nobody living anywhere the call finds no foe, and stays spent.
    near->getMonster(0)->setCurHP(0);
    EXPECT_EQ(counter(), 1);
    EXPECT_EQ(run(FIGHT_EVIL, pia, near), -2);
    EXPECT_EQ(counter(), 0);
    EXPECT_EQ(run(FIGHT_EVIL, pia, near), -1) << "no use left: the plain attack finds nobody";
    EXPECT_EQ(counter(), 0);
}

TEST_F(FightEvilTest, TheFarGroupChosenIsTheOneFought) {
    kit->addGroup(orcs, 1, 10);
    MonsterSpec_S w;
    w.name = "Wolf";
    bl3dMonsterList* wolves = kit->addGroup(kit->monsterType(w), 1, 10);
    ASSERT_NE(wolves, nullptr);
    int32_t distance = 0;
    void* context[2] = {&text, &distance};
    bl3dAction* fe = action(FIGHT_EVIL);
    ActionUse_S* u = fe->enqueue(new bl3dActor(pia), 1, 2, context);
    vell::scriptGameRand({0, 99, 0, 8, 0});
    fe->perform(u);
    fe->freeEntry(u);
    EXPECT_NE(said().find("#4Wolf#0"), std::string::npos) << said();
}

TEST_F(FightEvilTest, MonstersAndTheDeadCannotCall) {
    bl3dMonster* orc = kit->addGroup(orcs, 1, 10)->getMonster(0);
    EXPECT_EQ(run(FIGHT_EVIL, orc, pia, 10), -5);
    pia->setCurHP(0);
    EXPECT_EQ(run(FIGHT_EVIL, pia, nullptr), -6);
    EXPECT_EQ(counter(), 2);
}

} // namespace
