// The party's light from the torch and lantern bits ("MunLt1") and the light
// spell bits ("MagLt1"), and the encounter modifiers from "XCState". Plain
// values; the interface stores them in the map and the world variables.
#pragma once
#include <cstdint>

struct PartyLight_S {
    float colour[3] = {0, 0, 0};   // black when no light burns
    int radius = 0;                // 0..10, 0 = no party light
};

PartyLight_S computePartyLight(uint32_t munLt1, uint32_t magLt1);

struct XCValues_S {
    int bonus = 0;    // "XCBonus"
    int reduce = 0;   // "XCReduce"
};

XCValues_S computeXC(uint32_t xcState);
