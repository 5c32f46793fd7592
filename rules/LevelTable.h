// LevelTable_S: the experience a class needs for each level. Entry i of the
// thresholds is the experience needed to pass level i + 1; beyond the last
// entry each level costs `step` more (step 0: no further levels).
#pragma once
#include "core/RefStr.h"

#include <cstdint>
#include <vector>

class MemStream_C;

struct LevelTable_S {
    RefStr_C name;
    std::vector<int32_t> thresholds;
    int32_t step = 0;

    // The experience a character of this level must exceed to gain the next
    // one. Past the table with step 0 the largest unsigned value (never
    // reached). Sums past the int32 range also give that value instead of
    // wrapping.
    uint32_t xpForLevel(int level) const;

    // File form: string name; int32 n; n x int32 threshold; int32 step.
    void write(MemStream_C& s) const;
    bool read(MemStream_C& s);
};

// The level tables of "data/class.dat", in file order.
extern std::vector<LevelTable_S> levelTables;
