// Elium's Energy Emporium through every state: choosing a member (dead,
// not a caster, full, missing points), paying or declining, too little
// gold, the shared purse, the hours and the time a recharge takes.
#include "TownFixture.h"

#include "town/Event_1001.h"

namespace {

using namespace town;

class EliumTest : public TownFixture {
protected:
    // A caster (class 0x100) missing that many of its 40 spell points.
    bl3dPartyChar& caster(const char* name, int32_t missing, int32_t goldHeld)
    {
        bl3dPartyChar& m = join(name, 0x100);
        m.setMaxSP(40);
        m.setCurSP(40 - missing);
        m.rawAddGold(goldHeld);
        return m;
    }
};

TEST_F(EliumTest, CasterPaysTenGoldAPointAndTimePassesForTheRecharge)
{
    setTime(9);
    bl3dPartyChar& ann = caster("Ann", 25, 300);
    Event_1001_C e(&params_);
    const uint32_t t0 = now();
    visitBuilding(e, {SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_TRUE(shown(0).has("Welcome to Elium's Energy Emporium!"));
    EXPECT_TRUE(shown(0).has("Who requires our services?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) for Character"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    EXPECT_EQ(shown(1).state, Event_1001_C::OFFER);
    EXPECT_TRUE(shown(1).has("One of magic indeed!\nA full charge will cost you 250 gold.\nWilt thou pay?"));
    EXPECT_TRUE(shown(1).has("(Y)es"));
    EXPECT_TRUE(shown(1).has("(N)o"));
    EXPECT_EQ(shown(2).state, Event_1001_C::CHARGED);
    EXPECT_TRUE(shown(2).has("Ann feels energized!"));
    EXPECT_TRUE(shown(2).has("(SPACE) to Continue"));
    EXPECT_EQ(shown(3).state, Event_1001_C::MENU);
    EXPECT_EQ(ann.getCurSP(), 40);
    EXPECT_EQ(gold(ann), 50);
    EXPECT_EQ(now(), t0 + 12 + 30) << "25 / 2 ticks for the recharge, 30 on leaving";
    expectOnExit();
}

TEST_F(EliumTest, EachRefusalIsAMessageThatChangesNothing)
{
    setTime(12);
    bl3dPartyChar& dead = caster("Dora", 10, 500);
    dead.setCurHP(0);
    bl3dPartyChar& fighter = join("Finn", 0x1);
    fighter.rawAddGold(500);
    bl3dPartyChar& full = caster("Fay", 0, 500);
    bl3dPartyChar& poor = caster("Pim", 10, 99);
    bl3dPartyChar& shy = caster("Sue", 10, 500);
    Event_1001_C e(&params_);
    const uint32_t t0 = now();
    visitBuilding(e, {SDLK_F1, SDLK_SPACE, SDLK_F2, SDLK_SPACE, SDLK_F3, SDLK_SPACE, SDLK_F4, SDLK_y, SDLK_SPACE, SDLK_F5,
            quiet(SDLK_SPACE), SDLK_n, SDLK_SPACE, quiet(SDLK_F8), SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1001_C::DEAD).has("Dora is beyond my help.\nPerhaps you should inquire at a temple?"));
    EXPECT_TRUE(lastIn(Event_1001_C::NOT_MAGIC).has("You are not a magic user!"));
    EXPECT_TRUE(lastIn(Event_1001_C::FULL).has("You do not need energy!"));
    EXPECT_TRUE(lastIn(Event_1001_C::NO_FUNDS).has("You have not the funds!"));
    EXPECT_TRUE(lastIn(Event_1001_C::DECLINED).has("Very well, I will await your inevitable return."));
    EXPECT_EQ(shown().size(), 15u) << "SPACE in the offer and F8 on an empty slot ask for no redraw of their own";
    for (const bl3dPartyChar* m : {&dead, &fighter, &full, &shy})
        EXPECT_EQ(gold(*m), 500) << m->getName();
    EXPECT_EQ(gold(poor), 99);
    EXPECT_EQ(poor.getCurSP(), 30);
    EXPECT_EQ(shy.getCurSP(), 30);
    EXPECT_EQ(now(), t0 + 30) << "only the leave time passed";
}

TEST_F(EliumTest, SharedGoldPaysFromThePool)
{
    setTime(10);
    gameConfig.partyGold = true;
    bl3dPartyChar& ann = caster("Ann", 1, 4);
    bl3dPartyChar& bob = join("Bob", 0x1);
    bob.rawAddGold(8);
    Event_1001_C e(&params_);
    const uint32_t t0 = now();
    visitBuilding(e, {SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).mentions("cost you 10 gold"));
    EXPECT_EQ(shown(2).state, Event_1001_C::CHARGED);
    EXPECT_EQ(gold(ann) + gold(bob), 2);
    EXPECT_EQ(ann.getCurSP(), 40);
    EXPECT_EQ(now(), t0 + 30) << "one point takes no time (1 / 2)";
}

// More points than the maximum is no debt: no negative price is offered,
// and no gold handed out.
TEST_F(EliumTest, MoreThanFullSpellPointsNeedNoEnergy)
{
    setTime(10);
    bl3dPartyChar& ann = caster("Ann", -7, 100);
    Event_1001_C e(&params_);
    visitBuilding(e, {SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_EQ(shown(1).state, Event_1001_C::FULL);
    EXPECT_EQ(e.getMissing(), 0);
    EXPECT_EQ(gold(ann), 100);
    EXPECT_EQ(ann.getCurSP(), 47);
}

// A price beyond what gold holds is refused, not wrapped.
TEST_F(EliumTest, PriceBeyondAnyPurseIsRefused)
{
    setTime(10);
    bl3dPartyChar& ann = caster("Ann", 0, INT32_MAX);
    ann.setMaxSP(INT32_MAX);
    ann.setCurSP(INT32_MIN + 1);
    Event_1001_C e(&params_);
    visitBuilding(e, {SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).mentions("cost you 42949672940 gold"));
    EXPECT_EQ(shown(2).state, Event_1001_C::NO_FUNDS);
    EXPECT_EQ(gold(ann), INT32_MAX);
    EXPECT_EQ(ann.getCurSP(), INT32_MIN + 1);
}

TEST_F(EliumTest, OpenFromEightUntilSix)
{
    join("Ann", 0x100);
    struct { unsigned hour, minute; bool open; } cases[] = {{7, 59, false}, {8, 0, true}, {17, 59, true}, {18, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute);
        forget();
        setTime(c.hour, c.minute);
        Event_1001_C e(&params_);
        const uint32_t t0 = now();
        bool closedPic = false;
        onDisplay([&] { closedPic = iface.curPicNamed("Closed"); });
        visitBuilding(e, {c.open ? SDLK_ESCAPE : SDLK_SPACE});
        ASSERT_EQ(shown().size(), 1u);
        EXPECT_EQ(shown(0).state, c.open ? 1 : Building_C::kClosed);
        EXPECT_EQ(closedPic, !c.open);
        if (!c.open) {
            EXPECT_TRUE(shown(0).has("We're sorry, but Elium's Energy Emporium is closed.  Please call again soon!"));
            EXPECT_TRUE(shown(0).has("(SPACE) to Continue"));
        }
        EXPECT_EQ(now(), t0 + 30);
        expectOnExit();
        onDisplay(nullptr);
    }
}

// A recharge that runs past 18:00 closes the shop behind the message.
TEST_F(EliumTest, RechargePastClosingTimeClosesTheShop)
{
    setTime(17, 59);
    bl3dPartyChar& ann = caster("Ann", 40, 1000);
    Event_1001_C e(&params_);
    visitBuilding(e, {SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_SPACE});
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(2).state, Event_1001_C::CHARGED);
    EXPECT_EQ(shown(3).state, Building_C::kClosed);
    EXPECT_EQ(gold(ann), 600);
    expectOnExit();
}

} // namespace
