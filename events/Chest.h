// Chest_S: what a treasure chest holds. Built by a won fight (loose loot,
// trap -1) or by a script, handed to the chest event through
// EventParams_S::chest; the chest event shows it and deletes it.
#pragma once
#include "core/PtrList.h"

#include <cstdint>

struct Chest_S {
    // 0 none, 1 to 6 a trap kind, negative: loose loot (no lock, no trap,
    // the screen opens on the gold and items at once).
    int32_t trap = 0;
    uint8_t lock = 0;
    int32_t gold = 0;
    // The chest's own items.
    PtrList_C items;
    char description[60] = {};
};
