// The Casino: every state driven by keys (games, players who cannot play,
// wagers beyond the purse, playing again), the two games' rolls with luck,
// and payouts that would take gold past what it can hold.
#include "TownTestUtil.h"

#include "town/Event_1022.h"

namespace {

using namespace partyscreens;
using namespace towntest;

class CasinoTest : public ServiceFixture {};

TEST_F(CasinoTest, TheWheelPaysBreaksEvenAndLetsThePlayerPlayAgain)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(200);
    Event_1022_C c(&params_);
    watch([&] { return c.getState(); });
    const uint32_t t0 = now();
    // 9 on the wheel (luck 12, no bonus) doubles; 7 breaks even; 3 loses.
    vell::scriptGameRand({9, 7, 3});
    script({SDLK_w, SDLK_F1, SDLK_5, SDLK_KP0, SDLK_RETURN, quiet(SDLK_x), SDLK_p, SDLK_RETURN, SDLK_p, SDLK_RETURN,
            SDLK_c, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(c.invoke(&iface), 0);
    ASSERT_EQ(shown().size(), 13u);
    EXPECT_TRUE(shown(0).mentions("Welcome to the Casino! Try your luck at one of our games of skill."));
    EXPECT_TRUE(shown(0).has("(W)heel of Chance"));
    EXPECT_TRUE(shown(0).has("(B)ones of Luck"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    EXPECT_EQ(shown(1).state, Event_1022_C::WHEEL_WHO);
    EXPECT_TRUE(shown(1).mentions("Prepare to spin the Wheel of Chance! Who will play?"));
    EXPECT_TRUE(shown(1).has("(F1-F8) to select"));
    EXPECT_EQ(shown(2).state, Event_1022_C::WAGER);
    EXPECT_TRUE(shown(2).mentions("Ann has 200 Gold:"));
    EXPECT_TRUE(shown(2).has("How much will you wager?"));
    EXPECT_TRUE(shown(2).has("_"));
    EXPECT_TRUE(shown(4).has("50_")) << "keypad digits count";
    EXPECT_EQ(shown(5).state, Event_1022_C::WON);
    EXPECT_TRUE(shown(5).mentions("WE HAVE A WINNER!"));
    EXPECT_TRUE(shown(5).has("Your purse increases by 100 Gold Pieces"));
    for (const char* s : {"Would you like to :", "(P)lay again", "(C)hoose a new Player", "(L)eave this table"})
        EXPECT_TRUE(shown(5).has(s)) << s;
    EXPECT_EQ(shown(6).state, Event_1022_C::WON) << "a redraw of the result changes nothing";
    EXPECT_EQ(shown(7).state, Event_1022_C::WAGER);
    EXPECT_TRUE(shown(7).mentions("Ann has 250 Gold:"));
    EXPECT_TRUE(shown(7).has("50_")) << "the same wager is offered again";
    EXPECT_EQ(shown(8).state, Event_1022_C::WON);
    EXPECT_TRUE(shown(8).has("You broke even on the wager"));
    EXPECT_EQ(shown(10).state, Event_1022_C::LOST);
    EXPECT_TRUE(shown(10).mentions("Sorry friend, the house wins"));
    EXPECT_EQ(shown(11).state, Event_1022_C::WHEEL_WHO);
    EXPECT_EQ(shown(12).state, Event_1022_C::MENU);
    EXPECT_EQ(ann.getGold(), 200);
    EXPECT_EQ(now(), t0 + 60) << "60 ticks on leaving, however many games";
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(iface.getFacing(), 90);
}

TEST_F(CasinoTest, BonesAndTheOnesWhoCannotPlayOrPay)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& sleeper = join("Sleeper", 0x4);
    ann.addGold(30);
    sleeper.addGold(30);
    sleeper.addBaseConditions(COND_SLEEPING);
    Event_1022_C c(&params_);
    watch([&] { return c.getState(); });
    // F3 is empty; the sleeper cannot play; 38 nines are more than Ann has
    // and a 39th digit is not taken; then a wager of 0 on the bones.
    std::vector<Step> steps = {SDLK_b, quiet(SDLK_F3), SDLK_F2, SDLK_SPACE, SDLK_F1};
    for (int i = 0; i < 38; ++i)
        steps.push_back(SDLK_9);
    steps.push_back(quiet(SDLK_9));
    steps.push_back(SDLK_RETURN);
    steps.push_back(SDLK_SPACE);
    for (int i = 0; i < 38; ++i)
        steps.push_back(SDLK_BACKSPACE);
    steps.push_back(quiet(SDLK_DELETE));
    steps.push_back(SDLK_0);
    steps.push_back(SDLK_RETURN);
    steps.push_back(SDLK_l);
    steps.push_back(SDLK_ESCAPE);
    vell::scriptGameRand({0, 0});
    script(steps);
    c.invoke(&iface);
    EXPECT_EQ(shown(1).state, Event_1022_C::BONES_WHO);
    EXPECT_TRUE(shown(1).mentions("Prepare to roll the Bones of Skill! Who will play?"));
    EXPECT_EQ(shown(2).state, Event_1022_C::BONES_WHO);
    EXPECT_EQ(shown(3).state, Event_1022_C::CANNOT_PLAY);
    EXPECT_TRUE(shown(3).mentions("Perhaps someone who can move should play?"));
    EXPECT_EQ(shown(4).state, Event_1022_C::BONES_WHO);
    EXPECT_EQ(shown(5).state, Event_1022_C::WAGER);
    const Shown credit = lastIn(Event_1022_C::NO_GOLD);
    EXPECT_TRUE(credit.mentions("Your credit is no good here, come back when you have the cash"));
    EXPECT_TRUE(lastIn(Event_1022_C::WAGER).mentions("Ann has 30 Gold:"));
    bool all38 = false;
    for (const Shown& s : shown())
        all38 = all38 || s.has(std::string(38, '9') + "_");
    EXPECT_TRUE(all38);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << "the wager of 0 was rolled";
    EXPECT_TRUE(lastIn(Event_1022_C::LOST).mentions("Sorry friend, the house wins")) << "double zero pays 4 x 0: nothing";
    EXPECT_EQ(last().state, Event_1022_C::MENU);
    EXPECT_EQ(ann.getGold(), 30);
    EXPECT_EQ(sleeper.getGold(), 30);
}

TEST_F(CasinoTest, WhoCanPlay)
{
    join("Ann", 0x4);
    struct Case {
        int32_t condition;
        int hp;
        bool plays;
    } cases[] = {{0, 5, true},           {COND_STUNNED, 5, false}, {COND_SLEEPING, 5, false},
                 {COND_STONE, 5, false}, {COND_BLIND, 5, false},   {COND_POISONED, 5, true},
                 {0, 0, false}};
    for (const Case& k : cases) {
        member(0).setConditions(k.condition);
        member(0).setCurHP(k.hp);
        EXPECT_EQ(Event_1022_C::canPlay(0), k.plays) << k.condition << " " << k.hp;
    }
    EXPECT_FALSE(Event_1022_C::canPlay(1));
    EXPECT_FALSE(Event_1022_C::canPlay(8));
}

TEST_F(CasinoTest, TheWheelAndTheBonesWithLuck)
{
    join("Player", 0x4);
    // A Beggen (race 6) in place 1.
    auto* beggen = new bl3dPartyChar("Beggen", 0x4, 6, true, 1, nullptr, nullptr);
    beggen->setMaxHP(20);
    beggen->setCurHP(20);
    ASSERT_TRUE(party->addMember(beggen));
    struct Case {
        int game;
        int32_t classId, race, luck;
        std::vector<int> rolls;
        int64_t payout;   // for a wager of 10
    } cases[] = {
        {Event_1022_C::kWheel, 0x4, 1, 12, {6}, 0},
        {Event_1022_C::kWheel, 0x4, 1, 12, {7}, 10},
        {Event_1022_C::kWheel, 0x4, 1, 12, {8}, 10},
        {Event_1022_C::kWheel, 0x4, 1, 12, {10}, 20},
        {Event_1022_C::kWheel, 0x4, 1, 12, {11}, 40},
        {Event_1022_C::kWheel, 0x4, 1, 9, {7}, 0},      // bad luck: 6
        {Event_1022_C::kWheel, 0x4, 1, 17, {6}, 10},    // good luck: 7
        {Event_1022_C::kWheel, 0x82, 6, 17, {8}, 40},   // 8 + 3 + 1
        {Event_1022_C::kBones, 0x4, 1, 12, {0, 0}, 40},  // double zero
        {Event_1022_C::kBones, 0x4, 1, 12, {3, 4}, 20},  // seven
        {Event_1022_C::kBones, 0x4, 1, 12, {3, 3}, 0},
        {Event_1022_C::kBones, 0x2, 1, 12, {3, 3}, 20},  // 6 + 1: seven
        {Event_1022_C::kBones, 0x82, 6, 17, {3, 3}, 20}, // 6 + 4, held at 7
        {Event_1022_C::kBones, 0x2, 1, 12, {5, 5}, 0},   // 10 - 1
        {Event_1022_C::kBones, 0x82, 6, 17, {5, 4}, 20}, // 9 - 4, held at 7
        {Event_1022_C::kBones, 0x82, 1, 12, {1, 1}, 40}, // 2 - 2: zero
        {Event_1022_C::kBones, 0x82, 6, 17, {1, 2}, 40}, // 3 - 4, held at 0
    };
    for (const Case& k : cases) {
        const int slot = k.race == 6 ? 1 : 0;
        bl3dPartyChar& p = member(slot);
        p.setClassId(k.classId);
        p.getStatBlock()->setBase(STAT_LK, k.luck);
        vell::scriptGameRand(k.rolls);
        const int64_t got = k.game == Event_1022_C::kWheel ? Event_1022_C::spinWheel(slot, 10)
                                                           : Event_1022_C::rollBones(slot, 10);
        EXPECT_EQ(got, k.payout) << "game " << k.game << " class " << k.classId << " race " << k.race << " luck "
                                 << k.luck << " roll " << k.rolls[0];
        EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
        vell::clearScriptedGameRand();
    }
}

TEST_F(CasinoTest, APayoutNeverTakesGoldPastWhatItHolds)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    Event_1022_C c(&params_);
    // Four times a purse of 2^31 - 1 gold: the wager is paid, the payout is
    // cut to what fits.
    ann.addGold(INT32_MAX);
    ASSERT_EQ(ann.getGold(), INT32_MAX);
    vell::scriptGameRand({0, 0});
    EXPECT_EQ(c.play(0, Event_1022_C::kBones, std::to_string(INT32_MAX)), Event_1022_C::WON);
    EXPECT_EQ(c.payout(), 4 * int64_t(INT32_MAX));
    EXPECT_EQ(c.received(), int64_t(INT32_MAX));
    EXPECT_EQ(ann.getGold(), INT32_MAX);
    // The same, pooled over three members.
    gameConfig.partyGold = true;
    ann.addGold(-ann.rawGold());
    join("Bob", 0x4);
    join("Cid", 0x4);
    ann.rawAddGold(1000);
    member(1).rawAddGold(INT32_MAX - 2000);
    vell::scriptGameRand({12});
    EXPECT_EQ(c.play(0, Event_1022_C::kWheel, "1000"), Event_1022_C::WON);
    EXPECT_EQ(c.received(), 2000);
    EXPECT_EQ(ann.getGold(), INT32_MAX);
    int64_t sum = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(member(i).rawGold(), 0);
        sum += member(i).rawGold();
    }
    EXPECT_EQ(sum, int64_t(INT32_MAX));
    // Digits that are no number are a wager of 0.
    vell::scriptGameRand({0});
    EXPECT_EQ(c.play(0, Event_1022_C::kWheel, ""), Event_1022_C::LOST);
    EXPECT_EQ(c.wager(), 0);
    EXPECT_EQ(c.play(0, Event_1022_C::kWheel, std::string(38, '9')), Event_1022_C::NO_GOLD);
    EXPECT_EQ(c.play(5, Event_1022_C::kWheel, "1"), Event_1022_C::NO_GOLD) << "no player in that place";
}

TEST_F(CasinoTest, TheCasinoIsRegistered)
{
    std::unique_ptr<Event_C> e = createMapEvent(1022, &params_);
    ASSERT_NE(dynamic_cast<Event_1022_C*>(e.get()), nullptr);
    EXPECT_EQ(e->typeId(), 1022);
}

} // namespace
