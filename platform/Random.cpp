#include "platform/Random.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <deque>

namespace vell {
namespace {

// A 32-bit linear congruential generator, returning bits 16..30 like the
// runtime generator the game was designed around.
uint32_t gameState = 1;
std::deque<int> scripted;
std::atomic<uint32_t> cosmeticState{12345};

int step(uint32_t& s) {
    s = s * 214013u + 2531011u;
    return static_cast<int>((s >> 16) & 0x7fff);
}

} // namespace

int gameRand() {
    if (!scripted.empty()) {
        int v = scripted.front();
        scripted.pop_front();
        return v & 0x7fff;
    }
    return step(gameState);
}

void gameSrand(uint32_t seed) { gameState = seed; }

bool seedFromEnvironment(const char* text, uint32_t& seed) {
    if (!text || *text < '0' || *text > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > 0xffffffffull)
        return false;
    seed = static_cast<uint32_t>(v);
    return true;
}

uint32_t startupSeed(bool* fixed) {
    uint32_t seed = 0;
    const bool fromEnv = seedFromEnvironment(std::getenv("VELL_SEED"), seed);
    if (fixed)
        *fixed = fromEnv;
    return fromEnv ? seed : static_cast<uint32_t>(std::time(nullptr));
}

int gameRandMod(int n) {
    if (n <= 0)
        return 0;
    return gameRand() % n;
}

void scriptGameRand(const std::vector<int>& values) {
    scripted.assign(values.begin(), values.end());
}

void clearScriptedGameRand() { scripted.clear(); }

size_t scriptedGameRandLeft() { return scripted.size(); }

int cosmeticRand() {
    uint32_t s = cosmeticState.load(std::memory_order_relaxed);
    int v = step(s);
    cosmeticState.store(s, std::memory_order_relaxed);
    return v;
}

} // namespace vell
