// The random encounter roll: many seeded rolls over monster tables, checked
// against the table's bounds and the party's level budget, the hour
// windows, the slumbering undead, the lone monster's offer to join, and
// tables whose numbers would divide by nothing or make empty groups.
#include "WorldTestUtil.h"

#include "core/GameConfig.h"
#include "platform/Random.h"
#include "rules/ActionList.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

struct Seen {
    EncounterKind kind;
    std::vector<std::pair<std::string, int>> groups; // type, size
    int totalLevel = 0;
};
std::vector<Seen>& seen()
{
    static std::vector<Seen> s;
    return s;
}

template <EncounterKind K>
class Recorder : public Event_C {
public:
    int typeId() const override { return 4000; }
    int invoke(Interface_C*) override
    {
        Seen s{K, {}, enemyList.totalLevel()};
        for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g); ++g)
            s.groups.emplace_back(group->getType()->getName(false), group->getSize());
        seen().push_back(s);
        return 0;
    }
    static std::unique_ptr<Event_C> create(const EventParams_S*) { return std::make_unique<Recorder>(); }
};

struct Kind {
    const char* name;
    int level;
    int kind;
};

// A world and a party of four at a level, the fight and the join offer
// recorded, in a folder.
struct RollFixture : ::testing::Test {
    explicit RollFixture(const std::string& dir, int level) : folder(dir), level_(level) {}

    InFolder folder;
    StoreScope stores;
    ra2dGameWorld world{RefStr_C("ra2d.dat")};
    bl3dParty members{RefStr_C("party.dat")};
    int oldDifficulty = gameConfig.difficulty;

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        gameworld = &world;
        party = &members;
        for (int i = 0; i < 4; ++i) {
            auto* m = new bl3dPartyChar(("Member" + std::to_string(i + 1)).c_str());
            m->setLevel(level_);
            ASSERT_TRUE(members.addMember(m));
        }
        registerEncounterEvent(ENCOUNTER_FIGHT, &Recorder<ENCOUNTER_FIGHT>::create);
        registerEncounterEvent(ENCOUNTER_JOIN, &Recorder<ENCOUNTER_JOIN>::create);
        gameConfig.difficulty = 1;
        seen().clear();
    }
    void TearDown() override
    {
        while (members.getCount() > 0)
            members.removeAt(0);
        party = nullptr;
        gameworld = nullptr;
        enemyList.clear();
        clearEventMakers();
        masterMTL.clear();
        gameConfig.difficulty = oldDifficulty;
        vell::clearScriptedGameRand();
    }
    void atHour(unsigned hour)
    {
        GameClock_C& c = world.getClock();
        c.setTicks(c.getTicks() - c.getHour() * GameClock_C::TICKS_PER_HOUR + hour * GameClock_C::TICKS_PER_HOUR);
        ASSERT_EQ(c.getHour(), hour);
    }

private:
    int level_;
};

struct EncounterTest : RollFixture {
    EncounterTest() : RollFixture(worldtest::fixtureDir(), 2) {}
    ActionList actions;
    std::unique_ptr<Map_C> map;

    void SetUp() override
    {
        RollFixture::SetUp();
        for (const Kind& k : {Kind{"Rat", 1, 1}, Kind{"Wolf", 3, 1}, Kind{"Ghoul", 4, 21}, Kind{"Thief", 2, 1},
                              Kind{"Slime", 2, 18}}) {
            MonsterTypeRecord_S rec;
            rec.name = k.name;
            rec.level = k.level;
            rec.creatureType = k.kind;
            masterMTL.pushFront(std::make_unique<bl3dMonsterType>(rec, actions));
        }
        testing::internal::CaptureStderr();
        map = std::make_unique<Map_C>("grid.cfg");
        testing::internal::GetCapturedStderr();
    }
    void TearDown() override
    {
        map.reset();
        RollFixture::TearDown();
    }

    // The map's table from monster-file lines (the header "count rate").
    void table(int rate, const std::vector<std::string>& lines)
    {
        const std::string path = ::testing::TempDir() + "vell_encounter.mon";
        {
            std::ofstream f(path);
            f << lines.size() << " " << rate << "\n";
            for (const std::string& l : lines)
                f << l << "\n";
        }
        ASSERT_TRUE(map->getMapInfo()->loadMonsters(path.c_str()));
    }
    int roll() { return map->randMonster(nullptr); }
};

