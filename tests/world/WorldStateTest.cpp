// The world and map state records: the monster file, save and load round
// trips, the two-map cache, and stored states that do not fit their map.
#include "WorldTestUtil.h"

#include "rules/ActionList.h"
#include "core/MemStream.h"
#include "core/TextureList.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

// Puts monster types of these names into the master list for one test.
class MonsterTypes {
public:
    explicit MonsterTypes(std::initializer_list<const char*> names)
    {
        for (const char* n : names) {
            MonsterTypeRecord_S rec;
            rec.name = n;
            masterMTL.pushFront(std::make_unique<bl3dMonsterType>(rec, actions_));
        }
    }
    ~MonsterTypes() { masterMTL.clear(); }

private:
    ActionList actions_;
};

std::string mapInfoBytes(const mapInfo& info)
{
    MemStream_C s;
    info.write(s);
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

TEST(MapInfo, MonsterFile)
{
    InFolder folder(worldtest::fixtureDir());
    MonsterTypes types{"Giant Rat", "Rat"};
    mapInfo info("grid", 5, 5);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(info.loadMonsters("grid.mon"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ERROR: Could not find monster 'Nobody' in MTL"), std::string::npos);

    ASSERT_EQ(info.getMonsterCount(), 2);
    const MapMonster_S& rat = info.getMonsters()[0];
    EXPECT_EQ(rat.type, masterMTL.findByName("Giant Rat")); // blank restored
    EXPECT_EQ(rat.minGroup, 1);
    EXPECT_EQ(rat.remaining, 5);
    EXPECT_EQ(rat.firstHour, -1);
    EXPECT_EQ(rat.endHour, -1);
    EXPECT_EQ(rat.flags, 0u);
    const MapMonster_S& small = info.getMonsters()[1];
    EXPECT_EQ(small.firstHour, 8);
    EXPECT_EQ(small.endHour, 20);
    EXPECT_EQ(small.flags, 0x10u);
    EXPECT_EQ(info.getWeightTotal(), 16);
    EXPECT_EQ(info.getRemainingTotal(), 9);
    EXPECT_EQ(info.getStartRemaining(), 9);
    EXPECT_EQ(info.getEncounterRate(), 40);
}

TEST(MapInfo, MonsterFileFaults)
{
    MonsterTypes types{"Rat"};
    const std::string path = ::testing::TempDir() + "vell_world_faults.mon";
    auto withFile = [&](const char* text) {
        std::ofstream(path, std::ios::trunc) << text;
        mapInfo info("m", 2, 2);
        testing::internal::CaptureStderr();
        info.loadMonsters(path.c_str());
        std::string err = testing::internal::GetCapturedStderr();
        return std::make_pair(info.getMonsterCount() * 1000 + info.getRemainingTotal(), err);
    };
    auto r = withFile("");
    EXPECT_EQ(r.first, 0);
    EXPECT_NE(r.second.find("Unexpected EOF (header)"), std::string::npos);
    r = withFile("3 10\nRat 1 1 10 5 5\n");
    EXPECT_EQ(r.first, 0); // the table is emptied
    EXPECT_NE(r.second.find("ERROR: Unexpected EOF on Monster file"), std::string::npos);
    r = withFile(("2 10\nRat 1 1 10 5 4" + std::string(300, ' ') + "Rat 1 1 10 5 4\nRat 1 1 10 5 3\n").c_str());
    EXPECT_EQ(r.first, 1003); // the over-long line is dropped whole
    r = withFile("2 10\nRat 1 1 10\nRat 1 1 10 5 4\n");
    EXPECT_EQ(r.first, 1004);
    EXPECT_NE(r.second.find("ERROR: Malformed monster entry: Rat 1 1 10"), std::string::npos);

    mapInfo none("m", 1, 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(none.loadMonsters("no-such.mon"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR: Could not open Monster file no-such.mon"),
              std::string::npos);
    std::remove(path.c_str());
}

TEST(MapInfo, RoundTripAndFactory)
{
    InFolder folder(worldtest::fixtureDir());
    MonsterTypes types{"Giant Rat", "Rat"};
    mapInfo a("grid", 5, 4);
    testing::internal::CaptureStderr();
    a.loadMonsters("grid.mon");
    testing::internal::GetCapturedStderr();
    a.remainingTotal() -= 3; // groups drawn in play
    a.getMonsters()[0].remaining -= 3;
    a.getTagList().setInt("Lever", 2);
    a.orSquareState(4, 3, SQUARE_VISITED | SQUARE_TRAP_SPRUNG);
    a.setSquareState(0, 0, SQUARE_SPINNER_OFF);
    a.setSquareState(5, 0, 0xFF); // outside: nothing

    MemStream_C s;
    a.write(s);
    std::unique_ptr<Storable_C> rec = mapInfo::create("grid", 1, s);
    auto* b = dynamic_cast<mapInfo*>(rec.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getWidth(), 5);
    EXPECT_EQ(b->getHeight(), 4);
    EXPECT_EQ(b->getSquareState(4, 3), SQUARE_VISITED | SQUARE_TRAP_SPRUNG);
    EXPECT_EQ(b->getSquareState(0, 0), SQUARE_SPINNER_OFF);
    EXPECT_EQ(b->getSquareState(5, 0), 0);
    EXPECT_EQ(b->getMonsterCount(), 2);
    EXPECT_EQ(b->getStartRemaining(), 9);
    EXPECT_EQ(b->getRemainingTotal(), 6); // recomputed from the entries
    EXPECT_EQ(b->getWeightTotal(), 16);
    EXPECT_EQ(b->getEncounterRate(), 40);
    int32_t lever = 0;
    EXPECT_EQ(b->getTagList().getInt("Lever", lever), 1);
    EXPECT_EQ(lever, 2);
    EXPECT_FALSE(b->droppedUnknown());
    EXPECT_EQ(mapInfoBytes(*b), mapInfoBytes(a));
}

// The stored map state to the byte: counts, the table with each monster's
// name and its eight numbers, the map's variables, the size and the squares.
TEST(MapInfo, StoredBytesBuiltByHand)
{
    InFolder folder(worldtest::fixtureDir());
    MonsterTypes types{"Giant Rat", "Rat"};
    mapInfo a("grid", 3, 2);
    testing::internal::CaptureStderr();
    a.loadMonsters("grid.mon"); // "Nobody" is not in the list
    testing::internal::GetCapturedStderr();
    a.getTagList().setInt("Lever", 2);
    a.setSquareState(0, 0, SQUARE_VISITED);
    a.setSquareState(2, 1, SQUARE_TRAP_SPRUNG | SQUARE_SPINNER_OFF);
    const uint8_t expected[] = {
        2, 0, 0, 0,                                              // entries
        9, 0, 0, 0,                                              // starting remaining: 5 + 4
        40, 0, 0, 0,                                             // encounter rate
        9, 0, 0, 0, 'G', 'i', 'a', 'n', 't', ' ', 'R', 'a', 't', // the name, blank restored
        1, 0, 0, 0, 2, 0, 0, 0, 30, 0, 0, 0, 10, 0, 0, 0, 5, 0, 0, 0,
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, // no hours, no flags
        3, 0, 0, 0, 'R', 'a', 't',
        2, 0, 0, 0, 3, 0, 0, 0, 20, 0, 0, 0, 6, 0, 0, 0, 4, 0, 0, 0,
        8, 0, 0, 0, 20, 0, 0, 0, 0x10, 0, 0, 0,
        1, 0, 0, 0, 5, 0, 0, 0, 'L', 'e', 'v', 'e', 'r', 2, 2, 0, 0, 0, // variables
        3, 0, 0, 0, 2, 0, 0, 0,                                  // width, height
        1, 0, 0, 0, 0, 6,                                        // squares, row by row
    };
    const std::string bytes = mapInfoBytes(a);
    ASSERT_EQ(bytes.size(), sizeof expected);
    EXPECT_EQ(0, memcmp(bytes.data(), expected, sizeof expected));
    EXPECT_EQ(a.typeId(), 101);
    EXPECT_EQ(a.version(), 1);

    // The same bytes read back give the same record, sums recomputed.
    MemStream_C s;
    s.write(expected, sizeof expected);
    std::unique_ptr<Storable_C> rec = mapInfo::create("grid", 1, s);
    auto* b = dynamic_cast<mapInfo*>(rec.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getWeightTotal(), 16);
    EXPECT_EQ(b->getRemainingTotal(), 9);
    EXPECT_EQ(b->getSquareState(2, 1), SQUARE_TRAP_SPRUNG | SQUARE_SPINNER_OFF);
    EXPECT_EQ(mapInfoBytes(*b), bytes);
}

TEST(MapInfo, StoredStatesThatCannotBeRightAreRefused)
{
    mapInfo a("m", 3, 3);
    MemStream_C good;
    a.write(good);
    const std::string bytes(reinterpret_cast<const char*>(good.data()), good.size());
    // Every cut of the record is refused, never read past.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        MemStream_C s;
        s.write(bytes.data(), static_cast<uint32_t>(cut));
        EXPECT_EQ(mapInfo::create("m", 1, s), nullptr) << cut;
    }
    // A size whose squares the bytes do not hold.
    MemStream_C huge;
    huge.writeInt32(0);
    huge.writeInt32(0);
    huge.writeInt32(0);
    TagList_C("m").write(huge);
    huge.writeInt32(60000);
    huge.writeInt32(60000);
    EXPECT_EQ(mapInfo::create("m", 1, huge), nullptr);
    // A monster count far beyond the bytes.
    MemStream_C lying;
    lying.writeInt32(1 << 30);
    lying.writeInt32(0);
    lying.writeInt32(0);
    EXPECT_EQ(mapInfo::create("m", 1, lying), nullptr);
}

// --- maps and their stored state ---------------------------------------------

TEST(MapState, SecondVisitUsesTheStoredStateNotTheMonsterFile)
{
    InFolder folder(worldtest::fixtureDir());
    StoreScope stores;
    MonsterTypes types{"Giant Rat", "Rat"};
    testing::internal::CaptureStderr();
    auto first = std::make_unique<Map_C>("grid.cfg");
    ASSERT_EQ(first->getMapInfo()->getMonsterCount(), 2);
    first->getMapInfo()->getMonsters().pop_back();
    first->getMapInfo()->orSquareState(2, 3, SQUARE_VISITED);
    ASSERT_TRUE(storeMapState(*first->getMapInfo()));
    first.reset();

    Map_C again("grid.cfg");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(again.getMapInfo()->getMonsterCount(), 1);
    EXPECT_EQ(again.getSquareState(2, 3), SQUARE_VISITED);
    EXPECT_FALSE(again.stateRepaired());
}

TEST(MapState, StoredStateOfAnotherSizeIsRepaired)
{
    InFolder folder(worldtest::fixtureDir());
    StoreScope stores;
    mapInfo stale("grid", 3, 7); // the map file says 5 x 5
    stale.setSquareState(1, 1, SQUARE_VISITED);
    stale.setSquareState(2, 6, SQUARE_VISITED);
    stores.store.store(stale);

    testing::internal::CaptureStderr();
    Map_C map("grid.cfg");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("does not fit its map"), std::string::npos);
    EXPECT_TRUE(map.stateRepaired());
    EXPECT_EQ(map.getMapInfo()->getWidth(), 5);
    EXPECT_EQ(map.getMapInfo()->getHeight(), 5);
    EXPECT_EQ(map.getSquareState(1, 1), SQUARE_VISITED); // shared squares kept
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y)
            map.getMapInfo()->orSquareState(x, y, SQUARE_TRAP_SPRUNG); // every square is there
    EXPECT_EQ(map.getSquareState(4, 4), SQUARE_TRAP_SPRUNG);
}

TEST(MapState, StoredStateNamingAnUnknownMonsterIsRepaired)
{
    InFolder folder(worldtest::fixtureDir());
    StoreScope stores;
    std::string bytes;
    {
        MonsterTypes types{"Giant Rat", "Rat"};
        mapInfo stored("grid", 5, 5);
        testing::internal::CaptureStderr();
        stored.loadMonsters("grid.mon");
        testing::internal::GetCapturedStderr();
        stores.store.store(stored);
    }
    MonsterTypes fewer{"Rat"}; // "Giant Rat" is gone from the master list
    testing::internal::CaptureStderr();
    Map_C map("grid.cfg");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Could not find monster 'Giant Rat'"), std::string::npos);
    EXPECT_TRUE(map.stateRepaired());
    ASSERT_EQ(map.getMapInfo()->getMonsterCount(), 1);
    EXPECT_EQ(map.getMapInfo()->getMonsters()[0].type, masterMTL.findByName("Rat"));
    EXPECT_EQ(map.getMapInfo()->getRemainingTotal(), 4);
    EXPECT_EQ(map.getMapInfo()->getWeightTotal(), 6);
}

// --- the world ---------------------------------------------------------------------

struct WorldTest : ::testing::Test {
    InFolder folder{VELL_GAME_DIR};
    StoreScope stores;
    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        testing::internal::CaptureStderr();
    }
    void TearDown() override { lastErrors = testing::internal::GetCapturedStderr(); }
    std::string lastErrors;
};

TEST_F(WorldTest, NewWorldStandsInRenibister)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    EXPECT_FLOAT_EQ(w.CurX, 13.0f);
    EXPECT_FLOAT_EQ(w.CurZ, -24.0f);
    EXPECT_EQ(w.facing, 0);
    EXPECT_EQ(w.getSquareX(), 13);
    EXPECT_EQ(w.getSquareY(), 24);
    EXPECT_FLOAT_EQ(w.viewX, 13.0f);
    EXPECT_STREQ(w.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(w.getVar(tagkey::Weather), 0x30003);
    EXPECT_EQ(w.getVar(tagkey::Light), 0);
    EXPECT_EQ(static_cast<uint32_t>(w.getVar(tagkey::WCalc)), GameClock_C::START_TICKS - 1);
    EXPECT_EQ(w.getMaxPack(), 8);
    EXPECT_EQ(w.getMaxItems(), 28);

    // Nightly at the start of day 7, hourly at 10:00.
    const QueueNode_S* n = w.getEventQueue().head();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->event->typeId(), EVENT_HOURLY);
    GameClock_C at;
    at.setTicks(n->due);
    EXPECT_EQ(at.getHour(), 10u);
    EXPECT_EQ(at.getMinute(), 0u);
    EXPECT_EQ(at.getDay(), 6u);
    ASSERT_NE(n->next, nullptr);
    EXPECT_EQ(n->next->event->typeId(), EVENT_NIGHTLY);
    at.setTicks(n->next->due);
    EXPECT_EQ(at.getDay(), 7u);
    EXPECT_EQ(at.getHour(), 0u);
    EXPECT_EQ(n->next->due - GameClock_C::START_TICKS, 5760u - (9 * 240 + 30 * 4));
}

