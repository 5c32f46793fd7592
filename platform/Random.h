// The game's dice. Every game roll draws from gameRand(), which gives
// 0..32767 like the classic C runtime did; it is seeded once at start-up.
// Tests seed it, or script the exact values it returns.
// Cosmetic rolls (the walking bob, picture animation on the timer thread)
// use cosmeticRand() so that they never shift the game's sequence.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vell {

constexpr int RAND_LIMIT = 32767;

// 0..32767
int gameRand();
void gameSrand(uint32_t seed);

// The seed of a game's start: the time, unless the environment variable
// VELL_SEED holds a decimal number (0..4294967295), which whole-program tests
// set so that a run meets the same dice every time. `fixed` tells which.
uint32_t startupSeed(bool* fixed = nullptr);
// The seed VELL_SEED gives: false when it is unset or not a whole number in
// range.
bool seedFromEnvironment(const char* text, uint32_t& seed);

// gameRand() % n, with n <= 0 giving 0 instead of a division fault.
int gameRandMod(int n);

// Tests: the next calls of gameRand() return these values in order (each
// taken modulo 32768), then the seeded sequence goes on.
void scriptGameRand(const std::vector<int>& values);
void clearScriptedGameRand();
// How many scripted values are still waiting.
size_t scriptedGameRandLeft();

// A generator of its own for cosmetic rolls; safe to call from one other
// thread than the game's.
int cosmeticRand();

} // namespace vell
