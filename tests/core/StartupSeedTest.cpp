// The start-up seed that whole-program tests fix through VELL_SEED: only a
// whole decimal number in 32 bits counts; anything else leaves the clock's
// seed in charge.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Random.h"

namespace {

struct SeedCase {
    const char* text;
    bool valid;
    uint32_t seed;
};

TEST(StartupSeedTest, OnlyAWholeNumberIn32BitsFixesTheSeed) {
    const SeedCase cases[] = {
        {"0", true, 0},
        {"17", true, 17},
        {"4294967295", true, 4294967295u},
        {"4294967296", false, 0},
        {"99999999999999999999999", false, 0},
        {"-1", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"12abc", false, 0},
        {"", false, 0},
        {nullptr, false, 0},
    };
    for (const SeedCase& c : cases) {
        uint32_t seed = 12345;
        EXPECT_EQ(vell::seedFromEnvironment(c.text, seed), c.valid) << (c.text ? c.text : "(unset)");
        EXPECT_EQ(seed, c.valid ? c.seed : 12345u) << (c.text ? c.text : "(unset)") << ": a refused text changes nothing";
    }
}

TEST(StartupSeedTest, TheEnvironmentDecidesWhetherTheSeedIsFixed) {
    ::setenv("VELL_SEED", "4711", 1);
    bool fixed = false;
    EXPECT_EQ(vell::startupSeed(&fixed), 4711u);
    EXPECT_TRUE(fixed);
    ::setenv("VELL_SEED", "soon", 1);
    vell::startupSeed(&fixed);
    EXPECT_FALSE(fixed) << "a seed that is no number is the clock's";
    ::unsetenv("VELL_SEED");
    vell::startupSeed(&fixed);
    EXPECT_FALSE(fixed);
}

} // namespace
