// Map files and the cell grid: every variant of the configuration file and
// its failure codes, the cell table, events, and blocking on a small grid
// for every cell type, edge and corner.
#include "WorldTestUtil.h"

#include "core/TextureList.h"
#include "platform/Random.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "world/Event.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

struct GridTest : ::testing::Test {
    InFolder folder{worldtest::fixtureDir()};
    StoreScope stores;
    std::unique_ptr<Map_C> map;

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        testing::internal::CaptureStderr();
        map = std::make_unique<Map_C>("grid.cfg");
        errors = testing::internal::GetCapturedStderr();
        ASSERT_EQ(map->getLoadError(), Map_C::LOAD_OK) << errors;
    }
    std::string errors;
};

struct BlockCase {
    int x, y, facing;
    bool blocked;
    const char* why;
};

TEST_F(GridTest, BlockingForEveryCellTypeEdgeAndCorner)
{
    // See grid.cfg for the plan.
    const BlockCase cases[] = {
        // corners and edges of the grid
        {0, 0, 180, true, "south from row 0"},
        {0, 0, 90, true, "west from column 0"},
        {0, 0, 0, false, "north into open street"},
        {4, 4, 0, true, "north from the top row"},
        {4, 4, 270, true, "east from the last column"},
        {4, 4, 90, false, "west into the secret door's square: its east wall is no solid wall"},
        {4, 0, 270, true, "east from the last column"},
        {0, 4, 0, true, "north from the top row"},
        // facings and squares that cannot be
        {2, 1, 45, true, "not a facing"},
        {-1, 1, 270, true, "outside the grid"},
        {5, 1, 90, true, "outside the grid"},
        {1, 5, 180, true, "outside the grid"},
        // type 1 with walls: its own walls and a neighbour's
        {2, 2, 0, true, "own north wall"},
        {2, 2, 270, true, "own east wall"},
        {1, 2, 270, true, "the box's west wall faces the mover"},
        {2, 1, 0, true, "the box's south wall"},
        {2, 3, 180, true, "the box's north wall"},
        // type 2: never entered, its own walls still hold a party in it
        {0, 0, 270, true, "closed square east"},
        {1, 1, 180, true, "closed square south"},
        {1, 0, 0, false, "leaving a closed square without walls"},
        {3, 0, 0, true, "closed square's own north wall"},
        {3, 1, 180, true, "closed square with walls"},
        // type 3, threshold 2: a level 1 wall hangs above the way, level 3 blocks
        {0, 2, 0, false, "own low north wall"},
        {0, 3, 180, false, "into the hanging square under its low wall"},
        {0, 2, 180, true, "own high south wall"},
        {0, 1, 0, true, "the hanging square's high south wall"},
        // type 4: never entered
        {3, 2, 270, true, "into type 4"},
        {4, 1, 0, true, "into type 4 from the south"},
        {4, 2, 90, false, "leaving type 4 without walls"},
        // a wall whose texture is not solid
        {1, 4, 270, false, "soft west wall of the square ahead"},
        {2, 4, 90, false, "own soft west wall"},
        // an unknown cell name is a closed square, never a null one
        {1, 2, 0, true, "into the unknown cell"},
        {0, 3, 270, true, "into the unknown cell from the west"},
        {1, 3, 270, false, "leaving it is allowed"},
    };
    for (const BlockCase& c : cases)
        EXPECT_EQ(map->isBlocked(c.x, c.y, c.facing), c.blocked)
            << "(" << c.x << ", " << c.y << ") facing " << c.facing << ": " << c.why;
}

TEST_F(GridTest, UnknownCellNamesAndStrayLinesAreReported)
{
    EXPECT_NE(errors.find("Couldn't get NOSUCH"), std::string::npos);
    EXPECT_NE(errors.find("cell (7, 1) outside the grid"), std::string::npos);
    EXPECT_NE(errors.find("cell (-1, 2) outside the grid"), std::string::npos);
    for (int x = 0; x < map->getWidth(); ++x)
        for (int y = 0; y < map->getHeight(); ++y)
            ASSERT_NE(map->getCell(x, y), nullptr) << x << "," << y;
    EXPECT_TRUE(map->getCell(1, 3)->missing);
    EXPECT_EQ(map->getCell(5, 0), nullptr);
    EXPECT_EQ(map->getCell(1, 1)->type, CellDef_S::PLAIN); // the stray "7 1 BOX" touched nothing
}

