// Money: every payment and payout of gold goes through here, whoever makes
// it (the town's buildings, the scripts, a chest, a pickpocket), and follows
// the customer's gold rules (the party's pool when gold is shared). Prices
// are worked out in 64 bits; gold is held in 32 bits, so a price above that
// range is more than anyone can pay, and a payout above it is capped (gold
// never wraps). A negative price or payout is refused: it
// would move gold the wrong way.
#pragma once
#include <cstdint>

class bl3dCharacter;

namespace money {

// The most gold one purse (or the party's pool) can hold.
constexpr int64_t kMaxGold = INT32_MAX;

// Takes the price from the customer (the party's pool when gold is
// shared). False, and nothing taken, when the price is negative, above
// kMaxGold or more than the customer has.
bool pay(bl3dCharacter& customer, int64_t price);
// Gives the amount to the customer (split over the party when gold is
// shared), capped at kMaxGold. False, and nothing given, for a negative
// amount.
bool receive(bl3dCharacter& customer, int64_t amount);
// Gives up to the amount, no more than lets the customer's gold (the pool
// when shared, as getGold shows it) reach kMaxGold; what was given (0 for a
// negative amount). For a payout cut to what fits, such as a win.
int64_t receiveUpTo(bl3dCharacter& customer, int64_t amount);
// What a shop gives for an item of that price: half, the fraction dropped;
// 0 for a negative price.
int64_t salePrice(int64_t price);

} // namespace money
