// The Hall of Adventurers driven by pushed keys through every state: the
// menu, venturing forth and quitting, letting members rest, welcoming and
// banishing stored adventurers, training with its prices, the arrival of a
// party that died, and a save archive that refuses to be written.
#include "TownFixture.h"

#include "core/TagList.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "town/Event_1000.h"
#include "town/TownPrices.h"
#include "world/GameClock.h"

namespace {

using namespace town;

class HallTest : public TownFixture {
protected:
    void SetUp() override
    {
        TownFixture::SetUp();
        if (HasFatalFailure())
            return;
        params_.exitX = 3;
        params_.exitY = 5;
        params_.exitFacing = 180;
    }
    // Runs a Hall with the square's record through the keys.
    void visit(std::initializer_list<Step> steps)
    {
        Event_1000_C hall(&params_);
        watch([&hall] { return hall.getState(); });
        script(steps);
        EXPECT_EQ(hall.invoke(&iface), 0);
        watch(nullptr);
    }
    static uint32_t ticks() { return gameworld->getClock().getTicks(); }
    // A member that may train: class 0x4 at that level, with experience to
    // spare and that much gold.
    bl3dPartyChar& trainee(const char* name, int level, int32_t gold)
    {
        bl3dPartyChar& m = join(name, 0x4, level);
        m.addXP(2000000000);
        m.addGold(gold);
        return m;
    }
};

TEST_F(HallTest, MenuVenturesForthThroughTheExitAndQuitsForTheTitle)
{
    join("Ann", 0x4);
    const uint32_t t0 = ticks();
    visit({SDLK_v});
    ASSERT_EQ(shown().size(), 1u);
    const Shown& menu = shown(0);
    EXPECT_EQ(menu.state, Event_1000_C::MENU);
    for (const char* line :
         {"Welcome to the Hall of Adventurers\n", "(G)ive welcome to an Adventurer", "(L)et rest an Adventurer",
          "(R)ecruit a new Adventurer", "(B)anish an Adventurer from the Realm", "(T)rain a valiant Adventurer",
          "(V)enture forth and seek thy fortune", "(Q)uit the quest for a time"})
        EXPECT_TRUE(menu.has(line)) << line;
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getSquareY(), 5);
    EXPECT_EQ(iface.getFacing(), 180);
    EXPECT_EQ(ticks(), t0 + 30);

    // 'q' ends the main loop for the title menu; the party stays, the
    // clock moves on all the same.
    iface.setCurX(7);
    forget();
    visit({SDLK_q});
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_TRUE(iface.isQuitting());
    EXPECT_EQ(gameworld->getSquareX(), 7);
    EXPECT_EQ(ticks(), t0 + 60);
}

TEST_F(HallTest, NobodyAliveCannotVentureForthAndMembersKeysNeedMembers)
{
    // Empty party: 'l', 't' and 'v' do nothing.
    visit({quiet(SDLK_l), quiet(SDLK_t), quiet(SDLK_v), SDLK_q});
    ASSERT_EQ(shown().size(), 4u) << "keys that need members asked for a redraw";
    for (const Shown& s : shown())
        EXPECT_EQ(s.state, Event_1000_C::MENU);

    join("Ann", 0x4).setCurHP(0);
    join("Bob", 0x4);
    join("Cid", 0x4).setCurHP(-3);
    forget();
    // F5 with three members does nothing; a dead party cannot leave by 'v'.
    member(1).setCurHP(0);
    const int x = gameworld->getSquareX(), y = gameworld->getSquareY();
    visit({quiet(SDLK_F5), quiet(SDLK_v), SDLK_q});
    EXPECT_EQ(shown().size(), 3u);
    EXPECT_EQ(gameworld->getSquareX(), x);
    EXPECT_EQ(gameworld->getSquareY(), y);
}

TEST_F(HallTest, MembersRestInTheRosterButMonstersAreRefused)
{
    join("Ann", 0x4);
    join("Bob", 0x4).setCurHP(0);   // the dead may rest
    party->addMember(joinedMonster("Grue"));
    visit({SDLK_l, SDLK_F2, SDLK_l, SDLK_F2, SDLK_SPACE, SDLK_l, quiet(SDLK_F6), SDLK_ESCAPE, SDLK_v});
    EXPECT_EQ(partyNames(), (std::vector<std::string>{"Ann", "Grue"}));
    EXPECT_EQ(rosterNames(), std::vector<std::string>{"Bob"});
    std::unique_ptr<Storable_C> bob = roster()->load("Bob");
    ASSERT_TRUE(bob);
    EXPECT_EQ(static_cast<bl3dPartyChar*>(bob.get())->getCurHP(), 0);
    ASSERT_GE(shown().size(), 5u);
    EXPECT_TRUE(shown(1).has("Which Member?"));
    EXPECT_TRUE(shown(1).has("(F1-F8) for Character"));
    EXPECT_TRUE(shown(1).has("(ESC) to Cancel"));
    EXPECT_EQ(shown(4).state, Event_1000_C::MONSTER_REFUSED);
    EXPECT_TRUE(shown(4).has("Monsters and illusions are not welcome to stay here!"));
}

