// Combat monsters and joined monsters: what they take from their type, and
// a joined monster's alignment and sex after a reload.
#include "MonsterTestEnv.h"
#include "rules/Monster.h"
#include "rules/PartyChar.h"

#include <memory>

namespace {

class MonsterTest : public MonsterRulesTest {};

TEST_F(MonsterTest, MonsterTakesItsTypesNamesListsAndRolls) {
    MonsterTypeRecord_S r = record("Orc", 3, 20, 5);
    r.pluralName = "Orcs";
    r.spBase = 4;
    r.goldBase = 30;
    r.goldSpread = 10;
    r.stats[STAT_ST] = 16;
    r.stats[STAT_AC] = 6;
    r.creatureType = 7;
    r.sexCode = 2;
    bl3dMonsterType* t = addType(r);
    vell::scriptGameRand({2, 0, 4}); // hp 20 - 2, sp 4 - 0, gold 30 - 4
    bl3dMonster m(t, nullptr, 9);
    EXPECT_EQ(m.getMaxHP(), 18);
    EXPECT_EQ(m.getCurHP(), 18);
    EXPECT_EQ(m.getMaxSP(), 4);
    EXPECT_EQ(m.rawGold(), 26);
    EXPECT_EQ(m.getStatBlock()->getCur(STAT_ST), 16);
    EXPECT_STREQ(m.getName(), "Orc");
    EXPECT_STREQ(m.displayName(true), "Orcs");
    EXPECT_STREQ(m.displayName(false), "Orc");
    EXPECT_STREQ(m.article(true), "An");
    EXPECT_STREQ(m.pronoun(2), "his");
    EXPECT_TRUE(m.isEvil());
    EXPECT_TRUE(m.isMonster());
    EXPECT_FALSE(m.isPartyMember());
    EXPECT_EQ(m.getLevel(), 3);
    EXPECT_EQ(m.creatureType(), 7);
    EXPECT_EQ(m.kind(), 9);
    EXPECT_EQ(m.actions(), t->actions());
    EXPECT_STREQ(m.nameBuffer(), "Orc");
    m.setCurHP(1);
    m.changeHP(-5);
    EXPECT_TRUE(env.sounds.empty()) << "monsters die without a cry";
}

TEST_F(MonsterTest, EmptyPluralFallsBackToTheName) {
    MonsterTypeRecord_S r = record("Ooze");
    r.pluralName = "";
    bl3dMonster m(addType(r), nullptr, 0);
    EXPECT_STREQ(m.displayName(true), "Ooze");
}

TEST_F(MonsterTest, JoinedMonsterReloadsWithItsTypesAlignmentAndSex) {
    MonsterTypeRecord_S r = record("Wolf");
    r.sexCode = 0;
    bl3dMonsterType* t = addType(r);
    bl3dPartyChar wolf("Wolf", CLASS_JOINED, RACE_MONSTER, false, ALIGN_EVIL, nullptr, t);
    wolf.setGender(SEX_NONE);
    MemStream_C s;
    wolf.write(s);
    std::unique_ptr<Storable_C> rec = bl3dPartyChar::create(RefStr_C("Wolf"), 1, s);
    ASSERT_NE(rec, nullptr);
    auto* back = static_cast<bl3dPartyChar*>(rec.get());
    EXPECT_EQ(back->getMonsterType(), t);
    EXPECT_TRUE(back->isEvil()) << "alignment is not stored; it comes from the type";
    EXPECT_TRUE(back->isSexless()) << "the stored flag cannot say none; the type can";
    EXPECT_EQ(back->getRace(), RACE_MONSTER);
}

} // namespace