TEST_F(WorldTest, TheSampleTownAndCatacombs)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    EXPECT_TRUE(town->isOutdoors());
    // The Hall stands on the start square; its door opens east onto its exit.
    ASSERT_TRUE(town->hasCellEvent(13, 24));
    EXPECT_EQ(town->getCellEvent(13, 24)->typeId(), 1000);
    EXPECT_FALSE(town->isBlocked(13, 24, 270));
    EXPECT_TRUE(town->isBlocked(13, 24, 0));
    EXPECT_FALSE(town->isBlocked(14, 24, 0)); // the main street goes on north
    EXPECT_GE(town->getStairsX(), 0);

    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    Map_C* dungeon = w.getCurrentMap();
    EXPECT_FALSE(dungeon->isOutdoors());
    EXPECT_TRUE(dungeon->hasSpecialLight());
    EXPECT_GE(dungeon->getStairsX(), 0);
    bool secret = false, billboard = false, hanging = false, tall = false;
    for (int x = 0; x < dungeon->getWidth(); ++x)
        for (int y = 0; y < dungeon->getHeight(); ++y) {
            const CellDef_S* c = dungeon->getCell(x, y);
            ASSERT_FALSE(c->missing) << x << "," << y;
            for (int f : {0, 90, 180, 270}) {
                secret |= c->isSecretDoor(f);
                if (c->getWall(f) && c->getWall(f)->level >= 2)
                    tall = true;
            }
            billboard |= c->billboard != nullptr;
            hanging |= c->hanging();
        }
    EXPECT_TRUE(secret && billboard && hanging && tall);
    for (int x = 0; x < town->getWidth(); ++x)
        for (int y = 0; y < town->getHeight(); ++y)
            ASSERT_FALSE(town->getCell(x, y)->missing) << x << "," << y;
}

