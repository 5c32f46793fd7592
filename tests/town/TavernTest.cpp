// The taverns: every state of the screen driven by keys (drinks, the room
// and its night, rumours, tips, the hours), the five taverns' own values,
// and tip files that are missing or damaged.
#include "TownTestUtil.h"

#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "town/Taverns.h"

namespace {

using namespace partyscreens;
using namespace towntest;

// A tavern over a tip file of the test's own.
class ProbeTavern_C : public Tavern_C {
public:
    ProbeTavern_C(const EventParams_S* p, const std::string& tipFile) : Tavern_C(p, "The Probe", tipFile.c_str()) {}
    int typeId() const override { return 1009; }
};

const char* const kTips = "# probe tips\n"
                          "0|First rumour.\r\n"
                          "0|Second rumour.\n"
                          "\n"
                          "100|Cheap tip.\n"
                          "500|Middling tip.\n"
                          "2000|Dear tip.\n";

class TavernTest : public ServiceFixture {
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        if (HasFatalFailure())
            return;
        tipFile_ = writeTemp("probe.tip", kTips);
        setTime(20);
    }
    std::string tipFile_;
};

TEST_F(TavernTest, TheFiveTavernsGiveTheirNamesTipFilesAndRoomPrices)
{
    join("Ann", 0x4, 3);
    join("Bob", 0x4, 4);   // average level 3
    struct Case {
        int id;
        const char* name;
        int64_t room;
    } cases[] = {
        {1006, "Melkoran's Tavern", 150},
        {1007, "The Green Bard", 210},
        {1008, "Hughter's Owl", 130},
        {1009, "The Chiccasaw", 300},
        {1010, "The Marauder's Hole", 2030},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Event_C> e = createMapEvent(c.id, &params_);
        auto* t = dynamic_cast<Tavern_C*>(e.get());
        ASSERT_NE(t, nullptr) << c.id;
        EXPECT_EQ(t->typeId(), c.id);
        EXPECT_STREQ(t->name(), c.name);
        EXPECT_EQ(t->roomPrice(), c.room) << c.name;
        EXPECT_GE(t->tips().rumours.size(), 3u) << c.name << ": its tip file is shipped";
        EXPECT_GE(t->tips().tips.size(), 3u) << c.name;
        EXPECT_EQ(t->getExitX(), 3);
    }
}

TEST_F(TavernTest, ADrinkIsPaidForDrunkAndTheClockMoves)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(100);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    const uint32_t t0 = now();
    script({SDLK_b, SDLK_F1, SDLK_a, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_EQ(t.invoke(&iface), 0);
    ASSERT_EQ(shown().size(), 6u);
    EXPECT_TRUE(shown(0).mentions("Welcome to The Probe!"));
    for (const char* s : {"What be your pleasure?", "(B)uy a Drink", "(R)ent a Room", "(L)isten for Rumors",
                          "(T)ip the Barkeep", "(F1-F8) to View", "(ESCAPE) to Exit"})
        EXPECT_TRUE(shown(0).has(s)) << s;
    EXPECT_EQ(shown(1).state, Tavern_C::DRINK_WHO);
    EXPECT_TRUE(shown(1).has("Who will drink?"));
    EXPECT_EQ(shown(2).state, Tavern_C::DRINKS);
    EXPECT_TRUE(shown(2).has("Ann, what can I get ye?"));
    for (const char* s : {"House (A)le", "(I)mported Ale", "(W)ine", "(M)ead", "W(h)isky", "(T)ongue o'the Dragon"})
        EXPECT_TRUE(shown(2).has(s)) << s;
    EXPECT_EQ(shown(3).state, Tavern_C::DRINK_OFFER);
    EXPECT_TRUE(shown(3).mentions("Such a fine brew will cost you 10 gold."));
    EXPECT_TRUE(shown(3).has("(Y)es"));
    EXPECT_TRUE(shown(3).has("(N)o"));
    EXPECT_EQ(shown(4).state, Tavern_C::ALE);
    EXPECT_TRUE(shown(4).mentions("The house ale is weak and flat"));
    EXPECT_TRUE(shown(4).has("(SPACE) to Continue"));
    EXPECT_EQ(shown(5).state, Tavern_C::MENU);
    EXPECT_EQ(ann.getGold(), 90);
    EXPECT_EQ(now(), t0 + 10 + 30) << "the ale takes 10 ticks, leaving 30";
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getSquareY(), 5);
    EXPECT_EQ(iface.getFacing(), 90);
}

