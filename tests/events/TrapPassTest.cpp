// The traps of a square as the party enters it: the defuse roll, the
// spinner, anti-magic and darkness traps, scripted traps and their defused
// script, the "Bardb007" switch, and traps that name no script. The fixture
// map maps/traps.cfg holds one row of traps; the scripted test trap is
// tests/fixtures/scripts/trap0042.py.
#include "ScriptFixture.h"

#include "core/TagList.h"
#include "rules/StatBlock.h"
#include "rules/TagKeys.h"

#include <gtest/gtest.h>

namespace scripted {
namespace {

class TrapPass : public ScriptedEvent {
protected:
    void SetUp() override
    {
        ScriptedEvent::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(iface.newMap("maps/traps.cfg"));
        setGlobal("trap0042", "runs", "0");
        vell::clearScriptedGameRand();
        world().setInt(tagkey::Bardb007, 0);
    }

    static TagList_C& world() { return gameworld->getTagList(); }
    static Map_C& map() { return *iface.getCurrentMap(); }
    static int runs() { return std::stoi(global("trap0042", "runs")); }

    // The party steps onto (x, y) facing north and the square's traps act.
    static void enter(int x, int y)
    {
        standOn(x, y - 1, 0);
        iface.setCurZ(-float(y));   // the step marks the square entered
        iface.setViewZ(-float(y));
        map().processEvents(x, y, &iface);
    }
    static bool sprung(int x, int y) { return (map().getSquareState(x, y) & SQUARE_TRAP_SPRUNG) != 0; }
};

TEST_F(TrapPass, TheDefuseRollAsksMembersInOrder)
{
    struct Member {
        int locate;   // -1: the member does not know "LocateTrap"
        int defuse;
    };
    struct Case {
        const char* what;
        std::vector<Member> members;
        std::vector<int> rolls;   // gameRand values; d20 = value % 20 + 1
        bool defused;
        size_t rollsLeft;
    };
    const Case cases[] = {
        {"nobody knows how", {{-1, 20}, {-1, 20}}, {5, 5}, false, 2},
        {"found and defused", {{0, 0}, {10, 10}}, {13, 4, 4}, true, 0},
        {"found, the defuse fails, the next one tries", {{10, 0}, {10, 10}}, {4, 4, 4, 4}, true, 0},
        {"a 1 while defusing stops everyone", {{20, 20}, {20, 20}}, {0, 0, 5, 5}, false, 2},
        {"nobody finds it", {{0, 20}, {3, 20}}, {12, 10}, false, 0},
    };
    for (const Case& c : cases) {
        while (party->getCount() > 0)
            party->removeAt(0);
        const char* const names[] = {"Ann", "Bo"};
        for (size_t i = 0; i < c.members.size(); ++i) {
            const Member& m = c.members[i];
            bl3dPartyChar& who = join(names[i], 0x80);
            if (m.locate >= 0)
                who.getTagList()->setInt(tagkey::LocateTrap, m.locate);
            who.getTagList()->setInt(tagkey::Defuse, m.defuse);
        }
        vell::scriptGameRand(c.rolls);
        EXPECT_EQ(Map_C::defuseRoll(), c.defused) << c.what;
        EXPECT_EQ(vell::scriptedGameRandLeft(), c.rollsLeft) << c.what;
        vell::clearScriptedGameRand();
    }
}

TEST_F(TrapPass, AScriptedTrapRunsOnceAndStaysSprung)
{
    join("Ann", 0x4);
    enter(6, 2);
    EXPECT_EQ(runs(), 1);
    EXPECT_TRUE(sprung(6, 2));
    EXPECT_EQ(squareX(), 6);
    EXPECT_EQ(squareY(), 2);
    enter(6, 2);
    EXPECT_EQ(runs(), 1) << "a sprung trap does not act again";
}

TEST_F(TrapPass, ADefusedTrapRunsTheDefusedScriptAndIsSprung)
{
    bl3dPartyChar& rogue = join("Ann", 0x80);
    rogue.getTagList()->setInt(tagkey::LocateTrap, 10);
    rogue.getTagList()->setInt(tagkey::Defuse, 10);
    watch([] { return 1; });
    script({SDLK_SPACE});
    vell::scriptGameRand({9, 9});
    enter(6, 2);
    EXPECT_EQ(runs(), 0);
    EXPECT_TRUE(sprung(6, 2));
    ASSERT_FALSE(shown().empty());
    EXPECT_TRUE(shown(0).mentions("defused")) << "the shipped trapdefuse speaks";
}

TEST_F(TrapPass, Bardb007KeepsEveryTrapQuiet)
{
    join("Ann", 0x4);
    world().setInt(tagkey::Bardb007, 1);
    vell::scriptGameRand({1});
    enter(4, 2);   // spinner, darkness and the scripted trap
    EXPECT_EQ(runs(), 0);
    EXPECT_FALSE(sprung(4, 2));
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 1u) << "not even a roll";
    world().setInt(tagkey::Bardb007, 0);
    vell::clearScriptedGameRand();
    enter(6, 2);
    EXPECT_EQ(runs(), 1);
}

TEST_F(TrapPass, TheSpinnerTurnsThePartyAndTheDarknessAfterItDoesNothing)
{
    join("Ann", 0x4);
    world().setInt(tagkey::MagLt1, 0x04);
    world().setInt(tagkey::MunLt1, 0x01);
    vell::scriptGameRand({2});   // (2 % 4) x 90
    enter(4, 2);
    EXPECT_EQ(iface.getFacing(), 180);
    EXPECT_EQ(iface.getViewFacing(), 180);
    EXPECT_EQ(iface.getEntryState(), 0) << "the new facing is not taken as a turn";
    EXPECT_EQ(world().intValue(tagkey::MagLt1), 0x04) << "the spinner cleared the entry: the darkness waits";
    EXPECT_EQ(world().intValue(tagkey::MunLt1), 0x01);
    EXPECT_EQ(runs(), 1) << "the scripted trap of the square still acts";
    EXPECT_TRUE(sprung(4, 2));

    // With its spinners stopped the square goes dark.
    map().springTraps(false, true, 4, 2, 4, 2);
    enter(4, 2);
    EXPECT_EQ(iface.getFacing(), 0);
    EXPECT_EQ(world().intValue(tagkey::MagLt1), 0);
    EXPECT_EQ(world().intValue(tagkey::MunLt1), 0);
    EXPECT_EQ(map().getPartyLightStrength(), 0);
    EXPECT_EQ(iface.getEntryState(), 0);
}

TEST_F(TrapPass, AStoppedSpinnerThatAlsoEatsMagicEatsMagic)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.getStatBlock()->addModifier(3, 4, 0, 1, 77, 0);    // a spell's type 1
    ann.getStatBlock()->addModifier(3, 2, 0, 2, 78, 0);    // a type 2 stays
    ann.getStatBlock()->recompute();
    const int32_t dexWithSpell = ann.getStatBlock()->getCur(3);
    world().setInt(tagkey::MagLt1, 0x10);
    world().setInt(tagkey::Percep1, 0x1F);
    world().setInt(tagkey::MagState1, 0x02);
    world().setInt(tagkey::XCState, 0x1F);
    map().springTraps(false, true, 5, 2, 5, 2);
    vell::scriptGameRand({3});
    enter(5, 2);
    EXPECT_EQ(iface.getFacing(), 0) << "the spinner is stopped";
    EXPECT_EQ(vell::scriptedGameRandLeft(), 1u);
    EXPECT_EQ(world().intValue(tagkey::MagLt1), 0);
    EXPECT_EQ(world().intValue(tagkey::Percep1), 0);
    EXPECT_EQ(world().intValue(tagkey::MagState1), 0);
    EXPECT_EQ(world().intValue(tagkey::XCState), 1);
    EXPECT_EQ(world().intValue(tagkey::XCBonus), 50);
    EXPECT_EQ(world().intValue(tagkey::XCReduce), 50);
    EXPECT_EQ(ann.getStatBlock()->getCur(3), dexWithSpell - 4);
    EXPECT_EQ(iface.getEntryState(), 0);