TEST_F(GridTest, WalkingThroughWallsNeverLeavesTheGrid)
{
    for (int y = 0; y < 5; ++y) {
        EXPECT_TRUE(map->leavesGrid(0, y, 90));
        EXPECT_TRUE(map->leavesGrid(4, y, 270));
        EXPECT_FALSE(map->leavesGrid(2, y, 90));
    }
    for (int x = 0; x < 5; ++x) {
        EXPECT_TRUE(map->leavesGrid(x, 0, 180));
        EXPECT_TRUE(map->leavesGrid(x, 4, 0));
    }
    EXPECT_FALSE(map->leavesGrid(2, 2, 0)); // a wall is no edge
    EXPECT_TRUE(map->leavesGrid(2, 2, 30));
    EXPECT_TRUE(map->leavesGrid(-1, 2, 0));
}

TEST_F(GridTest, FreeMovementBlocking)
{
    struct FreeCase {
        float x, y;
        int facing;
        int bits;
    } const cases[] = {
        {1.0f, 1.0f, 0, 0},      // the middle of an open square
        {1.3f, 2.0f, 270, 2},    // against the box's west wall
        {2.0f, 1.3f, 0, 1},      // against the box's south wall
        {0.0f, -0.3f, 180, 1},   // the south edge of the grid
        {-0.3f, 1.0f, 90, 2},    // the west edge
        {4.0f, 4.3f, 0, 1},      // the north edge
        {4.3f, 4.0f, 270, 2},    // the east edge
        {-0.6f, 1.0f, 90, 3},    // outside
        {1.0f, 5.2f, 0, 3},      // outside
        {3.35f, 3.35f, 315, 0},  // an open corner, whatever the facing
        // Near the north-east corner of (1, 1): the diagonal square (2, 2) is
        // the box, whose south and west walls stop a body cutting the corner.
        {1.35f, 1.35f, 0, 3},
    };
    for (const FreeCase& c : cases)
        EXPECT_EQ(map->freeMoveBlocked(c.x, c.y, c.facing), c.bits) << c.x << "," << c.y << " facing " << c.facing;
}

TEST_F(GridTest, SectionsOfTheConfigurationFile)
{
    EXPECT_STREQ(map->getTitle(), "Grid");
    EXPECT_TRUE(map->isOutdoors());
    ASSERT_EQ(map->getSounds().size(), 2u);
    EXPECT_EQ(map->getSounds()[0].path, "sounds/grid/day.env");
    EXPECT_EQ(map->getSounds()[1].hour, 20);
    EXPECT_EQ(map->getStairsX(), 3);
    EXPECT_EQ(map->getStairsY(), 3);
    ASSERT_EQ(map->getTraps().size(), 1u); // the trap at (9, 9) lies outside
    EXPECT_TRUE(map->getTraps()[0].isSpinner());
    EXPECT_EQ(map->getTraps()[0].getId(), 7u);
    EXPECT_TRUE(map->getCell(3, 4)->isSecretDoor(270));
    EXPECT_FALSE(map->getCell(3, 4)->isSecretDoor(0));
    EXPECT_NE(map->getCell(1, 0)->billboard, nullptr);
}

TEST_F(GridTest, EventsLoadAsPlaceholdersAndStrayEntriesAreSkipped)
{
    ASSERT_TRUE(map->hasCellEvent(1, 1));
    EXPECT_EQ(map->getCellEvent(1, 1)->typeId(), 1000);
    EXPECT_TRUE(map->cellEventNoAnim(1, 1));
    ASSERT_TRUE(map->hasCellEvent(2, 1));
    EXPECT_FALSE(map->cellEventNoAnim(2, 1)); // no noanim value: 0
    EXPECT_FALSE(map->hasCellEvent(3, 1));    // 1004 names no event
    EXPECT_NE(errors.find("no event has id 1004"), std::string::npos);
    EXPECT_NE(errors.find("event at (9, 9) outside the grid"), std::string::npos);
    EXPECT_FALSE(map->hasCellEvent(-1, 0));

    // Random events are kept last first.
    const auto& r = map->getRandomEvents();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].probability, 300);
    EXPECT_EQ(r[1].probability, 200);
    EXPECT_EQ(r[2].probability, 100);
    EXPECT_EQ(r[1].event->typeId(), 1006);
    EXPECT_EQ(map->getRandomEventTries(), 9);
}