TEST_F(WorldTest, TwoMapCache)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    town->getMapInfo()->orSquareState(13, 24, SQUARE_VISITED);

    // The map's own path changes nothing.
    w.setVar(tagkey::WCalc, 77);
    ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
    EXPECT_EQ(w.getCurrentMap(), town);
    EXPECT_EQ(w.getPreviousMap(), nullptr);
    EXPECT_EQ(w.getVar(tagkey::WCalc), 77);

    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    Map_C* dungeon = w.getCurrentMap();
    EXPECT_EQ(w.getPreviousMap(), town);
    // The weather was checked at once: indoors the next check is 2400 ticks on.
    EXPECT_EQ(static_cast<uint32_t>(w.getVar(tagkey::WCalc)), w.getClock().getTicks() + 2400);
    EXPECT_EQ(w.getVar(tagkey::Weather) & 0xF, 1);
    // Back and forth rebuilds nothing.
    ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
    EXPECT_EQ(w.getCurrentMap(), town);
    EXPECT_EQ(w.getPreviousMap(), dungeon);
    EXPECT_EQ(stores.store.stores, 0);

    // A third map drops the oldest, after storing its state.
    ASSERT_TRUE(w.newMap("grid-not-here.cfg") == false); // cannot be built: nothing changes
    EXPECT_NE(w.getMapError(), 0);
    EXPECT_EQ(w.getCurrentMap(), town);
    EXPECT_EQ(w.getPreviousMap(), dungeon);

    // The grid's companions are named relative to its own folder.
    InFolder fixtures(worldtest::fixtureDir());
    ASSERT_TRUE(w.newMap("grid.cfg"));
    EXPECT_EQ(w.getPreviousMap(), town);
    EXPECT_EQ(stores.store.entries.count("catacombs"), 1u);
}

