// Every timed and on-the-spot line of the event table (world/EventTable.h)
// makes its own class once start-up has registered the table: the event
// answers to its line's id, and nothing is left to a stand-in. (The town's
// doors test the buildings, the script tests the scripted square.)
#include "app/GameEvents.h"
#include "world/Event.h"
#include "world/EventTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Line {
    int kindOrId;
    int id;
    const char* name;
};

#define EVENT_LINE(name, number, cls, what) {name, name, what},
const Line kTimed[] = {VELL_TIMED_EVENTS(EVENT_LINE)};
#undef EVENT_LINE
#define EVENT_LINE(kind, id, cls, what) {kind, id, what},
const Line kEncounters[] = {VELL_ENCOUNTER_EVENTS(EVENT_LINE)};
#undef EVENT_LINE

class EventTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerGameEvents();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors.find("stand-in"), std::string::npos) << errors;
        EXPECT_EQ(errors.find("no event class"), std::string::npos) << errors;
        clearEventMakers();
    }
};

TEST_F(EventTableTest, EveryLineMakesAnEventOfItsId)
{
    for (const Line& l : kTimed) {
        SCOPED_TRACE(l.name);
        const auto e = createTimedEvent(l.id);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->typeId(), l.id);
    }
    for (const Line& l : kEncounters) {
        SCOPED_TRACE(l.name);
        const auto e = createEncounterEvent(static_cast<EncounterKind>(l.kindOrId), nullptr);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->typeId(), l.id);
    }
}

} // namespace