TEST_F(GridTest, RandomEventRolls)
{
    // k = 1 (probability 200): 150 < 200 fires at once.
    vell::scriptGameRand({1, 150});
    EXPECT_EQ(map->rollRandomEvents(nullptr), 1);
    // Nine tries that all miss.
    std::vector<int> misses;
    for (int i = 0; i < 9; ++i) {
        misses.push_back(i % 3);
        misses.push_back(2999);
    }
    vell::scriptGameRand(misses);
    EXPECT_EQ(map->rollRandomEvents(nullptr), 0);
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
}

TEST(CellTable, LinesAndTheirFaults)
{
    InFolder folder(worldtest::fixtureDir());
    TextureList_C textures;
    auto add = [&](const char* name, uint8_t solid, uint8_t level, int32_t value) {
        auto t = std::make_unique<Texture_S>();
        t->solid = solid;
        t->level = level;
        t->value = value;
        textures.add(name, std::move(t));
    };
    add("wall", 1, 1, 0);
    add("tall", 1, 4, 0);
    CellDefList_C cells;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(cells.load("grid.cel", &textures));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ERROR: Bad line in cell config!\n\tSHORT"), std::string::npos);
    EXPECT_NE(err.find("ERROR: Bad line in cell config (type 1/2)!\n\tNOFLOOR"), std::string::npos);
    EXPECT_NE(err.find("ERROR: Bad line in cell config (type 3/4)!\n\tNOTHR"), std::string::npos);
    ASSERT_NE(cells.find("NOFLOOR"), nullptr); // kept without floor and billboard
    ASSERT_NE(cells.find("NOTHR"), nullptr);   // kept with threshold 0
    EXPECT_EQ(cells.find("NOTHR")->threshold, 0);
    EXPECT_EQ(cells.find("SHORT"), nullptr);
    EXPECT_EQ(cells.find("HANG3")->threshold, 2);
    EXPECT_EQ(cells.find("nwall"), nullptr); // exact names

    // A later line of a name wins.
    EXPECT_TRUE(cells.parseLine("TWICE tall NULL NULL NULL 1 NULL NULL", &textures));
    EXPECT_TRUE(cells.parseLine("TWICE wall NULL NULL NULL 1 NULL NULL", &textures));
    EXPECT_EQ(cells.find("TWICE")->wall[0]->level, 1);
    // Names too long for the table and types that do not exist are refused.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cells.parseLine("ABCDEFGHIJKLMNOPQ wall wall wall wall 1 NULL NULL", &textures));
    EXPECT_FALSE(cells.parseLine("ODD wall wall wall wall 7 NULL NULL", &textures));
    testing::internal::GetCapturedStderr();

    CellDefList_C none;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(none.load("no-such.cel", &textures));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR: Could not open file: no-such.cel"),
              std::string::npos);
    EXPECT_EQ(none.count(), 0);
}

TEST(CellDef, WallRulesAndBadFacings)
{
    Texture_S low;
    low.solid = 1;
    low.level = 1;
    CellDef_S c;
    c.wall[1] = &low;
    EXPECT_TRUE(c.hasWall(90));
    EXPECT_FALSE(c.hasWall(45));
    EXPECT_FALSE(c.hasWall(-90));
    EXPECT_TRUE(c.wallBlocks(90));
    c.type = CellDef_S::HANGING;
    c.threshold = 2;
    EXPECT_FALSE(c.wallBlocks(90));
    c.threshold = 1;
    EXPECT_TRUE(c.wallBlocks(90)); // level 1 is not below threshold 1
    EXPECT_TRUE(c.neighbourBlocks(270)); // a mover heading east meets the west wall
    EXPECT_FALSE(c.neighbourBlocks(90));
}

