#include "rules/SavingThrowTable.h"

#include <cstring>

namespace savethrow {
namespace {

// A run of levels that share one row of targets.
struct Run {
    int from, to;
    int t[INDICES];
};

const Run table1[] = {
    {1, 1, {16, 2, 3, 5, 7, 4}},        {2, 2, {16, 18, 17, 20, 20, 20}},   {3, 4, {15, 17, 16, 19, 19, 19}},
    {5, 6, {14, 16, 15, 18, 18, 18}},   {7, 8, {13, 15, 14, 17, 17, 17}},   {9, 10, {12, 14, 13, 16, 16, 16}},
    {11, 12, {11, 13, 12, 15, 15, 15}}, {13, 14, {10, 12, 11, 14, 14, 14}}, {15, 16, {9, 11, 10, 13, 14, 14}},
    {17, 18, {8, 10, 9, 12, 14, 14}},   {19, 20, {7, 9, 8, 11, 13, 13}},    {21, 22, {6, 8, 7, 10, 13, 13}},
    {23, 24, {5, 7, 6, 9, 13, 13}},     {25, 26, {4, 6, 5, 8, 12, 12}},     {27, 28, {3, 5, 4, 7, 12, 12}},
    {29, 30, {3, 5, 4, 6, 12, 12}},     {31, 32, {3, 5, 4, 5, 11, 11}},     {33, 36, {3, 5, 4, 4, 11, 11}},
    {37, 42, {3, 5, 4, 4, 10, 10}},     {43, 49, {3, 5, 4, 4, 9, 9}},       {50, 50, {3, 5, 4, 4, 8, 8}},
};

const Run table2[] = {
    {1, 2, {12, 16, 14, 18, 19, 19}}, {3, 4, {11, 15, 13, 17, 18, 18}}, {5, 6, {10, 14, 12, 16, 16, 17}},
    {7, 8, {9, 13, 11, 15, 15, 16}},  {9, 10, {8, 12, 10, 14, 13, 15}}, {11, 12, {7, 11, 9, 13, 12, 14}},
    {13, 14, {6, 10, 8, 12, 10, 13}}, {15, 16, {5, 9, 7, 11, 10, 13}},  {17, 18, {4, 8, 6, 10, 10, 13}},
    {19, 20, {3, 7, 5, 9, 9, 12}},    {21, 22, {3, 6, 4, 8, 9, 12}},    {23, 24, {3, 5, 3, 7, 9, 12}},
    {25, 26, {3, 4, 4, 6, 8, 11}},    {27, 28, {3, 3, 3, 5, 8, 11}},    {29, 30, {3, 3, 3, 4, 8, 11}},
    {31, 34, {3, 3, 3, 3, 7, 10}},    {35, 36, {3, 3, 3, 3, 6, 10}},    {37, 38, {3, 3, 2, 2, 6, 9}},
    {39, 42, {3, 3, 2, 2, 5, 9}},     {43, 46, {3, 3, 2, 2, 4, 8}},     {47, 49, {3, 3, 2, 2, 3, 8}},
    {50, 50, {3, 3, 1, 2, 3, 7}},
};

const Run table3[] = {
    {1, 2, {12, 16, 14, 18, 19, 20}}, {3, 4, {11, 15, 13, 17, 18, 20}}, {5, 6, {10, 14, 12, 16, 16, 19}},
    {7, 8, {9, 13, 11, 15, 15, 18}},  {9, 10, {8, 12, 10, 14, 13, 17}}, {11, 12, {7, 11, 9, 13, 12, 16}},
    {13, 14, {6, 10, 8, 12, 10, 15}}, {15, 16, {5, 9, 7, 11, 10, 15}},  {17, 18, {4, 8, 6, 10, 10, 15}},
    {19, 20, {3, 7, 5, 9, 9, 14}},    {21, 22, {3, 6, 4, 8, 9, 14}},    {23, 24, {3, 5, 3, 7, 9, 14}},
    {25, 26, {3, 4, 4, 6, 8, 13}},    {27, 28, {3, 3, 3, 5, 8, 13}},    {29, 30, {3, 3, 3, 4, 8, 13}},
    {31, 34, {3, 3, 3, 3, 7, 12}},    {35, 36, {3, 3, 3, 3, 6, 12}},    {37, 38, {3, 3, 2, 2, 6, 11}},
    {39, 42, {3, 3, 2, 2, 5, 11}},    {43, 46, {3, 3, 2, 2, 4, 10}},    {47, 49, {3, 3, 2, 2, 3, 10}},
    {50, 50, {3, 3, 1, 2, 3, 10}},
};

const Run table4[] = {
    {1, 4, {13, 14, 12, 16, 15, 16}},  {5, 8, {12, 13, 11, 15, 14, 15}}, {9, 12, {11, 12, 10, 14, 13, 14}},
    {13, 16, {10, 11, 9, 13, 12, 13}}, {17, 20, {9, 10, 8, 12, 11, 12}}, {21, 24, {8, 9, 7, 11, 10, 11}},
    {25, 28, {8, 8, 7, 11, 9, 10}},    {29, 29, {8, 7, 7, 11, 8, 10}},   {30, 32, {8, 7, 7, 11, 8, 9}},
    {33, 36, {8, 6, 7, 11, 7, 9}},     {37, 40, {7, 5, 6, 10, 6, 8}},    {41, 42, {7, 4, 6, 10, 5, 8}},
    {43, 49, {7, 4, 6, 10, 5, 7}},     {50, 50, {6, 4, 5, 9, 4, 6}},
};

const Run table5[] = {
    {1, 1, {13, 14, 12, 16, 15, 14}},  {2, 2, {13, 14, 12, 16, 15, 13}}, {3, 3, {13, 14, 12, 16, 15, 12}},
    {4, 4, {13, 14, 12, 16, 15, 11}},  {5, 5, {12, 13, 11, 15, 14, 11}}, {6, 8, {12, 13, 11, 15, 14, 10}},
    {9, 12, {11, 12, 10, 14, 13, 9}},  {13, 16, {10, 11, 9, 13, 12, 8}}, {17, 20, {9, 10, 8, 12, 11, 7}},
    {21, 24, {8, 9, 7, 11, 10, 6}},    {25, 28, {8, 8, 7, 11, 9, 5}},    {29, 32, {8, 7, 7, 11, 8, 4}},
    {33, 36, {8, 6, 7, 11, 7, 3}},     {37, 40, {7, 5, 6, 10, 6, 2}},    {41, 49, {7, 4, 6, 10, 5, 2}},
    {50, 50, {6, 4, 5, 9, 4, 1}},
};

const Run table6[] = {
    {1, 5, {10, 11, 13, 15, 12, 15}}, {6, 10, {9, 10, 12, 14, 11, 14}}, {11, 15, {8, 9, 11, 13, 10, 13}},
    {16, 20, {7, 8, 10, 12, 9, 12}},  {21, 24, {6, 7, 9, 11, 8, 11}},   {25, 25, {6, 7, 9, 11, 8, 10}},
    {26, 30, {5, 6, 8, 10, 7, 10}},   {31, 35, {4, 5, 7, 9, 6, 9}},     {36, 40, {3, 4, 6, 8, 5, 8}},
    {41, 45, {2, 3, 5, 7, 4, 7}},     {46, 50, {2, 3, 5, 7, 4, 6}},
};

struct TableDef {
    int32_t mask;
    const Run* runs;
    int runCount;
};

template <int N>
constexpr TableDef def(int32_t mask, const Run (&runs)[N]) {
    return TableDef{mask, runs, N};
}

const TableDef tables[TABLE_COUNT] = {
    def(0xC4, table1), def(0x01, table2), def(0x4000, table3),
    def(0x2A, table4), def(0x10, table5), def(0x3F00, table6),
};

const char* const category1[] = {"Brideck", "Dark Rogue", "Dwarf", "Ghoul", "Goblin",
                                 "Guardian of Vodivedodav", "Orc", "Orc Chieftain", "Senrat",
                                 "Skeleton", "Stalker", "War Monger", "Wereworg", nullptr};
const char* const category2[] = {"Crippler", "Darcwood Tree", "Dorendor", "Clay Golem", "Iron Golem",
                                 "Robttt Golem", "Stone Golem", "Ogre", "Nomad", "Saurian",
                                 "Giant Spider", nullptr};
const char* const category3[] = {"Beholder", "Dark Ubu", "Harpy", "Naga", "Wight", "Yevil", nullptr};
const char* const category4[] = {"Argo", "Red Dragon", "Black Dragon", "Black Claw Warlock",
                                 "Earth Elemental", "Fire Elemental", "Water Elemental",
                                 "Air Elemental", "Lich", "Necrolord", "Spectre", nullptr};
const char* const* const categories[4] = {category1, category2, category3, category4};
// Category 1 uses table 1, 2 table 2, 3 table 4 and 4 table 6 (0-based below).
const int categoryTable[4] = {0, 1, 3, 5};

constexpr int UNREACHABLE = 1000;

} // namespace

int32_t tableClassMask(int table) {
    return table >= 0 && table < TABLE_COUNT ? tables[table].mask : 0;
}

int tableForClass(int32_t classId) {
    for (int t = 0; t < TABLE_COUNT; ++t)
        if (tables[t].mask & classId)
            return t;
    return -1;
}

int target(int table, int level, int index) {
    if (table < 0 || table >= TABLE_COUNT || index < 0 || index >= INDICES)
        return UNREACHABLE;
    if (level < 1)
        level = 1;
    if (level > LEVELS) // the tables end at 50: higher levels keep its row
        level = LEVELS;
    const TableDef& d = tables[table];
    for (int r = 0; r < d.runCount; ++r)
        if (level >= d.runs[r].from && level <= d.runs[r].to)
            return d.runs[r].t[index];
    return UNREACHABLE;
}

int monsterCategory(const char* name) {
    if (!name)
        return 0;
    for (int c = 0; c < 4; ++c)
        for (const char* const* n = categories[c]; *n; ++n)
            if (std::strcmp(*n, name) == 0)
                return c + 1;
    return 0;
}

int tableForCategory(int category) {
    return category >= 1 && category <= 4 ? categoryTable[category - 1] : -1;
}

} // namespace savethrow