TEST_F(TavernTest, EachDrinkHasItsPriceWordsSongsAndTime)
{
    struct Case {
        SDLKey key;
        int price, state, songsAfter, ticks;
        const char* words;
    } cases[] = {
        {SDLK_a, 10, Tavern_C::ALE, 4, 10, "The house ale is weak"},
        {SDLK_i, 50, Tavern_C::IMPORTED_ALE, 6, 10, "The fine import is smooth"},
        {SDLK_w, 30, Tavern_C::WINE, 6, 10, "The rich, blood-colored wine"},
        {SDLK_m, 15, Tavern_C::MEAD, 5, 10, "The mead seems to be more water"},
        {SDLK_h, 40, Tavern_C::WHISKY, 6, 10, "floor"},
        {SDLK_t, 100, Tavern_C::TONGUE, 6, 30, "The Tongue o'the Dragon glows"},
    };
    bl3dPartyChar& bard = join("Bard", 0x2);
    bl3dPartyChar& knight = join("Knight", 0x4);
    for (const Case& c : cases) {
        for (bl3dPartyChar* m : {&bard, &knight}) {
            m->getTagList()->setInt(tagkey::CurSongs, 3);
            m->getTagList()->setInt(tagkey::MaxSongs, 6);
            m->setCurHP(20);
            m->getStatBlock()->setBase(STAT_CO, 14);
            m->addGold(200 - m->getGold());
        }
        for (bl3dPartyChar* m : {&bard, &knight}) {
            forget();
            ProbeTavern_C t(&params_, tipFile_);
            watch([&] { return t.getState(); });
            const uint32_t t0 = now();
            script({SDLK_b, m == &bard ? SDLK_F1 : SDLK_F2, c.key, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
            t.invoke(&iface);
            ASSERT_EQ(shown().size(), 6u);
            EXPECT_TRUE(shown(3).mentions("cost you " + std::to_string(c.price) + " gold"));
            EXPECT_EQ(shown(4).state, c.state);
            EXPECT_TRUE(shown(4).mentions(c.words)) << c.words;
            EXPECT_EQ(m->getGold(), 200 - c.price);
            EXPECT_EQ(now(), t0 + c.ticks + 30);
            EXPECT_EQ(m->getTagList()->intValue(tagkey::CurSongs), m == &bard ? c.songsAfter : 3)
                << "only the song-playing class gets its songs back";
            EXPECT_EQ(m->getCurHP(), c.key == SDLK_t ? 14 : 20) << "the Tongue costs 20 - stat 6 hit points";
        }
    }
}

TEST_F(TavernTest, TheTongueCanLeaveTheDrinkerDeadAndSongsStopAtTheirMaximum)
{
    bl3dPartyChar& bard = join("Bard", 0x2);
    bard.addGold(1000);
    bard.setCurHP(3);
    bard.getStatBlock()->setBase(STAT_CO, 14);
    bard.getTagList()->setInt(tagkey::CurSongs, 3);
    bard.getTagList()->setInt(tagkey::MaxSongs, 4);
    Tavern_C::drinkEffect(bard, 1);
    EXPECT_EQ(bard.getTagList()->intValue(tagkey::CurSongs), 4) << "imported ale: 3 + 8, held to 4";
    Tavern_C::drinkEffect(bard, 5);
    EXPECT_EQ(bard.getCurHP(), -3);
    bard.getStatBlock()->setBase(STAT_CO, 30);
    bard.setCurHP(19);
    Tavern_C::drinkEffect(bard, 5);
    EXPECT_EQ(bard.getCurHP(), 20) << "a strong drinker gains, up to the maximum";
    EXPECT_EQ(Tavern_C::drinkPrice(6), -1);
    EXPECT_EQ(Tavern_C::drinkPrice(-1), -1);
}

TEST_F(TavernTest, NoMoneyNoDrinkAndNoIsNo)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(40);
    join("Dead", 0x4).setCurHP(0);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    // The dead cannot drink; Ann cannot pay for the Tongue; then she says no.
    script({SDLK_b, quiet(SDLK_F2), quiet(SDLK_F5), SDLK_F1, SDLK_t, SDLK_y, SDLK_SPACE, SDLK_b, SDLK_F1, SDLK_w,
            SDLK_n, SDLK_SPACE, SDLK_b, SDLK_ESCAPE, SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 15u);
    EXPECT_EQ(shown(2).state, Tavern_C::DRINK_WHO);
    EXPECT_EQ(shown(3).state, Tavern_C::DRINK_WHO);
    EXPECT_EQ(shown(6).state, Tavern_C::NO_CREDIT);
    EXPECT_TRUE(shown(6).mentions("we don't give drink on credit!"));
    EXPECT_EQ(shown(7).state, Tavern_C::MENU);
    EXPECT_EQ(shown(11).state, Tavern_C::NO_DRINK);
    EXPECT_TRUE(shown(11).mentions("Our policy is simple - no money, no drink."));
    EXPECT_EQ(shown(13).state, Tavern_C::DRINK_WHO);
    EXPECT_EQ(shown(14).state, Tavern_C::MENU);
    EXPECT_EQ(ann.getGold(), 40) << "nothing is taken";
}

TEST_F(TavernTest, ARoomRestsThePartyForTheNight)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 3);
    bl3dPartyChar& bob = join("Bob", 0x4, 4);
    bl3dPartyChar& dead = join("Dead", 0x4, 2);
    ann.addGold(500);
    ann.setCurHP(5);   // 15 missing: 7 back
    ann.setMaxSP(30);
    ann.setCurSP(1);   // 29 missing: 7 back
    bob.setCurHP(19);  // 1 missing: nothing back
    dead.setCurHP(0);
    setTime(12);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    const uint32_t t0 = now();
    script({SDLK_r, quiet(SDLK_F3), SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 5u);
    EXPECT_EQ(shown(1).state, Tavern_C::ROOM_WHO);
    EXPECT_TRUE(shown(1).mentions("A room will cost you 300 gold. Who will pay?")) << "levels 3, 4, 2: average 3";
    EXPECT_TRUE(shown(1).has("(F1-F8) for Character"));
    EXPECT_EQ(shown(3).state, Tavern_C::NIGHT);
    EXPECT_TRUE(shown(3).mentions("The room is simple, but comfortable."));
    EXPECT_EQ(shown(4).state, Tavern_C::MENU) << "20:00, open";
    EXPECT_EQ(ann.getGold(), 200);
    EXPECT_EQ(ann.getCurHP(), 12);
    EXPECT_EQ(ann.getCurSP(), 8);
    EXPECT_EQ(bob.getCurHP(), 19);
    EXPECT_EQ(dead.getCurHP(), 0) << "the dead do not heal";
    EXPECT_EQ(now(), t0 + 1920 + 30);
}

TEST_F(TavernTest, ALateRoomWakesThePartyAtSixToAClosedTavern)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 1);
    ann.addGold(100);
    setTime(23, 30);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    const uint32_t t0 = now();
    script({SDLK_r, SDLK_F1, SDLK_SPACE, SDLK_SPACE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(3).state, Building_C::kClosed);
    EXPECT_TRUE(shown(3).mentions("We're sorry, but we're closed. We reopen at noon"));
    // 23:30 + 8 hours is 7:30: no extra sleep. Then 30 ticks to leave.
    EXPECT_EQ(now(), t0 + 1920 + 30);
    EXPECT_EQ(ann.getGold(), 0);

    setTime(18);
    Tavern_C::restNight();
    EXPECT_EQ(hour(), 6u) << "18:00 + 8 hours is 2:00: the party sleeps on to 6:00";
    EXPECT_EQ(gameworld->getClock().getMinute(), 0u);
}

