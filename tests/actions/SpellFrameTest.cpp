// The casting frame that every spell shares: what a cast costs and when,
// the fizzles, an item as the actor, usable without side effects, the pick
// of a target, dice, how uses are queued, and the sounds.
#include "SpellTest.h"

#include "actions/Attributes.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/TagKeys.h"

namespace {

class SpellFrameTest : public SpellTest {};

// Call Sprite costs 2 and draws one duration roll after the fizzle roll.
TEST_F(SpellFrameTest, ACastCostsItsPointsOnlyWhenItGoesAheadOrFizzles) {
    struct Case {
        const char* what;
        int32_t sp;
        int32_t fizzleAttr;
        int32_t magState;
        int fizzleRoll;
        int32_t spAfter;
        const char* said;
        const char* sound;
    };
    const Case cases[] = {
        {"exactly enough", 2, 0, 0, NO_FIZZLE, 0, "#2Mira#0 casts Call Sprite...\n", "S_Perception_Cast"},
        {"one point short", 1, 0, 0, NO_FIZZLE, 1,
         "#2Mira#0 tries to cast Call Sprite, but has not the necessary energy!\n", "S_Perception_Fizz"},
        {"clouded mind", 9, 1, 0, NO_FIZZLE, 9, "#2Mira#0 tries to cast Call Sprite, but her mind is clouded!\n",
         "S_Perception_Fizz"},
        {"the 5% roll", 9, 0, 0, FIZZLES, 7, "#2Mira#0 tries to cast Call Sprite, but the spell fizzles!\n",
         "S_Perception_Fizz"},
        {"anti-magic", 9, 0, MAGSTATE_NO_MAGIC, NO_FIZZLE, 7,
         "#2Mira#0 tries to cast Call Sprite, but the spell fizzles!\n", "S_Perception_Fizz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        kit.reset();
        kit = std::make_unique<FightKit_C>();
        bl3dPartyChar* mira = mage("Mira", c.sp);
        mira->getTagList()->setInt(tagkey::Fizzle, c.fizzleAttr);
        setWorld(tagkey::MagState1, c.magState);
        vell::scriptGameRand({c.fizzleRoll, 100});
        EXPECT_EQ(cast("CASP", mira), 0);
        EXPECT_EQ(mira->getCurSP(), c.spAfter);
        EXPECT_EQ(said(), c.said);
        ASSERT_EQ(kit->env.sounds.size(), 1u);
        EXPECT_EQ(kit->env.sounds[0], c.sound);
        // Only a cast that went ahead lights anything.
        EXPECT_EQ(world(tagkey::MagLt1), c.spAfter == 0 ? 1 : 0);
    }
}

TEST_F(SpellFrameTest, ADeadCasterCastsNothingAndPaysNothing) {
    bl3dPartyChar* mira = mage("Mira", 10);
    mira->setCurHP(0);
    EXPECT_EQ(cast("CASP", mira), -1);
    EXPECT_EQ(mira->getCurSP(), 10);
    EXPECT_TRUE(kit->env.sounds.empty());
    EXPECT_EQ(world(tagkey::MagLt1), 0);
}

TEST_F(SpellFrameTest, AnItemPaysWithOneChargeNeverRollsTheFizzleButMeetsAntiMagic) {
    bl3dPartyChar* mira = mage("Mira", 10);
    bl3dItemType* wandType = kit->gearType("Wand", 1 << SLOT_MISC, {});
    wandType->setFlags(ITEMF_CHARGES);
    bl3dItem* wand = kit->give(mira, wandType, SLOT_MISC);
    ASSERT_NE(wand, nullptr);
    wand->setCharges(5);

    // A roll that would fizzle a creature's cast: an item does not roll it.
    vell::scriptGameRand({FIZZLES, 100});
    EXPECT_EQ(castBy(new bl3dItemActor(mira, SLOT_MISC), spell("CASP")), 0);
    EXPECT_EQ(said(), "#2Mira#0 casts Call Sprite...\n");
    EXPECT_EQ(wand->getCharges(), 4);
    EXPECT_EQ(mira->getCurSP(), 10);

    // Anti-magic stops it; the charge goes, the wearer's points stay.
    setWorld(tagkey::MagState1, MAGSTATE_NO_MAGIC);
    EXPECT_EQ(castBy(new bl3dItemActor(mira, SLOT_MISC), spell("CASP")), 0);
    EXPECT_EQ(said(), "#2Mira#0 tries to cast Call Sprite, but the spell fizzles!\n");
    EXPECT_EQ(wand->getCharges(), 3);
    EXPECT_EQ(mira->getCurSP(), 10);

    // The last charge never pays.
    setWorld(tagkey::MagState1, 0);
    wand->setCharges(1);
    EXPECT_EQ(castBy(new bl3dItemActor(mira, SLOT_MISC), spell("CASP")), 0);
    EXPECT_EQ(said(), "#2Mira#0 tries to use Wand (1), but it has not the necessary energy!\n");
    EXPECT_EQ(wand->getCharges(), 1);
}

TEST_F(SpellFrameTest, UsableChangesNothingAndSaysNoToCastsThatCannotWork) {
    bl3dPartyChar* mira = mage("Mira", 10);
    vell::scriptGameRand({FIZZLES, FIZZLES, FIZZLES});
    const size_t rollsBefore = vell::scriptedGameRandLeft();
    text.set("untouched");

    EXPECT_TRUE(spell("CASP")->usable(mira, 500)); // range 0: any distance
    EXPECT_TRUE(spell("MIPH")->usable(mira, 30));
    EXPECT_FALSE(spell("MIPH")->usable(mira, 40));
    EXPECT_EQ(mira->getCurSP(), 10);
    EXPECT_TRUE(kit->env.sounds.empty());
    EXPECT_EQ(vell::scriptedGameRandLeft(), rollsBefore);
    EXPECT_EQ(said(), "untouched");

    mira->setCurSP(8); // Mind Drain costs 9
    EXPECT_FALSE(spell("MIND")->usable(mira, 10));
    mira->setCurSP(9);
    EXPECT_TRUE(spell("MIND")->usable(mira, 10));
    setWorld(tagkey::MagState1, MAGSTATE_NO_MAGIC);
    EXPECT_FALSE(spell("CASP")->usable(mira, 0));
    setWorld(tagkey::MagState1, 0);
    mira->getTagList()->setInt(tagkey::Fizzle, 1);
    EXPECT_FALSE(spell("CASP")->usable(mira, 0));
    mira->getTagList()->setInt(tagkey::Fizzle, 0);
    mira->setConditions(COND_POISONED); // poison does not stop a caster
    EXPECT_TRUE(spell("CASP")->usable(mira, 0));
    mira->setConditions(COND_STUNNED);
    EXPECT_FALSE(spell("CASP")->usable(mira, 0));
    EXPECT_EQ(mira->getCurSP(), 9);
}

TEST_F(SpellFrameTest, PickTargetFindsALivingMonsterWithinRange) {
    bl3dMonsterType* gnoll = beast();
    bl3dMonsterList* near = kit->addGroup(gnoll, 3, 10);
    bl3dMonsterList* far = kit->addGroup(beast("Troll"), 2, 50);
    bl3dMonsterList* dead = kit->addGroup(beast("Bat"), 2, 20);
    for (uint32_t i = 0; i < dead->getSize(); ++i)
        dead->getMonster(static_cast<int>(i))->setCurHP(0);
    bl3dMonsterList gone(1, gnoll, 0);
    int status = -1;

    vell::scriptGameRand({1});
    EXPECT_EQ(bl3dSpell::pickTarget(10, near, &status), near->getMonster(1));
    EXPECT_EQ(status, PICK_OK);
    // The drawn one is dead: the first living one.
    near->getMonster(2)->setCurHP(0);
    vell::scriptGameRand({2});
    EXPECT_EQ(bl3dSpell::pickTarget(10, near, &status), near->getMonster(0));
    EXPECT_EQ(bl3dSpell::pickTarget(0, far, &status), far->getMonster(0)) << "range 0 reaches any distance";
    EXPECT_EQ(bl3dSpell::pickTarget(40, far, &status), nullptr);
    EXPECT_EQ(status, PICK_OUT_OF_RANGE);
    EXPECT_EQ(bl3dSpell::pickTarget(40, dead, &status), nullptr);
    EXPECT_EQ(status, PICK_NONE_ALIVE);
    EXPECT_EQ(bl3dSpell::pickTarget(40, &gone, &status), nullptr);
    EXPECT_EQ(status, PICK_GONE);
    EXPECT_EQ(bl3dSpell::pickTarget(40, nullptr, &status), nullptr);
    EXPECT_EQ(status, PICK_GONE);
}

TEST_F(SpellFrameTest, RollDiceAddsItsRollsAndRollsNothingForNoDice) {
    vell::scriptGameRand({0, 5, 11});
    EXPECT_EQ(bl3dSpell::rollDice(3, 6), 1 + 6 + 6);
    vell::scriptGameRand({7});
    EXPECT_EQ(bl3dSpell::rollDice(0, 6), 0);
    EXPECT_EQ(bl3dSpell::rollDice(-2, 6), 0);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 1u);
}

TEST_F(SpellFrameTest, EnqueueResolvesTargetsByPositionAndWantsItsContextValues) {
    bl3dPartyChar* mira = mage("Mira");
    bl3dPartyChar* bo = mage("Bo");
    bl3dMonsterList* first = kit->addGroup(beast(), 1, 10);
    bl3dMonsterList* second = kit->addGroup(beast("Troll"), 1, 30);
    bl3dMonster* orc = first->getMonster(0);
    int32_t x = 4, y = 7;
    void* context[3] = {&text, &x, &y};
    auto use = [&](const char* code, bl3dCharacter* who, int index, int n) {
        return dynamic_cast<SpellUse_S*>(spell(code)->enqueue(new bl3dActor(who), index, n, context));
    };
    struct Case {
        const char* code;
        bl3dCharacter* who;
        int index;
        int n;
        bool built;
        void* target;
    };
    const Case cases[] = {
        {"SIST", mira, 1, 1, true, second},   // targeted: the group at the position
        {"SIST", mira, 5, 1, true, nullptr},  // past the end: no group
        {"SIST", orc, 1, 1, true, bo},        // a monster aims at a member
        {"SIST", mira, 0, 0, false, nullptr}, // no context value
        {"PUFO", mira, 0, 2, false, nullptr}, // targeted-3 wants three
        {"PUFO", mira, 0, 3, true, first},
        {"MAPO", mira, 0, 2, false, nullptr}, // the portal wants three
        {"SPCO", mira, 0, 1, false, nullptr}, // no target-2 wants two
        {"SPCO", mira, 0, 2, true, nullptr},
        {"HOSP", mira, 0, 0, false, nullptr},
        {"CASP", nullptr, 0, 1, false, nullptr}, // nobody casts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " n=" + std::to_string(c.n));
        SpellUse_S* u = use(c.code, c.who, c.index, c.n);
        EXPECT_EQ(u != nullptr, c.built);
        if (u) {
            EXPECT_EQ(u->target, c.target);
            EXPECT_EQ(u->text, &text);
            spell(c.code)->freeEntry(u);
        }
    }
    // The portal keeps the square; a summon keeps the distance.
    SpellUse_S* portal = use("MAPO", mira, 0, 3);
    ASSERT_NE(portal, nullptr);
    EXPECT_EQ(portal->x, 4);
    EXPECT_EQ(portal->y, 7);
    spell("MAPO")->freeEntry(portal);
    SpellUse_S* summon = use("WOLF", orc, 0, 2);
    ASSERT_NE(summon, nullptr);
    EXPECT_EQ(summon->extra, 4);
    spell("WOLF")->freeEntry(summon);
}

TEST_F(SpellFrameTest, ATargetThatCannotBeResolvedCostsNothing) {
    bl3dPartyChar* mira = mage("Mira", 100);
    bl3dMonsterList gone(1, beast(), 0);
    for (const char* code : {"SIST", "MIPH", "MIND", "SPFI", "VAMP"}) {
        SCOPED_TRACE(code);
        vell::scriptGameRand({NO_FIZZLE, NO_FIZZLE});
        EXPECT_EQ(cast(code, mira, &gone), -1);
        EXPECT_EQ(cast(code, mira, nullptr), -1);
        EXPECT_EQ(mira->getCurSP(), 100);
    }
    // A monster's record naming a member who left: the first living one is
    // hit instead, and the narration names who was hit.
    bl3dMonster* gnoll = kit->addGroup(beast("Gnoll", 20, 50), 1, 10)->getMonster(0);
    bl3dPartyChar stranger("Stranger");
    mira->setClassId(NEVER_SAVES);
    vell::scriptGameRand({NO_FIZZLE, 5, 5});
    EXPECT_EQ(cast("MIPH", gnoll, &stranger, 10), 0);
    EXPECT_EQ(said(), "A #4Gnoll#0 casts Mind Phazing at #2Mira#0, phazing her mind!\n");
    EXPECT_EQ(intAttribute(mira, tagkey::Fizzle), 1);
}

TEST_F(SpellFrameTest, TheSoundFollowsTheSpellsFamily) {
    const std::pair<const char*, const char*> cases[] = {
        {"CASP", "S_Perception_Cast"}, {"WOLF", "S_Summoning_Cast"}, {"SIST", "S_Damage_Cast"},
        {"MIND", "S_Damage_Cast"},     {"TRTR", "S_Misc_Cast"},      {"MAPO", "S_Misc_Cast"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(spell(c.first)->castSound(), c.second) << c.first;
        std::string fizz = c.second;
        fizz.replace(fizz.size() - 4, 4, "Fizz");
        EXPECT_EQ(spell(c.first)->fizzleSound(), fizz) << c.first;
    }
}

} // namespace
