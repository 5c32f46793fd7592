// The shipped world: the stairs between Renibister and the catacombs, both
// ways, walked with the main view's keys; and the catacombs' traps with
// their shipped scripts.
#include "ScriptFixture.h"

#include "rules/ItemList.h"
#include "rules/StatBlock.h"

#include <unistd.h>

#include <gtest/gtest.h>

namespace scripted {
namespace {

// A quest folder over the assembled game folder's own maps.
std::string shippedQuest() { return vell_test::shippedQuestFolder("shipped"); }

class ShippedWorld : public ScriptedEvent {
protected:
    void SetUp() override
    {
        ScriptedEvent::SetUp();
        if (HasFatalFailure())
            return;
        // The catacombs name their random items in the game's item list,
        // which takes the place of the test kit's (the kit's members are
        // not used here; the kit empties the list at the end).
        ASSERT_EQ(masterITL.load(VELL_GAME_DIR "/data/item.dat"), 0);
        ASSERT_EQ(chdir(shippedQuest().c_str()), 0);
        const std::string archive = shippedQuest() + "/savegame/world.sav";
        std::remove(archive.c_str());
        ASSERT_TRUE(iface.load(archive.c_str()));
        ASSERT_TRUE(iface.start());
        drainEvents();
        ann_ = &join("Ann", 0x4);
        ann_->getStatBlock()->setBase(3, 0);   // dexterity 0: no dodging
        ann_->getStatBlock()->recompute();
        vell::clearScriptedGameRand();
    }

    static std::string mapName() { return iface.getCurrentMap()->getFileName(); }
    static void press(SDLKey k) { iface.key(k, KMOD_NONE); }

