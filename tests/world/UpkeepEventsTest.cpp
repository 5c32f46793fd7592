// The nightly and hourly upkeep: what each does to the party, that each
// queues its own next run so the chains never stop, and that a world stored
// without them gets them back when it is read.
#include "WorldTestUtil.h"

#include "events/Event_9000.h"
#include "events/Event_9002.h"
#include "app/GameEvents.h"
#include "rules/EnemyList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"

#include <gtest/gtest.h>

using worldtest::InFolder;
using worldtest::StoreScope;

namespace {

constexpr int32_t LAND_REAVER = 0x1;
constexpr int32_t HARPER = 0x2;
constexpr int32_t SQUIRE = 0x4;
constexpr int32_t PROTECTOR = 0x20;
constexpr int32_t MAGICIAN = 0x100;
constexpr int32_t JOINED = 0x8000;

// Ticks of a time of the day the world starts on (day 6, 9:30).
uint32_t at(unsigned hour, unsigned minute)
{
    const uint32_t dayStart = GameClock_C::START_TICKS - (9 * 60 + 30) * GameClock_C::TICKS_PER_MINUTE;
    return dayStart + (hour * 60 + minute) * GameClock_C::TICKS_PER_MINUTE;
}

struct UpkeepTest : ::testing::Test {
    InFolder folder{VELL_GAME_DIR};
    StoreScope stores;
    ra2dGameWorld world{RefStr_C("ra2d.dat")};
    bl3dParty members{RefStr_C("party.dat")};
    int ai = 0; // stands for a joined monster's combat AI; never used

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        registerGameEvents();
        ASSERT_TRUE(world.newWorld());
        world.getEventQueue().clear();
        gameworld = &world;
        party = &members;
    }
    void TearDown() override
    {
        party = nullptr;
        gameworld = nullptr;
        clearEventMakers();
    }

    bl3dPartyChar* add(const char* name, int32_t classId, int32_t hp = 10, int32_t sp = 2)
    {
        auto* m = new bl3dPartyChar(name, classId, RACE_HUMAN, true, ALIGN_GOOD,
                                    classId & JOINED ? reinterpret_cast<bl3dCombatAI*>(&ai) : nullptr, nullptr);
        m->setMaxHP(20);
        m->setCurHP(hp);
        m->setMaxSP(20);
        m->setCurSP(sp);
        EXPECT_TRUE(members.addMember(m));
        return m;
    }
    static int32_t attr(bl3dPartyChar* m, const char* key) { return m->getTagList()->intValue(key); }

    // The single queued entry, which must be of that type.
    uint32_t onlyDue(int type)
    {
        const QueueNode_S* n = world.getEventQueue().head();
        EXPECT_NE(n, nullptr);
        if (!n)
            return 0;
        EXPECT_EQ(n->next, nullptr);
        EXPECT_EQ(n->event->typeId(), type);
        return n->due;
    }
    void hourly(uint32_t ticks)
    {
        world.getClock().setTicks(ticks);
        Event_9002_C().invoke(nullptr);
    }
};

TEST_F(UpkeepTest, EachQueuesItsNextRun)
{
    EXPECT_EQ(createTimedEvent(EVENT_NIGHTLY)->typeId(), EVENT_NIGHTLY);
    EXPECT_NE(dynamic_cast<Event_9000_C*>(createTimedEvent(EVENT_NIGHTLY).get()), nullptr);
    EXPECT_NE(dynamic_cast<Event_9002_C*>(createTimedEvent(EVENT_HOURLY).get()), nullptr);

    world.getClock().setTicks(at(23, 30));
    EXPECT_EQ(Event_9000_C().invoke(nullptr), 0);
    EXPECT_EQ(onlyDue(EVENT_NIGHTLY), at(24, 0)) << "midnight of the next day";
    world.getEventQueue().clear();
    world.getClock().setTicks(at(0, 0) + 2); // 0:00:30, just after midnight
    Event_9000_C().invoke(nullptr);
    EXPECT_EQ(onlyDue(EVENT_NIGHTLY), at(24, 0));
    world.getEventQueue().clear();

    hourly(at(10, 45));
    EXPECT_EQ(onlyDue(EVENT_HOURLY), at(11, 0));
    world.getEventQueue().clear();
    hourly(at(11, 0));
    EXPECT_EQ(onlyDue(EVENT_HOURLY), at(12, 0));
}

