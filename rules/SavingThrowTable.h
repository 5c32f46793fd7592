// The fixed saving-throw tables: six tables of 50 rows (levels 1 to 50), each
// row the d20 targets for save indices 0 to 5. A table is chosen by class
// group, or for a monster by the category its name falls in.
#pragma once
#include <cstdint>

namespace savethrow {

constexpr int TABLE_COUNT = 6;
constexpr int LEVELS = 50;
constexpr int INDICES = 6;

// The class mask of table t (0..5), in the order tables are tried.
int32_t tableClassMask(int table);
// The first table whose class mask shares a bit with classId; -1 when none.
int tableForClass(int32_t classId);
// The target of table t at a level (clamped to 1..50) for index 0..5; a
// target no roll reaches (1000) for an index or table out of range.
int target(int table, int level, int index);
// The category (1..4) of a monster's singular name, 0 when in none.
int monsterCategory(const char* name);
// The table (0-based) whose level-1 row a monster category uses; -1 for 0.
int tableForCategory(int category);

} // namespace savethrow