TEST_F(TavernTest, AnUnpaidRoomIsRefused)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 5);
    ann.addGold(499);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    script({SDLK_r, SDLK_F1, SDLK_SPACE, SDLK_r, SDLK_ESCAPE, SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 6u);
    EXPECT_EQ(shown(2).state, Tavern_C::ROOM_SHORT);
    EXPECT_TRUE(shown(2).mentions("You do not have enough to cover the cost."));
    EXPECT_EQ(shown(4).state, Tavern_C::ROOM_WHO);
    EXPECT_EQ(shown(5).state, Tavern_C::MENU);
    EXPECT_EQ(ann.getGold(), 499);
}

TEST_F(TavernTest, ListeningTellsARumourOrRarelyATip)
{
    join("Ann", 0x4);
    ProbeTavern_C t(&params_, tipFile_);
    ASSERT_EQ(t.tips().rumours.size(), 2u);
    ASSERT_EQ(t.tips().tips.size(), 3u);
    EXPECT_EQ(t.tips().rumours[0].text, "First rumour.") << "the line end is gone, \"\\r\\n\" too";
    EXPECT_EQ(t.tips().tips[2].value, 2000);
    watch([&] { return t.getState(); });
    const uint32_t t0 = now();
    // 5 % 1000: a rumour, number 1. Then 0 % 1000: a tip; 30 % 30 = 0 at
    // k = 3: the third tip.
    vell::scriptGameRand({5, 1, 0, 30});
    script({SDLK_l, SDLK_SPACE, SDLK_l, SDLK_SPACE, SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 5u);
    EXPECT_EQ(shown(1).state, Tavern_C::RUMOUR);
    EXPECT_TRUE(shown(1).has("Second rumour."));
    EXPECT_TRUE(shown(1).has("(SPACE) to Continue"));
    EXPECT_TRUE(shown(3).has("Dear tip."));
    EXPECT_EQ(now(), t0 + 20 + 20 + 30) << "listening takes 20 ticks each time";
    // A free tip that no roll chooses is the first one.
    vell::scriptGameRand({0, 1, 1});
    t.listen();
    EXPECT_EQ(t.text(), "Cheap tip.");
}

TEST_F(TavernTest, ATipBuysWhatItIsWorth)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(1000);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    const uint32_t t0 = now();
    // 500 gold: the first draw (2, the dear tip) is too dear, the second
    // (1) is the middling one.
    vell::scriptGameRand({2, 1});
    script({SDLK_t, quiet(SDLK_F4), SDLK_F1, SDLK_5, SDLK_9, SDLK_BACKSPACE, SDLK_0, SDLK_0, SDLK_RETURN, SDLK_SPACE,
            SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 11u);
    EXPECT_EQ(shown(1).state, Tavern_C::TIP_WHO);
    EXPECT_TRUE(shown(1).has("Who wishes to tip the barkeep?"));
    EXPECT_EQ(shown(3).state, Tavern_C::TIP_AMOUNT);
    EXPECT_TRUE(shown(3).has("How much do you wish to tip?"));
    EXPECT_TRUE(shown(3).has("_"));
    EXPECT_TRUE(shown(5).has("59_"));
    EXPECT_TRUE(shown(6).has("5_"));
    EXPECT_TRUE(shown(8).has("500_"));
    EXPECT_EQ(shown(9).state, Tavern_C::TIP_TOLD);
    EXPECT_TRUE(shown(9).has("Middling tip."));
    EXPECT_EQ(ann.getGold(), 500);
    EXPECT_EQ(now(), t0 + 20 + 30);
    EXPECT_EQ(t.amountDigits(), "500") << "the amount stays for the visit";
}

TEST_F(TavernTest, TipAmountsAndTheirFallbacks)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ProbeTavern_C t(&params_, tipFile_);
    // rolls(n, v, then): n draws of v, then the values of then.
    auto rolls = [](int n, int v, std::vector<int> then) {
        std::vector<int> r(size_t(n), v);
        r.insert(r.end(), then.begin(), then.end());
        return r;
    };
    struct Case {
        int charisma;
        const char* digits;
        std::vector<int> rolls;
        const char* told;
    } cases[] = {
        // 0 gold counts as 100 for charisma 16: the cheap tip.
        {16, "0", {0}, "Cheap tip."},
        // Worth 0: 21 draws too dear, the first tip worth 0 or more is too
        // dear as well: a rumour.
        {12, "0", rolls(21, 0, {1}), "Second rumour."},
        // 21 draws too dear: the first tip worth 500 or more is 500.
        {12, "500", rolls(21, 2, {}), "Middling tip."},
        {12, "150", rolls(21, 2, {0}), "First rumour."},
        // Charisma 9 takes 100 off: 600 is worth 500.
        {9, "600", rolls(21, 2, {}), "Middling tip."},
        {20, "1500", {2}, "Dear tip."},
        {12, "99999999", {2}, "Dear tip."},
    };
    for (const Case& c : cases) {
        ann.addGold(100000000 - ann.getGold());
        ann.getStatBlock()->setBase(STAT_CH, c.charisma);
        vell::scriptGameRand(c.rolls);
        ASSERT_TRUE(t.tip(ann, c.digits)) << c.digits;
        EXPECT_EQ(t.text(), c.told) << c.digits << " with charisma " << c.charisma;
        EXPECT_EQ(ann.getGold(), 100000000 - std::atoi(c.digits)) << c.digits;
        EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << c.digits;
        vell::clearScriptedGameRand();
    }
    // Too little gold: refused, nothing taken, nothing told.
    ann.addGold(10 - ann.getGold());
    EXPECT_FALSE(t.tip(ann, "11"));
    EXPECT_EQ(ann.getGold(), 10);
}

