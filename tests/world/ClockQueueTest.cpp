// The game clock's calendar and the timed event queue: due order, refusal of
// past ticks, events that touch the queue while they run, and stored bytes.
#include "core/MemStream.h"
#include "world/Event.h"
#include "world/EventQueue.h"
#include "world/GameClock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct CalendarCase {
    uint32_t ticks;
    unsigned year, month, day, hour, minute, second;
    const char* monthName;
};

TEST(GameClock, CalendarAtChosenTicks)
{
    const CalendarCase cases[] = {
        {GameClock_C::START_TICKS, 152, 3, 6, 9, 30, 0, "Riuros"},
        {0, 1, 1, 1, 0, 0, 0, "Samonios"},
        {2096639, 1, 13, 28, 23, 59, 45, "Ruis"},
        {2096640, 2, 1, 1, 0, 0, 0, "Samonios"},
        {161280 * 7 + 5760 * 27 + 240 * 23 + 4 * 59 + 3, 1, 8, 28, 23, 59, 45, "Simivisionios"},
        {0xFFFFFFFFu, 2049, 7, 15, 1, 3, 45, "Giamonios"},
    };
    for (const CalendarCase& c : cases) {
        GameClock_C clock;
        clock.setTicks(c.ticks);
        SCOPED_TRACE(c.ticks);
        EXPECT_EQ(clock.getYear(), c.year);
        EXPECT_EQ(clock.getMonth(), c.month);
        EXPECT_EQ(clock.getDay(), c.day);
        EXPECT_EQ(clock.getHour(), c.hour);
        EXPECT_EQ(clock.getMinute(), c.minute);
        EXPECT_EQ(clock.getSecond(), c.second);
        EXPECT_STREQ(clock.getMonthName(), c.monthName);
    }
}

TEST(GameClock, NewClockStartsInRiuros)
{
    GameClock_C clock;
    EXPECT_EQ(clock.getTicks(), 316946280u);
}

struct CountingListener : TickListener_C {
    std::vector<int> calls;
    std::vector<uint32_t> seen;
    const GameClock_C* clock = nullptr;
    void tickAction(int ticks) override
    {
        calls.push_back(ticks);
        seen.push_back(clock->getTicks());
    }
};

TEST(GameClock, AdvanceTellsTheListenerOnceAfterMoving)
{
    GameClock_C clock;
    clock.advance(5); // no listener: only the count moves
    EXPECT_EQ(clock.getTicks(), GameClock_C::START_TICKS + 5);

    CountingListener l;
    l.clock = &clock;
    clock.setListener(&l);
    clock.advance(30);
    ASSERT_EQ(l.calls.size(), 1u);
    EXPECT_EQ(l.calls[0], 30);
    EXPECT_EQ(l.seen[0], GameClock_C::START_TICKS + 35);
}

// Time never goes back, nor past the clock's last tick, where the 32-bit
// count would wrap to year 1 (and the events queued for later would never
// come due again); the listener is told what really passed.
TEST(GameClock, AdvanceStopsAtTheLastTickAndNeverGoesBack)
{
    GameClock_C clock;
    CountingListener l;
    l.clock = &clock;
    clock.setListener(&l);
    clock.advance(-100);
    EXPECT_EQ(clock.getTicks(), GameClock_C::START_TICKS);
    clock.advance(INT32_MAX);
    clock.advance(INT32_MAX);
    EXPECT_EQ(clock.getTicks(), GameClock_C::MAX_TICKS);
    EXPECT_EQ(l.calls, (std::vector<int>{0, INT32_MAX, int(GameClock_C::MAX_TICKS - GameClock_C::START_TICKS - INT32_MAX)}));
    EXPECT_EQ(clock.ticksLeft(), 0u);
    // The last tick ends year 2048.
    EXPECT_EQ(clock.getYear(), 2048u);
    EXPECT_EQ(clock.getMonth(), 13u);
    EXPECT_EQ(clock.getDay(), 28u);
    EXPECT_EQ(clock.getHour(), 23u);
}

TEST(GameClock, WriteReadKeepsTicksAndListener)
{
    GameClock_C a;
    a.setTicks(123456789);
    MemStream_C s;
    a.write(s);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s.data()[0], 0x15); // 123456789 = 0x075BCD15, little-endian
    EXPECT_EQ(s.data()[3], 0x07);

    CountingListener l;
    GameClock_C b;
    l.clock = &b;
    b.setListener(&l);
    ASSERT_TRUE(b.read(s));
    EXPECT_EQ(b.getTicks(), 123456789u);
    EXPECT_EQ(b.getListener(), &l);

    MemStream_C shortStream;
    shortStream.writeUInt16(7);
    EXPECT_FALSE(b.read(shortStream));
    EXPECT_EQ(b.getTicks(), 123456789u);
}

// --- the queue ------------------------------------------------------------------