TEST_F(EncounterTest, GroupsKeepToTheTableAndTheBudget)
{
    // Level sum 8: the average budget is 12, and no second group may bring
    // the total to 18 or more.
    table(1000, {"Rat 2 3 10 5 100", "Wolf 1 1 20 5 100", "Thief 1 2 30 5 100"});
    int several = 0;
    const std::map<std::string, std::pair<int, int>> bounds{{"Rat", {2, 5}}, {"Wolf", {1, 2}}, {"Thief", {1, 3}}};
    for (int difficulty = 0; difficulty <= 3; ++difficulty) {
        gameConfig.difficulty = difficulty;
        const int budget = difficulty == 0 ? 8 : difficulty == 1 ? 12 : difficulty == 2 ? 24 : 800;
        for (int seed = 1; seed <= 300; ++seed) {
            vell::gameSrand(static_cast<unsigned>(seed));
            for (MapMonster_S& e : map->getMapInfo()->getMonsters())
                e.remaining = 100;
            map->getMapInfo()->recomputeTotals();
            seen().clear();
            roll();
            if (seen().empty())
                continue;
            const Seen& s = seen().back();
            ASSERT_GE(s.groups.size(), 1u);
            ASSERT_LE(s.groups.size(), 6u);
            for (const auto& [type, size] : s.groups) {
                ASSERT_GE(size, bounds.at(type).first) << type;
                ASSERT_LE(size, 6 * bounds.at(type).second) << type;
            }
            if (s.groups.size() > 1) {
                ++several;
                EXPECT_LT(s.totalLevel, budget * 1.5) << "difficulty " << difficulty << " seed " << seed;
            }
        }
    }
    EXPECT_GT(several, 100);
}

TEST_F(EncounterTest, HourWindowsAcrossMidnight)
{
    table(1000, {"Wolf 2 0 10 5 100 22 4", "Rat 2 0 10 5 100 8 20"});
    for (unsigned hour : {22u, 23u, 0u, 3u, 4u, 10u, 19u, 20u}) {
        atHour(hour);
        seen().clear();
        for (int seed = 1; seed <= 60; ++seed) {
            vell::gameSrand(static_cast<unsigned>(seed));
            roll();
        }
        const bool night = hour >= 22 || hour < 4;
        const bool day = hour >= 8 && hour < 20;
        for (const Seen& s : seen()) {
            for (const auto& g : s.groups)
                EXPECT_EQ(g.first, night ? "Wolf" : "Rat") << "hour " << hour;
        }
        EXPECT_EQ(seen().empty(), !night && !day) << "hour " << hour;
    }
}

TEST_F(EncounterTest, SlumberingUndeadSometimesLetThePartyPass)
{
    table(1000, {"Ghoul 2 0 10 5 1000"});
    int fights = 0, slumbers = 0;
    for (int bard : {0, 1}) {
        world.setVar(tagkey::Bardb003, bard);
        for (int seed = 1; seed <= 90; ++seed) {
            vell::gameSrand(static_cast<unsigned>(seed));
            seen().clear();
            const int r = roll();
            if (r == Map_C::ENCOUNTER_SLUMBER) {
                EXPECT_EQ(bard, 1);
                EXPECT_TRUE(enemyList.empty());
                EXPECT_TRUE(seen().empty());
                ++slumbers;
            } else if (r == Map_C::ENCOUNTER_FIGHT_RUN) {
                ++fights;
            }
        }
    }
    EXPECT_GT(slumbers, 10);
    EXPECT_GT(fights, 90);
}

TEST_F(EncounterTest, LoneMonsterOffersToJoin)
{
    table(1000, {"Wolf 1 0 10 5 1000"});
    // A bonus beyond 900 makes every roll succeed.
    world.setVar(tagkey::MonsterJoin, 1000);
    EXPECT_EQ(roll(), Map_C::ENCOUNTER_JOIN_OFFER);
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].kind, ENCOUNTER_JOIN);
    EXPECT_EQ(world.getVar(tagkey::MonsterJoin), 0);

    // The song that keeps monsters from joining: no offer and no fight.
    world.setVar(tagkey::MonsterJoin, 1000);
    world.setVar(tagkey::Bardb004, 1);
    seen().clear();
    EXPECT_EQ(roll(), Map_C::ENCOUNTER_STAYED_AWAY);
    EXPECT_TRUE(seen().empty());
    EXPECT_EQ(world.getVar(tagkey::MonsterJoin), 0);

    // A failed roll: the monster goes its way and the next one is likelier.
    world.setVar(tagkey::Bardb004, 0);
    world.setVar(tagkey::MonsterJoin, -2000);
    EXPECT_EQ(roll(), Map_C::ENCOUNTER_STAYED_AWAY);
    EXPECT_TRUE(seen().empty());
    EXPECT_EQ(world.getVar(tagkey::MonsterJoin), -1999);
}

TEST_F(EncounterTest, KindsThatNeverJoinFight)
{
    table(1000, {"Slime 1 0 10 5 1000"});
    world.setVar(tagkey::MonsterJoin, 1000);
    EXPECT_EQ(roll(), Map_C::ENCOUNTER_FIGHT_RUN);
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].kind, ENCOUNTER_FIGHT);
}

TEST_F(EncounterTest, NothingComesWhenTheTableOrTheWorldSaySo)
{
    table(1000, {"Rat 2 0 10 5 100"});
    world.setVar(tagkey::XCReduce, 100);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(roll(), Map_C::ENCOUNTER_NONE);
    world.setVar(tagkey::XCReduce, 0);

    // Every remaining count 0: no encounter ever.
    table(1000, {"Rat 2 0 10 5 0"});
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(roll(), Map_C::ENCOUNTER_NONE);
    EXPECT_TRUE(seen().empty());
}

