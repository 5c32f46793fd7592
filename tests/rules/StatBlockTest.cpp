// Stat block: recompute under the conditions, the armour floor, modifier
// expiry, cures, changeMods, the creation roll and the stored form.
#include "RulesTestEnv.h"
#include "rules/StatBlock.h"

namespace {

class StatBlockTest : public RulesTest {
protected:
    void base(int32_t v) {
        for (int i = 0; i < STAT_COUNT; ++i)
            b.setBase(i, v);
        b.setBase(STAT_CONDITIONS, 0);
    }
    bl3dStatBlock b;
};

struct CondCase {
    const char* what;
    int32_t conditions;
    // expected current ST, DX, CN, ATTACK, DAMAGE, EXTRA, IQ
    int32_t st, dx, cn, attack, damage, extra, iq;
};

TEST_F(StatBlockTest, RecomputeAppliesConditionPenalties) {
    const CondCase cases[] = {
        {"none", 0, 15, 15, 15, 15, 15, 15, 15},
        {"stunned (no penalty)", COND_STUNNED, 15, 15, 15, 15, 15, 15, 15},
        {"aged", COND_AGED, 1, 1, 1, 0, 0, 1, 1},
        {"withered", COND_WITHERED, 1, 1, 1, 0, 0, 1, 1},
        {"sleeping", COND_SLEEPING, 15, 1, 15, 15, 15, 15, 15},
        {"poisoned", COND_POISONED, 9, 9, 7, 0, 0, 15, 15},
        {"poisoned and sleeping", COND_POISONED | COND_SLEEPING, 9, 1, 7, 0, 0, 15, 15},
        {"aged and poisoned", COND_AGED | COND_POISONED, 1, 1, 1, 0, 0, 1, 1},
        {"blind, song, hidden, stone", COND_BLIND | COND_SONG | COND_HIDDEN | COND_STONE, 15, 15, 15, 15, 15, 15,
         15},
    };
    for (const CondCase& c : cases) {
        SCOPED_TRACE(c.what);
        b.clear();
        base(15);
        b.setBase(STAT_CONDITIONS, c.conditions);
        b.recompute();
        EXPECT_EQ(b.getCur(STAT_ST), c.st);
        EXPECT_EQ(b.getCur(STAT_DX), c.dx);
        EXPECT_EQ(b.getCur(STAT_CN), c.cn);
        EXPECT_EQ(b.getCur(STAT_ATTACK), c.attack);
        EXPECT_EQ(b.getCur(STAT_DAMAGE), c.damage);
        EXPECT_EQ(b.getCur(STAT_EXTRA_ATTACKS), c.extra);
        EXPECT_EQ(b.getCur(STAT_IQ), c.iq);
        EXPECT_EQ(b.getBase(STAT_ST), 15) << "penalties never touch the base";
    }
}

TEST_F(StatBlockTest, PoisonNeverTakesAStatBelowOne) {
    b.setBase(STAT_ST, 4);
    b.setBase(STAT_CN, 8);
    b.setBase(STAT_CONDITIONS, COND_POISONED);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 1);
    EXPECT_EQ(b.getCur(STAT_CN), 1);
}

TEST_F(StatBlockTest, ArmourClassFloorsAtMinusForty) {
    b.setBase(STAT_AC, 10);
    b.addModifier(STAT_AC, -55, 0, MOD_ITEM, 7, 0);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_AC), -40);
    b.addModifier(STAT_AC, -20, 0, MOD_ITEM, 8, 0);
    b.setBase(STAT_AC, 10); // setBase alone does not clamp; getCur still does
    EXPECT_EQ(b.getCur(STAT_AC), -40);
    b.removeModsByKey(7, 0);
    b.removeModsByKey(8, 0);
    EXPECT_EQ(b.getCur(STAT_AC), 10);
}

TEST_F(StatBlockTest, TimedModifierExpiresAtItsEdgeTick) {
    env.now = 1000;
    b.setBase(STAT_ST, 10);
    b.addModifier(STAT_ST, 3, 20, MOD_DEFEND, 0, 0);
    b.addModifier(STAT_ST, 1, 0, MOD_DEFEND, 0, 0); // permanent
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 14);
    env.now = 1019;
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 14) << "one tick before the end";
    env.now = 1020;
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 11) << "gone at tick + duration";
    env.now = 4000000000u;
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 11) << "duration 0 never expires";
}

