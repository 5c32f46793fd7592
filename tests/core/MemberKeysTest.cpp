// F1 to F8 and the party's places 0 to 7: every other key names no place.
#include "core/MemberKeys.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

TEST(MemberKeysTest, EachFunctionKeyNamesOnePlace) {
    const struct {
        int key;
        int slot;
    } cases[] = {
        {SDLK_F1, 0}, {SDLK_F2, 1}, {SDLK_F5, 4}, {SDLK_F8, 7},
        {SDLK_F9, -1}, {SDLK_F15, -1}, {SDLK_F1 - 1, -1}, {SDLK_1, -1}, {SDLK_a, -1}, {SDLK_ESCAPE, -1},
        {0, -1}, {-SDLK_F1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(memberSlotOfKey(c.key), c.slot) << "key " << c.key;
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(memberSlotOfKey(memberKeyOfSlot(slot)), slot);
}

} // namespace
