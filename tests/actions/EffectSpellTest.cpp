// Effect and trap spells: which world bits each effect spell switches on,
// expiries that only ever move later with an expiry event only when they
// moved, the duration kinds, the trap spells' squares, and the narration of
// either side.
#include "SpellTest.h"

#include "rules/TagKeys.h"

namespace {

class EffectSpellTest : public SpellTest {};

// The bits every built-in effect spell sets, by family.
struct Bits {
    const char* code;
    int32_t light, percep, state, encounter;
};
const Bits EFFECTS[] = {
    {"CASP", 0x01, 0, 0, 0},    {"BALL", 0, 0x01, 0, 0},    {"HEEY", 0x02, 0x08, 0, 0}, {"HEPE", 0x04, 0x08, 0, 0},
    {"RELO", 0, 0x10, 0, 0},    {"MEGL", 0x08, 0, 0, 0},    {"LOST", 0, 0x02, 0, 0},    {"MAGL", 0x10, 0, 0, 0},
    {"MIST", 0, 0, 0, 0x02},    {"EAEY", 0, 0x06, 0, 0},    {"INFR", 0x20, 0, 0, 0},    {"LOIL", 0, 0, 0, 0x04},
    {"PRIL", 0, 0, 0x04, 0},    {"HAEY", 0, 0x0e, 0, 0},    {"SIBL", 0, 0, 0, 0x08},    {"PRUN", 0, 0, 0x08, 0},
    {"PRDE", 0, 0, 0x10, 0},    {"PRMA", 0, 0, 0x20, 0},    {"PRRE", 0, 0, 0x40, 0},    {"COSU", 0, 0, 0xc0, 0},
    {"RELL", 0, 0x01, 0, 0},    {"CTWA", 0, 0x04, 0, 0},    {"FLOA", 0, 0, 0x01, 0},    {"WAOA", 0, 0, 0x01, 0},
    {"SNST", 0, 0, 0, 0x02},    {"CAFI", 0x01, 0, 0, 0},
};

TEST_F(EffectSpellTest, EveryEffectSpellSwitchesOnItsOwnBitsAndQueuesEachFamilysExpiry) {
    size_t effects = 0;
    const SpellRow_S* rows = spellRows(&effects);
    size_t count = 0;
    for (size_t i = 0; i < effects; ++i)
        count += rows[i].kind == SpellKind::Effect ? 1 : 0;
    ASSERT_EQ(count, std::size(EFFECTS));

    for (const Bits& b : EFFECTS) {
        SCOPED_TRACE(b.code);
        kit.reset();
        kit = std::make_unique<FightKit_C>();
        bl3dPartyChar* mira = mage("Mira", 100);
        EXPECT_EQ(castOk(b.code, mira), 0);
        EXPECT_EQ(said(), std::string("#2Mira#0 casts ") + spell(b.code)->name().c_str() + "...\n");
        EXPECT_EQ(world(tagkey::MagLt1), b.light);
        EXPECT_EQ(world(tagkey::Percep1), b.percep);
        EXPECT_EQ(world(tagkey::MagState1), b.state);
        EXPECT_EQ(world(tagkey::XCState), b.encounter);
        // One expiry event for every family the spell touched, due when its
        // bits end.
        const int32_t touched[4] = {b.light, b.percep, b.state, b.encounter};
        for (int f = 0; f < MAGIC_FAMILY_COUNT; ++f) {
            const MagicFamily_S& fam = magicFamily(static_cast<MagicFamily>(f));
            const std::vector<uint32_t> due = queuedAt(fam.expiryEvent);
            ASSERT_EQ(due.size(), touched[f] ? 1u : 0u) << fam.variable;
            for (int k = 0; k < fam.count; ++k) {
                if (touched[f] & fam.bits[k].bit) {
                    EXPECT_EQ(static_cast<uint32_t>(world(fam.bits[k].expiry)), due[0]) << fam.bits[k].expiry;
                }
            }
        }
        EXPECT_EQ(kit->actionEnv.lightCalls, 1);
        EXPECT_EQ(kit->actionEnv.percepCalls, 1);
        EXPECT_EQ(kit->actionEnv.xcCalls, 1);
    }
}

TEST_F(EffectSpellTest, ACastNeverShortensARunningStateAndQueuesOnlyWhenItLengthens) {
    bl3dPartyChar* mira = mage("Mira", 100);
    // Call Sprite lasts rand() % 481 + 480 ticks.
    castOk("CASP", mira, nullptr, {200});
    const uint32_t first = now() + 680;
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp11)), first);
    EXPECT_EQ(queuedAt(9010).size(), 1u);

    kit->env.now += 100;
    castOk("CASP", mira, nullptr, {50}); // ends at now + 530: earlier
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp11)), first);
    EXPECT_EQ(queuedAt(9010).size(), 1u);
    EXPECT_EQ(world(tagkey::MagLt1), 0x01);

    castOk("CASP", mira, nullptr, {480}); // ends at now + 960: later
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp11)), now() + 960);
    ASSERT_EQ(queuedAt(9010).size(), 2u);
    EXPECT_EQ(queuedAt(9010)[1], now() + 960);
}