// A timed event whose run is a test's function; it records its own runs.
class ProbeEvent : public Event_C {
public:
    ProbeEvent(int type, std::vector<std::string>* log, std::string tag, std::function<void()> action = nullptr,
               int* deaths = nullptr)
        : type_(type), log_(log), tag_(std::move(tag)), action_(std::move(action)), deaths_(deaths)
    {
    }
    ~ProbeEvent() override
    {
        if (deaths_)
            ++*deaths_;
    }
    int typeId() const override { return type_; }
    int invoke(Interface_C*) override
    {
        log_->push_back(tag_);
        if (action_)
            action_();
        return 0;
    }

private:
    int type_;
    std::vector<std::string>* log_;
    std::string tag_;
    std::function<void()> action_;
    int* deaths_;
};

struct QueueTest : ::testing::Test {
    GameClock_C clock;
    EventQueue_C queue{&clock};
    std::vector<std::string> log;

    void SetUp() override { clock.setTicks(1000); }
    void TearDown() override { clearEventMakers(); }

    ProbeEvent* probe(const std::string& tag, std::function<void()> action = nullptr, int* deaths = nullptr)
    {
        return new ProbeEvent(EVENT_HOURLY, &log, tag, std::move(action), deaths);
    }
    void runDue()
    {
        while (queue.popDue(nullptr)) {
        }
    }
};

TEST_F(QueueTest, DueOrderIsStableForEqualTicks)
{
    EXPECT_EQ(queue.enqueue(1010, probe("c")), 1);
    EXPECT_EQ(queue.enqueue(1005, probe("a")), 2);
    EXPECT_EQ(queue.enqueue(1010, probe("d")), 3);
    EXPECT_EQ(queue.enqueue(1005, probe("b")), 4);
    EXPECT_EQ(queue.enqueue(1020, probe("e")), 5);

    clock.setTicks(1009);
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
    clock.setTicks(1010);
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(queue.count(), 1);
}

TEST_F(QueueTest, PastTicksAreRefusedAndNowIsAccepted)
{
    int deaths = 0;
    ProbeEvent* late = probe("late", nullptr, &deaths);
    EXPECT_EQ(queue.enqueue(999, late), 0);
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(deaths, 0); // still the caller's
    delete late;
    EXPECT_EQ(queue.enqueue(0, nullptr), 0);

    EXPECT_EQ(queue.enqueue(1000, probe("now")), 1);
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"now"}));
}

TEST_F(QueueTest, DueTicksCompareUnsigned)
{
    clock.setTicks(0x80000010u);
    // As signed numbers 0x7FFFFFFF would lie after 0x80000010.
    std::unique_ptr<ProbeEvent> past(probe("past"));
    EXPECT_EQ(queue.enqueue(0x7FFFFFFFu, past.get()), 0);
    EXPECT_NE(queue.enqueue(0x90000000u, probe("future")), 0);
    EXPECT_FALSE(queue.popDue(nullptr));
}

TEST_F(QueueTest, EventsQueuedForNowByARunningEventRunInTheSamePass)
{
    queue.enqueue(1000, probe("first", [&] { queue.enqueue(clock.getTicks(), probe("second")); }));
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(queue.empty());
}

TEST_F(QueueTest, AnEventThatClearsTheQueueIsNotFreedTwice)
{
    int deaths = 0;
    queue.enqueue(1000, probe("clearer", [&] { queue.clear(); }, &deaths));
    queue.enqueue(1000, probe("victim", nullptr, &deaths));
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"clearer"}));
    EXPECT_EQ(deaths, 2);
    EXPECT_TRUE(queue.empty());
}

TEST_F(QueueTest, AnEventThatAdvancesTheClockRunsTheNextOnesOnce)
{
    // Advancing the clock from inside an event pops again (as the interface's
    // tick listener does); the running event is already off the queue.
    struct Popper : TickListener_C {
        EventQueue_C* q;
        void tickAction(int) override
        {
            while (q->popDue(nullptr)) {
            }
        }
    } popper;
    popper.q = &queue;
    clock.setListener(&popper);
    int deaths = 0;
    queue.enqueue(1000, probe("advancer", [&] { clock.advance(5); }, &deaths));
    queue.enqueue(1003, probe("later", nullptr, &deaths));
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"advancer", "later"}));
    EXPECT_EQ(deaths, 2);
    clock.setListener(nullptr);
}

TEST_F(QueueTest, RemoveHandsTheEventBack)
{
    int deaths = 0;
    queue.enqueue(1001, probe("a", nullptr, &deaths));
    const int32_t s = queue.enqueue(1002, probe("b", nullptr, &deaths));
    Event_C* e = queue.remove(s);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(deaths, 0);
    delete e;
    EXPECT_EQ(queue.remove(s), nullptr);
    EXPECT_EQ(queue.count(), 1);
}

TEST_F(QueueTest, SerialsSkipZeroWhenTheyWrap)
{
    // A stored counter of -2 issues -1, then 1.
    MemStream_C s;
    s.writeInt32(-2);
    s.writeInt32(0);
    ASSERT_TRUE(queue.read(s));
    EXPECT_EQ(queue.enqueue(1000, probe("x")), -1);
    EXPECT_EQ(queue.enqueue(1000, probe("y")), 1);
}