TEST_F(StatBlockTest, ConditionModifiersAreOredAndCuredOnlyWhenExact) {
    b.addModifier(STAT_CONDITIONS, COND_STUNNED | COND_POISONED, 0, MOD_DEFEND, 0, 0);
    b.addModifier(STAT_CONDITIONS, COND_STUNNED, 0, MOD_DEFEND, 0, 0);
    b.addModifier(STAT_CONDITIONS, COND_SLEEPING, 0, MOD_DEFEND, 0, 0);
    b.addModifier(STAT_CONDITIONS, COND_SLEEPING, 0, MOD_DEFEND, 0, 0);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_CONDITIONS), COND_STUNNED | COND_POISONED | COND_SLEEPING);
    b.cureStun();
    b.cureSleep();
    EXPECT_EQ(b.getCur(STAT_CONDITIONS), COND_STUNNED | COND_POISONED) << "0x03 survives the stun cure";
    EXPECT_EQ(b.modsOf(STAT_CONDITIONS).count(), 1);
}

TEST_F(StatBlockTest, ConditionInBaseAndModifierIsOneBit) {
    b.setBase(STAT_CONDITIONS, COND_BLIND);
    b.addModifier(STAT_CONDITIONS, COND_BLIND, 0, MOD_DEFEND, 0, 0);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_CONDITIONS), COND_BLIND);
    b.setBase(STAT_CONDITIONS, 0);
    EXPECT_EQ(b.getCur(STAT_CONDITIONS), COND_BLIND) << "the modifier's bit stays";
    b.setBase(STAT_CONDITIONS, COND_BLIND);
    b.cureBlind();
    EXPECT_EQ(b.getCur(STAT_CONDITIONS), COND_BLIND) << "the base's bit stays";
}

TEST_F(StatBlockTest, ChangeModsSuspendsResumesAndDrops) {
    b.setBase(STAT_ST, 10);
    b.addModifier(STAT_ST, 1, 0, MOD_SONG, 0, 0);
    b.addModifier(STAT_ST, 10, 0, MOD_TYPE2, 0, 0);
    b.addModifier(STAT_ST, 100, 0, MOD_ITEM, 5, 0);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 121);
    b.changeMods(0);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 20) << "items suspended, song dropped";
    b.changeMods(3);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 120);
    b.changeMods(2);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 110);
    b.changeMods(9);
    b.recompute();
    EXPECT_EQ(b.getCur(STAT_ST), 110);
}

TEST_F(StatBlockTest, IndicesOutOfRangeAreRefused) {
    EXPECT_EQ(b.setBase(22, 5), -1);
    EXPECT_EQ(b.setBase(-1, 5), -1);
    EXPECT_EQ(b.addModifier(22, 1, 0, MOD_ITEM, 0, 0), -1);
    EXPECT_EQ(b.getCur(100), 0);
    EXPECT_EQ(b.getBase(-3), 0);
    EXPECT_EQ(b.setBase(21, 5), 21);
}