TEST_F(EffectSpellTest, DurationKinds) {
    bl3dPartyChar* mira = mage("Mira", 200);
    // Kind 5 lasts for good; a later short cast of the same bit leaves it.
    castOk("WAOA", mira);
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp31)), now() + 0x3fffffffu);
    castOk("FLOA", mira, nullptr, {0});
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp31)), now() + 0x3fffffffu);
    EXPECT_EQ(queuedAt(9012).size(), 1u);
    // Kind 6 lasts exactly its ticks: Reveal Location 2, Snow Storm 4.
    castOk("RELO", mira);
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp25)), now() + 2);
    castOk("SNST", mira);
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp41)), now() + 4);
    // Kind 1: ten to twelve; kind 2: 120 to 240; kind 4: 1200 to 1920.
    castOk("PRIL", mira, nullptr, {2});
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp33)), now() + 12);
    castOk("LOST", mira, nullptr, {120});
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp22)), now() + 240);
    castOk("HEEY", mira, nullptr, {0});
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp12)), now() + 1200);
}

TEST_F(EffectSpellTest, TrapSpellsMarkTheSquaresAroundTheParty) {
    bl3dPartyChar* mira = mage("Mira", 100);
    FakeActionEnv_C& env = kit->actionEnv;
    env.hasMap = true;
    env.width = env.height = 20;
    env.partyX = 10;
    env.partyY = 5;
    castOk("TRTR", mira); // radius 3, springs traps
    env.partyX = env.partyY = 1;
    castOk("NESP", mira); // radius 3, stops spinners
    castOk("SPAT", mira); // the whole map
    ASSERT_EQ(env.springs.size(), 3u);
    const FakeActionEnv_C::Spring_S& trip = env.springs[0];
    EXPECT_TRUE(trip.spring);
    EXPECT_FALSE(trip.spinners);
    EXPECT_EQ(std::make_tuple(trip.x1, trip.y1, trip.x2, trip.y2), std::make_tuple(7, 2, 13, 8));
    const FakeActionEnv_C::Spring_S& spin = env.springs[1];
    EXPECT_FALSE(spin.spring);
    EXPECT_TRUE(spin.spinners);
    EXPECT_EQ(std::make_tuple(spin.x1, spin.y1, spin.x2, spin.y2), std::make_tuple(-2, -2, 4, 4));
    const FakeActionEnv_C::Spring_S& all = env.springs[2];
    EXPECT_TRUE(all.spring);
    EXPECT_EQ(std::make_tuple(all.x1, all.y1, all.x2, all.y2), std::make_tuple(0, 0, -1, -1));
    EXPECT_EQ(env.percepCalls, 3);
    EXPECT_EQ(said(), "#2Mira#0 casts Spring All Traps...\n");
}

TEST_F(EffectSpellTest, AMonsterCasterIsNarratedAsAMonsterSaveForTraps) {
    bl3dMonster* witch = kit->addGroup(beast("Hag", 20, 100), 1, 10)->getMonster(0);
    castOk("CASP", witch);
    EXPECT_EQ(said(), "A #4Hag#0 casts Call Sprite...\n");
    castOk("TRTR", witch);
    EXPECT_EQ(said(), "#2Hag#0 casts Trip Trap...\n") << "a trap spell has the party's words only";
    EXPECT_EQ(witch->getCurSP(), 96);
}

} // namespace