    // A spinner whose square is not stopped spins instead.
    map().getMapInfo()->setSquareState(5, 2, 0);
    world().setInt(tagkey::MagLt1, 0x10);
    vell::scriptGameRand({1});
    enter(5, 2);
    EXPECT_EQ(iface.getFacing(), 90);
    EXPECT_EQ(world().intValue(tagkey::MagLt1), 0x10);
}

TEST_F(TrapPass, TrapEffectsNeedAnEntry)
{
    join("Ann", 0x4);
    world().setInt(tagkey::MagLt1, 0x01);
    standOn(4, 2, 270);   // entry state clear
    map().spinnerTrap(&iface);
    map().darknessTrap(&iface);
    map().antiMagicTrap(&iface);
    EXPECT_EQ(iface.getFacing(), 270);
    EXPECT_EQ(world().intValue(tagkey::MagLt1), 0x01);
}

TEST_F(TrapPass, ATrapWithoutItsScriptIsToldAndHarmsNobody)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.setCurHP(7);
    const uint32_t ticks = gameworld->getClock().getTicks();
    struct Case {
        int x;
        const char* told;
    };
    for (const Case& c : {Case{2, "trap9999"}, Case{3, "TRAP #12000!"}}) {
        testing::internal::CaptureStderr();
        enter(c.x, 2);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.told), std::string::npos) << err;
        EXPECT_FALSE(sprung(c.x, 2)) << c.told;
        EXPECT_EQ(squareX(), c.x);
        EXPECT_EQ(squareY(), 2);
        EXPECT_EQ(ann.getCurHP(), 7);
        EXPECT_EQ(gameworld->getClock().getTicks(), ticks);
    }
}

} // namespace
} // namespace scripted