// Run from the queue as the clock goes on, the chains never stop: two days
// later the next of each is still there, and each ran as often as it should.
TEST_F(UpkeepTest, ChainsRunFromTheQueueForDays)
{
    bl3dPartyChar* m = add("Mira", MAGICIAN, 10, 0);
    m->setMaxSP(1000);
    world.getClock().setTicks(at(9, 30));
    world.getEventQueue().enqueue(world.nextDayStart(), createTimedEvent(EVENT_NIGHTLY).release());
    world.getEventQueue().enqueue(world.nextHourStart(), createTimedEvent(EVENT_HOURLY).release());
    world.setVar(tagkey::Regen, 0x000001); // one spell point an hour, day and night
    for (uint32_t t = at(9, 30); t <= at(57, 30); t += 60) {
        world.getClock().setTicks(t);
        while (world.getEventQueue().popDue(nullptr)) {
        }
    }
    // 48 hourly runs; outdoors, 13 of every 24 hours (6:00 to 18:00) add 1.
    EXPECT_EQ(m->getCurSP(), 48 + 2 * 13);
    ASSERT_EQ(world.getEventQueue().count(), 2);
    const QueueNode_S* n = world.getEventQueue().head();
    EXPECT_EQ(n->event->typeId(), EVENT_HOURLY);
    EXPECT_EQ(n->due, at(58, 0));
    EXPECT_EQ(n->next->event->typeId(), EVENT_NIGHTLY);
    EXPECT_EQ(n->next->due, at(72, 0));
}

TEST_F(UpkeepTest, NightlyRefillsTheDailyCounters)
{
    bl3dPartyChar* reaver = add("Rolf", LAND_REAVER);
    bl3dPartyChar* knight = add("Kay", PROTECTOR);
    bl3dPartyChar* squire = add("Sam", SQUIRE);
    for (bl3dPartyChar* m : {reaver, knight, squire}) {
        TagList_C* a = m->getTagList();
        a->addCounter("0x000a2042", 3);
        a->useCounter("0x000a2042");
        a->setInt(tagkey::berserkMax, 2);
        a->setInt(tagkey::berserkCur, 0);
        a->setInt(tagkey::FightEvilMax, 4);
        a->setInt(tagkey::FightEvilCur, 1);
    }
    Event_9000_C().invoke(nullptr);
    for (bl3dPartyChar* m : {reaver, knight, squire})
        EXPECT_EQ(attr(m, "0x000a2042"), 3) << m->getName();
    EXPECT_EQ(attr(reaver, tagkey::berserkCur), 2);
    EXPECT_EQ(attr(reaver, tagkey::FightEvilCur), 1);
    EXPECT_EQ(attr(knight, tagkey::FightEvilCur), 4);
    EXPECT_EQ(attr(knight, tagkey::berserkCur), 0);
    EXPECT_EQ(attr(squire, tagkey::berserkCur), 0);
    EXPECT_EQ(attr(squire, tagkey::FightEvilCur), 1);
}