// --- variants of the configuration file ------------------------------------------

struct Variant {
    const char* what;
    const char* text;
    int error;
};

const char* const GRID_LINE2 = "grid.tex grid.cel grid.evt\n";

class MapVariants : public ::testing::Test {
protected:
    InFolder folder{worldtest::fixtureDir()};
    StoreScope stores;
    std::string path = ::testing::TempDir() + "vell_world_variant.cfg";

    std::unique_ptr<Map_C> build(const std::string& text, std::string* err = nullptr)
    {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << text;
        }
        testing::internal::CaptureStderr();
        auto m = std::make_unique<Map_C>(path.c_str());
        std::string e = testing::internal::GetCapturedStderr();
        if (err)
            *err = e;
        return m;
    }
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(MapVariants, FailureCodes)
{
    const std::string head = std::string("Grid 5 5 floor.dat\n") + GRID_LINE2;
    const Variant cases[] = {
        {"ends after line 1", "Grid 5 5 floor.dat\n", Map_C::LOAD_EARLY_EOF},
        {"ends after line 2", "Grid 5 5 floor.dat\ngrid.tex grid.cel\n", Map_C::LOAD_EARLY_EOF},
        {"empty", "", Map_C::LOAD_EARLY_EOF},
        {"no size", "Grid\n", Map_C::LOAD_EARLY_EOF},
        {"zero width", "Grid 0 5 floor.dat\ngrid.tex grid.cel\nsnd 0\n", Map_C::LOAD_EARLY_EOF},
        {"huge grid", "Grid 100000 100000 floor.dat\ngrid.tex grid.cel\nsnd 0\n", Map_C::LOAD_EARLY_EOF},
        {"ends among the sound lines", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 2\na 1\n", Map_C::LOAD_SOUNDS_EOF},
        {"ends among the traps", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 2\n1 1 1 1\n",
         Map_C::LOAD_EARLY_EOF},
        {"ends right after the traps", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 1\n1 1 1 1\n",
         Map_C::LOAD_EARLY_EOF},
        {"ends among the random items", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 2\n",
         Map_C::LOAD_EARLY_EOF},
        {"unknown random item",
         "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 1\nNo_Such_Thing 5\n0 0 BOX\n",
         Map_C::LOAD_BAD_ITEM},
        {"trap count beyond reason", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 -4\n0 0 BOX\n",
         Map_C::LOAD_EARLY_EOF},
        {"no cell line after the random items", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n",
         Map_C::LOAD_EARLY_EOF},
        {"a whole map", "Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n0 0 BOX\n",
         Map_C::LOAD_OK},
    };
    for (const Variant& v : cases) {
        std::unique_ptr<Map_C> m = build(v.text);
        EXPECT_EQ(m->getLoadError(), v.error) << v.what;
        if (v.error != Map_C::LOAD_OK) {
            // A broken map holds no grid that could be walked or indexed.
            EXPECT_EQ(m->getWidth() * m->getHeight(), 0) << v.what;
            EXPECT_TRUE(m->isBlocked(0, 0, 0)) << v.what;
            EXPECT_EQ(m->getSquareState(0, 0), 0) << v.what;
        }
    }
    std::string err;
    build("Grid 5 5 f\ngrid.tex grid.cel\nsnd 2\na 1\n", &err);
    EXPECT_NE(err.find("ERROR! Unexpected EOF on map file read!"), std::string::npos);
    build("Grid 5 5 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 1\nNo_Such_Thing 5\n", &err);
    EXPECT_NE(err.find("ERROR! Unknown item No Such Thing!"), std::string::npos);
}

TEST_F(MapVariants, MissingFileIsAnError)
{
    testing::internal::CaptureStderr();
    Map_C m("no/such/map.cfg");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not open map file no/such/map.cfg"),
              std::string::npos);
    EXPECT_EQ(m.getLoadError(), Map_C::LOAD_EARLY_EOF);
}