TEST_F(EncounterTest, TablesThatWouldDivideByNothingOrMakeEmptyGroups)
{
    // Weights that add up to nothing with the counts, a spread of -1 and a
    // least group of 0: no fault, and a group drawn is never empty.
    table(1000, {"Rat 0 -1 10 -1 1", "Wolf 0 0 20 0 1", "Thief -3 -1 30 -5 5"});
    for (int seed = 1; seed <= 300; ++seed) {
        vell::gameSrand(static_cast<unsigned>(seed));
        seen().clear();
        roll();
        for (const Seen& s : seen()) {
            ASSERT_FALSE(s.groups.empty());
            for (const auto& g : s.groups)
                EXPECT_GE(g.second, 1) << g.first;
        }
    }
    // A remaining count used up lowers the table's total with it.
    EXPECT_GE(map->getMapInfo()->getRemainingTotal(), 0);
}

TEST_F(EncounterTest, NumbersAtTheTopOfTheirRangeNeitherOverflowNorMakeGroups)
{
    // A rate and a group size far beyond any map: the chance is held to the
    // roll's range (every roll meets something) and the count to 32 bits,
    // and a group beyond any fight is never made.
    table(INT32_MAX, {"Rat 2147483647 2147483647 10 100 1000000", "Wolf 1 0 20 100 1000000"});
    int fights = 0;
    for (int seed = 1; seed <= 40; ++seed) {
        vell::gameSrand(static_cast<unsigned>(seed));
        seen().clear();
        roll();
        for (const Seen& s : seen()) {
            ++fights;
            for (const auto& g : s.groups)
                EXPECT_EQ(g.first, "Wolf");
        }
    }
    EXPECT_GT(fights, 0);
}

TEST_F(EncounterTest, DrawingUsesUpLimitedEntries)
{
    table(1000, {"Rat 1 0 10 0 3"});
    int fights = 0;
    for (int i = 0; i < 200 && map->getMapInfo()->getRemainingTotal() > 0; ++i)
        if (roll() != Map_C::ENCOUNTER_NONE)
            ++fights;
    EXPECT_EQ(map->getMapInfo()->getMonsters()[0].remaining, 0);
    EXPECT_EQ(map->getMapInfo()->getRemainingTotal(), 0);
    // With nothing left the chance is 0.
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(roll(), Map_C::ENCOUNTER_NONE);
    EXPECT_GE(fights, 1);
}

// The shipped world: the town's night table, the catacombs' table, random
// items and chests.
struct ShippedEncounterTest : RollFixture {
    ShippedEncounterTest() : RollFixture(VELL_GAME_DIR, 3) {}

    void SetUp() override
    {
        RollFixture::SetUp();
        ASSERT_GT(masterMTL.load("data/monsters.dat"), 30);
    }
    std::unique_ptr<Map_C> load(const char* path)
    {
        testing::internal::CaptureStderr();
        auto map = std::make_unique<Map_C>(path);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors.find("ERROR"), std::string::npos) << errors;
        EXPECT_EQ(map->getLoadError(), Map_C::LOAD_OK);
        return map;
    }
};

TEST_F(ShippedEncounterTest, TheTownIsDangerousOnlyAtNight)
{
    std::unique_ptr<Map_C> town = load("maps/renibister.cfg");
    ASSERT_GE(town->getMapInfo()->getMonsterCount(), 2);
    EXPECT_GT(town->getMapInfo()->getStartRemaining(), 0);
    for (unsigned hour : {8u, 12u, 17u}) {
        atHour(hour);
        for (int i = 0; i < 2000; ++i)
            town->randMonster(nullptr);
    }
    EXPECT_TRUE(seen().empty());
    atHour(23);
    for (int i = 0; i < 3000; ++i)
        town->randMonster(nullptr);
    ASSERT_FALSE(seen().empty());
    for (const Seen& s : seen()) {
        for (const auto& g : s.groups)
            EXPECT_TRUE(g.first == "Wolf" || g.first == "Bandit" || g.first == "Dark Rogue") << g.first;
    }
}

TEST_F(ShippedEncounterTest, TheCatacombsHaveMonstersItemsAndChests)
{
    std::unique_ptr<Map_C> dungeon = load("maps/catacombs.cfg");
    ASSERT_GE(dungeon->getMapInfo()->getMonsterCount(), 4);
    for (int i = 0; i < 500; ++i)
        dungeon->randMonster(nullptr);
    EXPECT_GT(seen().size(), 5u);
    EXPECT_FALSE(dungeon->getRandItems().empty());
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<bl3dItem> item(dungeon->randItem());
        EXPECT_NE(item, nullptr);
    }
    // Three chests, each a scripted square.
    int chests = 0;
    for (int x = 0; x < dungeon->getWidth(); ++x)
        for (int y = 0; y < dungeon->getHeight(); ++y)
            if (dungeon->hasCellEvent(x, y) && dungeon->getCellEvent(x, y)->typeId() == 2000)
                ++chests;
    EXPECT_GE(chests, 4);   // the stairs and three chests
}

} // namespace
