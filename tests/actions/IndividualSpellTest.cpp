// The spells with rules of their own, each with its main path and its
// refusals.
#include "SpellTest.h"

#include "actions/Attributes.h"
#include "actions/IndividualSpells.h"
#include "rules/Party.h"
#include "rules/TagKeys.h"

namespace {

class IndividualSpellTest : public SpellTest {
protected:
    bl3dMonsterList* group(const char* name, int n, int distance, int32_t sp = 0, int32_t kind = 0, int illusion = 0) {
        return enemyList.insertGroup(new bl3dMonsterList(n, beast(name, 20, sp, kind), illusion), distance);
    }
    int distanceOf(const bl3dMonsterList* g) const { return enemyList.distanceOf(g); }
};

TEST_F(IndividualSpellTest, MindPhazingCloudsAMindUntilTheReset) {
    bl3dPartyChar* mira = mage("Mira", 100);
    bl3dMonsterList* g = group("Gnoll", 1, 20, 30);
    EXPECT_EQ(castOk("MIPH", mira, g, {0, 0, 0}), 0); // the pick, two saves
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Phazing at a #4Gnoll#0, phazing his mind!\n");
    EXPECT_EQ(intAttribute(g->getMonster(0), tagkey::Fizzle), 1);
    EXPECT_EQ(queuedAt(EVENT_ID_FIZZLE_RESET), std::vector<uint32_t>{now() + 5});
    // Beyond 30 feet.
    bl3dMonsterList* far = group("Imp", 1, 40, 30);
    castOk("MIPH", mira, far);
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Phazing at an #4Imp#0, but it is out of range!\n");
    EXPECT_EQ(intAttribute(far->getMonster(0), tagkey::Fizzle), 0);

    // A monster clouds a member's mind: the member casts nothing.
    bl3dPartyChar* bo = mage("Bo", 50, NEVER_SAVES, 10, true);
    bl3dMonster* gnoll = g->getMonster(0);
    gnoll->getTagList()->setInt(tagkey::Fizzle, 0);
    gnoll->setMaxSP(30);
    gnoll->setCurSP(30);
    castOk("MIPH", gnoll, bo, {0, 0}, 20);
    EXPECT_EQ(said(), "A #4Gnoll#0 casts Mind Phazing at #2Bo#0, phazing his mind!\n");
    castOk("CASP", bo);
    EXPECT_EQ(said(), "#2Bo#0 tries to cast Call Sprite, but his mind is clouded!\n");
    EXPECT_EQ(bo->getCurSP(), 50);
}

TEST_F(IndividualSpellTest, MindDrainAndSpiritFistTakeSpellPoints) {
    bl3dPartyChar* mira = mage("Mira", 100, 0x100, 3);
    mira->setMaxSP(105);
    bl3dMonsterList* g = group("Gnoll", 1, 20, 2);
    bl3dMonster* gnoll = g->getMonster(0);
    // Whatever the roll, there are only 2 to drain.
    castOk("MIND", mira, g, {0, 0, 3, 3, 3});
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Drain at a #4Gnoll#0, draining 2 spell points!\n");
    EXPECT_EQ(gnoll->getCurSP(), 0);
    EXPECT_EQ(mira->getCurSP(), 100 - 9 + 2);
    // A target already below 0 gives nothing and takes nothing.
    gnoll->setCurSP(-5);
    castOk("MIND", mira, g);
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Drain at a #4Gnoll#0, but it has no effect!\n");
    EXPECT_EQ(gnoll->getCurSP(), -5);
    // The drained points stop at the caster's maximum.
    gnoll->setMaxSP(40);
    gnoll->setCurSP(40);
    mira->setCurSP(100);
    castOk("MIND", mira, g, {0, 0, 3, 3, 3}); // 4 + 4 + 4 + level 3
    EXPECT_EQ(gnoll->getCurSP(), 25);
    EXPECT_EQ(mira->getCurSP(), 105);
    // Spirit Fist takes everything and gives nothing.
    castOk("SPFI", mira, g);
    EXPECT_EQ(said(), "#2Mira#0 casts Spirit Fist at a #4Gnoll#0, draining 25 spell points!\n");
    EXPECT_EQ(gnoll->getCurSP(), 0);
    EXPECT_EQ(mira->getCurSP(), 80);
}

TEST_F(IndividualSpellTest, VampireSuctionDrainsHitPoints) {
    bl3dPartyChar* mira = mage("Mira", 100, 0x100, 1);
    bl3dMonsterList* g = group("Gnoll", 1, 20);
    bl3dMonster* gnoll = g->getMonster(0);
    castOk("VAMP", mira, g, {0, 0, 1, 1, 1}); // 2 + 2 + 2 + level 1
    EXPECT_EQ(said(), "#2Mira#0 casts Vampire Suction at a #4Gnoll#0, draining 7 hit points!\n");
    EXPECT_EQ(gnoll->getCurHP(), 13);
    EXPECT_EQ(mira->getCurHP(), 30) << "already at full health";
    gnoll->setCurHP(3);
    mira->setCurHP(10);
    castOk("VAMP", mira, g, {0, 0, 7, 7, 7});
    EXPECT_EQ(gnoll->getCurHP(), 0);
    EXPECT_EQ(mira->getCurHP(), 13);
}

TEST_F(IndividualSpellTest, SpiritHammerEmptiesAGroupsSpellPoints) {
    bl3dPartyChar* mira = mage("Mira", 200);
    bl3dMonsterList* g = group("Gnoll", 3, 40, 10);
    g->getMonster(1)->setCurSP(0);
    castOk("SPHA", mira, g);
    EXPECT_EQ(said(), "#2Mira#0 casts Spirit Hammer at some #4Gnolls#0, draining 2 of them\n");
    EXPECT_EQ(g->getMonster(0)->getCurSP(), 0);
    castOk("SPHA", mira, g);
    EXPECT_EQ(said(), "#2Mira#0 casts Spirit Hammer at some #4Gnolls#0, but it has no effect!\n");
    bl3dMonsterList* far = group("Imp", 1, 50, 10);
    castOk("SPHA", mira, far);
    EXPECT_EQ(said(), "#2Mira#0 casts Spirit Hammer at some #4Imps#0, but they are out of range!\n");
    // A group that left: refused before paying.
    const int32_t sp = mira->getCurSP();
    bl3dMonsterList gone(1, beast("Bat"), 0);
    castOk("SPHA", mira, &gone);
    EXPECT_EQ(said(), "#2Mira#0 casts Spirit Hammer, but her target is gone!\n");
    EXPECT_EQ(mira->getCurSP(), sp);
}

TEST_F(IndividualSpellTest, MindBlowReachesThirtyFeetByTheDistanceItWasGivenAt) {
    bl3dPartyChar* mira = mage("Mira", 200);
    // Where the groups stand when it comes does not count.
    bl3dMonsterList* near = group("Gnoll", 2, 90);
    bl3dMonsterList* far = group("Imp", 2, 10);
    castOk("MIBL", mira, near, {}, 30);
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Blow at some #4Gnolls#0, phazing 2 of them!\n");
    EXPECT_EQ(intAttribute(near->getMonster(1), tagkey::Fizzle), 1);
    EXPECT_EQ(queuedAt(EVENT_ID_FIZZLE_RESET).size(), 1u);
    castOk("MIBL", mira, far, {}, 40);
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Blow at some #4Imps#0, but they are out of range!\n");
    // A monster casts it at the party.
    bl3dPartyChar* bo = mage("Bo", 10, NEVER_SAVES);
    bl3dMonster* caster = near->getMonster(0);
    caster->getTagList()->setInt(tagkey::Fizzle, 0);
    caster->setMaxSP(100);
    caster->setCurSP(100);
    castOk("MIBL", caster, nullptr, {}, 50);
    EXPECT_EQ(said(), "#4A#0 Gnoll casts Mind Blow at the party, but they are out of range!\n");
    castOk("MIBL", caster, nullptr, {0, 0, 0, 0}, 20);
    EXPECT_EQ(intAttribute(bo, tagkey::Fizzle), 1);
}

TEST_F(IndividualSpellTest, MindVortexKillsAffectsOrSparesEachFoe) {
    bl3dPartyChar* mira = mage("Mira", 100);
    mira->getStatBlock()->setBase(STAT_IQ, 20);
    bl3dMonsterList* g = group("Gnoll", 2, 20);
    bl3dMonsterList* u = group("Wraith", 1, 30, 0, 21);
    // Gnoll 1: 4 + 20 = 24, dies. Gnoll 2: 0 + 20 = 20, k = 1: stunned
    // (its save never succeeds). The wraith cannot die outright: k = 0.
    castOk("MIVO", mira, nullptr, {4, 0, 1, 0, 7, 0});
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Vortex, affecting 1 enemies and killing 1 others");
    EXPECT_LT(g->getMonster(0)->getCurHP(), 1);
    EXPECT_TRUE(g->getMonster(1)->isStunned());
    EXPECT_FALSE(g->getMonster(1)->isBlind());
    EXPECT_EQ(u->getMonster(0)->getCurHP(), 20);
    kit->tick();
    kit->tick();
    kit->tick();
    kit->tick();
    EXPECT_FALSE(g->getMonster(1)->isStunned()) << "four ticks";
}

TEST_F(IndividualSpellTest, HolySpiritPrecludesBanishesAndShieldsForFifteenTicks) {
    bl3dPartyChar* paladin = mage("Pia", 200, 0x20);
    bl3dPartyChar* bo = mage("Bo");
    bl3dMonsterList* undead = group("Wraith", 1, 20, 0, 21);
    bl3dMonsterList* demons = group("Imp", 1, 20, 0, 22);
    bl3dMonsterList* ghosts = group("Shade", 1, 30, 0, 0, 1);
    bl3dMonsterList* gnolls = group("Gnoll", 1, 30);
    text.set("old words");
    EXPECT_EQ(castOk("HOSP", paladin), 0);
    EXPECT_EQ(said(), "") << "the spell tells nothing";
    EXPECT_EQ(world(tagkey::MagState1), 0x04 | 0x08 | 0x10 | 0x40 | 0x80);
    for (const char* key : {tagkey::MagExp33, tagkey::MagExp34, tagkey::MagExp35, tagkey::MagExp37, tagkey::MagExp38})
        EXPECT_EQ(static_cast<uint32_t>(world(key)), now() + 15) << key;
    EXPECT_EQ(queuedAt(9012), std::vector<uint32_t>{now() + 15});
    for (bl3dMonsterList* g : {undead, demons, ghosts})
        EXPECT_LT(g->getMonster(0)->getCurHP(), 1);
    EXPECT_EQ(gnolls->getMonster(0)->getCurHP(), 20);
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 2) << "every member shielded at once";
    EXPECT_EQ(paladin->getStatBlock()->getCur(STAT_AC), 2);
    for (int i = 0; i < 15; ++i)
        kit->tick();
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 10);
    // Without a narration buffer's worth of context nothing is queued.
    EXPECT_EQ(spell("HOSP")->makeEntry(new bl3dActor(paladin), nullptr, 0, nullptr), nullptr);
}