TEST_F(MapVariants, FirstLineDecidesCeilingAndBackdrop)
{
    const std::string rest = "snd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n0 0 DEFAULT\n";
    EXPECT_TRUE(build("Grid 5 5 floor.dat\n" + std::string(GRID_LINE2) + rest)->isOutdoors());
    EXPECT_TRUE(build("Grid 5 5 floor.dat NULL\n" + std::string(GRID_LINE2) + rest)->isOutdoors());
    auto indoor = build("Grid 5 5 floor.dat ceil.dat NULL\n" + std::string(GRID_LINE2) + rest);
    EXPECT_FALSE(indoor->isOutdoors());
    EXPECT_TRUE(indoor->hasCeiling());
    EXPECT_EQ(indoor->getLoadError(), Map_C::LOAD_OK);
}

TEST_F(MapVariants, SpecialLightLine)
{
    auto m = build("Grid 5 5 f c\n" + std::string(GRID_LINE2) +
                   "SPECLITE 0.1 0.2 0.3 0.4 0.5 0.6 0.7\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n0 0 DEFAULT\n");
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    EXPECT_TRUE(m->hasSpecialLight());
    EXPECT_FLOAT_EQ(m->getFogColour()[2], 0.3f);
    EXPECT_FLOAT_EQ(m->getFogColour()[3], 1.0f);
    EXPECT_FLOAT_EQ(m->getFogDensity(), 0.4f);
    EXPECT_FLOAT_EQ(m->getSpecialLight()[0], 0.5f);
    auto plain = build("Grid 5 5 f\n" + std::string(GRID_LINE2) + "snd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n0 0 BOX\n");
    ASSERT_EQ(plain->getLoadError(), Map_C::LOAD_OK);
    EXPECT_FALSE(plain->hasSpecialLight());
}

TEST_F(MapVariants, SoundSegmentsNeedAnHourOfTheDay)
{
    std::string err;
    auto m = build("Grid 5 5 f\n" + std::string(GRID_LINE2) +
                       "snd 6\ndawn.env 5\nnohour.env\nlate.env 24\nbefore.env -1\nword.env six\nnight.env 23\n"
                       "SPECCELL 1 1 0\nRANDITEMS 0\n0 0 BOX\n",
                   &err);
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    ASSERT_EQ(m->getSounds().size(), 2u);
    EXPECT_EQ(m->getSounds()[0].path, "snd/dawn.env");
    EXPECT_EQ(m->getSounds()[0].hour, 5);
    EXPECT_EQ(m->getSounds()[1].path, "snd/night.env");
    EXPECT_EQ(m->getSounds()[1].hour, 23);
    for (const char* skipped : {"nohour.env", "late.env 24", "before.env -1", "word.env six"})
        EXPECT_NE(err.find(std::string("skipped: ") + skipped), std::string::npos) << skipped;
}

TEST_F(MapVariants, WithoutSpeccellTheLineIsTriedAgain)
{
    std::string err;
    // The line after the sounds is neither SPECCELL nor RANDITEMS: a cell line.
    auto m = build("Grid 5 5 f\n" + std::string(GRID_LINE2) + "snd 0\n2 2 BOX\n", &err);
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    EXPECT_EQ(m->getStairsX(), -1);
    EXPECT_EQ(m->getStairsY(), -1);
    EXPECT_TRUE(m->getTraps().empty());
    EXPECT_NE(err.find("ERROR! Map file has no SPECCELL line!"), std::string::npos);
    EXPECT_NE(err.find("ERROR! Map file has no RANDITEMS line!"), std::string::npos);
    EXPECT_TRUE(m->isBlocked(2, 2, 0));
}

TEST_F(MapVariants, OverlongLinesAreCutNotSplit)
{
    std::string err;
    // The tail of an over-long line would parse as the cell line "3 3 BOX".
    const std::string longLine = "0 0 DEFAULT" + std::string(150, ' ') + "3 3 BOX";
    auto m = build("Grid 5 5 f\n" + std::string(GRID_LINE2) + "snd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n" + longLine + "\n",
                   &err);
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    EXPECT_NE(err.find("Line longer than 147 characters cut"), std::string::npos);
    EXPECT_FALSE(m->isBlocked(3, 2, 0));
}