// Another spelling of a map's path names the same map: no second copy with
// its own flags, traps and story state.
TEST_F(WorldTest, AMapIsOneMapHoweverItsPathIsSpelt)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::vector<std::string> spellings = {"./maps/renibister.cfg", "maps//renibister.cfg",
                                                "maps/../maps/./renibister.cfg", "MAPS/Renibister.CFG",
                                                std::string(cwd) + "/maps/renibister.cfg"};
    for (const std::string& s : spellings) {
        ASSERT_TRUE(w.newMap(s.c_str())) << s;
        EXPECT_EQ(w.getCurrentMap(), town) << s;
        EXPECT_EQ(w.getPreviousMap(), nullptr) << s;
    }
    // From below, back to the town kept as the previous map.
    ASSERT_TRUE(w.newMap("./maps/catacombs.cfg"));
    Map_C* dungeon = w.getCurrentMap();
    EXPECT_STREQ(dungeon->getFileName(), "maps/catacombs.cfg");
    for (const std::string& s : spellings) {
        ASSERT_TRUE(w.newMap(s.c_str())) << s;
        EXPECT_EQ(w.getCurrentMap(), town) << s;
        EXPECT_EQ(w.getPreviousMap(), dungeon) << s;
        ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
        EXPECT_EQ(w.getCurrentMap(), dungeon) << s;
    }
}