TEST_F(TavernTest, AnUnpaidTipIsRefusedAndEscapeCancels)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(5);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    // RETURN without digits does nothing; nine digits stop at eight.
    script({SDLK_t, SDLK_F1, quiet(SDLK_RETURN), quiet(SDLK_BACKSPACE), SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5,
            SDLK_6, SDLK_7, SDLK_8, quiet(SDLK_9), SDLK_RETURN, SDLK_SPACE, SDLK_t, SDLK_F1, SDLK_ESCAPE,
            SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 19u);
    EXPECT_EQ(shown(3).state, Tavern_C::TIP_AMOUNT);
    EXPECT_EQ(shown(4).state, Tavern_C::TIP_AMOUNT);
    EXPECT_TRUE(shown(13).has("12345678_"));
    EXPECT_EQ(shown(14).state, Tavern_C::TIP_SHORT);
    EXPECT_TRUE(shown(14).mentions("You don't have that much!"));
    EXPECT_EQ(shown(15).state, Tavern_C::MENU);
    EXPECT_TRUE(shown(17).has("12345678_")) << "the amount stays for the visit";
    EXPECT_EQ(shown(18).state, Tavern_C::MENU);
    EXPECT_EQ(ann.getGold(), 5);
}

TEST_F(TavernTest, OpeningHours)
{
    join("Ann", 0x4).addGold(100);
    struct Case {
        unsigned hour, minute;
        int first;
    } cases[] = {{1, 59, Tavern_C::MENU},
                 {2, 0, Building_C::kClosed},
                 {11, 59, Building_C::kClosed},
                 {12, 0, Tavern_C::MENU},
                 {0, 0, Tavern_C::MENU}};
    for (const Case& c : cases) {
        forget();
        setTime(c.hour, c.minute);
        ProbeTavern_C t(&params_, tipFile_);
        watch([&] { return t.getState(); });
        script({c.first == Tavern_C::MENU ? SDLK_ESCAPE : SDLK_SPACE});
        t.invoke(&iface);
        ASSERT_EQ(shown().size(), 1u);
        EXPECT_EQ(shown(0).state, c.first) << c.hour << ":" << c.minute;
        EXPECT_EQ(gameworld->getSquareX(), 3);
    }
    // Inside at 0:58, a drink (2.5 minutes) takes the clock past 1:00:
    // turned out.
    forget();
    setTime(0, 58);
    ProbeTavern_C t(&params_, tipFile_);
    watch([&] { return t.getState(); });
    script({SDLK_b, SDLK_F1, SDLK_a, SDLK_y, SDLK_SPACE, quiet(SDLK_ESCAPE), SDLK_SPACE});
    t.invoke(&iface);
    ASSERT_EQ(shown().size(), 7u);
    EXPECT_EQ(shown(5).state, Building_C::kClosed);
    EXPECT_EQ(shown(6).state, Building_C::kClosed);
}