TEST_F(MapVariants, MissingDefaultCellGivesClosedSquares)
{
    std::string err;
    const std::string cel = ::testing::TempDir() + "vell_world_nodefault.cel";
    {
        std::ofstream out(cel);
        out << "BOX wall wall wall wall 1 NULL NULL\n";
    }
    auto m = build("Grid 3 3 f\ngrid.tex " + cel + "\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n1 1 BOX\n", &err);
    std::remove(cel.c_str());
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    EXPECT_NE(err.find("ERROR: Could not get default cell!"), std::string::npos);
    EXPECT_TRUE(m->getCell(0, 0)->missing);
    EXPECT_TRUE(m->isBlocked(0, 1, 0));
    EXPECT_TRUE(m->isBlocked(1, 0, 0)); // into the box
    EXPECT_FALSE(m->getCell(1, 1)->missing);
}

TEST_F(MapVariants, EventFileThatCannotBeOpened)
{
    std::string err;
    auto m = build("Grid 5 5 f\ngrid.tex grid.cel no-such.evt\nsnd 0\nSPECCELL 1 1 0\nRANDITEMS 0\n0 0 DEFAULT\n", &err);
    EXPECT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    EXPECT_NE(err.find("Could not open event file no-such.evt"), std::string::npos);
    EXPECT_TRUE(m->getRandomEvents().empty());
}

// Random items come from the map's table by weight, one roll each; an empty
// table (or one that weighs nothing) gives none and rolls nothing.
TEST_F(MapVariants, RandomItemsAreDrawnByWeight)
{
    const bool listWasEmpty = masterITL.count() == 0;
    for (auto [id, name] : {std::pair<int, const char*>{7001, "Coil of Rope"}, {7002, "Tin Lantern"},
                            {7003, "Lump of Wax"}}) {
        if (!masterITL.findById(id)) {
            auto* t = new bl3dItemType();
            t->setBasics(id, name, "", 1);
            ASSERT_TRUE(masterITL.insert(t));
        }
    }
    const std::string head = "Grid 3 3 f\ngrid.tex grid.cel\nsnd 0\nSPECCELL 1 1 0\n";
    auto m = build(head + "RANDITEMS 3\nCoil_of_Rope 1\nLump_of_Wax 0\nTin_Lantern 3\n0 0 DEFAULT\n");
    ASSERT_EQ(m->getLoadError(), Map_C::LOAD_OK);
    ASSERT_EQ(m->getRandItemTotal(), 4);
    // r = roll % 4: 0 is the rope's, 1..3 the lantern's; the wax weighs nothing.
    const struct {
        int roll;
        int32_t id;
    } draws[] = {{0, 7001}, {1, 7002}, {3, 7002}, {4, 7001}, {32767, 7002}};
    for (const auto& d : draws) {
        vell::scriptGameRand({d.roll});
        std::unique_ptr<bl3dItem> item(m->randItem());
        ASSERT_NE(item, nullptr) << d.roll;
        EXPECT_EQ(item->getType()->getID(), d.id) << d.roll;
    }
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);

    for (const char* table : {"RANDITEMS 0\n", "RANDITEMS 1\nLump_of_Wax 0\n"}) {
        auto none = build(head + table + "0 0 DEFAULT\n");
        ASSERT_EQ(none->getLoadError(), Map_C::LOAD_OK) << table;
        vell::scriptGameRand({0});
        EXPECT_EQ(none->randItem(), nullptr) << table;
        EXPECT_EQ(vell::scriptedGameRandLeft(), 1u) << table;
        vell::clearScriptedGameRand();
    }
    m.reset();
    if (listWasEmpty)
        masterITL.clear();
}

TEST(MapNames, BaseName)
{
    EXPECT_EQ(Map_C::baseName("maps/renibister.cfg"), "renibister");
    EXPECT_EQ(Map_C::baseName("a/b.c/d.e.f"), "d");
    EXPECT_EQ(Map_C::baseName("plain"), "plain");
}

} // namespace