    bl3dPartyChar* ann_ = nullptr;
};

// Each stair asks first; (N)o steps the party back the way it came, facing
// away from the stairs, and (Y)es takes it to the other end.
TEST_F(ShippedWorld, TheStairsAskThenLeadDownToTheCatacombsAndBackUp)
{
    struct Way {
        int x, y;   // the square before the stairs, facing them
        int facing;
        const char* asks;
    };
    auto refuse = [this](const Way& w) {
        standOn(w.x, w.y, w.facing);
        const std::string map = mapName();
        forget();
        script({SDLK_n});
        press(SDLK_UP);
        ASSERT_FALSE(shown().empty()) << w.asks;
        EXPECT_TRUE(shown(0).mentions(w.asks));
        EXPECT_EQ(mapName(), map);
        EXPECT_EQ(squareX(), w.x) << "stepped back";
        EXPECT_EQ(squareY(), w.y);
        EXPECT_EQ(iface.getFacing(), (w.facing + 180) % 360) << "facing away from the stairs";
    };
    auto take = [this](int facing) {
        standOn(squareX(), squareY(), facing);
        script({SDLK_y});
        press(SDLK_UP);
    };

    refuse({26, 4, 180, "Stone steps lead down"});
    take(180);   // onto the stairs down at (26, 3)
    EXPECT_EQ(mapName(), "maps/catacombs.cfg");
    EXPECT_EQ(squareX(), 1);
    EXPECT_EQ(squareY(), 2);
    EXPECT_EQ(iface.getFacing(), 0);
    const Map_C* catacombs = iface.getCurrentMap();

    // Walk the passage a little, come back and go up.
    press(SDLK_UP);
    EXPECT_EQ(squareY(), 3);
    press(SDLK_DOWN);
    press(SDLK_UP);
    refuse({1, 2, 180, "The stairs lead up"});
    take(180);   // onto the stairs up at (1, 1)
    EXPECT_EQ(mapName(), "maps/renibister.cfg");
    EXPECT_EQ(squareX(), 26);
    EXPECT_EQ(squareY(), 4);
    EXPECT_EQ(iface.getFacing(), 0);

    // And down again: the catacombs were kept, not built anew.
    take(180);
    EXPECT_EQ(mapName(), "maps/catacombs.cfg");
    EXPECT_EQ(iface.getCurrentMap(), catacombs);
}

TEST_F(ShippedWorld, TheCatacombsTrapsSpringWithTheirScripts)
{
    ASSERT_TRUE(iface.newMap("maps/catacombs.cfg"));
    struct Case {
        int x, y;
        const char* says;
        bool hurtsAnn;
    };
    const Case cases[] = {
        {1, 5, "pit", true},
        {7, 12, "venom", false},
        {12, 1, "block", true},
    };
    for (const Case& c : cases) {
        ann_->setCurHP(20);
        forget();
        script({SDLK_SPACE});
        standOn(c.x, c.y - 1, 0);
        iface.setCurZ(-float(c.y));
        iface.getCurrentMap()->processEvents(c.x, c.y, &iface);
        ASSERT_FALSE(shown().empty()) << c.says;
        EXPECT_TRUE(shown(0).mentions(c.says)) << c.says;
        EXPECT_TRUE(iface.getCurrentMap()->getSquareState(c.x, c.y) & SQUARE_TRAP_SPRUNG) << c.says;
        if (c.hurtsAnn) {
            EXPECT_LT(ann_->getCurHP(), 20) << c.says;
        }
        EXPECT_EQ(squareX(), c.x) << "a trap leaves the party where it is";
        EXPECT_EQ(squareY(), c.y);
    }
    // The senses see the traps that are left.
    EXPECT_EQ(iface.getCurrentMap()->trapsNear(5, 9, 3), "There are traps near.");
    EXPECT_EQ(iface.getCurrentMap()->trapsNear(1, 5, 3), "");
}

TEST_F(ShippedWorld, TheCatacombsRandomEventsFireOnTheirRolls)
{
    ASSERT_TRUE(iface.newMap("maps/catacombs.cfg"));
    Map_C* m = iface.getCurrentMap();
    ASSERT_EQ(m->getRandomEvents().size(), 2u);
    ASSERT_EQ(m->getRandomEventTries(), 6);
    // Kept last first: the whispers (3 in 3000), then the cold air (4).
    struct Case {
        std::vector<int> dice;   // event picked, then the try's roll
        std::vector<partyscreens::Step> keys;
        const char* says;
        uint32_t takes;          // ticks
    };
    const Case cases[] = {
        {{1, 3}, {SDLK_SPACE}, "cold air", 0},
        {{0, 2}, {SDLK_w}, "whispers", 0},
        {{0, 0}, {SDLK_l, SDLK_SPACE}, "claws scratch", 8},
    };
    for (const Case& c : cases) {
        standOn(1, 3, 0);   // the passage below the stairs: no event of its own
        ASSERT_FALSE(m->hasCellEvent(1, 3));
        forget();
        script(c.keys);
        vell::scriptGameRand(c.dice);
        const uint32_t t0 = gameworld->getClock().getTicks();
        EXPECT_EQ(m->rollRandomEvents(&iface), 1) << c.says;
        ASSERT_FALSE(shown().empty()) << c.says;
        EXPECT_TRUE(last().mentions(c.says)) << c.says;
        EXPECT_EQ(stepsLeft(), 0u) << c.says;
        EXPECT_EQ(gameworld->getClock().getTicks(), t0 + c.takes) << c.says;
        EXPECT_EQ(mapName(), "maps/catacombs.cfg") << c.says;
        EXPECT_EQ(squareX(), 1) << "a random event leaves the party where it is";
        EXPECT_EQ(squareY(), 3);
    }

    // Six tries, each just short of its event's chance: nothing happens.
    forget();
    vell::scriptGameRand({1, 4, 0, 3, 1, 2999, 0, 2999, 1, 4, 0, 3});
    EXPECT_EQ(m->rollRandomEvents(&iface), 0);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
    EXPECT_TRUE(shown().empty());
}

TEST_F(ShippedWorld, RandomItemsLieInTheCatacombs)
{
    ASSERT_TRUE(iface.newMap("maps/catacombs.cfg"));
    const Map_C* m = iface.getCurrentMap();
    ASSERT_GT(m->getRandItems().size(), 3u);
    vell::gameSrand(5);
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<bl3dItem> item(m->randItem());
        ASSERT_NE(item, nullptr);
    }
}

} // namespace
} // namespace scripted