// The squares on which a script or a building may put the party: on the
// grid, on a square that can be entered, of a map that can be read; a map
// the party is not on is read for the look only.
TEST_F(WorldTest, SquaresThePartyCanStandOn)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    const struct {
        const char* map;
        int x, y;
        const char* why;   // "" when the party can stand there
    } cases[] = {
        {"maps/renibister.cfg", 14, 24, ""},
        {"./maps/renibister.cfg", 14, 24, ""},
        {"maps/renibister.cfg", -1, 24, "the square is off the map"},
        {"maps/renibister.cfg", 14, 1000, "the square is off the map"},
        {"maps/catacombs.cfg", 1, 2, ""},
        {"maps/catacombs.cfg", 0, 0, "the square cannot be entered"},   // solid rock
        {"maps/catacombs.cfg", 16, 2, "the square is off the map"},
        {"maps/nowhere.cfg", 1, 1, "that map cannot be read"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(w.canStand(c.map, c.x, c.y, &why), !*c.why) << c.map << " " << c.x << "," << c.y;
        EXPECT_EQ(why, c.why) << c.map << " " << c.x << "," << c.y;
    }
    EXPECT_EQ(w.getCurrentMap(), town) << "a look changes no map";
    EXPECT_EQ(w.getPreviousMap(), nullptr);
    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    EXPECT_FALSE(w.canStand("maps/catacombs.cfg", 0, 0));
    EXPECT_TRUE(w.canStand("maps/renibister.cfg", 14, 24));
}

// An event on a map that changes maps while it runs.
class MapHopper : public Event_C {
public:
    MapHopper(ra2dGameWorld* w, std::vector<const char*> hops) : world_(w), hops_(std::move(hops)) {}
    int typeId() const override { return 2000; }
    int invoke(Interface_C*) override
    {
        for (const char* h : hops_)
            world_->newMap(h);
        ++runs;
        return 0;
    }
    int runs = 0;

private:
    ra2dGameWorld* world_;
    std::vector<const char*> hops_;
};

TEST_F(WorldTest, AMapWhoseEventRunsIsNotDeletedUnderIt)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
    // The town's random event leaves for the catacombs and then a third map:
    // the town would be dropped while its event still runs.
    const std::string grid = std::string(VELL_TEST_FIXTURES) + "/world/grid.cfg";
    auto* hop = new MapHopper(&w, {"maps/catacombs.cfg", grid.c_str()});
    // Put the event where the map rolls it.
    town->addRandomEvent(std::unique_ptr<Event_C>(hop), 3000);
    vell::scriptGameRand({0, 0});
    InFolder fixtures(worldtest::fixtureDir()); // grid.cfg names its companions from here
    EXPECT_EQ(town->rollRandomEvents(nullptr), 1);
    EXPECT_EQ(hop->runs, 1); // ran to its end on a live map (ASan would see a freed one)
    EXPECT_STREQ(w.getCurrentMap()->getFileName(), vell::normalPath(grid).c_str());
    EXPECT_STREQ(w.getPreviousMap()->getFileName(), "maps/catacombs.cfg");
    EXPECT_EQ(stores.store.entries.count("renibister"), 1u);
}

// The party leaves a map during one of its events and comes back to it
// while the event still runs: the old map object is set aside, a new one is
// built, and the newest state of the map is what stays stored.
TEST_F(WorldTest, TheNewestStateOfAMapSetAsideDuringItsEventWins)
{
    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
    const std::string grid = std::string(VELL_TEST_FIXTURES) + "/world/grid.cfg";
    auto toGrid = [&] {
        InFolder fixtures(worldtest::fixtureDir()); // grid.cfg names its companions from here
        ASSERT_TRUE(w.newMap(grid.c_str()));
    };
    struct Trip : Event_C {
        std::function<void()> run;
        int typeId() const override { return 2000; }
        int invoke(Interface_C*) override
        {
            run();
            return 0;
        }
    };
    auto* trip = new Trip;
    trip->run = [&] {
        ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
        toGrid(); // the town is set aside: its event still runs
        town->getMapInfo()->orSquareState(1, 1, SQUARE_VISITED);
        ASSERT_TRUE(w.newMap("maps/renibister.cfg"));
        Map_C* again = w.getCurrentMap();
        ASSERT_NE(again, town);
        EXPECT_EQ(again->getSquareState(1, 1), SQUARE_VISITED) << "the new object starts from the latest state";
        again->getMapInfo()->orSquareState(2, 2, SQUARE_TRAP_SPRUNG);
        ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
        toGrid(); // the new town object is dropped, its state stored
    };
    town->addRandomEvent(std::unique_ptr<Event_C>(trip), 3000);
    vell::scriptGameRand({0, 0});
    EXPECT_EQ(town->rollRandomEvents(nullptr), 1);
    // The event has returned: the next change of map lets the old town go.
    ASSERT_TRUE(w.newMap("maps/catacombs.cfg"));
    std::unique_ptr<mapInfo> stored = stores.store.load("renibister");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->getSquareState(2, 2), SQUARE_TRAP_SPRUNG) << "the older state must not overwrite it";
    EXPECT_EQ(stored->getSquareState(1, 1), SQUARE_VISITED);
}

