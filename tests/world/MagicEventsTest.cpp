// The world side of magic: the expiry events that clear exactly their own
// bits, the fizzle reset, a spell's effect and expiry saved and read back in
// the middle of it, the trap spells' marks on a map and what the map tells
// the party's magical senses.
#include "WorldTestUtil.h"

#include "actions/ActionEnv.h"
#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/Catalogue.h"
#include "actions/Spell.h"
#include "actions/WorldMagic.h"
#include "core/TextBuf.h"
#include "app/GameEvents.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/WorldRulesEnv.h"

#include <gtest/gtest.h>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

// What the actions ask of the world, answered by the world in play alone
// (the game's own answer goes through the interface).
class QueueOnlyEnv_C : public ActionEnv_C {
public:
    bool queueTimedEvent(int typeId, uint32_t due) override
    {
        std::unique_ptr<Event_C> e = createTimedEvent(typeId);
        if (!gameworld || !e || gameworld->getEventQueue().enqueue(due, e.get()) == 0)
            return false;
        e.release();
        return true;
    }
};

struct MagicWorldTest : ::testing::Test {
    InFolder folder{VELL_GAME_DIR};
    StoreScope stores;
    ra2dGameWorld world{RefStr_C("ra2d.dat")};
    bl3dParty members{RefStr_C("party.dat")};

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        registerGameEvents();
        ASSERT_TRUE(world.newWorld());
        gameworld = &world;
        party = &members;
    }
    void TearDown() override
    {
        party = nullptr;
        gameworld = nullptr;
        enemyList.clear();
        clearEventMakers();
    }
    uint32_t now() const { return world.getClock().getTicks(); }
    void runEvent(int type)
    {
        std::unique_ptr<Event_C> e = createTimedEvent(type);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->invoke(nullptr), 0);
    }
};

TEST_F(MagicWorldTest, EachExpiryEventClearsExactlyItsOwnBitsThatHaveEnded)
{
    for (int f = 0; f < MAGIC_FAMILY_COUNT; ++f) {
        const MagicFamily_S& fam = magicFamily(static_cast<MagicFamily>(f));
        SCOPED_TRACE(fam.variable);
        // Every bit on: those of even rank ended (one at this very tick),
        // the others still to come.
        int32_t all = 0;
        int32_t staying = 0;
        for (int k = 0; k < fam.count; ++k) {
            all |= fam.bits[k].bit;
            const bool ended = k % 2 == 0;
            world.setVar(fam.bits[k].expiry, static_cast<int32_t>(ended ? now() - (k == 0 ? 0 : 7) : now() + 3));
            if (!ended)
                staying |= fam.bits[k].bit;
        }
        // A bit the family does not expire stays too.
        const int32_t foreign = f == MAGIC_ENCOUNTER ? 0x11 : 0;
        for (int g = 0; g < MAGIC_FAMILY_COUNT; ++g)
            world.setVar(magicFamily(static_cast<MagicFamily>(g)).variable, all | foreign);
        runEvent(fam.expiryEvent);
        EXPECT_EQ(world.getVar(fam.variable), staying | foreign);
        for (int g = 0; g < MAGIC_FAMILY_COUNT; ++g) {
            const MagicFamily_S& other = magicFamily(static_cast<MagicFamily>(g));
            if (g != f) {
                EXPECT_EQ(world.getVar(other.variable), all | foreign) << "not its family: " << other.variable;
            }
        }
        for (int g = 0; g < MAGIC_FAMILY_COUNT; ++g)
            world.setVar(magicFamily(static_cast<MagicFamily>(g)).variable, 0);
    }
    // An absent expiry counts as ended.
    world.setVar(tagkey::MagLt1, 0x05);
    world.getTagList().removeKey(tagkey::MagExp11);
    world.setVar(tagkey::MagExp13, static_cast<int32_t>(now() + 1));
    runEvent(9010);
    EXPECT_EQ(world.getVar(tagkey::MagLt1), 0x04);
}

TEST_F(MagicWorldTest, TheFizzleResetClearsEveryMindOnBothSides)
{
    auto* mira = new bl3dPartyChar("Mira", 0x100, RACE_HUMAN, false, ALIGN_GOOD, nullptr, nullptr);
    ASSERT_TRUE(members.addMember(mira));
    mira->getTagList()->setInt(tagkey::Fizzle, 1);
    MonsterTypeRecord_S r;
    r.name = r.nameBuffer = "Gnoll";
    r.hpBase = 5;
    bl3dMonsterType gnolls(r, masterActionList);
    bl3dMonsterList* g = enemyList.insertGroup(new bl3dMonsterList(2, &gnolls, 0), 10);
    g->getMonster(1)->getTagList()->setInt(tagkey::Fizzle, 1);
    runEvent(9014);
    EXPECT_EQ(intAttribute(mira, tagkey::Fizzle), 0);
    EXPECT_EQ(intAttribute(g->getMonster(1), tagkey::Fizzle), 0);
    enemyList.clear();
}

