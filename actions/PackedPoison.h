// A poison packed into one 32-bit word, as weapons, damage spells and the
// damage effects of the action data file carry it:
//   bits 0-4 sides, 5-9 count, 10-15 bonus, 16-21 stride,
//   22-30 duration, 31 whether a poison save ends it.
// Duration and stride count in steps of `tickScale` ticks (weapons and
// damage spells count them in fours, the data file in single ticks).
#pragma once
#include <cstdint>

class bl3dCharacter;

struct PackedPoison_S {
    uint32_t duration = 0;
    int32_t sides = 0;
    int32_t count = 0;
    int32_t bonus = 0;
    int32_t stride = 0;
    bool allowSave = false;

    static PackedPoison_S unpack(uint32_t packed, int32_t tickScale);
    // Lays the poison on the creature (bl3dCharacter::poison).
    void apply(bl3dCharacter& who) const;
};
