// What the Temple and the guilds share about prices and time: the price of a
// level gain and letting a service's game time pass on the world clock.
// Paying and receiving gold is rules/Money.h.
#pragma once
#include <cstdint>

// Levels at which a member advances a rank (along a path): 13, 25, 37, 50.
bool isMilestoneLevel(int64_t level);
// The price (the Hall's fee, the Temple's donation, a guild's tip) for
// gaining level L + 1: (L + 1) x 500 when L + 1 is a milestone, else
// (L + 1) x 100. A level below 1 (only a damaged record has one) is priced
// as level 1's gain, so no price is ever negative.
int64_t levelGainPrice(int32_t level);
// Lets that many ticks pass on the world clock (its listener runs at once);
// nothing for 0 or without a world.
void passTime(int ticks);
