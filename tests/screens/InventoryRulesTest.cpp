// The character sheet's rules on a member's items and gold, and the texts
// that follow from the rules, without a display: equipping (lowest free
// slot, swapping a single-slot item), unequipping, joining stacks, giving,
// discarding, pooling and sharing gold, the item lines and positions, and
// the tables behind the summary and spell pages.
#include "../common/PartyKit.h"

#include "core/GameConfig.h"
#include "core/ScrollList.h"
#include "rules/Party.h"
#include "rules/RulesEnv.h"
#include "screens/CharSheetText.h"
#include "screens/InvLines.h"
#include "screens/Inventory.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

using namespace partykit;

class InventoryRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameConfig.partyGold = false;
        ann = std::unique_ptr<bl3dPartyChar>(kit.member("Ann", 0x4));
    }

    int packCount() const { return ann->getPack()->count(); }
    const bl3dItem* packAt(int i) const { return static_cast<const bl3dItem*>(ann->getPack()->at(i)); }
    // The position of the first pack item.
    int firstPack() const { return equippedCount(*ann); }

    PartyKit kit;
    std::unique_ptr<bl3dPartyChar> ann;
    inv::Limits_S limits;
};

TEST_F(InventoryRules, PositionsCountTheSlotsFirstThenThePack)
{
    kit.give(*ann, kit.helm, SLOT_HEAD);
    kit.give(*ann, kit.sword, SLOT_RT_HAND);
    kit.carry(*ann, kit.rope);
    kit.carry(*ann, kit.root);   // front of the pack
    EXPECT_EQ(itemName(findItemAt(*ann, 0).item), "Helm");
    EXPECT_EQ(findItemAt(*ann, 1).place, SLOT_RT_HAND);
    EXPECT_EQ(itemName(findItemAt(*ann, 2).item), "Root");
    EXPECT_EQ(findItemAt(*ann, 2).place, PACK_PLACE);
    EXPECT_EQ(itemName(findItemAt(*ann, 3).item), "Rope");
    EXPECT_EQ(findItemAt(*ann, 4).item, nullptr);
    EXPECT_EQ(findItemAt(*ann, -1).item, nullptr);

    int from = 0;
    std::unique_ptr<bl3dItem> sword(takeItemAt(*ann, 1, &from));
    EXPECT_EQ(from, SLOT_RT_HAND);
    EXPECT_EQ(itemName(sword.get()), "Sword");
    EXPECT_FALSE(sword->isEquipped());
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_ATTACK), 0);
    EXPECT_EQ(takeItemAt(*ann, 9, &from), nullptr);
    EXPECT_EQ(from, -1);
}

TEST_F(InventoryRules, ItemLinesCarryTheSlotIconsTagsAndPrices)
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

TEST_F(InventoryRules, EquipTakesTheLowestFreeSlotOfItsMask)
{
    kit.carry(*ann, kit.dagger);   // right hand, left hand or ready
    ASSERT_TRUE(inv::canOfferEquip(*ann, *packAt(0)));
    EXPECT_TRUE(inv::equip(*ann, firstPack()));
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_RT_HAND)), "Dagger");
    kit.carry(*ann, kit.dagger);
    EXPECT_TRUE(inv::equip(*ann, firstPack()));
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_LT_HAND)), "Dagger");
    EXPECT_EQ(packCount(), 0);
}

TEST_F(InventoryRules, EquipSwapsWithTheItemOfTheSameSingleSlot)
{
    kit.give(*ann, kit.shield, SLOT_LT_HAND);
    kit.carry(*ann, kit.rope);
    kit.carry(*ann, kit.tower);
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_AC), -1);
    ASSERT_TRUE(inv::canOfferEquip(*ann, *packAt(0)));
    EXPECT_TRUE(inv::equip(*ann, 1));
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_LT_HAND)), "Tower Shield");
    ASSERT_EQ(packCount(), 2);
    EXPECT_EQ(itemName(packAt(0)), "Buckler");
    EXPECT_FALSE(packAt(0)->isEquipped());
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_AC), -3);
}

TEST_F(InventoryRules, EquipRefusesWhatCannotGoOn)
{
    // Not for the class; a slot taken by an item of another mask; an item
    // that is already worn.
    kit.carry(*ann, kit.heavy);
    EXPECT_FALSE(inv::canOfferEquip(*ann, *packAt(0)));
    EXPECT_FALSE(inv::equip(*ann, 0));
    kit.give(*ann, kit.dagger, SLOT_LT_HAND);
    kit.carry(*ann, kit.shield);
    EXPECT_FALSE(inv::canOfferEquip(*ann, *packAt(0)));
    EXPECT_FALSE(inv::equip(*ann, 1));
    EXPECT_FALSE(inv::equip(*ann, 0));   // the worn dagger
    EXPECT_EQ(packCount(), 2);
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_LT_HAND)), "Dagger");
}

