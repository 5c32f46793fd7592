// The damage spell in its three target modes for either side: dice, the
// fall-off of a sweep, saving throws, elements, the special rules (poison,
// the instant kill, creature types, illusions), ranges and the narration.
#include "SpellTest.h"

#include "core/MemStream.h"
#include "rules/CharEffect.h"
#include "rules/SavingThrow.h"

#include <cstring>

namespace {

class DamageSpellTest : public SpellTest {
protected:
    // A damage spell of our own ("Blast", no cost) with these parameters.
    bl3dDamageSpell* blast(int32_t range, int32_t mode, int32_t sides, int32_t count, int32_t levelFlag = 0,
                           int32_t flags = 0, int32_t g = 0, int32_t element = 0) {
        SpellRow_S row{900,  "Blast", "BLST", SpellKind::Damage, 0x000f0999, 0x100, 1, 0, 1, 0, 2, 6,
                       {range, mode, sides, count, levelFlag, flags, g, element},
                       nullptr, "A test blast"};
        spells_.push_back(std::make_unique<bl3dDamageSpell>(row));
        return spells_.back().get();
    }
    int fire(bl3dDamageSpell* s, bl3dCharacter* who, void* target, int32_t distance = 0, std::vector<int> rolls = {}) {
        rolls.insert(rolls.begin(), NO_FIZZLE);
        vell::scriptGameRand(rolls);
        return castBy(new bl3dActor(who), s, target, distance);
    }
    // A group of n monsters of the type, each with the kind byte (1: an
    // illusion).
    bl3dMonsterList* group(bl3dMonsterType* type, int n, int distance, int kind = 0) {
        return enemyList.insertGroup(new bl3dMonsterList(n, type, kind), distance);
    }
    static int32_t hpOf(const bl3dMonsterList* g, int i) { return g->getMonster(i)->getCurHP(); }