TEST_F(TavernTest, FOneToFEightViewAMember)
{
    join("Ann", 0x4);
    ProbeTavern_C t(&params_, tipFile_);
    std::vector<int> sheet;
    watch([&] { return t.getState(); });
    onDisplay([&] { sheet.push_back(CharView_C::getState()); });
    // F1 opens Ann's sheet (ESC closes it); F2 is an empty place.
    script({SDLK_F1, SDLK_ESCAPE, quiet(SDLK_F2), SDLK_ESCAPE});
    t.invoke(&iface);
    ASSERT_GE(shown().size(), 4u);
    EXPECT_NE(sheet[1], 0) << "the sheet is open";
    EXPECT_EQ(last().state, Tavern_C::MENU);
}

TEST_F(TavernTest, MissingOrDamagedTipFilesLeaveAClearFallback)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.addGold(100);
    // No file: nothing to tell, whatever is asked.
    ProbeTavern_C none(&params_, vell_test::tempPath("town") + "/no-such.tip");
    EXPECT_TRUE(none.tips().rumours.empty());
    EXPECT_TRUE(none.tips().tips.empty());
    none.listen();
    EXPECT_NE(none.text().find("heard nothing"), std::string::npos);
    EXPECT_TRUE(none.tip(ann, "10"));
    EXPECT_NE(none.text().find("heard nothing"), std::string::npos);
    EXPECT_EQ(ann.getGold(), 90) << "the barkeep keeps the tip";

    // Only tips: listening tells a tip. Only rumours: a tip buys a rumour.
    ProbeTavern_C tipsOnly(&params_, writeTemp("tips-only.tip", "300|Only tip.\n"));
    vell::scriptGameRand({7, 5});
    tipsOnly.listen();
    EXPECT_EQ(tipsOnly.text(), "Only tip.");
    ProbeTavern_C rumoursOnly(&params_, writeTemp("rumours-only.tip", "0|Only rumour.\n"));
    EXPECT_TRUE(rumoursOnly.tip(ann, "10"));
    EXPECT_EQ(rumoursOnly.text(), "Only rumour.");

    // Lines without '|' are skipped; the text runs from the first '|'; a
    // number that is none is 0; a line longer than the reader's 499
    // characters keeps its start and never lends its tail to a next line.
    const std::string longText(700, 'x');
    ProbeTavern_C damaged(&params_, writeTemp("damaged.tip", "no bar here\n"
                                                             "abc|Not a number.\n"
                                                             "12|a|b\n"
                                                             "99999999999999|Huge.\n"
                                                             "-5|Negative.\n"
                                                             "0|" + longText + "|tail\n"
                                                             "7"));
    ASSERT_EQ(damaged.tips().rumours.size(), 2u);
    EXPECT_EQ(damaged.tips().rumours[0].text, "Not a number.");
    EXPECT_EQ(damaged.tips().rumours[1].text.size(), 497u);
    ASSERT_EQ(damaged.tips().tips.size(), 3u);
    EXPECT_EQ(damaged.tips().tips[0].text, "a|b");
    EXPECT_EQ(damaged.tips().tips[1].value, INT32_MAX);
    EXPECT_EQ(damaged.tips().tips[2].value, -5);

    // Rooms for an empty party cost the level-0 price and nobody can pay.
    while (party->getCount() > 0)
        party->removeAt(0);
    EXPECT_EQ(damaged.roomPrice(), 0);
    Event_1010_C marauder(&params_);
    EXPECT_EQ(marauder.roomPrice(), 2000);
}

} // namespace