TEST_F(WorldTest, SaveAndLoadRoundTrip)
{
    ra2dGameWorld a("ra2d.dat");
    ASSERT_TRUE(a.newWorld());
    a.getClock().advance(123);
    a.CurX = 20.0f;
    a.CurZ = -19.0f;
    a.facing = 270;
    a.songBits = 5;
    a.songID = 0x000a2042;
    a.setVar(tagkey::WalkThrough, 0);
    a.setVar(tagkey::MagLt1, 4);
    a.getMaxPack() = 9;
    const uint64_t serial = a.nextItemSerial();
    a.getCurrentMap()->getMapInfo()->orSquareState(20, 19, SQUARE_VISITED);
    ASSERT_TRUE(a.newMap("maps/catacombs.cfg"));
    ASSERT_TRUE(a.newMap("maps/renibister.cfg"));

    MemStream_C s;
    a.write(s);
    EXPECT_EQ(stores.store.entries.count("renibister"), 1u); // current and previous map states
    EXPECT_EQ(stores.store.entries.count("catacombs"), 1u);

    std::unique_ptr<Storable_C> rec = ra2dGameWorld::create("ra2d.dat", 1, s);
    auto* b = dynamic_cast<ra2dGameWorld*>(rec.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getClock().getTicks(), a.getClock().getTicks());
    EXPECT_FLOAT_EQ(b->CurX, 20.0f);
    EXPECT_FLOAT_EQ(b->CurZ, -19.0f);
    EXPECT_FLOAT_EQ(b->viewX, 20.0f);
    EXPECT_FLOAT_EQ(b->viewZ, -19.0f);
    EXPECT_EQ(b->facing, 270);
    EXPECT_EQ(b->viewFacing, 270);
    EXPECT_EQ(b->songBits, 5);
    EXPECT_EQ(b->songID, 0x000a2042);
    EXPECT_EQ(b->getVar(tagkey::MagLt1), 4);
    EXPECT_EQ(b->getMaxPack(), 9);
    EXPECT_EQ(b->peekItemSerial(), serial + 1);
    EXPECT_EQ(b->getPreviousMap(), nullptr);
    EXPECT_STREQ(b->getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(b->getCurrentMap()->getSquareState(20, 19), SQUARE_VISITED);
    ASSERT_EQ(b->getEventQueue().count(), 2);
    EXPECT_EQ(b->getEventQueue().head()->due, a.getEventQueue().head()->due);
    EXPECT_EQ(b->getEventQueue().head()->serial, a.getEventQueue().head()->serial);
    EXPECT_EQ(b->getEventQueue().getNextSerial(), 2);

    // The same bytes again, but for the order of the variables, which is
    // the keyed list's own business.
    MemStream_C again;
    b->write(again);
    ASSERT_EQ(again.size(), s.size());
    const size_t tagsAt = 5 * 4 + 4 + std::strlen("maps/renibister.cfg") + 8 + 2 * 12 + 4 + 8;
    EXPECT_EQ(0, memcmp(again.data(), s.data(), tagsAt));
    EXPECT_EQ(0, memcmp(again.data() + s.size() - 8, s.data() + s.size() - 8, 8));
}

// The stored world to the byte: the grid world's part (position, facing,
// song, map path, timed events), then the shared part (clock, item serial,
// variables, item limits).
TEST_F(WorldTest, StoredWorldBytesBuiltByHand)
{
    ra2dGameWorld a("ra2d.dat");
    ASSERT_TRUE(a.newWorld());
    a.CurX = 20.0f;
    a.CurZ = -19.0f;
    a.facing = 270;
    a.songBits = 5;
    a.songID = 0x000a2042;
    const uint8_t expected[] = {
        0, 0, 0xA0, 0x41,                   // CurX 20.0
        0, 0, 0x98, 0xC1,                   // CurZ -19.0
        0x0E, 1, 0, 0,                      // facing 270
        5, 0, 0, 0,                         // songBits
        0x42, 0x20, 0x0A, 0,                // songID
        19, 0, 0, 0, 'm', 'a', 'p', 's', '/', 'r', 'e', 'n', 'i', 'b', 'i', 's', 't', 'e', 'r', '.', 'c', 'f', 'g',
        2, 0, 0, 0,                         // the queue: last serial
        2, 0, 0, 0,                         // entries, in due order
        0xE0, 0x37, 0xE4, 0x12, 2, 0, 0, 0, 0x2A, 0x23, 0, 0, // 10:00, serial 2, hourly 9002
        0x00, 0x45, 0xE4, 0x12, 1, 0, 0, 0, 0x28, 0x23, 0, 0, // midnight, serial 1, nightly 9000
        0x68, 0x37, 0xE4, 0x12,             // clock: day 6 of month 3, year 152, 9:30
        1, 0, 0, 0, 0, 0, 0, 0,             // next item serial
        3, 0, 0, 0,                         // variables, newest first
        5, 0, 0, 0, 'L', 'i', 'g', 'h', 't', 2, 0, 0, 0, 0,
        5, 0, 0, 0, 'W', 'C', 'a', 'l', 'c', 2, 0x67, 0x37, 0xE4, 0x12,
        7, 0, 0, 0, 'W', 'e', 'a', 't', 'h', 'e', 'r', 2, 3, 0, 3, 0,
        8, 0, 0, 0,                         // max pack items
        28, 0, 0, 0,                        // max items
    };
    MemStream_C s;
    a.write(s);
    ASSERT_EQ(s.size(), sizeof expected);
    for (size_t i = 0; i < sizeof expected; ++i)
        ASSERT_EQ(s.data()[i], expected[i]) << "first difference at byte " << i;
    EXPECT_EQ(a.typeId(), 100);
    EXPECT_EQ(a.version(), 1);

    MemStream_C in;
    in.write(expected, sizeof expected);
    std::unique_ptr<Storable_C> rec = ra2dGameWorld::create("ra2d.dat", 1, in);
    auto* b = dynamic_cast<ra2dGameWorld*>(rec.get());
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(b->CurX, 20.0f);
    EXPECT_FLOAT_EQ(b->CurZ, -19.0f);
    EXPECT_EQ(b->facing, 270);
    EXPECT_EQ(b->songID, 0x000a2042);
    EXPECT_EQ(b->getClock().getTicks(), GameClock_C::START_TICKS);
    EXPECT_EQ(b->getVar(tagkey::Weather), 0x30003);
    EXPECT_EQ(b->getEventQueue().count(), 2);
    EXPECT_EQ(b->getEventQueue().getNextSerial(), 2);
    EXPECT_EQ(b->getMaxItems(), 28);
}

// What the world's writers take, their readers read: the world and a map
// state written with the ends of every range, read back twice (a reading
// turns the variables round) to the same bytes.
TEST_F(WorldTest, RecordsWrittenWithExtremeValuesReadBack)
{
    auto twice = [](const Storable_C& record, auto create) {
        MemStream_C s;
        record.write(s);
        const std::string first(reinterpret_cast<const char*>(s.data()), s.size());
        for (int round = 0; round < 2; ++round) {
            std::unique_ptr<Storable_C> back = create(record.getName(), record.version(), s);
            if (!back)
                return ::testing::AssertionFailure() << "not read back (round " << round << ")";
            s.clear();
            back->write(s);
        }
        if (std::string(reinterpret_cast<const char*>(s.data()), s.size()) != first)
            return ::testing::AssertionFailure() << "read back, it writes other bytes";
        return ::testing::AssertionSuccess();
    };

    ra2dGameWorld w("ra2d.dat");
    ASSERT_TRUE(w.newWorld());
    Map_C* town = w.getCurrentMap();
    w.CurX = static_cast<float>(town->getWidth()) - 0.25f; // the far corner
    w.CurZ = -(static_cast<float>(town->getHeight()) - 0.25f);
    w.facing = 270;
    w.songBits = INT32_MIN;
    w.songID = -1;
    w.getClock().setTicks(UINT32_MAX);
    w.skipItemSerialsThrough(UINT64_MAX - 1);
    w.getMaxPack() = INT32_MIN;
    w.getMaxItems() = INT32_MAX;
    w.setVar("", INT32_MIN);
    w.setVar(std::string(5000, '\xff').c_str(), INT32_MAX);
    EventQueue_C& q = w.getEventQueue();
    q.enqueue(UINT32_MAX, createTimedEvent(EVENT_BARD_SONG).release());
    ASSERT_EQ(q.count(), 3);
    town->getMapInfo()->getTagList().setInt("Lever", INT32_MIN);
    for (int x = 0; x < town->getWidth(); ++x)
        town->getMapInfo()->setSquareState(x, 0, 0xFF);
    EXPECT_TRUE(twice(w, &ra2dGameWorld::create));
    bl3dGameWorld base("base");
    base.getClock().setTicks(UINT32_MAX);
    base.skipItemSerialsThrough(UINT64_MAX - 1);
    base.getMaxPack() = INT32_MAX;
    base.getMaxItems() = INT32_MIN;
    base.setVar("", INT32_MAX);
    EXPECT_TRUE(twice(base, &bl3dGameWorld::create));

    // A map state from a monster file with the ends of every number.
    InFolder fixtures(worldtest::fixtureDir());
    MonsterTypes types{"Rat", "Giant Rat"};
    const std::string path = std::string(::testing::TempDir()) + "vell_extreme.mon";
    {
        std::ofstream mon(path);
        mon << "2 2147483647\n"
            << "Rat -2147483648 2147483647 -2147483648 2147483647 2147483647 -2147483648 2147483647 0xFFFFFFFF\n"
            << "Giant_Rat 2147483647 -2147483648 2147483647 2147483647 -2147483648 2147483647 -2147483648 0x80000000\n";
    }
    mapInfo m("grid", 1, 1);
    ASSERT_TRUE(m.loadMonsters(path.c_str()));
    std::remove(path.c_str());
    ASSERT_EQ(m.getMonsterCount(), 2);
    EXPECT_EQ(m.getWeightTotal(), INT32_MAX) << "summed without overflow";
    EXPECT_EQ(m.getRemainingTotal(), -1);
    m.getTagList().setIntKind1("", INT32_MAX);
    m.setSquareState(0, 0, 0xFF);
    EXPECT_TRUE(twice(m, &mapInfo::create));
}

TEST_F(WorldTest, AFailedMapStoreIsReported)
{
    struct Refusing : MapStateStore_C {
        std::unique_ptr<mapInfo> load(const char*) override { return nullptr; }
        bool store(const mapInfo&) override { return false; }
    } refusing;
    ra2dGameWorld a("ra2d.dat");
    ASSERT_TRUE(a.newWorld());
    MemStream_C s;
    a.write(s);
    EXPECT_TRUE(a.mapStatesStored());
    setMapStateStore(&refusing);
    a.write(s);
    EXPECT_FALSE(a.mapStatesStored());
    setMapStateStore(&stores.store);
}

TEST_F(WorldTest, BrokenOrStrayWorldRecords)
{
    ra2dGameWorld a("ra2d.dat");
    ASSERT_TRUE(a.newWorld());
    MemStream_C s;
    a.write(s);
    const std::string bytes(reinterpret_cast<const char*>(s.data()), s.size());
    for (size_t cut : {size_t(0), size_t(3), size_t(19), size_t(40), bytes.size() - 1}) {
        MemStream_C m;
        m.write(bytes.data(), static_cast<uint32_t>(cut));
        EXPECT_EQ(ra2dGameWorld::create("ra2d.dat", 1, m), nullptr) << cut;
    }

    // A stored position off its map is put back on it; a strange facing to 0.
    a.CurX = 400.0f;
    a.CurZ = std::nanf("");
    a.facing = 45;
    MemStream_C off;
    a.write(off);
    std::unique_ptr<Storable_C> rec = ra2dGameWorld::create("ra2d.dat", 1, off);
    auto* b = dynamic_cast<ra2dGameWorld*>(rec.get());
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->getCurrentMap()->inGrid(b->getSquareX(), b->getSquareY()));
    EXPECT_EQ(b->facing, 0);

    // A world whose map cannot be built is not taken.
    MemStream_C lost;
    lost.write(bytes.data(), 20);
    RefStr_C("maps/nowhere.cfg").write(lost);
    const size_t afterPath = 20 + 4 + std::strlen("maps/renibister.cfg");
    lost.write(bytes.data() + afterPath, static_cast<uint32_t>(bytes.size() - afterPath));
    EXPECT_EQ(ra2dGameWorld::create("ra2d.dat", 1, lost), nullptr);
}

