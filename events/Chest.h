// Chest_S: what a treasure chest holds. Built by a won fight (loose loot,
// trap -1) or by a script, handed to the chest event (type 4001) in
// EventParams_S::chest; the chest event owns it from then on and deletes it
// with itself.
#pragma once
#include "core/PtrList.h"

#include <cstdint>

struct Chest_S {
    int32_t trap = 0;        // 0 none, 1-6 trap kinds, negative: loose loot
    uint8_t lock = 0;
    int32_t gold = 0;
    PtrList_C items;         // owned (the list deletes them)
    char description[60] = {};

    Chest_S() = default;
    Chest_S(const Chest_S&) = delete;
    Chest_S& operator=(const Chest_S&) = delete;
};
