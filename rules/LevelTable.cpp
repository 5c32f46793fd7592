#include "rules/LevelTable.h"

#include "core/MemStream.h"

#include <limits>

std::vector<LevelTable_S> levelTables;

uint32_t LevelTable_S::xpForLevel(int level) const {
    constexpr uint32_t NEVER = std::numeric_limits<uint32_t>::max();
    const int64_t size = static_cast<int64_t>(thresholds.size());
    const int64_t idx = static_cast<int64_t>(level) - 1;
    if (idx < 0) // level 0 or below: the first threshold (or nothing)
        return size > 0 ? static_cast<uint32_t>(thresholds[0]) : 0;
    if (idx < size)
        return static_cast<uint32_t>(thresholds[static_cast<size_t>(idx)]);
    if (step == 0)
        return NEVER;
    const int64_t last = size > 0 ? thresholds.back() : 0;
    const int64_t xp = last + (static_cast<int64_t>(level) - size) * static_cast<int64_t>(step);
    if (xp < 0 || xp >= static_cast<int64_t>(NEVER))
        return NEVER;
    return static_cast<uint32_t>(xp);
}

void LevelTable_S::write(MemStream_C& s) const {
    name.write(s);
    s.writeInt32(static_cast<int32_t>(thresholds.size()));
    for (int32_t t : thresholds)
        s.writeInt32(t);
    s.writeInt32(step);
}

bool LevelTable_S::read(MemStream_C& s) {
    int32_t n = 0;
    if (!name.read(s) || !s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / 4)
        return false;
    thresholds.assign(static_cast<size_t>(n), 0);
    for (int32_t& t : thresholds)
        if (!s.readInt32(t))
            return false;
    return s.readInt32(step);
}
