// The master files the game ships, as the build made them from content/:
// they load, and they hold what the rest of the game asks of them.
#include "MonsterTestEnv.h"

#include "rules/ClassDefFile.h"
#include "rules/SavingThrowTable.h"

#include <set>
#include <unistd.h>

namespace {

const std::string dataDir = std::string(VELL_GAME_DIR) + "/data/";

class ShippedRulesDataTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        // Building the test program assembles the game folder: a file
        // missing there is a fault, never a reason to skip.
        for (const char* f : {"monsters.dat", "class.dat", "itemcreate.dat", "item.dat"})
            ASSERT_EQ(access((dataDir + f).c_str(), R_OK), 0) << f << " is missing: the game folder is not assembled";
    }
};

TEST_F(ShippedRulesDataTest, MonsterFile) {
    ASSERT_GT(masterMTL.load(dataDir + "monsters.dat"), 0);
    std::set<int> categories, sexes;
    bool undead = false, noEscape = false, spells = false, outside = false, randomDrops = false, twoWords = false,
         nameOnly = false;
    for (int i = 0; i < masterMTL.count(); ++i) {
        bl3dMonsterType* t = masterMTL.at(i);
        const int category = savethrow::monsterCategory(t->getName());
        categories.insert(category);
        outside |= category == 0;
        sexes.insert(t->getSex());
        undead |= t->getKind() == CREATURE_UNDEAD;
        noEscape |= t->getKind() == CREATURE_NO_ESCAPE;
        vell::scriptGameRand({0});
        spells |= t->rollSP() > 0;
        for (const std::string& line : t->dropLines()) {
            int words = 0;
            for (size_t p = 0; p < line.size(); ++p)
                words += line[p] != ' ' && (p == 0 || line[p - 1] == ' ');
            randomDrops |= line.rfind("rand", 0) == 0;
            twoWords |= words == 2;
            nameOnly |= words == 1;
        }
    }
    EXPECT_EQ(categories, (std::set<int>{0, 1, 2, 3, 4})) << "every saving-throw category and names outside them";
    EXPECT_EQ(sexes, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(undead && noEscape && spells && outside && randomDrops && twoWords && nameOnly);
    for (const char* needed : {"Wolf", "Bear"})
        EXPECT_NE(masterMTL.findByName(needed), nullptr) << needed << " is summoned and called by songs and skills";
}

TEST_F(ShippedRulesDataTest, ClassFile) {
    ASSERT_EQ(vell::loadClassFile(dataDir + "class.dat"), 15);
    int32_t bits = 0;
    std::set<int32_t> races;
    bool requirements = false, modifiers = false, tags = false, items = false;
    for (const ClassDef_S& c : classDef) {
        EXPECT_EQ(c.classId & (c.classId - 1), 0) << c.name.c_str() << ": one bit";
        bits |= c.classId;
        races.insert(c.races.begin(), c.races.end());
        ASSERT_GE(c.levelTable, 0);
        ASSERT_LT(static_cast<size_t>(c.levelTable), levelTables.size());
        requirements |= !c.requirements.empty();
        modifiers |= !c.modifiers.empty();
        tags |= !c.tags.empty();
        items |= !c.startingItems.empty();
    }
    EXPECT_EQ(bits, 0x7fff);
    EXPECT_EQ(races, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_GE(levelTables.size(), 2u);
    EXPECT_TRUE(requirements && modifiers && tags && items);
}

TEST_F(ShippedRulesDataTest, ItemCreateFile) {
    ASSERT_EQ(vell::loadItemCreateFile(dataDir + "itemcreate.dat"), 7);
    std::set<int32_t> masks;
    for (const ItemCreate_S& k : itemCreate) {
        EXPECT_STREQ(k.getKey(), "CreateAbility");
        masks.insert(k.getMask());
    }
    // One kind for each 4-bit field that level gains fill in.
    EXPECT_EQ(masks, (std::set<int32_t>{0xf, 0xf0, 0xf00, 0xf000, 0xf0000, 0xf00000, 0xf000000}));
}

TEST_F(ShippedRulesDataTest, DropsAndStartingItemsNameShippedItems) {
    ASSERT_EQ(masterITL.load((dataDir + "item.dat").c_str()), 0);
    ASSERT_GT(masterMTL.load(dataDir + "monsters.dat"), 0);
    ASSERT_GT(vell::loadClassFile(dataDir + "class.dat"), 0);
    for (int i = 0; i < masterMTL.count(); ++i)
        for (const std::string& line : masterMTL.at(i)->dropLines()) {
            std::string name = line.substr(0, line.find(' '));
            if (name.rfind("rand", 0) == 0)
                continue;
            for (char& c : name)
                c = c == '_' ? ' ' : c;
            EXPECT_NE(masterITL.findByName(name.c_str()), nullptr) << masterMTL.at(i)->getName() << ": " << line;
        }
    for (const ClassDef_S& c : classDef)
        for (const ClassItem_S& item : c.startingItems)
            EXPECT_NE(masterITL.findById(item.itemId), nullptr) << c.name.c_str() << ": item " << item.itemId;
}

} // namespace