TEST_F(WorldTest, TypeRegistryBuildsWorldRecords)
{
    registerWorldTypes();
    EXPECT_TRUE(getTypeRegistry().has(TYPE_RA2D_WORLD));
    EXPECT_TRUE(getTypeRegistry().has(TYPE_GAME_WORLD));
    EXPECT_TRUE(getTypeRegistry().has(TYPE_MAP_INFO));
    bl3dGameWorld base("base");
    base.setVar(tagkey::Light, 3);
    MemStream_C s;
    base.write(s);
    std::unique_ptr<Storable_C> rec = getTypeRegistry().create(TYPE_GAME_WORLD, "base", 1, s);
    auto* back = dynamic_cast<bl3dGameWorld*>(rec.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getVar(tagkey::Light), 3);
    EXPECT_EQ(back->getClock().getTicks(), GameClock_C::START_TICKS);
}

// Serials already handed out (items a quest's party brings along) are
// skipped; the counter never goes back and a serial at the very end cannot
// make it wrap.
TEST(WorldSerials, SkippingSerialsOnlyMovesForward)
{
    const struct {
        uint64_t last;
        uint64_t next;
    } cases[] = {{0, 5}, {3, 5}, {4, 5}, {5, 6}, {41, 42}, {UINT64_MAX, 5}};
    for (const auto& c : cases) {
        bl3dGameWorld w(RefStr_C("w.dat"));
        for (int i = 0; i < 4; ++i)
            w.nextItemSerial();
        w.skipItemSerialsThrough(c.last);
        EXPECT_EQ(w.peekItemSerial(), c.next) << c.last;
    }
}

} // namespace
