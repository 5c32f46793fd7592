// Money in the taverns and the Casino: long seeded runs of drinks, rooms,
// tips and wagers by random members of random parties, with gold kept apart
// and pooled. Every payment is made exactly when the payer has the amount,
// and the party's gold changes by exactly the amounts paid and received;
// gold never goes below 0, and a payout never takes it past what it holds
// (the pool's total included).
#include "TownTestUtil.h"

#include "town/Event_1022.h"
#include "town/Taverns.h"

#include <random>

namespace {

using namespace partyscreens;
using namespace towntest;

class MoneyPropertyTest : public ServiceFixture {
protected:
    static int64_t rawTotal()
    {
        int64_t sum = 0;
        for (int i = 0; i < party->getCount(); ++i)
            sum += member(i).rawGold();
        return sum;
    }

    // One run: a random party, then `steps` random payments.
    void run(uint32_t seed, bool pooled, int steps)
    {
        SCOPED_TRACE("seed " + std::to_string(seed) + (pooled ? " pooled" : " own gold"));
        while (party->getCount() > 0)
            party->removeAt(0);
        gameConfig.partyGold = pooled;
        std::mt19937 rng(seed);
        vell::gameSrand(seed);
        auto pick = [&rng](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };

        const int count = int(pick(1, 8));
        const int32_t classes[] = {0x2, 0x4, 0x80, 0x82};
        for (int i = 0; i < count; ++i) {
            bl3dPartyChar& m = join(("M" + std::to_string(i)).c_str(), classes[pick(0, 3)], int(pick(1, 60)));
            m.getStatBlock()->setBase(STAT_CH, int(pick(3, 19)));
            m.getStatBlock()->setBase(STAT_LK, int(pick(3, 19)));
            // Purses from empty to full; a pool holds no more than gold can.
            const int64_t most = pooled ? INT32_MAX / count : INT32_MAX;
            const int64_t kinds[] = {0, pick(0, 300), pick(0, 100000), pick(most - 1000, most)};
            m.rawAddGold(static_cast<int32_t>(kinds[pick(0, 3)]));
        }
        Event_1010_C tavern(&params_);
        Event_1022_C casino(&params_);

        for (int step = 0; step < steps; ++step) {
            const int slot = int(pick(0, count - 1));
            bl3dPartyChar& payer = member(slot);
            const int64_t has = payer.getGold();
            const int64_t before = rawTotal();
            std::vector<int64_t> own(static_cast<size_t>(count), 0);
            for (int i = 0; i < count; ++i)
                own[size_t(i)] = member(i).rawGold();
            int64_t expectedChange = 0;
            std::string what;

            switch (pick(0, 3)) {
            case 0: {
                const int drink = int(pick(0, 5));
                what = "drink " + std::to_string(drink);
                const int64_t price = Tavern_C::drinkPrice(drink);
                ASSERT_EQ(Tavern_C::buyDrink(payer, drink), has >= price) << what;
                expectedChange = has >= price ? -price : 0;
                break;
            }
            case 1: {
                what = "room";
                const int64_t price = tavern.roomPrice();
                ASSERT_EQ(tavern.rentRoom(payer), has >= price) << what;
                expectedChange = has >= price ? -price : 0;
                break;
            }
            case 2: {
                const int64_t amount = pick(0, 2) == 0 ? pick(0, has) : pick(0, 99999999);
                what = "tip " + std::to_string(amount);
                ASSERT_EQ(tavern.tip(payer, std::to_string(amount)), has >= amount) << what;
                expectedChange = has >= amount ? -amount : 0;
                break;
            }
            default: {
                std::string digits;
                switch (pick(0, 3)) {
                case 0: digits = std::to_string(pick(0, has)); break;
                case 1: digits = std::to_string(pick(0, INT32_MAX)); break;
                case 2: digits = std::string(size_t(pick(1, 38)), char('0' + pick(1, 9))); break;
                default: digits = std::to_string(has); break;
                }
                what = "wager " + digits;
                const int game = pick(0, 1) ? Event_1022_C::kWheel : Event_1022_C::kBones;
                const int result = casino.play(slot, game, digits);
                const int64_t wager = casino.wager();
                if (wager > has) {
                    ASSERT_EQ(result, 8) << what;
                    break;
                }
                ASSERT_EQ(result, casino.payout() > 0 ? 5 : 6) << what;
                const int64_t payout = result == 5 ? casino.payout() : 0;
                ASSERT_TRUE(payout == 0 || payout == wager || payout == 2 * wager || payout == 4 * wager) << what;
                ASSERT_EQ(casino.received(), std::min<int64_t>(payout, INT32_MAX - (has - wager))) << what;
                expectedChange = casino.received() - wager;
                break;
            }
            }

            ASSERT_EQ(rawTotal(), before + expectedChange) << what << " at step " << step;
            for (int i = 0; i < count; ++i) {
                ASSERT_GE(member(i).rawGold(), 0) << what;
                if (!pooled && i != slot) {
                    ASSERT_EQ(member(i).rawGold(), own[size_t(i)]) << "another member's purse moved: " << what;
                }
            }
            if (pooled)
                ASSERT_LE(rawTotal(), int64_t(INT32_MAX)) << what;
            else
                ASSERT_EQ(payer.getGold(), has + expectedChange) << what;
            // A purse that ran dry is filled again now and then, so that the
            // run goes on paying.
            if (payer.rawGold() < 50 && pick(0, 9) == 0 && (!pooled || rawTotal() < INT32_MAX / 2))
                payer.rawAddGold(static_cast<int32_t>(pick(0, 5000)));
        }
    }
};

TEST_F(MoneyPropertyTest, GoldMovesByExactlyWhatIsPaidAndReceived)
{
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        run(seed, false, 2500);
        if (HasFatalFailure())
            return;
        run(seed, true, 2500);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