TEST_F(HallTest, RestingBardEndsTheSongFirst)
{
    join("Ann", 0x4);
    bl3dPartyChar& cara = join("Cara", 0x2);
    bl3dStatBlock* stats = cara.getStatBlock();
    stats->setBase(STAT_CONDITIONS, stats->getBase(STAT_CONDITIONS) | COND_SONG);
    gameworld->setVar(tagkey::NCBS, 0x5ab00d);
    visit({SDLK_l, SDLK_F2, SDLK_v});
    EXPECT_EQ(partyNames(), std::vector<std::string>{"Ann"});
    EXPECT_EQ(gameworld->getVar(tagkey::NCBS), 0);
    std::unique_ptr<Storable_C> stored = roster()->load("Cara");
    ASSERT_TRUE(stored);
    EXPECT_FALSE(static_cast<bl3dPartyChar*>(stored.get())->isPlayingSong()) << "stored still singing";
}

TEST_F(HallTest, TrainingPricesAndBreakthroughs)
{
    struct Case {
        int32_t level;
        int64_t cost;
        bool breakthrough;
    };
    for (const Case& c : {Case{3, 400, false}, Case{12, 6500, true}, Case{13, 1400, false}, Case{24, 12500, true},
                          Case{36, 18500, true}, Case{49, 25000, true}, Case{1, 200, false},
                          Case{-5, 100, false}}) {
        EXPECT_EQ(levelGainPrice(c.level), c.cost) << c.level;
        if (c.level > 0) {
            EXPECT_EQ(isMilestoneLevel(c.level + 1), c.breakthrough) << c.level;
        }
    }
    EXPECT_EQ(levelGainPrice(INT32_MAX), int64_t(INT32_MAX + int64_t(1)) * 100) << "no wrap";
}

TEST_F(HallTest, TrainingTakesTheGoldAndGivesTheLevel)
{
    bl3dPartyChar& ann = trainee("Ann", 3, 1000);
    bl3dPartyChar& bob = trainee("Bob", 12, 7000);
    const uint32_t t0 = ticks();
    visit({SDLK_t, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_t, SDLK_F2, SDLK_y, SDLK_SPACE, SDLK_v});
    EXPECT_EQ(ann.getLevel(), 4);
    EXPECT_EQ(ann.getGold(), 600);
    EXPECT_EQ(bob.getLevel(), 13);
    EXPECT_EQ(bob.getGold(), 500);
    EXPECT_EQ(ticks(), t0 + 60 + 60 + 30) << "an hour of training each, then the leave time";
    const Shown offer = lastIn(Event_1000_C::OFFER);
    EXPECT_TRUE(offer.has("The use of our facility will cost you 400 gold.\nWill you pay?"));
    EXPECT_TRUE(offer.has("(Y)es"));
    EXPECT_TRUE(offer.has("N)o"));
    EXPECT_TRUE(lastIn(Event_1000_C::TRAIN_WHO).has("Who would like to train?"));
    EXPECT_TRUE(lastIn(Event_1000_C::LEVEL_GAINED).has("After much hard training, you gain a level!"));
    const Shown big = lastIn(Event_1000_C::BREAKTHROUGH_OFFER);
    EXPECT_TRUE(big.mentions("will cost you 6500 gold."));
    EXPECT_TRUE(big.has("(N)o"));
    EXPECT_TRUE(lastIn(Event_1000_C::BREAKTHROUGH_GAINED)
                    .has("After much hard work, you have a breakthrough, and advance in your path!"));
}

TEST_F(HallTest, TrainingRefusalsChangeNothing)
{
    trainee("Ann", 3, 100);          // too poor
    join("Bob", 0x2).addXP(2000000000);   // a Harper: his guild trains him
    join("Cid", 0x4);                // no experience yet
    trainee("Dot", 3, 1000).setCurHP(0);   // the dead do not train
    const uint32_t t0 = ticks();
    visit({SDLK_t, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_t, SDLK_F1, SDLK_n, SDLK_SPACE, SDLK_t, SDLK_F2, SDLK_SPACE,
           SDLK_t, SDLK_F3, SDLK_SPACE, SDLK_t, quiet(SDLK_F4), quiet(SDLK_F6), SDLK_ESCAPE, SDLK_v});
    EXPECT_EQ(member(0).getLevel(), 3);
    EXPECT_EQ(member(0).getGold(), 100);
    EXPECT_EQ(member(3).getLevel(), 3);
    EXPECT_EQ(ticks(), t0 + 30) << "no training, no time";
    EXPECT_TRUE(lastIn(Event_1000_C::NO_FUNDS)
                    .has("You don't appear to have the funds to make good on the deal.  Come back when you've got "
                         "more to offer."));
    EXPECT_TRUE(lastIn(Event_1000_C::DECLINED)
                    .has("We're sorry to hear that.  Come back anytime you wish to PAY for our facilities."));
    EXPECT_TRUE(lastIn(Event_1000_C::NOT_TAUGHT)
                    .has("You must seek out your own guild - we have not the materials to train you here."));
    EXPECT_TRUE(lastIn(Event_1000_C::NOT_READY)
                    .has("You have much yet to learn before attaining another level of mastery."));
    EXPECT_TRUE(lastIn(Event_1000_C::NOT_READY).has("(SPACE) to Continue"));
}

