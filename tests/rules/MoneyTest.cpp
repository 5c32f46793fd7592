// Money (rules/Money.h), the one way gold is paid and received: a payment
// is taken whole or not at all, a payout never wraps a purse nor the
// party's pool, a negative amount moves nothing, and with shared gold the
// pool pays and receives for whoever is the customer.
#include "RulesTestEnv.h"
#include "rules/Money.h"
#include "rules/PartyChar.h"

#include <memory>

namespace {

class MoneyTest : public RulesTest {
protected:
    // A member of the party `p` (which owns it) with that gold of its own.
    static bl3dPartyChar& join(bl3dParty& p, const char* name, int32_t gold) {
        auto pc = std::make_unique<bl3dPartyChar>(name, 0x4, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
        pc->rawAddGold(gold);
        bl3dPartyChar& m = *pc;
        EXPECT_TRUE(p.addMember(pc.release()));
        return m;
    }
    static int64_t rawTotal(const bl3dParty& p) {
        int64_t sum = 0;
        for (int i = 0; i < p.getCount(); ++i)
            sum += p.getMember(i)->rawGold();
        return sum;
    }
};

// Payouts stop at what a purse holds; a negative price or payout moves
// nothing; a price beyond any purse is refused.
TEST_F(MoneyTest, PayAndReceiveNeverWrapNorRunBackwards) {
    bl3dParty p("party.dat");
    party = &p;
    bl3dPartyChar& ann = join(p, "Ann", INT32_MAX - 10);
    EXPECT_TRUE(money::receive(ann, 450));
    EXPECT_EQ(ann.rawGold(), INT32_MAX);
    EXPECT_FALSE(money::receive(ann, -5));
    EXPECT_FALSE(money::pay(ann, -5));
    EXPECT_FALSE(money::pay(ann, int64_t(INT32_MAX) + 1));
    EXPECT_EQ(ann.rawGold(), INT32_MAX);
    EXPECT_TRUE(money::pay(ann, INT32_MAX));
    EXPECT_EQ(ann.rawGold(), 0);
    EXPECT_TRUE(money::receive(ann, int64_t(1) << 40)) << "capped, not wrapped";
    EXPECT_EQ(ann.rawGold(), INT32_MAX);
    // A win is cut to what fits and says what was given.
    EXPECT_TRUE(money::pay(ann, 100));
    EXPECT_EQ(money::receiveUpTo(ann, -5), 0);
    EXPECT_EQ(money::receiveUpTo(ann, 30), 30);
    EXPECT_EQ(money::receiveUpTo(ann, int64_t(1) << 40), 70);
    EXPECT_EQ(ann.rawGold(), INT32_MAX);
    EXPECT_EQ(money::salePrice(1), 0);
    EXPECT_EQ(money::salePrice(901), 450);
    EXPECT_EQ(money::salePrice(-8), 0);
}

// A payment is all or nothing, from the customer's own purse: the price
// exactly, one more than the purse, then the others' purses untouched.
TEST_F(MoneyTest, OwnPursePaysWholeOrNothing) {
    bl3dParty p("party.dat");
    party = &p;
    bl3dPartyChar& ann = join(p, "Ann", 40);
    bl3dPartyChar& bob = join(p, "Bob", 500);
    EXPECT_FALSE(money::pay(ann, 41)) << "Bob's gold is his own";
    EXPECT_EQ(ann.rawGold(), 40);
    EXPECT_TRUE(money::pay(ann, 40));
    EXPECT_EQ(ann.rawGold(), 0);
    EXPECT_TRUE(money::pay(ann, 0)) << "nothing to pay is paid";
    EXPECT_TRUE(money::receive(ann, 7));
    EXPECT_EQ(ann.rawGold(), 7);
    EXPECT_EQ(bob.rawGold(), 500);
}

// With shared gold the pool pays for any member and a payout is shared out;
// the pool, not one purse, is what a payout may fill.
TEST_F(MoneyTest, SharedGoldPaysAndReceivesThroughThePool) {
    bl3dParty p("party.dat");
    party = &p;
    gameConfig.partyGold = true;
    bl3dPartyChar& ann = join(p, "Ann", 10);
    bl3dPartyChar& bob = join(p, "Bob", 30);
    EXPECT_TRUE(money::pay(ann, 25)) << "more than Ann's purse, less than the pool";
    EXPECT_EQ(rawTotal(p), 15);
    EXPECT_FALSE(money::pay(bob, 16));
    EXPECT_EQ(rawTotal(p), 15) << "a refused payment takes nothing";
    EXPECT_TRUE(money::receive(bob, 9));
    EXPECT_EQ(rawTotal(p), 24);
    EXPECT_GT(ann.rawGold(), 0) << "a payout is shared out";

    // A win fills the pool to the top and no further.
    EXPECT_EQ(money::receiveUpTo(ann, int64_t(INT32_MAX) * 4), INT32_MAX - 24);
    EXPECT_EQ(rawTotal(p), INT32_MAX);
    EXPECT_EQ(money::receiveUpTo(bob, 1), 0);
    EXPECT_EQ(rawTotal(p), INT32_MAX);
}

} // namespace
