// What a new character gets from its class when it is made: changes to its
// base stats, its own attributes and the actions it knows from the start
// (the same for every member of a class). Character creation and the quest
// template's ready-made adventurers give them alike.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

class bl3dPartyChar;

struct CreationGift_S {
    int32_t classBit = 0;
    int32_t ac = 0, attack = 0, damage = 0;                        // base stat changes
    std::vector<std::pair<const char*, int32_t>> attributes;       // set as integers
    std::vector<int32_t> abilities;                                // into the first list
    std::vector<int32_t> spells;                                   // into the spell book
};

// The gifts of a class (one class bit); null for a class without a row.
const CreationGift_S* creationGift(int32_t classBit);

// Gives the member its class's gifts. Actions are taken from the master
// action list; the ids that are not in it (data-defined actions whose file
// is not loaded) are returned and left out.
std::vector<int32_t> giveCreationGifts(bl3dPartyChar& member);