    std::vector<std::unique_ptr<bl3dDamageSpell>> spells_;
};

TEST_F(DamageSpellTest, SilverStrikeDoublesItsDiceOnTheUndeadWithinTenFeet) {
    bl3dPartyChar* mira = mage("Mira", 20);
    bl3dMonsterList* zombies = group(beast("Zombie", 100, 0, 21), 1, 10);
    bl3dMonsterList* gnolls = group(beast("Gnoll", 100), 1, 10);
    bl3dMonsterList* far = group(beast("Ghast", 100, 0, 21), 1, 20);
    // The catalogue's record: six dice of four sides (the pick, the save,
    // then the dice).
    const std::vector<int> fours = {0, 0, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(castOk("SIST", mira, zombies, fours), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Silver Strike at a #4Zombie#0, causing 48 points of damage!\n");
    EXPECT_EQ(hpOf(zombies, 0), 52);
    castOk("SIST", mira, gnolls, fours);
    EXPECT_EQ(hpOf(gnolls, 0), 76);
    // Out of range: said, and paid.
    castOk("SIST", mira, far, fours);
    EXPECT_EQ(said(), "#2Mira#0 casts Silver Strike at a #4Ghast#0, but it is out of range!\n");
    EXPECT_EQ(hpOf(far, 0), 100);
    EXPECT_EQ(mira->getCurSP(), 20 - 3 * 4);
}

TEST_F(DamageSpellTest, AGroupSweepFallsOffByTwoAndStopsWhenTheFallOffReachesTheMostTheDiceCanDo) {
    bl3dPartyChar* mira = mage("Mira");
    bl3dMonsterList* g = group(beast("Gnoll", 100), 10, 30);
    // 3d6: each monster saves (never) and rolls its own dice.
    std::vector<int> rolls;
    for (int i = 0; i < 9; ++i)
        rolls.insert(rolls.end(), {0, 5, 5, 5});
    EXPECT_EQ(fire(blast(0, 2, 6, 3), mira, g, 30, rolls), 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(hpOf(g, i), 100 - (18 - 2 * i)) << i;
    EXPECT_EQ(hpOf(g, 9), 100) << "the fall-off reached 18";
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at some #4Gnolls#0, affecting 9 of them and doing a total of 90 points "
                      "of damage!\n");
    // Low rolls never fall below 1.
    bl3dMonsterList* h = group(beast("Imp", 50), 3, 30);
    fire(blast(0, 2, 6, 3), mira, h, 30, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(hpOf(h, 0), 47);
    EXPECT_EQ(hpOf(h, 1), 49);
    EXPECT_EQ(hpOf(h, 2), 49);
}

TEST_F(DamageSpellTest, EveryGroupInRangeGetsItsOwnSweep) {
    bl3dPartyChar* mira = mage("Mira");
    bl3dMonsterList* a = group(beast("Gnoll", 50), 3, 10);
    bl3dMonsterList* b = group(beast("Imp", 50), 3, 30);
    bl3dMonsterList* c = group(beast("Bat", 50), 3, 80);
    // 4d1: 4 to the first of each group, 2 to the second, then the fall-off
    // (4) reaches the dice's most.
    EXPECT_EQ(fire(blast(40, 3, 1, 4), mira, nullptr), 0);
    for (bl3dMonsterList* g : {a, b}) {
        EXPECT_EQ(hpOf(g, 0), 46);
        EXPECT_EQ(hpOf(g, 1), 48);
        EXPECT_EQ(hpOf(g, 2), 50);
    }
    EXPECT_EQ(hpOf(c, 0), 50);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at all who face you, affecting 4 of them and doing a total of 12 points "
                      "of damage!\n");
    enemyList.clear();
    group(beast("Bat", 50), 1, 80);
    fire(blast(40, 3, 1, 4), mira, nullptr);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast on all who stand against you, but they are all out of range!\n");
}

TEST_F(DamageSpellTest, AMonsterCasterRollsAndStopsByItsOwnLevel) {
    bl3dPartyChar* ada = mage("Ada", 0, NEVER_SAVES);
    bl3dPartyChar* bo = mage("Bo", 0, NEVER_SAVES);
    bl3dPartyChar* cy = mage("Cy", 0, NEVER_SAVES);
    bl3dMonster* shaman = group(beast("Shaman", 20, 50, 0, 3), 1, 10)->getMonster(0);
    // A sweep over the party rolls 4d1 with the level flag, whatever the
    // level: 4 to the first, 2 to the second; then the fall-off (4) passes
    // the most the dice can do at level 3 (3).
    EXPECT_EQ(fire(blast(0, 2, 1, 1, 1), shaman, nullptr, 10), 0);
    EXPECT_EQ(ada->getCurHP(), 26);
    EXPECT_EQ(bo->getCurHP(), 28);
    EXPECT_EQ(cy->getCurHP(), 30);
    EXPECT_EQ(said(), "A #4Shaman#0 casts Blast at the party, doing a total of 6 points of damage!\n");
    // Without the flag: 1d1.
    fire(blast(0, 3, 1, 1), shaman, nullptr, 10);
    EXPECT_EQ(ada->getCurHP(), 25);
    ada->setCurHP(27);
    bo->setCurHP(29);
    // A monster of level 0 counts 4.
    bl3dMonster* imp = group(beast("Imp", 20, 50, 0, 0), 1, 10)->getMonster(0);
    fire(blast(0, 1, 1, 1, 1), imp, ada, 10);
    EXPECT_EQ(ada->getCurHP(), 23);
    EXPECT_EQ(said(), "An #4Imp#0 casts Blast at #2Ada#0, causing 4 points of damage!\n");
    // Beyond the range: said, nobody hurt.
    fire(blast(20, 1, 1, 1), imp, bo, 30);
    EXPECT_EQ(said(), "An #4Imp#0 casts Blast at #2Bo#0, but it is out of range!\n");
    fire(blast(20, 3, 1, 1), imp, nullptr, 30);
    EXPECT_EQ(said(), "An #4Imp#0 casts Blast at the party, but it is out of range!\n");
    EXPECT_EQ(bo->getCurHP(), 29);
}

TEST_F(DamageSpellTest, SavesAndElements) {
    bl3dPartyChar* mira = mage("Mira");
    // An orc saves on a high roll (index 4 of its table's first row).
    bl3dMonsterList* orcs = group(beast("Orc", 50), 1, 10);
    fire(blast(0, 1, 1, 10), mira, orcs, 10, {0, 19});
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at an #4Orc#0, but the spell fizzles!\n");
    EXPECT_EQ(hpOf(orcs, 0), 50);

    bl3dMonsterList* imps = group(beast("Imp", 50), 1, 10);
    bl3dStatBlock* stats = imps->getMonster(0)->getStatBlock();
    stats->setBase(STAT_FIRE_HIT, 100); // always resists fire
    fire(blast(0, 1, 1, 10, 0, 0, 0, ELEMENT_FIRE), mira, imps, 10);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at an #4Imp#0, but it resists!\n");
    EXPECT_EQ(hpOf(imps, 0), 50);
    stats->setBase(STAT_FIRE_HIT, 0);
    stats->setBase(STAT_FIRE_DMG, 50); // half again the damage
    fire(blast(0, 1, 1, 10, 0, 0, 0, ELEMENT_FIRE), mira, imps, 10);
    EXPECT_EQ(hpOf(imps, 0), 35);
    // No dice at all still do a point.
    fire(blast(0, 1, 6, 0), mira, imps, 10);
    EXPECT_EQ(hpOf(imps, 0), 34);
}

TEST_F(DamageSpellTest, TheInstantKillOfOneIsEvenTheRestTakeTheRecordsChance) {
    bl3dPartyChar* mira = mage("Mira");
    bl3dMonsterList* g = group(beast("Gnoll", 50), 3, 10);
    // The party's strike at one creature kills on a roll below 50, whatever
    // the record's chance (pick, save, die, the kill roll).
    fire(blast(0, 1, 1, 1, 0, bl3dDamageSpell::DMG_INSTANT_KILL, 100), mira, g, 10, {0, 0, 0, 50});
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at a #4Gnoll#0, causing 1 points of damage!\n");
    fire(blast(0, 1, 1, 1, 0, bl3dDamageSpell::DMG_INSTANT_KILL, 0), mira, g, 10, {0, 0, 0, 49});
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at a #4Gnoll#0, killing it instantly!\n");
    EXPECT_LT(hpOf(g, 0), 1);
    // A sweep takes the record's chance; one that only kills has done no
    // damage and is told as a fizzle. The dead are passed by.
    fire(blast(0, 2, 1, 1, 0, bl3dDamageSpell::DMG_INSTANT_KILL, 100), mira, g, 10);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at some #4Gnolls#0, but it fizzles!\n");
    EXPECT_LT(hpOf(g, 1), 1);
    EXPECT_LT(hpOf(g, 2), 1);
    // A monster's strike at one member takes the record's chance too.
    bl3dPartyChar* bo = mage("Bo", 0, NEVER_SAVES);
    bl3dMonster* shaman = group(beast("Shaman", 20, 50, 0, 3), 1, 20)->getMonster(0);
    fire(blast(0, 1, 1, 1, 0, bl3dDamageSpell::DMG_INSTANT_KILL, 0), shaman, bo, 10, {0, 0, 0});
    EXPECT_EQ(said(), "A #4Shaman#0 casts Blast at #2Bo#0, causing 1 points of damage!\n");
    // Swift creatures shrug it off.
    bl3dMonsterList* cats = group(beast("Lynx", 50, 0, 4), 1, 10);
    fire(blast(0, 1, 1, 1, 0, bl3dDamageSpell::DMG_INSTANT_KILL, 100), mira, cats, 10);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at a #4Lynx#0, but it resists!\n");
    EXPECT_EQ(hpOf(cats, 0), 50);
}

TEST_F(DamageSpellTest, CreatureTypesPoisonAndIllusions) {
    bl3dPartyChar* mira = mage("Mira");
    bl3dMonsterList* gnolls = group(beast("Gnoll", 50), 1, 10);
    // Only against the undead: a gnoll takes nothing.
    fire(blast(0, 1, 1, 5, 0, bl3dDamageSpell::DMG_ONLY_TYPE, 21), mira, gnolls, 10);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at a #4Gnoll#0, but it has no effect!\n");
    // Never against kind 0.
    fire(blast(0, 1, 1, 5, 0, bl3dDamageSpell::DMG_SPARE_TYPE, 0), mira, gnolls, 10);
    EXPECT_EQ(hpOf(gnolls, 0), 50);
    // Poison: the bit and the effect.
    fire(blast(0, 1, 1, 5, 0, bl3dDamageSpell::DMG_POISON, (2 << 20) | (1 << 5) | 4), mira, gnolls, 10);
    EXPECT_TRUE(gnolls->getMonster(0)->isPoisoned());
    EXPECT_EQ(gnolls->getMonster(0)->countEffects(EFFECT_POISON), 1);
    EXPECT_EQ(hpOf(gnolls, 0), 45);
    // Illusions vanish without counting damage.
    bl3dMonsterList* ghosts = group(beast("Phantasm", 40), 2, 20, 1);
    fire(blast(0, 2, 1, 5, 0, bl3dDamageSpell::DMG_DISPEL), mira, ghosts, 20);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at some #4Phantasms#0, disbelieving 2 of them!\n");
    EXPECT_LT(hpOf(ghosts, 1), 1);
    bl3dMonsterList* ghost = group(beast("Shade", 40), 1, 30, 1);
    fire(blast(0, 1, 1, 5, 0, bl3dDamageSpell::DMG_DISPEL), mira, ghost, 30);
    EXPECT_EQ(said(), "#2Mira#0 casts Blast at a #4Shade#0, causing it to disappear!\n");
}

TEST_F(DamageSpellTest, AGoneGroupOrAnUnknownModeRefusesBeforePaying) {
    bl3dPartyChar* mira = mage("Mira", 20);
    SpellRow_S row{901, "Dear", "DEAR", SpellKind::Damage, 0x000f0998, 0x100, 1, 5, 1, 0, 2, 6,
                   {0, 2, 6, 1, 0, 0, 0, 0}, nullptr, ""};
    bl3dDamageSpell costly(row);
    bl3dMonsterList gone(2, beast(), 0);
    vell::scriptGameRand({NO_FIZZLE});
    EXPECT_EQ(castBy(new bl3dActor(mira), &costly, &gone), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Dear, but her target is gone!");
    EXPECT_EQ(mira->getCurSP(), 20);
    EXPECT_EQ(fire(blast(0, 4, 6, 1), mira, nullptr), -1);
}

TEST_F(DamageSpellTest, SilverStrikeWritesItselfAsAnActionRecord) {
    MemStream_C s;
    spell("SIST")->writeRecord(s);
    const RefStr_C name = spell("SIST")->name();
    const RefStr_C desc = spell("SIST")->description();
    const uint32_t strings = static_cast<uint32_t>(std::strlen(name.c_str()) + std::strlen(desc.c_str())) + 4 + 2 + 5;
    ASSERT_EQ(s.size(), 24 + strings + 8 + 4 + 24);
    uint32_t u32 = 0;
    uint16_t u16 = 0;
    uint8_t b = 0;
    ASSERT_TRUE(s.readUInt32(u32));
    EXPECT_EQ(u32, 0x000f0021u);
    s.readUInt16(u16);
    EXPECT_EQ(u16, std::strlen(name.c_str()));
    s.readUInt16(u16);
    s.readByte(b);
    EXPECT_EQ(b, 1); // one monster
    s.readByte(b);
    EXPECT_EQ(b, 10); // range
    s.readByte(b);
    EXPECT_EQ(b, 2); // level
    s.readByte(b);
    EXPECT_EQ(b, 2); // a spell
    s.readUInt32(u32);
    EXPECT_EQ(u32, 0x100u);
    s.setReadPos(24 + strings);
    char code[5] = {};
    s.read(code, 4);
    EXPECT_STREQ(code, "SIST");
    s.readUInt16(u16);
    EXPECT_EQ(u16, 2); // path
    s.readUInt16(u16);
    EXPECT_EQ(u16, 4); // cost
    s.readUInt16(u16);
    EXPECT_EQ(u16, 1); // a damage effect
    s.readUInt16(u16);
    EXPECT_EQ(u16, 24);
    s.setReadPos(s.size() - 8);
    s.readUInt32(u32);
    EXPECT_EQ(u32, 16u); // double damage against...
    s.readUInt32(u32);
    EXPECT_EQ(u32, 21u); // ...the undead
}

} // namespace