TEST_F(QueueTest, StoredBytesOfAnEmptyQueue)
{
    MemStream_C s;
    queue.write(s);
    ASSERT_EQ(s.size(), 8u);
    const uint8_t expected[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(s.data(), expected, 8));
}

TEST_F(QueueTest, StoredBytesAndRoundTrip)
{
    queue.enqueue(0x01020304, new PlaceholderEvent_C(EVENT_NIGHTLY));
    queue.enqueue(2000, new PlaceholderEvent_C(EVENT_EXPIRE_MAGLT));
    MemStream_C s;
    queue.write(s);
    const uint8_t expected[] = {
        2, 0, 0, 0,                                        // next serial
        2, 0, 0, 0,                                        // count
        0xD0, 0x07, 0, 0, 2, 0, 0, 0, 0x32, 0x23, 0, 0,    // due 2000, serial 2, type 9010
        4, 3, 2, 1, 1, 0, 0, 0, 0x28, 0x23, 0, 0,          // due 0x01020304, serial 1, type 9000
    };
    ASSERT_EQ(s.size(), sizeof expected);
    EXPECT_EQ(0, memcmp(s.data(), expected, sizeof expected));

    EventQueue_C back(&clock);
    ASSERT_TRUE(back.read(s));
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(back.head()->due, 2000u);
    EXPECT_EQ(back.head()->serial, 2);
    EXPECT_EQ(back.head()->event->typeId(), EVENT_EXPIRE_MAGLT);
    EXPECT_EQ(back.head()->next->due, 0x01020304u);
    EXPECT_EQ(back.head()->next->serial, 1);
    EXPECT_EQ(back.head()->next->event->typeId(), EVENT_NIGHTLY);
    EXPECT_EQ(back.enqueue(5000, new PlaceholderEvent_C(EVENT_HOURLY)), 3);
}

TEST_F(QueueTest, ReadBuildsRegisteredClassesAndDropsUnknownTypes)
{
    static std::vector<std::string>* made;
    made = &log;
    registerTimedEvent(EVENT_EXPIRE_FIZZLE, [] {
        return std::unique_ptr<Event_C>(new ProbeEvent(EVENT_EXPIRE_FIZZLE, made, "fizzle"));
    });
    MemStream_C s;
    s.writeInt32(7);
    s.writeInt32(3);
    const int32_t entries[3][3] = {{1000, 5, 4000}, {1001, 6, EVENT_EXPIRE_FIZZLE}, {1002, 7, 12345}};
    for (const auto& e : entries)
        for (int32_t v : e)
            s.writeInt32(v);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(queue.read(s));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ERROR! eventID == 4000!"), std::string::npos);
    EXPECT_NE(err.find("ERROR! eventID == 12345!"), std::string::npos);
    ASSERT_EQ(queue.count(), 1);
    EXPECT_EQ(queue.head()->serial, 6);
    clock.setTicks(1002);
    runDue();
    EXPECT_EQ(log, (std::vector<std::string>{"fizzle"}));
}

TEST_F(QueueTest, ShortOrLyingStreamsLeaveTheQueueEmpty)
{
    queue.enqueue(1500, probe("kept?"));
    MemStream_C lying;
    lying.writeInt32(3);
    lying.writeInt32(1000000); // far more entries than bytes
    lying.writeInt32(1);
    EXPECT_FALSE(queue.read(lying));
    EXPECT_TRUE(queue.empty());

    MemStream_C cut;
    cut.writeInt32(3);
    cut.writeInt32(2);
    for (int v : {1000, 1, 9000, 1001})
        cut.writeInt32(v);
    cut.writeUInt16(2);
    EXPECT_FALSE(queue.read(cut));
    EXPECT_TRUE(queue.empty());
}

TEST(EventMakers, TablesPlaceholdersAndRegistration)
{
    EXPECT_TRUE(isMapEventId(1000));
    EXPECT_TRUE(isMapEventId(2000));
    for (int id : {1004, 1015, 1016, 1019, 1020, 1021, 4000, 9000})
        EXPECT_FALSE(isMapEventId(id)) << id;
    EXPECT_TRUE(isTimedEventId(7001));
    EXPECT_FALSE(isTimedEventId(4000));
    EXPECT_FALSE(registerTimedEvent(4000, [] { return std::unique_ptr<Event_C>(); }));

    EventParams_S p;
    std::unique_ptr<Event_C> hall = createMapEvent(1000, &p);
    ASSERT_NE(hall, nullptr);
    EXPECT_EQ(hall->typeId(), 1000);
    EXPECT_EQ(hall->invoke(nullptr), 0);
    EXPECT_EQ(createMapEvent(1004, &p), nullptr);
    EXPECT_EQ(createTimedEvent(4000), nullptr);
    ASSERT_NE(createTimedEvent(9100), nullptr);
    EXPECT_EQ(createTimedEvent(9100)->typeId(), 9100);
}

} // namespace
