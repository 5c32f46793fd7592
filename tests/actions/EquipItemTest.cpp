// Equip Item: the trial's result carried out later in the round. Items are
// found again by serial, modifiers follow what is worn, no item is lost or
// owned twice, and two members' orders in one round stay apart.
#include "ActionTest.h"

#include "actions/EquipItem.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"

#include <set>

namespace {

class EquipItemTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ada = member("Ada", false);
        helmType = kit->gearType("Helm", 1 << SLOT_HEAD, {{STAT_AC, -1}});
        ringType = kit->gearType("Ring", 1 << SLOT_FINGER, {{STAT_ST, 2}});
    }
    ActionUse_S* order(bl3dPartyChar* who, int argc = 5) {
        void* context[5] = {nullptr, who, &text, nullptr, nullptr};
        return action(ACTION_EQUIP_ITEM)->enqueue(new bl3dActor(who), 0, argc, context);
    }
    int perform(ActionUse_S* u) {
        const int r = action(ACTION_EQUIP_ITEM)->perform(u);
        action(ACTION_EQUIP_ITEM)->freeEntry(u);
        return r;
    }
    static std::set<uint64_t> packOf(bl3dPartyChar* who) {
        std::set<uint64_t> s;
        for (int i = 0; ListObject_C* o = who->getPack()->at(i); ++i)
            s.insert(o->getSerial());
        return s;
    }
    int32_t stat(int i) const { return ada->getStatBlock()->getCur(i); }

    bl3dPartyChar* ada = nullptr;
    bl3dItemType* helmType = nullptr;
    bl3dItemType* ringType = nullptr;
};

TEST_F(EquipItemTest, TheTrialIsCarriedOutWhenTheUseIsPerformed) {
    bl3dItem* ring = kit->give(ada, ringType, SLOT_FINGER);
    bl3dItem* helm = kit->give(ada, helmType, -1);
    const int32_t ac = stat(STAT_AC), st = stat(STAT_ST);
    ASSERT_EQ(st, 12);
    kit->actionEnv.hasTrial = true;
    kit->actionEnv.trial.changed = true;
    kit->actionEnv.trial.equip[SLOT_HEAD] = helm->getSerial();
    kit->actionEnv.trial.pack = {ring->getSerial()};

    ActionUse_S* u = order(ada);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(kit->actionEnv.trialCalls, 1) << "the sheet opens when the order is given";
    EXPECT_EQ(ada->getSlotItem(SLOT_FINGER), ring) << "nothing moves before the use is performed";

    EXPECT_EQ(perform(u), 0);
    EXPECT_EQ(said(), "Ada rummages through her pack\n");
    EXPECT_EQ(ada->getSlotItem(SLOT_HEAD), helm);
    EXPECT_TRUE(helm->isEquipped());
    EXPECT_EQ(ada->getSlotItem(SLOT_FINGER), nullptr);
    EXPECT_EQ(packOf(ada), std::set<uint64_t>{ring->getSerial()});
    EXPECT_FALSE(ring->isEquipped());
    EXPECT_EQ(stat(STAT_AC), ac - 1);
    EXPECT_EQ(stat(STAT_ST), st - 2) << "the ring's modifier left with it";
}

TEST_F(EquipItemTest, NoItemIsLostAndUnknownSerialsAreSkipped) {
    bl3dItem* ring = kit->give(ada, ringType, SLOT_FINGER);
    bl3dItem* helm = kit->give(ada, helmType, SLOT_HEAD);
    bl3dItem* spare = kit->give(ada, helmType, -1);
    kit->actionEnv.hasTrial = true;
    kit->actionEnv.trial.changed = true;
    // The trial names a serial Ada does not own, names the spare twice and
    // forgets the ring.
    kit->actionEnv.trial.equip[SLOT_HEAD] = spare->getSerial();
    kit->actionEnv.trial.equip[SLOT_BODY] = 99999;
    kit->actionEnv.trial.pack = {spare->getSerial(), 88888};
    perform(order(ada));
    EXPECT_EQ(ada->getSlotItem(SLOT_HEAD), spare);
    EXPECT_EQ(ada->getSlotItem(SLOT_BODY), nullptr);
    EXPECT_EQ(packOf(ada), (std::set<uint64_t>{ring->getSerial(), helm->getSerial()}));
    EXPECT_EQ(ada->getItemCount(), 3);
}

TEST_F(EquipItemTest, AnItemGoneSinceTheTrialIsSkipped) {
    bl3dItem* ring = kit->give(ada, ringType, SLOT_FINGER);
    const uint64_t ringSerial = ring->getSerial();
    kit->actionEnv.hasTrial = true;
    kit->actionEnv.trial.changed = true;
    kit->actionEnv.trial.equip[SLOT_FINGER + 1] = ringSerial;
    ActionUse_S* u = order(ada);
    delete ada->takeFromSlot(SLOT_FINGER); // spent or lost before its turn
    EXPECT_EQ(perform(u), 0);
    EXPECT_EQ(ada->getItemCount(), 0);
    EXPECT_EQ(stat(STAT_ST), 10);
}

TEST_F(EquipItemTest, AnUnchangedTrialLeavesEverythingAndTwoOrdersStayApart) {
    bl3dPartyChar* bo = member("Bo");
    bl3dItem* adaRing = kit->give(ada, ringType, SLOT_FINGER);
    bl3dItem* boRing = kit->give(bo, ringType, SLOT_FINGER);

    kit->actionEnv.hasTrial = true;
    kit->actionEnv.trial.changed = true;
    kit->actionEnv.trial.pack = {adaRing->getSerial()};
    ActionUse_S* first = order(ada);
    kit->actionEnv.trial = EquipTrial_S{};
    kit->actionEnv.trial.equip[SLOT_HEAD] = boRing->getSerial(); // looked at, not confirmed
    ActionUse_S* second = order(bo);

    perform(first);
    perform(second);
    EXPECT_EQ(said(), "Bo rummages through his pack\n");
    EXPECT_EQ(ada->getSlotItem(SLOT_FINGER), nullptr) << "Ada's confirmed change was made";
    EXPECT_EQ(bo->getSlotItem(SLOT_FINGER), boRing) << "Bo's order did not take Ada's swap";
}

TEST_F(EquipItemTest, RefusedOrdersAndUnperformedUsesReleaseEverything) {
    bl3dItem* ring = kit->give(ada, ringType, SLOT_FINGER);
    EXPECT_EQ(order(ada, 4), nullptr);
    bl3dAction* equip = action(ACTION_EQUIP_ITEM);
    void* context[5] = {nullptr, nullptr, &text, nullptr, nullptr};
    EXPECT_EQ(equip->enqueue(new bl3dActor(nullptr), 0, 5, context), nullptr) << "nobody to equip";
    EXPECT_EQ(equip->makeEntry(new bl3dActor(ada), nullptr, 2, context), nullptr);
    // A use given up (the order taken back) owns no item.
    kit->actionEnv.hasTrial = true;
    kit->actionEnv.trial.changed = true;
    ActionUse_S* u = order(ada);
    equip->freeEntry(u);
    EXPECT_EQ(ada->getSlotItem(SLOT_FINGER), ring);
    EXPECT_EQ(equip->perform(nullptr), 0);
}

} // namespace