TEST_F(UpkeepTest, HourlyRegeneration)
{
    constexpr int32_t NONE = INT32_MIN;
    struct Case {
        const char* what;
        const char* map;
        unsigned hour;
        int32_t worldRegen;
        int32_t ownRegen;     // the caster's and the fighter's own
        int32_t spMod, hpMod; // on the bard; NONE = absent
        int32_t casterSP, casterHP, fighterSP, fighterHP, bardSongs;
    };
    const Case cases[] = {
        {"outdoors at noon", "maps/renibister.cfg", 12, 0, 0, NONE, NONE, 3, 10, 2, 10, 1},
        {"outdoors at six", "maps/renibister.cfg", 6, 0, 0, NONE, NONE, 3, 10, 2, 10, 1},
        {"outdoors at night", "maps/renibister.cfg", 22, 0, 0, NONE, NONE, 2, 10, 2, 10, 1},
        {"indoors at noon", "maps/catacombs.cfg", 12, 0, 0, NONE, NONE, 2, 10, 2, 10, 1},
        {"world Regen 0x000203", "maps/catacombs.cfg", 12, 0x000203, 0, NONE, NONE, 5, 12, 2, 12, 1},
        {"own Regen: HP byte 0xFF", "maps/catacombs.cfg", 12, 0, 0x00FF00, NONE, NONE, 2, 9, 2, 9, 1},
        {"own Regen: SP 5, HP 1", "maps/catacombs.cfg", 12, 0, 0x000105, NONE, NONE, 7, 11, 2, 11, 1},
        {"world songs byte, up to MaxSongs", "maps/catacombs.cfg", 12, 0x050000, 0, NONE, NONE, 2, 10, 2, 10, 3},
        {"bard SP modifier", "maps/renibister.cfg", 12, 0x000002, 0, 3, NONE, 2 + 9, 10, 2, 10, 1},
        {"bard SP modifier 0 leaves SP", "maps/renibister.cfg", 12, 0, 0, 0, NONE, 3, 10, 2, 10, 1},
        {"bard HP modifier", "maps/catacombs.cfg", 12, 0x000100, 0, NONE, 4, 2, 14, 2, 14, 1},
        {"HP modifier without world HP", "maps/catacombs.cfg", 12, 0, 0, NONE, 4, 2, 10, 2, 10, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        while (members.getCount() > 0)
            members.removeAt(0);
        ASSERT_TRUE(world.newMap(c.map));
        world.setVar(tagkey::Regen, c.worldRegen);
        bl3dPartyChar* caster = add("Cass", MAGICIAN);
        bl3dPartyChar* fighter = add("Fen", SQUIRE);
        bl3dPartyChar* bard = add("Bea", HARPER);
        bl3dPartyChar* dead = add("Dov", MAGICIAN, 0);
        caster->getTagList()->setInt(tagkey::Regen, c.ownRegen);
        fighter->getTagList()->setInt(tagkey::Regen, c.ownRegen);
        bard->getTagList()->setInt(tagkey::MaxSongs, 3);
        bard->getTagList()->setInt(tagkey::CurSongs, 1);
        if (c.spMod != NONE)
            bard->getTagList()->setInt(tagkey::BardSPMod, c.spMod);
        if (c.hpMod != NONE)
            bard->getTagList()->setInt(tagkey::BardHPMod, c.hpMod);
        dead->getTagList()->setInt(tagkey::Regen, 0x010101);
        hourly(at(c.hour, 0));
        world.getEventQueue().clear();
        EXPECT_EQ(caster->getCurSP(), c.casterSP);
        EXPECT_EQ(caster->getCurHP(), c.casterHP);
        EXPECT_EQ(fighter->getCurSP(), c.fighterSP) << "not a caster";
        EXPECT_EQ(fighter->getCurHP(), c.fighterHP);
        EXPECT_EQ(attr(bard, tagkey::CurSongs), c.bardSongs);
        EXPECT_EQ(dead->getCurHP(), 0) << "the dead are passed over";
        EXPECT_EQ(dead->getCurSP(), 2);
    }
}

TEST_F(UpkeepTest, CapsAndSignedBytes)
{
    bl3dPartyChar* caster = add("Cass", MAGICIAN, 19, 19);
    bl3dPartyChar* bard = add("Bea", HARPER, 1);
    caster->getTagList()->setInt(tagkey::Regen, 0x000505);
    bard->getTagList()->setInt(tagkey::Regen, static_cast<int32_t>(0xFEFE00)); // -2 HP, -2 songs
    bard->getTagList()->setInt(tagkey::MaxSongs, 10);
    bard->getTagList()->setInt(tagkey::CurSongs, 4);
    world.setVar(tagkey::Regen, 0x050000); // five songs
    hourly(at(22, 0));
    EXPECT_EQ(caster->getCurHP(), 20) << "capped at the maximum";
    EXPECT_EQ(caster->getCurSP(), 20);
    EXPECT_EQ(bard->getCurHP(), -1) << "a loss can kill";
    EXPECT_EQ(attr(bard, tagkey::CurSongs), 7) << "4 - 2 + 5";
}

TEST_F(UpkeepTest, ExpiredJoinedCreaturesLeave)
{
    const uint32_t now = at(14, 0);
    bl3dPartyChar* keeper = add("Keeper", JOINED, 5);
    keeper->getTagList()->setInt(tagkey::MonExpire, 0); // never expires
    bl3dPartyChar* gone1 = add("Wolf", JOINED, 5);
    gone1->getTagList()->setInt(tagkey::MonExpire, static_cast<int32_t>(now - 1));
    bl3dPartyChar* gone2 = add("Imp", JOINED, 5);
    gone2->getTagList()->setInt(tagkey::MonExpire, static_cast<int32_t>(now - 240));
    bl3dPartyChar* after = add("Ada", SQUIRE, 5);
    bl3dPartyChar* stays = add("Owl", JOINED, 5);
    stays->getTagList()->setInt(tagkey::MonExpire, static_cast<int32_t>(now));
    for (bl3dPartyChar* m : {keeper, after, stays})
        m->getTagList()->setInt(tagkey::Regen, 0x000100);
    world.setVar(tagkey::Regen, 0);
    hourly(now);
    ASSERT_EQ(members.getCount(), 3);
    EXPECT_EQ(members.getMember(0), keeper);
    EXPECT_EQ(members.getMember(1), after) << "the next member moves up";
    EXPECT_EQ(members.getMember(2), stays) << "due exactly now: not yet";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(members.getMember(i)->getCurHP(), 6) << "the member in the freed slot is looked at too";
    EXPECT_EQ(onlyDue(EVENT_HOURLY), at(15, 0));
}

// In the middle of a fight nobody leaves the party: the fight puts its
// order back together at its end, and the next hour lets the creature go.
TEST_F(UpkeepTest, NobodyLeavesInTheMiddleOfAFight)
{
    const uint32_t now = at(14, 0);
    bl3dPartyChar* wolf = add("Wolf", JOINED, 5);
    wolf->getTagList()->setInt(tagkey::MonExpire, static_cast<int32_t>(now - 1));
    enemyList.setInCombat(true);
    hourly(now);
    enemyList.setInCombat(false);
    ASSERT_EQ(members.getCount(), 1);
    EXPECT_EQ(members.getMember(0), wolf);
    hourly(at(15, 0));
    EXPECT_EQ(members.getCount(), 0);
}

// A world stored while its upkeep had stopped queuing itself gets the
// nightly and the hourly events back when it is read.
TEST_F(UpkeepTest, AWorldStoredWithoutThemGetsThemBack)
{
    world.getClock().setTicks(at(16, 20));
    for (int kept : {0, int(EVENT_NIGHTLY), int(EVENT_HOURLY)}) {
        SCOPED_TRACE(kept);
        world.getEventQueue().clear();
        if (kept == EVENT_NIGHTLY)
            world.getEventQueue().enqueue(at(24, 0), createTimedEvent(EVENT_NIGHTLY).release());
        if (kept == EVENT_HOURLY)
            world.getEventQueue().enqueue(at(17, 0), createTimedEvent(EVENT_HOURLY).release());
        world.getEventQueue().enqueue(at(20, 0), createTimedEvent(EVENT_EXPIRE_MAGLT).release());
        MemStream_C s;
        world.write(s);
        testing::internal::CaptureStderr();
        std::unique_ptr<Storable_C> rec = ra2dGameWorld::create("ra2d.dat", 1, s);
        testing::internal::GetCapturedStderr();
        auto* back = dynamic_cast<ra2dGameWorld*>(rec.get());
        ASSERT_NE(back, nullptr);
        ASSERT_EQ(back->getEventQueue().count(), 3);
        const QueueNode_S* n = back->getEventQueue().head();
        EXPECT_EQ(n->event->typeId(), EVENT_HOURLY);
        EXPECT_EQ(n->due, at(17, 0));
        EXPECT_NE(dynamic_cast<Event_9002_C*>(n->event), nullptr);
        EXPECT_EQ(n->next->event->typeId(), EVENT_EXPIRE_MAGLT);
        EXPECT_EQ(n->next->next->event->typeId(), EVENT_NIGHTLY);
        EXPECT_EQ(n->next->next->due, at(24, 0));
        // Nothing is added twice.
        EXPECT_FALSE(back->ensureUpkeepEvents());
        EXPECT_EQ(back->getEventQueue().count(), 3);
    }
}

} // namespace
