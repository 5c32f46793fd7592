// What the Temple and the guilds share about money and time: the price of a
// level gain, paying a price through the payer's gold rules, and letting
// a service's game time pass on the world clock.
//
// Prices are worked out in 64 bits. Gold is held in 32 bits, so a price
// above that range is more than anyone can pay; a negative price is never
// paid (it would hand gold out).
#pragma once
#include <cstdint>

class bl3dCharacter;

// Levels at which a member advances a rank (along a path): 13, 25, 37, 50.
bool isMilestoneLevel(int64_t level);
// The price (the Hall's fee, the Temple's donation, a guild's tip) for
// gaining level L + 1: (L + 1) x 500 when L + 1 is a milestone, else
// (L + 1) x 100. A level below 1 (only a damaged record has one) is priced
// as level 1's gain, so no price is ever negative.
int64_t levelGainPrice(int32_t level);
// Takes the price from the payer (the party's pool when gold is shared).
// False, and nothing taken, when the price is negative, above what gold can
// hold or more than the payer has.
bool payPrice(bl3dCharacter& payer, int64_t price);
// Lets that many ticks pass on the world clock (its listener runs at once);
// nothing for 0 or without a world.
void passTime(int ticks);
