// Summon spells: every built-in summon joining the party or forming a new
// enemy group, duplicates and a full party, preclusion, the chance and the
// lifetime of the record, and a monster type the bestiary lacks.
#include "SpellTest.h"

#include "actions/Attributes.h"
#include "rules/Party.h"
#include "rules/TagKeys.h"

namespace {

class SummonSpellTest : public SpellTest {
protected:
    static const SummonParams_S& params(const char* code) {
        return static_cast<bl3dSummonSpell*>(spell(code))->summon();
    }
    static SpellRow_S customRow(int32_t chance, int32_t duration) {
        return SpellRow_S{902, "Call Newt", "NEWT", SpellKind::Summon, 0x0009099a, 0x100, 1, 1, 0, 0, 1, 2,
                          {0, chance, duration}, "Newt", ""};
    }
};

TEST_F(SummonSpellTest, EverySummonBringsItsCreatureToEitherSide) {
    size_t n = 0;
    const SpellRow_S* rows = spellRows(&n);
    int summons = 0;
    for (size_t i = 0; i < n; ++i) {
        if (rows[i].kind != SpellKind::Summon)
            continue;
        ++summons;
        const char* code = rows[i].code;
        SCOPED_TRACE(code);
        kit.reset();
        kit = std::make_unique<FightKit_C>();
        const SummonParams_S& p = params(code);
        beast(p.monster, 30);
        bl3dPartyChar* mira = mage("Mira", 100);
        EXPECT_EQ(castOk(code, mira), 0);
        ASSERT_EQ(party->getCount(), 2);
        bl3dPartyChar* joined = party->getMember(1);
        EXPECT_STREQ(joined->getName(), p.monster);
        EXPECT_EQ(joined->getClassId(), p.illusion ? CLASS_SUMMONED : CLASS_JOINED);
        EXPECT_EQ(intAttribute(joined, tagkey::MonExpire), 0);
        EXPECT_EQ(said(), std::string("#2Mira#0 casts ") + rows[i].name + "...\n");

        // Cast by a monster 5 feet away, it stands at 10 feet.
        bl3dMonster* witch = kit->addGroup(beast("Hag", 20, 100), 1, 40)->getMonster(0);
        EXPECT_EQ(castOk(code, witch, nullptr, {}, 5), 0);
        int distance = 0;
        bl3dMonsterList* fresh = enemyList.groupAt(0, &distance);
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(distance, 10);
        EXPECT_STREQ(fresh->getMonster(0)->getName(), p.monster);
        EXPECT_EQ(fresh->getMonster(0)->kind(), p.illusion);
    }
    EXPECT_EQ(summons, 23);
}

TEST_F(SummonSpellTest, OneOfAKindAndEightAtMost) {
    beast("Wolf", 20);
    bl3dPartyChar* mira = mage("Mira", 100);
    castOk("WOLF", mira);
    castOk("MIWO", mira);
    EXPECT_EQ(said(), "#2Mira#0 casts Mind Wolf, but there is already one in the party!\n");
    EXPECT_EQ(mira->getCurSP(), 100 - 6 - 14) << "a refusal after the cast keeps its cost";
    party->removeAt(1);
    for (int i = 0; i < 7; ++i)
        mage(("M" + std::to_string(i)).c_str());
    castOk("WOLF", mira);
    EXPECT_EQ(said(), "#2Mira#0 casts Summon Wolf, but the party is full!\n");
    EXPECT_EQ(party->getCount(), 8);
}

// A summoned wolf takes another name when an adventurer resting in the hall
// holds its own; a second one is still refused.
TEST_F(SummonSpellTest, OneOfAKindWhateverItIsCalled) {
    struct RosterOfOne : PartyHall_C {
        bool storeMember(const bl3dPartyChar&) override { return true; }
        std::unique_ptr<bl3dPartyChar> loadMember(const char*) override { return nullptr; }
        bool hasEntry(const char* name) override { return std::string(name) == "Wolf"; }
    } roster;
    bl3dParty::setHall(&roster);
    struct Unset {
        ~Unset() { bl3dParty::setHall(nullptr); }
    } unset;
    beast("Wolf", 20);
    bl3dPartyChar* mira = mage("Mira", 100);
    castOk("WOLF", mira);
    ASSERT_EQ(party->getCount(), 2);
    EXPECT_STREQ(party->getMember(1)->getName(), "Wolf 2");
    castOk("WOLF", mira);
    EXPECT_EQ(said(), "#2Mira#0 casts Summon Wolf, but there is already one in the party!\n");
    EXPECT_EQ(party->getCount(), 2);
}

TEST_F(SummonSpellTest, PreclusionStopsTheKindsItNamesForBothSides) {
    beast("Wolf", 20);
    beast("Dactyl", 20, 0, 22);
    beast("Ghoul", 20, 0, 21);
    struct Case {
        int32_t magState;
        const char* code;
        bool stopped;
    };
    const Case cases[] = {
        {MAGSTATE_NO_ILLUSIONS, "MIWO", true}, {MAGSTATE_NO_ILLUSIONS, "WOLF", false},
        {MAGSTATE_NO_DEMONS, "LEDE", true},    {MAGSTATE_NO_UNDEAD, "LEDE", false},
        {MAGSTATE_NO_SUMMONING, "WOLF", true}, {MAGSTATE_NO_REPRODUCTION, "WOLF", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + std::to_string(c.magState));
        while (party->getCount() > 0)
            party->removeAt(0);
        enemyList.clear();
        bl3dPartyChar* mira = mage("Mira", 100);
        setWorld(tagkey::MagState1, c.magState);
        castOk(c.code, mira);
        EXPECT_EQ(party->getCount(), c.stopped ? 1 : 2);
        if (c.stopped) {
            EXPECT_EQ(said(), std::string("#2Mira#0 tries to cast ") + spell(c.code)->name().c_str() +
                                  ", but the spell fizzles!\n");
        }
        bl3dMonster* witch = kit->addGroup(beast("Hag", 20, 100), 1, 40)->getMonster(0);
        castOk(c.code, witch, nullptr, {}, 40);
        EXPECT_EQ(enemyList.countGroups(), c.stopped ? 1 : 2);
    }
    // An undead summon under Preclude Undead.
    SpellRow_S row = customRow(100, 0);
    row.monster = "Ghoul";
    bl3dSummonSpell raise(row);
    while (party->getCount() > 0)
        party->removeAt(0);
    bl3dPartyChar* mira = mage("Mira", 100);
    setWorld(tagkey::MagState1, MAGSTATE_NO_UNDEAD);
    vell::scriptGameRand({NO_FIZZLE});
    castBy(new bl3dActor(mira), &raise);
    EXPECT_EQ(party->getCount(), 1);
}

TEST_F(SummonSpellTest, TheRecordsChanceAndLifetime) {
    beast("Newt", 5);
    bl3dPartyChar* mira = mage("Mira", 100);
    bl3dSummonSpell unsure(customRow(50, 0));
    vell::scriptGameRand({NO_FIZZLE, 50}); // rolls 51 against 50
    castBy(new bl3dActor(mira), &unsure);
    EXPECT_EQ(said(), "#2Mira#0 casts Call Newt, but the spell fizzles!\n");
    EXPECT_EQ(party->getCount(), 1);
    vell::scriptGameRand({NO_FIZZLE, 49});
    castBy(new bl3dActor(mira), &unsure);
    EXPECT_EQ(party->getCount(), 2);

    party->removeAt(1);
    bl3dSummonSpell brief(customRow(100, 2));
    vell::scriptGameRand({NO_FIZZLE, 0});
    castBy(new bl3dActor(mira), &brief);
    ASSERT_EQ(party->getCount(), 2);
    EXPECT_EQ(static_cast<uint32_t>(intAttribute(party->getMember(1), tagkey::MonExpire)), now() + 480);
}

TEST_F(SummonSpellTest, AMissingMonsterTypeIsRefusedBeforePaying) {
    bl3dPartyChar* mira = mage("Mira", 100);
    castOk("SUAS", mira); // no "Stalker" in this bestiary
    EXPECT_EQ(said(), "#2Mira#0 tries to cast Summon Assassin, but nothing answers the call!\n");
    EXPECT_EQ(mira->getCurSP(), 100);
    EXPECT_EQ(party->getCount(), 1);
    bl3dMonster* witch = kit->addGroup(beast("Hag", 20, 100), 1, 40)->getMonster(0);
    castOk("SUAS", witch);
    EXPECT_EQ(said(), "A #4Hag#0 tries to cast Summon Assassin, but nothing answers the call!\n");
    EXPECT_EQ(enemyList.countGroups(), 1);
}

} // namespace
