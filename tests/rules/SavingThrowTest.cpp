// Saving throws and element resistance: the tables at their first and last
// rows, ties, the monster categories and the creatures that never save.
#include "MonsterTestEnv.h"

#include "rules/Monster.h"
#include "rules/PartyChar.h"
#include "rules/SavingThrow.h"
#include "rules/SavingThrowTable.h"

#include <cstdint>
#include <memory>

namespace {

using SavingThrowTest = MonsterRulesTest;

// The draw that makes rand() % 20 + 1 + bonus equal `roll`, with a bonus
// chosen so that every target 1..20 can be met and missed by one.
struct Throw {
    int draw;
    int bonus;
};
Throw throwFor(int roll) {
    return Throw{9, roll - 10};
}

bool save(bl3dCharacter* who, int index, int roll) {
    const Throw t = throwFor(roll);
    vell::scriptGameRand({t.draw});
    return rollSavingThrow(who, index, t.bonus);
}

std::unique_ptr<bl3dPartyChar> member(int32_t classId, int level) {
    auto pc = std::make_unique<bl3dPartyChar>("Tester", classId, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
    pc->setLevel(level);
    return pc;
}

TEST_F(SavingThrowTest, FirstAndLastRowOfEveryTable) {
    struct Case {
        int32_t classId;
        int level;
        int targets[6];
    } cases[] = {
        {0x04, 1, {16, 2, 3, 5, 7, 4}},     {0x80, 50, {3, 5, 4, 4, 8, 8}},
        {0x01, 1, {12, 16, 14, 18, 19, 19}}, {0x01, 50, {3, 3, 1, 2, 3, 7}},
        {0x4000, 1, {12, 16, 14, 18, 19, 20}}, {0x4000, 50, {3, 3, 1, 2, 3, 10}},
        {0x02, 1, {13, 14, 12, 16, 15, 16}}, {0x20, 50, {6, 4, 5, 9, 4, 6}},
        {0x10, 1, {13, 14, 12, 16, 15, 14}}, {0x10, 50, {6, 4, 5, 9, 4, 1}},
        {0x100, 1, {10, 11, 13, 15, 12, 15}}, {0x2000, 50, {2, 3, 5, 7, 4, 6}},
        // The rows past level 50 are those of 50.
        {0x400, 77, {2, 3, 5, 7, 4, 6}},
        // Rows inside a run.
        {0x40, 36, {3, 5, 4, 4, 11, 11}},   {0x08, 29, {8, 7, 7, 11, 8, 10}},
    };
    for (const Case& c : cases) {
        auto pc = member(c.classId, c.level);
        for (int index = 0; index < 6; ++index) {
            const int target = c.targets[index];
            EXPECT_FALSE(save(pc.get(), index, target - 1)) << std::hex << c.classId << std::dec << " L" << c.level
                                                            << " index " << index;
            EXPECT_TRUE(save(pc.get(), index, target)) << std::hex << c.classId << std::dec << " L" << c.level
                                                       << " index " << index << " (ties succeed)";
        }
    }
}

TEST_F(SavingThrowTest, TheTablesCoverEveryLevel) {
    for (int t = 0; t < savethrow::TABLE_COUNT; ++t)
        for (int index = 0; index < 6; ++index)
            for (int level = 1; level <= 50; ++level) {
                const int target = savethrow::target(t, level, index);
                ASSERT_GE(target, 1) << t << " " << level;
                ASSERT_LE(target, 20) << t << " " << level;
            }
    // Table 2 as written: index 2 rises from 3 to 4 at level 25.
    EXPECT_EQ(savethrow::target(1, 24, 2), 3);
    EXPECT_EQ(savethrow::target(1, 25, 2), 4);
    EXPECT_EQ(savethrow::tableForClass(0x3), 1) << "class masks are tried in table order";
    EXPECT_EQ(savethrow::tableForClass(0x8000), -1);
}

// A bonus at the ends of the int range (a script may pass any): the largest
// always saves, the smallest never does, whatever the die shows.
TEST_F(SavingThrowTest, BonusesAtTheEndsOfTheRange) {
    auto pc = member(0x04, 1);
    std::unique_ptr<bl3dMonster> goblin(addType(record("Goblin", 40))->createMonster(0));
    for (bl3dCharacter* who : {static_cast<bl3dCharacter*>(pc.get()), static_cast<bl3dCharacter*>(goblin.get())})
        for (int draw : {0, 19}) {
            vell::scriptGameRand({draw});
            EXPECT_TRUE(rollSavingThrow(who, 0, INT32_MAX)) << who->getName() << " die " << draw + 1;
            vell::scriptGameRand({draw});
            EXPECT_FALSE(rollSavingThrow(who, 1, INT32_MIN)) << who->getName() << " die " << draw + 1;
        }
}

TEST_F(SavingThrowTest, CreaturesOfNoTableNeverSave) {
    auto joined = member(CLASS_JOINED, 10);
    auto summoned = member(CLASS_SUMMONED, 10);
    for (bl3dCharacter* who : {static_cast<bl3dCharacter*>(joined.get()), static_cast<bl3dCharacter*>(summoned.get())})
        EXPECT_FALSE(save(who, 0, 500));
    auto pc = member(0x01, 5);
    EXPECT_FALSE(save(pc.get(), 6, 500)) << "no save index 6";
    EXPECT_FALSE(save(pc.get(), -1, 500));
    EXPECT_FALSE(rollSavingThrow(nullptr, 0, 500));
}

TEST_F(SavingThrowTest, MonstersUseTheirCategorysFirstRowWhateverTheirLevel) {
    struct Case {
        const char* name;
        int target0; // index 0 of the level-1 row of the category's table
        int target5;
    } cases[] = {
        {"Brideck", 16, 4},  {"Goblin", 16, 4},   {"Wereworg", 16, 4},     // table 1
        {"Crippler", 12, 19}, {"Giant Spider", 12, 19},                    // table 2
        {"Beholder", 13, 16}, {"Yevil", 13, 16},                           // table 4
        {"Argo", 10, 15},    {"Spectre", 10, 15}, {"Necrolord", 10, 15},   // table 6
    };
    for (const Case& c : cases) {
        std::unique_ptr<bl3dMonster> m(addType(record(c.name, 40))->createMonster(0));
        EXPECT_FALSE(save(m.get(), 0, c.target0 - 1)) << c.name;
        EXPECT_TRUE(save(m.get(), 0, c.target0)) << c.name;
        EXPECT_FALSE(save(m.get(), 5, c.target5 - 1)) << c.name;
        EXPECT_TRUE(save(m.get(), 5, c.target5)) << c.name;
    }
    for (const char* outside : {"Wolf", "goblin", "Goblins", ""}) {
        std::unique_ptr<bl3dMonster> m(addType(record(outside))->createMonster(0));
        EXPECT_FALSE(save(m.get(), 1, 500)) << "\"" << outside << "\" is in no category";
    }
}

TEST_F(SavingThrowTest, ElementResistanceAgainstAPercentileRoll) {
    auto pc = member(0x01, 1);
    bl3dStatBlock* s = pc->getStatBlock();
    s->setBase(STAT_FIRE_HIT, 10);
    s->setBase(STAT_EARTH_HIT, 100);
    s->setBase(STAT_AIR_HIT, 0);
    s->setBase(STAT_WATER_HIT, 55);
    struct Case {
        int element;
        int draw;
        bool resisted;
    } cases[] = {
        {ELEMENT_FIRE, 9, true},   {ELEMENT_FIRE, 10, false}, {ELEMENT_EARTH, 99, true},
        {ELEMENT_AIR, 0, false},   {ELEMENT_WATER, 54, true}, {ELEMENT_WATER, 55, false},
    };
    for (const Case& c : cases) {
        vell::scriptGameRand({c.draw});
        EXPECT_EQ(rollElementResist(pc.get(), c.element), c.resisted) << c.element << " " << c.draw;
    }
    for (int other : {0, 5, -1}) {
        vell::scriptGameRand({0});
        EXPECT_FALSE(rollElementResist(pc.get(), other));
        vell::clearScriptedGameRand();
    }
}

} // namespace