TEST_F(IndividualSpellTest, SpellCompilerRaisesOneShieldForGood) {
    constexpr uint32_t FOR_GOOD = 1073741823;
    bl3dPartyChar* mira = mage("Mira", 200);
    bl3dPartyChar* bo = mage("Bo");
    castOk("SPCO", mira, nullptr, {20}); // 500 ticks of sight
    EXPECT_EQ(said(), "#2Mira#0 casts Spell Compiler...\n");
    EXPECT_EQ(world(tagkey::Percep1), 0x01 | 0x08 | 0x10);
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp21)), now() + 500);
    EXPECT_EQ(queuedAt(9011), std::vector<uint32_t>{now() + 500});
    EXPECT_EQ(world(tagkey::MagState1), 0) << "the shield's bit is left alone";
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp32)), now() + FOR_GOOD);
    EXPECT_TRUE(queuedAt(9012).empty());
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 7);
    EXPECT_EQ(mira->getStatBlock()->getCur(STAT_AC), 7);
    // A second cast does not stack: the one shield is replaced.
    castOk("SPCO", mira, nullptr, {100});
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 7);
    for (int i = 0; i < 1000; ++i)
        kit->tick();
    EXPECT_EQ(bo->getStatBlock()->getCur(STAT_AC), 7) << "long after the sight has gone";
}