TEST_F(InventoryRules, UnequipNeedsRoomInThePack)
{
    kit.give(*ann, kit.helm, SLOT_HEAD);
    for (int i = 0; i < 8; ++i)
        kit.carry(*ann, kit.rope);
    EXPECT_FALSE(inv::unequip(*ann, 0, limits));
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_HEAD)), "Helm");
    std::unique_ptr<bl3dItem> rope(takeItemAt(*ann, 1));
    EXPECT_FALSE(inv::unequip(*ann, 1, limits));   // a pack item
    EXPECT_TRUE(inv::unequip(*ann, 0, limits));
    EXPECT_EQ(ann->getSlotItem(SLOT_HEAD), nullptr);
    EXPECT_EQ(itemName(packAt(0)), "Helm");
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_AC), 0);
}

struct JoinCase {
    const char* what;
    int worn;          // charges of the worn arrows, -1 for none worn
    int packed;        // charges of the pack stack
    int wornAfter;
    int packedAfter;   // -1: the pack stack is gone
};

TEST_F(InventoryRules, JoiningAmmunitionStopsAtTheStackLimit)
{
    const JoinCase cases[] = {
        {"overflow stays in the pack", 150, 80, 200, 30},
        {"a stack that fits is used up", 150, 50, 200, -1},
        {"a full stack takes nothing", 200, 10, 200, 10},
        {"an empty pack stack is used up", 20, 0, 20, -1},
        {"a stack over the limit is never joined", 150, 250, 150, 250},
        {"a worn stack over the limit is never joined", 250, 10, 250, 10},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<bl3dPartyChar> m(kit.member("Ammo", 0x40));
        bl3dItem* worn = kit.give(*m, kit.arrows, SLOT_AMMO);
        worn->setCharges(c.worn);
        kit.carry(*m, kit.arrows, c.packed);
        inv::join(*m, 0);
        EXPECT_EQ(worn->getCharges(), c.wornAfter);
        if (c.packedAfter < 0) {
            EXPECT_EQ(m->getPack()->count(), 0);
        } else {
            ASSERT_EQ(m->getPack()->count(), 1);
            EXPECT_EQ(static_cast<bl3dItem*>(m->getPack()->at(0))->getCharges(), c.packedAfter);
        }
    }
}

TEST_F(InventoryRules, JoiningMergesPackStacksAndLeavesOthersAlone)
{
    kit.carry(*ann, kit.arrows, 5);
    kit.carry(*ann, kit.bottomless, UNLIMITED_CHARGES);
    kit.carry(*ann, kit.rope);
    kit.carry(*ann, kit.rope);
    kit.carry(*ann, kit.arrows, 7);
    kit.carry(*ann, kit.arrows, 9);   // front: the one joined into
    EXPECT_TRUE(inv::join(*ann, 0));
    ASSERT_EQ(packCount(), 4);
    EXPECT_EQ(packAt(0)->getCharges(), 21);
    // Items without charges are never merged away, nor unlimited stacks.
    EXPECT_FALSE(inv::join(*ann, 1));
    EXPECT_EQ(packCount(), 4);
    EXPECT_FALSE(inv::join(*ann, 3));
    EXPECT_EQ(packAt(3)->getCharges(), UNLIMITED_CHARGES);
    // A worn item that is not ammunition joins nothing.
    kit.give(*ann, kit.sword, SLOT_RT_HAND);
    EXPECT_FALSE(inv::join(*ann, 0));
}