TEST_F(StatBlockTest, CreationRollFollowsTheDice) {
    // Two draws per stat for stats 0..5.
    vell::scriptGameRand({0, 0, 5, 5, 1, 2, 3, 4, 0, 5, 2, 2});
    creationStats.clear();
    creationStats.addModifier(STAT_ST, 4, 0, MOD_DEFEND, KEY_CREATION, 0);
    creationStats.addModifier(STAT_IQ, 2, 0, MOD_DEFEND, KEY_RACE, 0);
    creationStats.rollCreation(3);
    EXPECT_EQ(creationStats.getBase(STAT_ST), 8);
    EXPECT_EQ(creationStats.getBase(STAT_IQ), 18);
    EXPECT_EQ(creationStats.getBase(STAT_WI), 11);
    EXPECT_EQ(creationStats.getBase(STAT_DX), 15);
    EXPECT_EQ(creationStats.getBase(STAT_CN), 13);
    EXPECT_EQ(creationStats.getBase(STAT_CH), 12);
    // CO = (IQ + WI + CN + CH + bonus) / 5.0 + 0.5 from current values (IQ 20)
    EXPECT_EQ(creationStats.getBase(STAT_CO), static_cast<int>((20 + 11 + 13 + 12 + 3) / 5.0 + 0.5));
    EXPECT_EQ(creationStats.getBase(STAT_LK), (11 + 15 + 13 + 12) / 4);
    EXPECT_EQ(creationStats.getBase(STAT_AC), 10);
    EXPECT_EQ(creationStats.getBase(STAT_EXTRA_ATTACKS), 1);
    for (int i : {13, 15, 17, 19})
        EXPECT_EQ(creationStats.getBase(i), 10);
    for (int i : {9, 10, 12, 14, 16, 18, 20, 21})
        EXPECT_EQ(creationStats.getBase(i), 0);
    EXPECT_EQ(creationStats.getCur(STAT_ST), 8) << "the (1,0) modifiers are gone";
    EXPECT_EQ(creationStats.getCur(STAT_IQ), 20) << "other keys stay";
    EXPECT_EQ(creationStats.getCur(STAT_AC), 9) << "a DX of 15 gives an armour bonus of 1";
    // A re-roll replaces the armour bonus rather than adding another.
    vell::scriptGameRand({0, 0, 0, 0, 0, 0, 5, 5, 0, 0, 0, 0});
    creationStats.rollCreation(3);
    EXPECT_EQ(creationStats.getCur(STAT_DX), 18);
    EXPECT_EQ(creationStats.getCur(STAT_AC), 6);
    vell::scriptGameRand({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    creationStats.rollCreation(3);
    EXPECT_EQ(creationStats.getCur(STAT_AC), 10);
    // The race's factor counts in halves: IQ 14, WI, CN and Ch 10 give
    // (44 + 18.0) / 5 + 0.5 = 12.9 for a Human, 12, and
    // (44 + 18.5) / 5 + 0.5 = 13.0 for a Half-Elf, 13.
    creationStats.clear();
    for (int i = STAT_ST; i <= STAT_CH; ++i)
        creationStats.setBase(i, 10);
    creationStats.setBase(STAT_IQ, 14);
    creationStats.deriveCreation(18.0f);
    EXPECT_EQ(creationStats.getBase(STAT_CO), 12);
    EXPECT_EQ(creationStats.getBase(STAT_LK), (10 + 10 + 10 + 12) / 4);
    creationStats.deriveCreation(18.5f);
    EXPECT_EQ(creationStats.getBase(STAT_CO), 13);
    creationStats.clear();
}

TEST_F(StatBlockTest, StoredFormKeepsModifiersInReverseOrder) {
    env.now = 500;
    b.setBase(STAT_ST, 12);
    b.setBase(STAT_CONDITIONS, COND_POISONED);
    b.addModifier(STAT_ST, 2, 40, MOD_DEFEND, 9, 1);
    env.now = 510;
    b.addModifier(STAT_ST, -1, 0, MOD_ITEM, 77, 0);
    b.recompute();
    MemStream_C s;
    b.save(s);
    ASSERT_EQ(s.size(), 88u + 22 * 4 + 2 * 24);
    bl3dStatBlock c;
    ASSERT_TRUE(c.load(s));
    EXPECT_EQ(c.getBase(STAT_ST), 12);
    EXPECT_EQ(c.getCur(STAT_ST), 13) << "combined, no condition penalty until recompute";
    const auto& mods = c.modsOf(STAT_ST).mods();
    ASSERT_EQ(c.modsOf(STAT_ST).count(), 2);
    EXPECT_EQ(mods.front().value, 2) << "reversed: the oldest is now first";
    EXPECT_EQ(mods.front().timeAdded, 500u);
    env.now = 540;
    c.recompute();
    EXPECT_EQ(c.getCur(STAT_ST), 12 - 1 - 6) << "the timed one ran out at the same tick";
}

TEST_F(StatBlockTest, DamagedStoredFormsAreRefused) {
    b.setBase(STAT_ST, 12);
    b.addModifier(STAT_ST, 2, 40, MOD_DEFEND, 9, 1);
    MemStream_C s;
    b.save(s);
    const std::vector<uint8_t> good = streamBytes(s);
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
        MemStream_C t;
        fillStream(t, part);
        bl3dStatBlock c;
        EXPECT_FALSE(c.load(t)) << "cut at " << cut;
    }
    // A node count far beyond the bytes left.
    std::vector<uint8_t> bad = good;
    bad[88] = 0xff;
    bad[89] = 0xff;
    bad[90] = 0xff;
    bad[91] = 0x0f;
    MemStream_C t;
    fillStream(t, bad);
    bl3dStatBlock c;
    EXPECT_FALSE(c.load(t));
    EXPECT_EQ(c.getBase(STAT_ST), 0) << "a refused block is left cleared";
}

} // namespace