TEST_F(IndividualSpellTest, MagiciansPortalGoesOnlyWhereThePartyHasBeen) {
    bl3dPartyChar* mira = mage("Mira", 100);
    FakeActionEnv_C& env = kit->actionEnv;
    env.hasMap = true;
    env.width = 10;
    env.height = 8;
    env.visited = {{3, 4}};
    castOk("MAPO", mira, nullptr, {}, 3, 4);
    EXPECT_EQ(said(), "Mira casts Magician's Portal...\n");
    EXPECT_EQ(std::make_pair(env.partyX, env.partyY), std::make_pair(3, 4));
    castOk("MAPO", mira, nullptr, {}, 5, 5);
    EXPECT_EQ(said(), "Mira casts Magician's Portal, but it fizzles!\n");
    castOk("MAPO", mira, nullptr, {}, 12, -3);
    EXPECT_EQ(said(), "Mira casts Magician's Portal, but it fizzles!\n");
    EXPECT_EQ(std::make_pair(env.partyX, env.partyY), std::make_pair(3, 4));
    EXPECT_EQ(mira->getCurSP(), 100 - 3 * 15);
}

TEST_F(IndividualSpellTest, PushAndDrawFoesMoveTheChosenGroup) {
    bl3dPartyChar* mira = mage("Mira", 200);
    bl3dMonsterList* gnolls = group("Gnoll", 1, 30);
    bl3dMonsterList* imps = group("Imp", 1, 120);
    castOk("PUFO", mira, gnolls);
    EXPECT_EQ(said(), "#2Mira#0 casts Push Foes at some #4Gnolls#0, pushing them back!");
    EXPECT_EQ(distanceOf(gnolls), 90);
    castOk("PUFO", mira, imps);
    EXPECT_EQ(distanceOf(imps), 120);
    castOk("DRFO", mira, gnolls);
    EXPECT_EQ(said(), "#2Mira#0 casts Draw Foes at some #4Gnolls#0, drawing them forward!");
    EXPECT_EQ(distanceOf(gnolls), 10);
    // A monster that casts them moves nobody, its own side least of all.
    bl3dMonster* imp = imps->getMonster(0);
    imp->setMaxSP(50);
    imp->setCurSP(50);
    castOk("DRFO", imp, mira, {}, 120);
    EXPECT_EQ(said(), "An #4Imp#0 casts Draw Foes...\n");
    EXPECT_EQ(distanceOf(imps), 120);
    // No group left at all.
    enemyList.clear();
    castOk("DRFO", mira, nullptr);
    EXPECT_EQ(said(), "#2Mira#0 casts Draw Foes ...");
}

