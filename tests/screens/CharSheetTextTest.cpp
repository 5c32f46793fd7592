// The character sheet's texts that follow from the rules, without a
// display: the item lines, and the tables behind the summary, spell and
// item pages.
#include "support/PartyKit.h"
#include "rules/TagKeys.h"

#include "core/GameConfig.h"
#include "core/ScrollList.h"
#include "rules/Party.h"
#include "screens/CharSheetText.h"
#include "screens/InvLines.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace partykit;

class CharSheetText : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameConfig.partyGold = false;
        ann = std::unique_ptr<bl3dPartyChar>(kit.member("Ann", 0x4));
    }

    PartyKit kit;
    std::unique_ptr<bl3dPartyChar> ann;
};

TEST_F(CharSheetText, ItemLinesCarryTheSlotIconsTagsAndPrices)
{
    kit.give(*ann, kit.helm, SLOT_HEAD);
    kit.give(*ann, kit.ring, SLOT_FINGER);
    kit.give(*ann, kit.ring, 12);         // same type: stored, not worn
    kit.give(*ann, kit.tower, SLOT_LT_HAND);
    kit.carry(*ann, kit.heavy);           // not for this class
    kit.carry(*ann, kit.draught);
    auto list = makeInvList(nullptr, *ann, 730, 980, 575, 215, 20, 80, true);
    ASSERT_EQ(list->getNumLines(), 6);
    const int tags[] = {18, 18 + SLOT_LT_HAND, 18 + SLOT_FINGER, '-', 0, '@'};
    const char* names[] = {"Helm", "Tower Shield", "Ring", "Ring", "Draught", "Plate"};
    const uint32_t prices[] = {15, 90, 450, 450, 30, 450};
    for (int i = 0; i < 6; ++i) {
        const InvLine_S* line = list->lineAt(i);
        EXPECT_EQ(line->value, i + 1);
        EXPECT_EQ(line->tag, tags[i]) << i;
        EXPECT_STREQ(line->text.c_str(), names[i]);
        EXPECT_EQ(line->price, prices[i]) << i;
    }
    // Slots 12-19 show '*' when worn.
    std::unique_ptr<bl3dItem> first(ann->takeFromSlot(SLOT_FINGER));
    EXPECT_EQ(slotTag(12, *ann->getSlotItem(12)), '*');

    std::unique_ptr<bl3dPartyChar> bob(kit.member("Bob", 1));
    auto empty = makeInvList(nullptr, *bob, 730, 980, 575, 215, 20, 0, false);
    ASSERT_EQ(empty->getNumLines(), 1);
    EXPECT_STREQ(empty->lineAt(0)->text.c_str(), "*** Empty ***");
    EXPECT_EQ(empty->selectedItem(), 0);
}

TEST_F(CharSheetText, TitlesAndLabelsStayInsideTheirTables)
{
    std::unique_ptr<bl3dPartyChar> m(kit.member("Tia", 0x40, 30, false));
    EXPECT_EQ(charsheet::classTitle(*m), "Hunter");
    EXPECT_EQ(charsheet::raceLabel(*m), "Human(F)");
    const int levels[] = {12, 13, 24, 25, 36, 37, 49, 50};
    const int columns[] = {0, 1, 1, 2, 2, 3, 3, 4};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(charsheet::titleColumn(levels[i]), columns[i]);

    std::unique_ptr<bl3dPartyChar> mage(kit.member("Mo", 0x100));
    for (int path : {0, 6, -1, 1000})
        EXPECT_EQ((mage->getTagList()->setInt(tagkey::Path, path), charsheet::classTitle(*mage)), "") << path;
    mage->getTagList()->setInt(tagkey::Path, 3);
    EXPECT_EQ(charsheet::classTitle(*mage), "Illusionist");
    std::unique_ptr<bl3dPartyChar> odd(new bl3dPartyChar("Odd", 0, 11, true, 1, nullptr, nullptr));
    EXPECT_EQ(charsheet::classTitle(*odd), "NONE");
    EXPECT_EQ(charsheet::raceLabel(*odd), "UNKNOWN");
    odd->setClassId(CLASS_SUMMONED);
    EXPECT_EQ(charsheet::classTitle(*odd), "Illusion");
    EXPECT_EQ(charsheet::schoolName(0), "");
    EXPECT_EQ(charsheet::schoolName(5), "Warlock");
}

TEST_F(CharSheetText, SpellSummaryCountsOnlySpellsItsTablesHold)
{
    FakeSpell mapo(0x10001, "Portal", "MAPO", 0x100, 2, 1);
    FakeSpell bad1(0x10002, "Odd School", "ODDS", 0x100, 1, 9);
    FakeSpell bad2(0x10003, "Odd Level", "ODDL", 0x100, 12, 2);
    FakeSpell bless(0x10004, "Bless", "BLES", 0x20, 3, 0);
    FakeAction claw(0x10005);
    std::unique_ptr<bl3dPartyChar> mage(kit.member("Mo", 0x100));
    for (bl3dAction* a : std::initializer_list<bl3dAction*>{&mapo, &bad1, &bad2, &claw})
        mage->actions2()->add(a, 0);
    EXPECT_EQ(charsheet::knownSpells(*mage).size(), 3u);
    auto blocks = charsheet::spellSummary(*mage);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].heading, "Magician:");
    EXPECT_EQ(blocks[0].counts, "0/1/0/0/0/0/0");
    EXPECT_EQ(charsheet::spellSchool(bad1), "");
    EXPECT_EQ(charsheet::spellSchool(bless), "Paladin");

    // A joined monster's list with a skill and a spell: only the spell counts.
    std::unique_ptr<bl3dPartyChar> beast(new bl3dPartyChar("Beast", CLASS_JOINED, RACE_MONSTER, true, 2, nullptr,
                                                           nullptr));
    beast->actions2()->add(&claw, 0);
    beast->actions2()->add(&bless, 0);
    blocks = charsheet::spellSummary(*beast);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].heading, "Paladin:");
    EXPECT_EQ(blocks[0].counts, "0/0/1/0/0/0/0");
}

TEST_F(CharSheetText, ItemInformationShowsWhatThePartyCanJudge)
{
    bl3dItem* sword = kit.give(*ann, kit.sword, SLOT_RT_HAND);
    bl3dItem* ring = kit.give(*ann, kit.ring, SLOT_FINGER);
    auto blocks = charsheet::itemInfo("Sword", *sword, false, false);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], "Sword:\nA Sword of the kit.");
    blocks = charsheet::itemInfo("Sword", *sword, true, true);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], "Damage: 1d8\nAttack: 1\n");
    blocks = charsheet::itemInfo("Ring", *ring, true, true);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], "LK: 2\n");
    bl3dItem* root = kit.carry(*ann, kit.root);
    blocks = charsheet::itemInfo("Root", *root, false, false);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1], "Ingredient: Root (1)\n");

    bl3dParty p(RefStr_C("party.dat"));
    p.addMember(kit.member("Harp", 0x2, 12));
    EXPECT_FALSE(charsheet::canJudgeCombat(&p));
    p.addMember(kit.member("Harp2", 0x2, 13));
    EXPECT_TRUE(charsheet::canJudgeCombat(&p));
    EXPECT_FALSE(charsheet::canJudgeMagic(&p));
    p.addMember(kit.member("Squire", 0x4, 25));
    EXPECT_FALSE(charsheet::canJudgeMagic(&p));
    p.addMember(kit.member("Geo", 0x200, 25));
    EXPECT_TRUE(charsheet::canJudgeMagic(&p));
}

} // namespace