TEST_F(MagicWorldTest, ASpellsEffectAndItsExpiryComeBackFromASave)
{
    const bool madeActions = masterActionList.count() == 0;
    if (madeActions)
        initActions();
    WorldRulesEnv_C rules(&world);
    QueueOnlyEnv_C env;
    setRulesEnv(&rules);
    setActionEnv(&env);

    auto* mira = new bl3dPartyChar("Mira", 0x100, RACE_HUMAN, false, ALIGN_GOOD, nullptr, nullptr);
    ASSERT_TRUE(members.addMember(mira));
    mira->setMaxHP(10);
    mira->setCurHP(10);
    mira->setMaxSP(10);
    mira->setCurSP(10);
    char chars[256];
    TextBuf_C text(chars, sizeof chars);
    void* context[1] = {&text};
    bl3dAction* heimdall = masterActionList.getSpellByCode("HEEY");
    vell::scriptGameRand({800, 300}); // no fizzle; 1200 + 300 ticks
    ActionUse_S* use = heimdall->makeEntry(new bl3dActor(mira), nullptr, 1, context);
    EXPECT_EQ(heimdall->perform(use), 0);
    heimdall->freeEntry(use);
    const uint32_t ends = now() + 1500;
    ASSERT_EQ(world.getVar(tagkey::MagLt1), 0x02);
    ASSERT_EQ(world.getVar(tagkey::Percep1), 0x08);

    world.getClock().setTicks(now() + 700); // half-way
    MemStream_C s;
    world.write(s);
    std::unique_ptr<Storable_C> rec = ra2dGameWorld::create("ra2d.dat", 1, s);
    auto* back = dynamic_cast<ra2dGameWorld*>(rec.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getVar(tagkey::MagLt1), 0x02);
    EXPECT_EQ(back->getVar(tagkey::Percep1), 0x08);
    EXPECT_EQ(static_cast<uint32_t>(back->getVar(tagkey::MagExp12)), ends);
    EXPECT_EQ(static_cast<uint32_t>(back->getVar(tagkey::MagExp24)), ends);
    // (A read world also gets its nightly and hourly upkeep back.)
    std::vector<int> types;
    for (const QueueNode_S* n = back->getEventQueue().head(); n; n = n->next) {
        if (n->event->typeId() == 9000 || n->event->typeId() == 9002)
            continue;
        EXPECT_EQ(n->due, ends);
        types.push_back(n->event->typeId());
    }
    EXPECT_EQ(types, (std::vector<int>{9010, 9011}));

    // The read world runs on: nothing ends before its tick, both bits at it.
    gameworld = back;
    back->getClock().setTicks(ends - 1);
    while (back->getEventQueue().popDue(nullptr)) {
    }
    EXPECT_EQ(back->getVar(tagkey::MagLt1), 0x02);
    EXPECT_EQ(back->getVar(tagkey::Percep1), 0x08);
    back->getClock().setTicks(ends);
    while (back->getEventQueue().popDue(nullptr)) {
    }
    EXPECT_EQ(back->getVar(tagkey::MagLt1), 0);
    EXPECT_EQ(back->getVar(tagkey::Percep1), 0);

    gameworld = &world;
    setActionEnv(nullptr);
    setRulesEnv(nullptr);
    vell::clearScriptedGameRand();
    if (madeActions)
        masterActionList.destroyAll();
}

struct GridSensesTest : ::testing::Test {
    InFolder folder{worldtest::fixtureDir()};
    StoreScope stores;
    std::unique_ptr<Map_C> map;

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        testing::internal::CaptureStderr();
        map = std::make_unique<Map_C>("grid.cfg");
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(map->getLoadError(), Map_C::LOAD_OK);
    }
    uint8_t at(int x, int y) const { return map->getSquareState(x, y); }
};

// grid.cfg: 5 x 5 squares, the stairs at (3, 3), a spinner at (1, 1) and a
// secret door on the east side of (3, 4).
TEST_F(GridSensesTest, TrapSpellsMarkTheirRectangleClampedToTheMap)
{
    map->springTraps(true, false, -2, -2, 1, 1);
    EXPECT_EQ(at(0, 0) & 0x06, 0x02);
    EXPECT_EQ(at(1, 1) & 0x06, 0x02);
    EXPECT_EQ(at(2, 1) & 0x06, 0x00);
    EXPECT_EQ(at(1, 2) & 0x06, 0x00);
    map->springTraps(false, true, 3, 3, -1, -1); // ends below 0: to the last column and row
    EXPECT_EQ(at(4, 4) & 0x06, 0x04);
    EXPECT_EQ(at(3, 3) & 0x06, 0x04);
    EXPECT_EQ(at(2, 3) & 0x06, 0x00);
    map->springTraps(true, true, 0, 0, 99, 99); // beyond the grid: clamped too
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y)
            EXPECT_EQ(at(x, y) & 0x06, 0x06) << x << "," << y;
}

TEST_F(GridSensesTest, TheSensesTellStairsTrapsAndSecretDoors)
{
    EXPECT_EQ(map->stairsNear(0, 1, 3), "There are stairs near.");
    EXPECT_EQ(map->stairsNear(0, 1, 2), "");
    EXPECT_EQ(map->trapsNear(4, 4, 3), "There are traps near.");
    EXPECT_EQ(map->trapsNear(4, 4, 2), "");
    map->springTraps(true, false, 1, 1, 1, 1);
    EXPECT_EQ(map->trapsNear(4, 4, 3), "") << "a sprung trap is no danger";
    EXPECT_EQ(map->secretDoorHere(3, 4, 270), "There is a Secret Door here.");
    EXPECT_EQ(map->secretDoorHere(3, 4, 0), "");
    const std::pair<std::pair<int, int>, const char*> ways[] = {
        {{3, 3}, "The stairs are here!"},
        {{1, 3}, "The stairs are 2 steps due East."},
        {{3, 4}, "The stairs are 1 steps due South."},
        {{4, 0}, "The stairs are 1 steps West, and 3 steps North."},
    };
    for (const auto& w : ways)
        EXPECT_EQ(map->stairsDirection(w.first.first, w.first.second), w.second);
}

} // namespace