TEST_F(InventoryRules, GivingNeedsRoomAndMovesExactlyOneItem)
{
    std::unique_ptr<bl3dPartyChar> bob(kit.member("Bob", 0x1));
    kit.give(*ann, kit.helm, SLOT_HEAD);
    kit.carry(*ann, kit.rope);
    for (int i = 0; i < 8; ++i)
        kit.carry(*bob, kit.root);
    EXPECT_EQ(inv::give(*ann, 0, *bob, limits), inv::Give::NoRoom);
    EXPECT_EQ(itemName(ann->getSlotItem(SLOT_HEAD)), "Helm");
    inv::Limits_S tight;
    tight.maxItems = 8;
    std::unique_ptr<bl3dItem> root(takeItemAt(*bob, 0));
    kit.give(*bob, kit.sword, SLOT_RT_HAND);   // 7 + 1 items in all
    EXPECT_EQ(inv::give(*ann, 0, *bob, tight), inv::Give::NoRoom);
    EXPECT_EQ(inv::give(*ann, 5, *bob, limits), inv::Give::NoItem);
    EXPECT_EQ(inv::give(*ann, 0, *bob, limits), inv::Give::Given);
    EXPECT_EQ(ann->getSlotItem(SLOT_HEAD), nullptr);
    EXPECT_EQ(itemName(static_cast<bl3dItem*>(bob->getPack()->at(0))), "Helm");
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_AC), 0);
    // To oneself: off the body onto the front of one's own pack.
    kit.give(*ann, kit.jerkin, SLOT_BODY);
    EXPECT_EQ(inv::give(*ann, 0, *ann, limits), inv::Give::Given);
    EXPECT_EQ(ann->getItemCount(), 2);
    EXPECT_EQ(itemName(packAt(0)), "Jerkin");
    EXPECT_TRUE(inv::discard(*ann, 1));
    EXPECT_EQ(ann->getItemCount(), 1);
    EXPECT_FALSE(inv::discard(*ann, 1));
}

struct GoldCase {
    const char* what;
    int members;
    int32_t gold[3];   // the member who shares or pools is first
    bool pool;
    int32_t after[3];
};

TEST_F(InventoryRules, PoolingAndSharingGoldNeverLoseOrWrap)
{
    const GoldCase cases[] = {
        {"share 100 among three", 3, {100, 0, 0}, false, {34, 33, 33}},
        {"pool", 3, {5, 10, 20}, true, {35, 0, 0}},
        {"share with nobody else", 1, {100, 0, 0}, false, {100, 0, 0}},
        {"share too little to split", 3, {2, 7, 7}, false, {2, 7, 7}},
        {"share nothing", 2, {0, 50, 0}, false, {0, 50, 0}},
        {"pool into a full purse", 2, {INT32_MAX - 10, 100, 0}, true, {INT32_MAX, 90, 0}},
        {"share into a full purse", 2, {100, INT32_MAX - 3, 0}, false, {97, INT32_MAX, 0}},
    };
    for (const GoldCase& c : cases) {
        SCOPED_TRACE(c.what);
        bl3dParty p(RefStr_C("party.dat"));
        bl3dPartyChar* m[3] = {};
        for (int i = 0; i < c.members; ++i) {
            m[i] = kit.member(i == 0 ? "A" : i == 1 ? "B" : "C", 0x1);
            m[i]->addGold(c.gold[i]);
            p.addMember(m[i]);
        }
        if (c.pool)
            inv::poolGold(*m[0], p);
        else
            inv::shareGold(*m[0], p);
        for (int i = 0; i < c.members; ++i)
            EXPECT_EQ(m[i]->getGold(), c.after[i]) << "member " << i;
    }
}

TEST_F(InventoryRules, TitlesAndLabelsStayInsideTheirTables)
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
        EXPECT_EQ((mage->getTagList()->setInt("Path", path), charsheet::classTitle(*mage)), "") << path;
    mage->getTagList()->setInt("Path", 3);
    EXPECT_EQ(charsheet::classTitle(*mage), "Illusionist");
    std::unique_ptr<bl3dPartyChar> odd(new bl3dPartyChar("Odd", 0, 11, true, 1, nullptr, nullptr));
    EXPECT_EQ(charsheet::classTitle(*odd), "NONE");
    EXPECT_EQ(charsheet::raceLabel(*odd), "UNKNOWN");
    odd->setClassId(CLASS_SUMMONED);
    EXPECT_EQ(charsheet::classTitle(*odd), "Illusion");
    EXPECT_EQ(charsheet::schoolName(0), "");
    EXPECT_EQ(charsheet::schoolName(5), "Warlock");
}

TEST_F(InventoryRules, SpellSummaryCountsOnlySpellsItsTablesHold)
{
    KitSpell mapo(0x10001, "Portal", "MAPO", 0x100, 2, 1);
    KitSpell bad1(0x10002, "Odd School", "ODDS", 0x100, 1, 9);
    KitSpell bad2(0x10003, "Odd Level", "ODDL", 0x100, 12, 2);
    KitSpell bless(0x10004, "Bless", "BLES", 0x20, 3, 0);
    KitSkill claw(0x10005);
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

TEST_F(InventoryRules, ItemInformationShowsWhatThePartyCanJudge)
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
