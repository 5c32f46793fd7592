// Classes, level tables and item-creation kinds: their files, what a class
// allows and gives, and the experience a level needs.
#include "MonsterTestEnv.h"

#include "rules/ClassDefFile.h"
#include "rules/Item.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"

#include <cstring>
#include <limits>
#include <memory>
#include <unistd.h>

namespace {

using ClassDefTest = MonsterRulesTest;

ClassDef_S sampleClass() {
    ClassDef_S c;
    c.name = "Land Reaver";
    c.classId = 0x1;
    c.levelTable = 1;
    c.hpDie = 10;
    c.spDie = 0;
    c.hpBonus = 1;
    c.spBonus = 2;
    c.spStat = 1;
    c.acBonus = 1;
    c.acStat = 3;
    c.races = {1, 4, 7};
    c.requirements = {{0, 12}, {4, 10}};
    c.modifiers = {{9, 1}, {0, 2}};
    ClassTag_S t;
    t.key = "berserkCur";
    t.value.setInt2(3);
    c.tags.push_back(t);
    t.key = "Hidden";
    t.value.setBool(true);
    c.tags.push_back(t);
    c.list1 = {1, 2, 3};
    c.startingItems = {{100, true}, {60, false}};
    return c;
}

LevelTable_S table(std::vector<int32_t> thresholds, int32_t step) {
    LevelTable_S t;
    t.name = "Arms";
    t.thresholds = std::move(thresholds);
    t.step = step;
    return t;
}

TEST_F(ClassDefTest, ClassFileKeepsEveryField) {
    std::vector<ClassDef_S> classes{sampleClass(), sampleClass()};
    classes[1].name = "Harper";
    classes[1].classId = 0x2;
    classes[1].list2 = {9};
    std::vector<LevelTable_S> tables{table({1000, 2000}, 500), table({}, 0)};
    MemStream_C s;
    vell::writeClassFile(s, classes, tables);
    std::vector<ClassDef_S> c2;
    std::vector<LevelTable_S> t2;
    std::string why;
    ASSERT_TRUE(vell::parseClassFile(s, c2, t2, &why)) << why;
    ASSERT_EQ(c2.size(), 2u);
    ASSERT_EQ(t2.size(), 2u);
    MemStream_C again;
    vell::writeClassFile(again, c2, t2);
    EXPECT_EQ(streamBytes(again), streamBytes(s)) << "read and written again byte for byte";
    const ClassDef_S& c = c2[0];
    EXPECT_EQ(c.name, "Land Reaver");
    EXPECT_EQ(c.getHPDie(), 10);
    EXPECT_EQ(c.getSPStat(), 1);
    EXPECT_EQ(c.getACStat(), 3);
    EXPECT_EQ(c.races, (std::vector<int32_t>{1, 4, 7}));
    ASSERT_EQ(c.tags.size(), 2u);
    EXPECT_EQ(c.tags[0].value.kind, 2);
    EXPECT_EQ(c.tags[0].value.getInt(), 3);
    EXPECT_TRUE(c.tags[1].value.getBool());
    ASSERT_EQ(c.startingItems.size(), 2u);
    EXPECT_TRUE(c.startingItems[0].equip);
    EXPECT_FALSE(c.startingItems[1].equip);
    EXPECT_EQ(t2[0].thresholds, (std::vector<int32_t>{1000, 2000}));
    EXPECT_EQ(c2[1].list2, (std::vector<int32_t>{9}));
}

TEST_F(ClassDefTest, AFileWhoseStructureBreaksIsRefusedWhole) {
    const std::string path = tempPath("class.dat");
    MemStream_C s;
    vell::writeClassFile(s, {sampleClass()}, {table({10}, 0), table({20}, 0)});
    ASSERT_TRUE(vell::writeWholeFile(path, s));
    ASSERT_EQ(vell::loadClassFile(path), 1);
    EXPECT_EQ(levelTables.size(), 2u);
    struct Case {
        size_t keep;        // bytes kept from the start (0: all)
        int patchAt;        // byte offset to overwrite (-1: none)
        int32_t patch;
        const char* what;
    } cases[] = {
        {20, -1, 0, "cut inside the first class"},
        {s.size() - 1, -1, 0, "cut inside the last level table"},
        {0, 0, -1, "negative class count"},
        {0, 0, 1000000, "class count beyond the file"},
        // After the name ("Land Reaver", 11 bytes) and nine numbers: the
        // race count.
        {0, 4 + 4 + 11 + 9 * 4, 1000, "race count beyond the file"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = streamBytes(s);
        if (c.keep)
            bytes.resize(c.keep);
        if (c.patchAt >= 0)
            std::memcpy(bytes.data() + c.patchAt, &c.patch, 4);
        MemStream_C bad;
        fillStream(bad, bytes);
        ASSERT_TRUE(vell::writeWholeFile(path, bad));
        EXPECT_EQ(vell::loadClassFile(path), vell::LOAD_CORRUPT) << c.what;
        EXPECT_EQ(classDef.size(), 1u) << c.what << ": the tables are kept";
        EXPECT_EQ(levelTables.size(), 2u) << c.what;
    }
    unlink(path.c_str());
    EXPECT_EQ(vell::loadClassFile(path), vell::LOAD_CANNOT_OPEN);
}

TEST_F(ClassDefTest, OddValuesLoadAndStrayBytesAreReported) {
    // Values out of any range the game uses load as they stand; bytes after
    // the last level table are reported and ignored.
    ClassDef_S odd = sampleClass();
    odd.spStat = 23;
    odd.acStat = -4;
    odd.hpDie = -8;
    odd.hpBonus = 2000000000;
    odd.requirements = {{40, 3}};
    odd.modifiers = {{-2, 1}};
    MemStream_C s;
    vell::writeClassFile(s, {sampleClass(), odd}, {table({10}, 0), table({20}, 0)});
    const uint8_t stray[] = {0, 7};
    s.write(stray, sizeof stray);
    const std::string path = tempPath("class.dat");
    ASSERT_TRUE(vell::writeWholeFile(path, s));
    testing::internal::CaptureStderr();
    ASSERT_EQ(vell::loadClassFile(path), 2);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ERROR: " + path + ": 2 stray bytes"), std::string::npos) << err;
    ASSERT_EQ(classDef.size(), 2u);
    EXPECT_EQ(classDef[1].spStat, 23);
    EXPECT_EQ(classDef[1].hpDie, -8);
    MemStream_C again;
    vell::writeClassFile(again, classDef, levelTables);
    EXPECT_EQ(streamBytes(again), std::vector<uint8_t>(s.data(), s.data() + s.size() - sizeof stray))
        << "what was read is written back";
    bl3dStatBlock stats;
    stats.setBase(STAT_CN, 20);
    EXPECT_EQ(classDef[1].hpBonusFor(&stats), 2147483647) << "held to the 32-bit range";
    EXPECT_EQ(classDef[1].spBonusFor(&stats), 0) << "no such stat";
    EXPECT_FALSE(classDef[1].allows(1, &stats)) << "a missing stat reads as 0, below 3";
    classDef[1].applyStatMods(&stats, 3, 2, 0);
    unlink(path.c_str());
}

TEST_F(ClassDefTest, ItemCreateFileRoundTripAndBreakage) {
    std::vector<ItemCreate_S> kinds(2);
    kinds[0].name = "Herbalism";
    kinds[0].key = "CreateAbility";
    kinds[0].mask = 0xf;
    kinds[0].failText = "wilted";
    kinds[0].noMatchText = "no remedy";
    kinds[1].name = "Smithing";
    kinds[1].key = "CreateAbility";
    kinds[1].mask = 0xf000;
    const std::string path = tempPath("itemcreate.dat");
    MemStream_C s;
    vell::writeItemCreateFile(s, kinds);
    ASSERT_TRUE(vell::writeWholeFile(path, s));
    ASSERT_EQ(vell::loadItemCreateFile(path), 2);
    EXPECT_STREQ(itemCreate[1].getName(), "Smithing");
    EXPECT_EQ(itemCreate[1].getMask(), 0xf000);
    EXPECT_EQ(itemCreate[0].noMatchText, "no remedy");
    std::vector<uint8_t> cut = streamBytes(s);
    cut.resize(cut.size() - 3);
    MemStream_C bad;
    fillStream(bad, cut);
    ASSERT_TRUE(vell::writeWholeFile(path, bad));
    EXPECT_EQ(vell::loadItemCreateFile(path), vell::LOAD_CORRUPT);
    EXPECT_EQ(itemCreate.size(), 2u);
    // Bytes after the last record are ignored.
    std::vector<uint8_t> longer = streamBytes(s);
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    MemStream_C more;
    fillStream(more, longer);
    ASSERT_TRUE(vell::writeWholeFile(path, more));
    testing::internal::CaptureStderr();
    EXPECT_EQ(vell::loadItemCreateFile(path), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("5 stray bytes"), std::string::npos);
    unlink(path.c_str());
}

TEST_F(ClassDefTest, ExperienceForALevel) {
    const LevelTable_S t = table({1000, 2000, 4000}, 5000);
    const LevelTable_S capped = table({1000, 2000, 4000}, 0);
    const LevelTable_S none = table({}, 300);
    const uint32_t NEVER = std::numeric_limits<uint32_t>::max();
    struct Case {
        const LevelTable_S* t;
        int level;
        uint32_t xp;
    } cases[] = {
        {&t, 1, 1000},       {&t, 2, 2000},      {&t, 3, 4000},      {&t, 4, 9000},
        {&t, 6, 19000},      {&capped, 3, 4000}, {&capped, 4, NEVER}, {&capped, 400, NEVER},
        {&none, 1, 300},     {&none, 5, 1500},
        // Past the int32 range the level is out of reach, not cheap.
        {&t, 2000000, NEVER}, {&t, std::numeric_limits<int>::max(), NEVER},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.t->xpForLevel(c.level), c.xp) << "level " << c.level;
}

TEST_F(ClassDefTest, AllowsByRaceAndCurrentStats) {
    const ClassDef_S c = sampleClass(); // ST 12, CN 10; races 1, 4, 7
    bl3dStatBlock stats;
    stats.setBase(0, 12);
    stats.setBase(4, 10);
    EXPECT_TRUE(c.allows(1, &stats));
    EXPECT_TRUE(c.allows(7, &stats));
    EXPECT_FALSE(c.allows(2, &stats));
    stats.addModifier(0, -1, 0, 3, 9, 9);
    stats.recompute();
    EXPECT_FALSE(c.allows(1, &stats)) << "the current value counts";
    EXPECT_FALSE(c.allows(1, nullptr));
}

TEST_F(ClassDefTest, StatModifiersAndBonuses) {
    ClassDef_S c = sampleClass();
    bl3dStatBlock stats;
    stats.setBase(0, 10);
    c.applyStatMods(&stats, 3, 2, 0);
    EXPECT_EQ(stats.getCur(0), 10) << "no recompute";
    stats.recompute();
    EXPECT_EQ(stats.getCur(0), 12);
    EXPECT_EQ(stats.getCur(9), 1);
    stats.removeModsByKey(2, 0);
    EXPECT_EQ(stats.getCur(0), 10);

    stats.setBase(1, 18);
    stats.setBase(4, 16);
    EXPECT_EQ(c.spBonusFor(&stats), 8);
    EXPECT_EQ(c.hpBonusFor(&stats), 2);
    c.spStat = CLASS_NO_STAT;
    EXPECT_EQ(c.spBonusFor(&stats), 0) << "SP stat 22 gives no bonus whatever the stats";
    stats.setBase(4, 14);
    EXPECT_EQ(c.hpBonusFor(&stats), 0);
}

TEST_F(ClassDefTest, StartingItemsAreEquippedWhereTheyFitElseCarried) {
    addItemType(100, "Dagger", (1 << SLOT_RT_HAND) | (1 << SLOT_LT_HAND));
    addItemType(101, "Staff", 1 << SLOT_RT_HAND, 0x100); // not for class 1
    addItemType(60, "Draught", 1 << SLOT_MISC);
    ClassDef_S c = sampleClass();
    c.startingItems = {{100, true}, {100, true}, {100, true}, {101, true}, {60, false}, {999, true}};
    auto pc = std::make_unique<bl3dPartyChar>("Tester", 0x1, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
    c.giveStartingItems(pc.get());
    ASSERT_NE(pc->getSlotItem(SLOT_RT_HAND), nullptr);
    ASSERT_NE(pc->getSlotItem(SLOT_LT_HAND), nullptr);
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND)->getType()->getID(), 100);
    EXPECT_EQ(pc->getSlotItem(SLOT_LT_HAND)->getType()->getID(), 100);
    // The third dagger found its slots taken, the staff is not for the class,
    // the draught is not to be equipped, id 999 is no item.
    EXPECT_EQ(pc->getPack()->count(), 3);
    EXPECT_EQ(pc->getItemCount(), 5);
}

TEST_F(ClassDefTest, RecipesMergeIngredientsByName) {
    bl3dRecipe r;
    EXPECT_EQ(r.getId(), -1);
    r.setId(2);
    r.addIngredient(2, "Mandrake Root");
    r.addIngredient(1, "Glowing Moss");
    r.addIngredient(3, "Mandrake Root");
    EXPECT_EQ(r.entryCount(), 2);
    EXPECT_EQ(r.totalCount(), 6);
    EXPECT_EQ(r.find("Mandrake Root")->count, 5);
    bl3dRecipe gathered;
    gathered.setId(2);
    gathered.addIngredient(5, "Mandrake Root");
    EXPECT_FALSE(r.isMetBy(gathered));
    gathered.addIngredient(1, "Glowing Moss");
    EXPECT_TRUE(r.isMetBy(gathered));
    gathered.setId(1);
    EXPECT_FALSE(r.isMetBy(gathered));
}

} // namespace