TEST_F(IndividualSpellTest, GhostWallOpensOnlyARealWallInsideTheMap) {
    bl3dPartyChar* mira = mage("Mira", 200, 0x300);
    FakeActionEnv_C& env = kit->actionEnv;
    env.hasMap = true;
    env.width = 5;
    env.height = 5;
    env.partyX = 2;
    env.partyY = 2;
    env.facing = 0;
    env.walls = {{2, 3, 180}}; // the wall is the northern neighbour's
    for (const char* code : {"GHWA", "OPWA"}) {
        SCOPED_TRACE(code);
        setWorld(tagkey::WalkThrough, 0);
        env.partyY = 2;
        castOk(code, mira);
        EXPECT_EQ(said(), std::string("#2Mira#0 casts ") + spell(code)->name().c_str() +
                              ", and the wall begins to flicker out of existence!\n");
        EXPECT_EQ(world(tagkey::WalkThrough), 1);
        env.partyY = 4; // the last row: north leaves the map
        setWorld(tagkey::WalkThrough, 0);
        castOk(code, mira);
        EXPECT_EQ(said(), std::string("#2Mira#0 casts ") + spell(code)->name().c_str() +
                              ", but the mystical energies cannot open this wall\n");
        env.partyY = 1; // nothing ahead
        castOk(code, mira);
        EXPECT_EQ(said(), std::string("#2Mira#0 casts ") + spell(code)->name().c_str() + ", but it fizzles!\n");
        EXPECT_EQ(world(tagkey::WalkThrough), 0);
    }
}

} // namespace
