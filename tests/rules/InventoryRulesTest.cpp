// The rules on a member's items and gold: item positions, equipping
// (lowest free slot, swapping a single-slot item), unequipping, joining
// stacks, giving, discarding, pooling and sharing gold.
#include "support/PartyKit.h"

#include "core/GameConfig.h"
#include "rules/Party.h"
#include "rules/RulesEnv.h"
#include "rules/Inventory.h"

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

// Taking a weapon out of the right hand readies the ready item there; a swap
// must not let it take the new weapon's place, with a full pack above all.
TEST_F(InventoryRules, SwappingTheWieldedWeaponKeepsTheReadyItemReady)
{
    bl3dItemType* club = makeItemType(ITEM_WEAPON);
    club->setBasics(9100, "Club", "A club.", 10);
    club->setSlotMask(bit(SLOT_RT_HAND));
    club->setClassMask(0x7fff);
    masterITL.insert(club);
    bl3dItem* oldClub = kit.give(*ann, club, SLOT_RT_HAND);
    bl3dItem* sword = kit.give(*ann, kit.sword, SLOT_READY);
    for (int i = 0; i < 7; ++i)
        kit.carry(*ann, kit.rope);
    bl3dItem* newClub = kit.carry(*ann, club);
    ASSERT_EQ(packCount(), limits.maxPack);
    ASSERT_TRUE(inv::canOfferEquip(*ann, *newClub));

    EXPECT_TRUE(inv::equip(*ann, firstPack()));
    EXPECT_EQ(ann->getSlotItem(SLOT_RT_HAND), newClub);
    EXPECT_TRUE(newClub->isEquipped());
    EXPECT_EQ(ann->getSlotItem(SLOT_READY), sword);
    EXPECT_EQ(packCount(), limits.maxPack) << "the pack keeps its limit";
    EXPECT_EQ(packAt(0), oldClub);
    EXPECT_FALSE(oldClub->isEquipped());
    EXPECT_EQ(ann->getItemCount(), 10) << "no item lost or doubled";
    EXPECT_EQ(ann->getStatBlock()->getCur(STAT_ATTACK), 0) << "the ready sword gives nothing";
}

// The limits come from the world in play through the rules' environment.
TEST_F(InventoryRules, TheLimitsAreThoseOfTheWorldInPlay)
{
    EXPECT_EQ(inv::worldLimits().maxPack, 8);
    EXPECT_EQ(inv::worldLimits().maxItems, 28);
    struct SmallWorld : RulesEnv_C {
        void itemLimits(int& maxPack, int& maxItems) const override { maxPack = 2, maxItems = 5; }
    } world;
    setRulesEnv(&world);
    const inv::Limits_S l = inv::worldLimits();
    setRulesEnv(nullptr);
    EXPECT_EQ(l.maxPack, 2);
    EXPECT_EQ(l.maxItems, 5);
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

} // namespace