TEST_F(HallTest, WelcomingAndBanishingFromTheRoster)
{
    join("Ann", 0x4);
    store("Ann");
    store("Dora");
    store("Eli");
    // 'g': Ann is listed but cannot be chosen; DOWN to Eli. 'b': Eli is in
    // the party now, so Dora is the one offered; RETURN, then 'y'.
    visit({SDLK_g, SDLK_DOWN, SDLK_RETURN, SDLK_b, SDLK_RETURN, SDLK_y, SDLK_v});
    EXPECT_EQ(partyNames(), (std::vector<std::string>{"Ann", "Eli"}));
    EXPECT_EQ(rosterNames(), (std::vector<std::string>{"Ann", "Eli"}));

    // A full party gets no adding screen.
    for (const char* name : {"P3", "P4", "P5", "P6", "P7", "P8"})
        join(name, 0x4);
    store("Fay");
    forget();
    visit({quiet(SDLK_g), SDLK_v});
    EXPECT_EQ(shown().size(), 2u);
    EXPECT_EQ(party->getCount(), 8);
}

// Banishing while the archive refuses writes: the message says so, and
// SPACE takes it away and shows the Hall's menu again (keys come only once
// the screen has been drawn).
TEST_F(HallTest, BanishingThatCannotBeWrittenIsToldAndSpaceGoesBackToTheMenu)
{
    join("Ann", 0x4);
    store("Ann");
    store("Dora");
    roster();
    refuseWrites();
    visit({SDLK_b, SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_v});
    EXPECT_EQ(stepsLeft(), 0u);
    size_t at = shown().size();
    for (size_t i = 0; i < shown().size(); ++i)
        if (shown(i).has("The Hall's records could not be written, so Dora stays in the roster."))
            at = i;
    ASSERT_LT(at + 1, shown().size()) << "no message, or nothing drawn after it";
    EXPECT_TRUE(shown(at).has("(SPACE) to Continue"));
    EXPECT_TRUE(shown(at + 1).has("(B)anish an Adventurer from the Realm")) << "SPACE did not bring the menu back";
    EXPECT_EQ(rosterNames(), (std::vector<std::string>{"Ann", "Dora"}));
}

TEST_F(HallTest, ViewingAMemberFromTheMenu)
{
    join("Ann", 0x4);
    int sheets = 0;
    onDisplay([&] { sheets += CharView_C::getState() != 0 ? 1 : 0; });
    visit({SDLK_F1, SDLK_ESCAPE, SDLK_v});
    EXPECT_GT(sheets, 0) << "F1 opened no character sheet";
}

// The whole party died: the interface puts it before the Hall and runs the
// Hall without a record; venturing forth leads to the Hall's own exit.
TEST_F(HallTest, PartyThatDiedComesBackToTheHall)
{
    join("Ann", 0x4).setCurHP(0);
    bool inHall = false;
    onDisplay([&] {
        if (iface.curPicNamed("Adv_Hall") && !inHall) {
            inHall = true;
            member(0).setCurHP(5);   // raised (as the Temple would) to leave
        }
    });
    script({SDLK_SPACE, SDLK_v});
    iface.timerEvents();
    EXPECT_TRUE(inHall) << "the Hall did not open";
    EXPECT_EQ(gameworld->getSquareX(), 14);
    EXPECT_EQ(gameworld->getSquareY(), 24);
    EXPECT_EQ(iface.getFacing(), 270);
    EXPECT_TRUE(last().has("Welcome to the Hall of Adventurers\n"));
}

// A save archive that refuses writes: the member who was to rest stays in
// the party, the recruit is not recorded, and the player is told both times.
TEST_F(HallTest, FailedStoresLoseNobody)
{
    join("Ann", 0x4);
    roster();   // the roster exists before the writes fail
    refuseWrites();
    visit({SDLK_l, SDLK_F1, SDLK_SPACE, SDLK_r, SDLK_h, SDLK_m, SDLK_c, SDLK_RETURN, SDLK_r, SDLK_o, SDLK_l, SDLK_f,
           SDLK_RETURN, SDLK_SPACE, SDLK_v});
    EXPECT_EQ(partyNames(), std::vector<std::string>{"Ann"});
    bool toldAnn = false, toldRolf = false;
    for (const Shown& s : shown()) {
        if (s.state != Event_1000_C::STORE_FAILED || !s.has("(SPACE) to Continue"))
            continue;
        toldAnn = toldAnn || s.mentions("Ann stays with the party");
        toldRolf = toldRolf || s.mentions("rolf could not be entered in the roster");
    }
    EXPECT_TRUE(toldAnn);
    EXPECT_TRUE(toldRolf);
    vell::setWriteHook(nullptr);
    EXPECT_TRUE(rosterNames().empty());
    EXPECT_TRUE(iface.save()) << "the archive takes writes again";
}

} // namespace
