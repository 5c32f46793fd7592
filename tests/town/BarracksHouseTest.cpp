// The Barracks and the House: one text, ESC out, the leave time on the
// clock; every other key changes nothing; a click on "(ESCAPE) to Exit"
// leaves as ESC does.
#include "TownFixture.h"

#include "town/Event_1018.h"
#include "town/Event_1050.h"

#include <functional>
#include <memory>

namespace {

using namespace town;

struct OneTextCase {
    const char* name;
    std::function<std::unique_ptr<Building_C>(const EventParams_S*)> make;
    int typeId;
    const char* picture;
    const char* text;
    uint32_t leaveTicks;
};

const OneTextCase kCases[] = {
    {"Barracks", [](const EventParams_S* p) { return std::make_unique<Event_1018_C>(p); }, 1018, "Barracks",
     "You enter a room filled with weapons, armor, and guards.  They glower at you, their simple gaze inviting you "
     "to leave.",
     60},
    {"House", [](const EventParams_S* p) { return std::make_unique<Event_1050_C>(p); }, 1050, "House",
     "You've blundered into a stranger's house!\nPlease show yourself out.", 30},
};

class BarracksHouseTest : public TownFixture {};

TEST_F(BarracksHouseTest, ShowsItsTextIgnoresOtherKeysAndLeavesOnEscape)
{
    join("Ann", 0x4);
    for (const OneTextCase& c : kCases) {
        SCOPED_TRACE(c.name);
        forget();
        setTime(2);   // neither keeps hours
        std::unique_ptr<Building_C> b = c.make(&params_);
        EXPECT_EQ(b->typeId(), c.typeId);
        bool picShown = true;
        onDisplay([&] { picShown = picShown && iface.curPicNamed(c.picture); });
        watch([&] { return b->getState(); });
        const uint32_t t0 = now();
        script({quiet(SDLK_SPACE), quiet(SDLK_y), quiet(SDLK_F1), quiet(SDLK_RETURN), SDLK_ESCAPE});
        EXPECT_EQ(b->invoke(&iface), 0);
        ASSERT_EQ(shown().size(), 5u) << "no key but ESC asks for a redraw";
        for (const Shown& s : shown()) {
            EXPECT_EQ(s.state, Building_C::kMenu);
            EXPECT_TRUE(s.has(c.text));
            EXPECT_TRUE(s.has("(ESCAPE) to Exit"));
        }
        EXPECT_TRUE(picShown);
        EXPECT_EQ(b->getState(), 0);
        EXPECT_EQ(now(), t0 + c.leaveTicks);
        expectOnExit();
        EXPECT_FALSE(iface.curPicNamed(c.picture)) << "the picture is emptied on leaving";
        onDisplay(nullptr);
    }
}

TEST_F(BarracksHouseTest, ClickOnTheExitLineLeaves)
{
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    join("Ann", 0x4);
    for (const OneTextCase& c : kCases) {
        SCOPED_TRACE(c.name);
        forget();
        std::unique_ptr<Building_C> b = c.make(&params_);
        watch([&] { return b->getState(); });
        const uint32_t t0 = now();
        script({click(paneX(), lineTop(0))});
        b->invoke(&iface);
        EXPECT_EQ(shown().size(), 1u);
        EXPECT_EQ(now(), t0 + c.leaveTicks);
        expectOnExit();
    }
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
}

} // namespace
