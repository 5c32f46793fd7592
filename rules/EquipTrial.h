// EquipTrial_S: what a member's trial rearrangement of equipment hands back
// to the code that carries it out later (the Equip Item action in a fight).
// It names items by serial and owns nothing: the items stay where they are,
// owned by the member, until the swap is performed; an item that is gone by
// then is simply not found.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

struct EquipTrial_S {
    static constexpr int SLOTS = 20;
    // The pack in its new order.
    std::vector<uint64_t> pack;
    // The item for each equipment slot, 0 for an empty slot.
    std::array<uint64_t, SLOTS> equip{};
    // True when the player equipped or unequipped something in the trial.
    bool changed = false;
};
