// The eventAPI methods called from a script, with their results and the
// exceptions they raise for bad arguments.
#include "ScriptFixture.h"
#include "support/FinishInterface.h"

#include "core/TagList.h"
#include "rules/StatBlock.h"
#include "rules/TagKeys.h"
#include "world/EventQueue.h"
#include "world/GameClock.h"

#include <gtest/gtest.h>

namespace scripted {
namespace {

// At the end of the program, as the game shuts down: the interface first
// (its picture cache's timers), then the interpreter.
const auto* const kShutDown =
    ::testing::AddGlobalTestEnvironment(new FinishInterface([] { EXPECT_TRUE(stopScripting()); }));

// Every method refuses a handle that no running event gave out, and wrong
// argument types and counts, with real exceptions.
TEST_F(ScriptedEvent, EveryMethodRefusesBadHandlesAndArguments)
{
    join("Ann", 0x4);
    const char* methods[] = {"showPicture",   "clearPicture", "playSpecAudio", "stopSpecAudio", "optionInput",
                             "stringInput",   "getGameTime",  "setTag",        "getTag",        "tickGame",
                             "getPartyCount", "isPC",         "hasItem",       "modifyXP",      "modifyHP",
                             "modifySP",      "modifyBP",     "modifyGold",    "callEvent",     "setExit",
                             "savingThrow",   "removeItem",   "combat",        "poison",        "giveItems",
                             "chest"};
    std::vector<std::string> steps;
    for (const char* m : methods) {
        steps.push_back(std::string("api.") + m + "()");
        steps.push_back(std::string("api.") + m + "('h')");
        steps.push_back(std::string("api.") + m + "(None, None)");
        steps.push_back(std::string("api.") + m + ".__doc__ != None");
    }
    const Results r = probe(steps);
    ASSERT_EQ(r.size(), steps.size());
    for (size_t i = 0; i < steps.size(); i += 4) {
        EXPECT_EQ(r[i], "TypeError") << steps[i];
        EXPECT_EQ(r[i + 1], "TypeError") << steps[i + 1];
        EXPECT_EQ(r[i + 2], "TypeError") << steps[i + 2];
        EXPECT_EQ(r[i + 3], "True") << steps[i + 3];
    }
    // A handle of no running event: the one of an earlier run, and one never given.
    const Results old = probe({"probe.handles[0]"});
    const std::string stale = old[0];
    expectCases(probe({"api.getPartyCount(" + stale + ")", "api.getPartyCount(0)", "api.getPartyCount(-5)",
                       "api.getPartyCount(2**40)", "api.getPartyCount(h)"}),
                {{"stale", "ValueError"}, {"0", "ValueError"}, {"-5", "ValueError"}, {"huge", "OverflowError"},
                 {"own", "1"}});
    EXPECT_EQ(probe({"api.showPicture.__doc__", "api.chest.__doc__", "api.__doc__"}),
              (Results{"'shows the given picture in UL'", "'runs a chest event (4001)'", "None"}));
}

TEST_F(ScriptedEvent, PartyMethodsChangeTheMembersAsAsked)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bo = join("Bo", 0x2);
    join("Cy", 0x8);
    ann.setMaxSP(30);
    ann.setCurSP(20);
    ann.rawAddGold(40);
    bo.getTagList()->setInt(tagkey::CurSongs, 1);
    bo.getTagList()->setInt(tagkey::MaxSongs, 6);
    kit().carry(ann, kit().rope);
    kit().give(ann, kit().sword, SLOT_RT_HAND);
    kit().carry(ann, kit().arrows, 12);
    const std::vector<Case> cases = {
        {"api.getPartyCount(h)", "3"},
        {"api.isPC(h, 2)", "1"},
        {"api.isPC(h, 3)", "IndexError"},
        {"api.isPC(h, -1)", "IndexError"},
        {"api.modifySP(h, 0, -50)", "0"},
        {"probe.sp0()", "20"},
        {"api.modifySP(h, 0, -50, 1)", "1"},
        {"probe.sp0()", "-30"},
        {"api.modifyGold(h, 0, -100)", "0"},
        {"probe.gold0()", "40"},
        {"api.modifyGold(h, 0, -100, 1)", "0"},
        {"probe.gold0()", "0"},
        {"api.modifyGold(h, 0, 25)", "1"},
        {"api.modifyGold(h, 0, -2**31)", "0"},
        {"api.modifyBP(h, 1, -2)", "0"},
        {"api.modifyBP(h, 1, -2, 1)", "0"},
        {"api.modifyBP(h, 1, 3)", "1"},
        {"api.modifyBP(h, 1, 5)", "1"},
        {"api.modifyBP(h, 0, 5)", "1"},
        {"api.modifyBP(h, 0, -2)", "0"},
        {"api.modifyXP(h, 0, 100)", "1"},
        {"api.modifyXP(h, 0, -100)", "1"},
        {"api.modifyHP(h, 2, -5)", "1"},
        {"api.modifyHP(h, 2, -2**31)", "0"},
        {"api.modifyHP(h, 2, 50)", "0"},
        {"api.hasItem(h, 0, 'Rope')", "1"},
        {"api.hasItem(h, 0, 'Sword')", "1"},
        {"api.hasItem(h, 0, 'Arrows (12)')", "1"},
        {"api.hasItem(h, 0, 'Arrows')", "0"},
        {"api.hasItem(h, 1, 'Rope')", "0"},
        {"api.removeItem(h, 0, 'Rope')", "1"},
        {"api.removeItem(h, 0, 'Rope')", "0"},
        {"api.removeItem(h, 0, 'Sword')", "1"},
        {"api.hasItem(h, 0, 'Sword')", "0"},
        {"api.hasItem(h, 7, 'Sword')", "IndexError"},
        {"api.modifyXP(h, 3, 1)", "IndexError"},
        {"api.modifyHP(h, 0)", "TypeError"},
        {"api.modifySP(h, 0, 1, 1, 1)", "TypeError"},
        {"api.poison(h, 0, 1, 4, 0, 1, 0, 100)", "None"},
        {"api.poison(h, 0, 1, 4, 0, 0, 0, 100)", "ValueError"},
        {"api.poison(h, 0, -1, 4, 0, 1, 0, 100)", "ValueError"},
        {"api.poison(h, 0, 1, 4, 0, 1, 0, -1)", "ValueError"},
        {"api.poison(h, 9, 1, 4, 0, 1, 0, 100)", "IndexError"},
    };
    // The members' numbers, read back through small C++ hooks the probe calls.
    static bl3dPartyChar* a = nullptr;
    a = &ann;
    static PyMethodDef hooks[] = {
        {"sp0", [](PyObject*, PyObject*) -> PyObject* { return PyLong_FromLong(a->getCurSP()); }, METH_NOARGS, nullptr},
        {"gold0", [](PyObject*, PyObject*) -> PyObject* { return PyLong_FromLong(a->rawGold()); }, METH_NOARGS,
         nullptr},
        {nullptr, nullptr, 0, nullptr}};
    PyObject* probeModule = PyImport_ImportModule("probe");
    ASSERT_NE(probeModule, nullptr);
    for (PyMethodDef* d = hooks; d->ml_name; ++d) {
        PyObject* f = PyCFunction_New(d, nullptr);
        PyObject_SetAttrString(probeModule, d->ml_name, f);
        Py_DECREF(f);
    }
    Py_DECREF(probeModule);

    const int32_t xp0 = ann.getXP();
    expectCases(probe(calls(cases)), cases);
    EXPECT_EQ(ann.getXP(), xp0 + 100);
    EXPECT_EQ(ann.rawGold(), 25) << "a spend of -2**31 takes nothing";
    EXPECT_EQ(bo.getTagList()->intValue(tagkey::CurSongs), 6) << "0 (forced), then 3, then 6 at most";
    EXPECT_LT(party->getMember(2)->getCurHP(), 1) << "a member at 0 HP or less is not healed";
    EXPECT_TRUE(ann.isPoisoned());
    EXPECT_EQ(ann.getPack()->count(), 1) << "the arrows are left";
}

// A failed song-point change writes nothing (not a negative count); force
// empties the points.
TEST_F(ScriptedEvent, FailedSongPointChangeWritesNothing)
{
    join("Ann", 0x4);
    bl3dPartyChar& bo = join("Bo", 0x2);
    bo.getTagList()->setInt(tagkey::CurSongs, 1);
    bo.getTagList()->setInt(tagkey::MaxSongs, 6);
    EXPECT_EQ(probe({"api.modifyBP(h, 1, -2)"}), (Results{"0"}));
    EXPECT_EQ(bo.getTagList()->intValue(tagkey::CurSongs), 1);
    EXPECT_EQ(probe({"api.modifyBP(h, 1, -2, 1)"}), (Results{"0"}));
    EXPECT_EQ(bo.getTagList()->intValue(tagkey::CurSongs), 0);
}

// Saving throws: the kinds compared without regard to case; each of the
// four elements can be resisted.
TEST_F(ScriptedEvent, SavingThrowKindsAndElements)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    for (int stat : {13, 15, 17, 19})
        ann.getStatBlock()->setBase(stat, 100);
    ann.getStatBlock()->recompute();
    EXPECT_EQ(probe({"api.savingThrow(h, 'fire', 0, 0)", "api.savingThrow(h, 'Water', 0, 0)",
                     "api.savingThrow(h, 'EARTH', 0, 0)", "api.savingThrow(h, 'air', 0, 0)",
                     "api.savingThrow(h, 'banana', 0, 0)", "api.savingThrow(h, 'fire', 1, 0)"}),
              (Results{"0", "0", "0", "0", "-1", "IndexError"}));
    for (int stat : {13, 15, 17, 19})
        ann.getStatBlock()->setBase(stat, 0);
    ann.getStatBlock()->recompute();
    EXPECT_EQ(probe({"api.savingThrow(h, 'fire', 0, 0)", "api.savingThrow(h, 'water', 0, 0)",
                     "api.savingThrow(h, 'earth', 0, 0)", "api.savingThrow(h, 'air', 0, 0)"}),
              (Results{"1", "1", "1", "1"}));

    // The same seed gives the same roll whatever the spelling.
    vell::gameSrand(5);
    const Results lower = probe({"api.savingThrow(h, 'breath', 0, 0)", "api.savingThrow(h, 'dex', 0, 0)",
                                 "api.savingThrow(h, 'spells', 0, 20)"});
    vell::gameSrand(5);
    const Results upper = probe({"api.savingThrow(h, 'BREATH', 0, 0)", "api.savingThrow(h, 'DeX', 0, 0)",
                                 "api.savingThrow(h, 'Spells', 0, 20)"});
    EXPECT_EQ(lower, upper);
    EXPECT_EQ(lower[2], "0") << "a bonus of 20 always saves";
    // dex: a stat of 25 is never reached by rand() % 25.
    ann.getStatBlock()->setBase(3, 25);
    ann.getStatBlock()->recompute();
    EXPECT_EQ(probe({"api.savingThrow(h, 'dex', 0, 0)"}), (Results{"0"}));
}

TEST_F(ScriptedEvent, TagsTimeAndTheSquaresFlags)
{
    join("Ann", 0x4);
    const uint32_t t0 = gameworld->getClock().getTicks();
    iface.setCurX(2.0f);   // an entry, as a step makes
    const std::vector<Case> first = {
        {"api.setTag(h, 'Combat', 1)", "-2"},
        {"api.setTag(h, 'lFlagS', 1)", "-2"},
        {"api.getTag(h, 'lFlagU')", "0"},
        {"api.getTag(h, 'lFlagS') & 0x100", "256"},
        {"api.setTag(h, 'lFlagU', 5)", "0"},
        {"api.setTag(h, 'Quest', 3)", "0"},
        {"api.getTag(h, 'Quest')", "3"},
        {"api.getTag(h, 'Nothing')", "0"},
        {"api.getTag(h, 'Combat')", "0"},
        {"api.getTag(h, 'Chest')", "0"},
        {"api.setTag(h, 'Quest', 2**31)", "OverflowError"},
        {"api.tickGame(h, 0)", "ValueError"},
        {"api.tickGame(h, -3)", "ValueError"},
        {"api.tickGame(h, 240)", "0"},
        {"api.getGameTime(h) - " + std::to_string(t0), "240"},
    };
    expectCases(probe(calls(first)), first);
    EXPECT_EQ(gameworld->getVar("Quest"), 3);
    EXPECT_FALSE(gameworld->getTagList().hasKey("Nothing")) << "reading makes no entry";
    EXPECT_EQ(iface.getCurrentMap()->getTagList()->intValue("f002x002U"), 5);
    EXPECT_EQ(probe({"api.getTag(h, 'lFlagU')"}), (Results{"5"})) << "kept for the next run on the square";
}

// Numbers at the ends of the int range, as a careless script may hand them:
// a saving throw's bonus saves always or never; a poison's bonus beyond what
// its dice may roll, a group farther than a fight reaches or nearer than
// melee, and a chest of negative gold are refused, and nothing happens.
TEST_F(ScriptedEvent, HostileNumbersAreRefusedOrKeptInRange)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    monsterType("Rat");
    const int32_t hp = ann.getCurHP();
    const std::vector<Case> refused = {
        {"api.savingThrow(h, 'breath', 0, 2**31 - 1)", "0"},
        {"api.savingThrow(h, 'Death', 0, -2**31)", "1"},
        {"api.poison(h, 0, 1, 4, 2**31 - 1, 1, 0, 100)", "ValueError"},
        {"api.poison(h, 0, 1, 4, -2**31, 1, 0, 100)", "ValueError"},
        {"api.poison(h, 0, 1, 4, 1001, 1, 0, 100)", "ValueError"},
        {"api.combat(h, [('Rat', 1, 0, -2**31)])", "ValueError"},
        {"api.combat(h, [('Rat', 1, 0, 5)])", "ValueError"},
        {"api.combat(h, [('Rat', 1, 0, 10), ('Rat', 1, 0, 2**31 - 1)])", "ValueError"},
        {"api.chest(h, 0, 0, -500, [], 0, 'a purse')", "ValueError"},
        {"api.chest(h, 0, 0, -2**31, ['Rope'], 0, 'a purse')", "ValueError"},
    };
    expectCases(probe(calls(refused)), refused);
    EXPECT_TRUE(started().empty()) << "no fight and no chest";
    EXPECT_FALSE(ann.isPoisoned());
    EXPECT_EQ(ann.getCurHP(), hp);

    const std::vector<Case> edges = {
        {"api.poison(h, 0, 0, 0, 1000, 1, 0, 100)", "None"},
        {"api.combat(h, [('Rat', 1, 0, 10), ('Rat', 1, 0, 1000)])", "1"},
        {"api.chest(h, 0, 0, 0, [], 0, 'an empty box')", "1"},
    };
    expectCases(probe(calls(edges)), edges);
    EXPECT_TRUE(ann.isPoisoned());
    ASSERT_EQ(started().size(), 2u);
    EXPECT_EQ(started()[0].distances, (std::vector<int>{10, 1000}));
    EXPECT_EQ(started()[1].gold, 0);
}

// Ticks that would carry the clock past its end are refused: the clock
// never wraps back to year 1, under the nightly and hourly upkeep queued for
// later, which go on coming due.
TEST_F(ScriptedEvent, TheClockCannotBeTickedPastItsEnd)
{
    join("Ann", 0x4);
    // The game's own upkeep events (the quest was loaded before they were
    // registered).
    gameworld->getEventQueue().clear();
    ASSERT_TRUE(gameworld->ensureUpkeepEvents());
    const uint32_t t0 = gameworld->getClock().getTicks();
    EXPECT_EQ(probe({"api.tickGame(h, 2**31 - 1)", "api.tickGame(h, 2**31 - 1)"}), (Results{"0", "ValueError"}));
    const uint32_t now = gameworld->getClock().getTicks();
    EXPECT_EQ(now, t0 + uint32_t(INT32_MAX));
    auto upkeepDue = [] {
        std::vector<uint32_t> due;
        for (const QueueNode_S* n = gameworld->getEventQueue().head(); n; n = n->next)
            if (n->event->typeId() == EVENT_NIGHTLY || n->event->typeId() == EVENT_HOURLY)
                due.push_back(n->due);
        return due;
    };
    const std::vector<uint32_t> before = upkeepDue();
    ASSERT_EQ(before.size(), 2u);
    for (uint32_t due : before) {
        EXPECT_GT(due, now);
        EXPECT_LE(due - now, GameClock_C::TICKS_PER_DAY);
    }
    // An hour later the hourly upkeep ran and is due again an hour on.
    EXPECT_EQ(probe({"api.tickGame(h, 240)"}), (Results{"0"}));
    EXPECT_NE(upkeepDue(), before);
    for (uint32_t due : upkeepDue())
        EXPECT_GT(due, gameworld->getClock().getTicks());
    EXPECT_EQ(probe({"api.tickGame(h, " + std::to_string(gameworld->getClock().ticksLeft() + 1) + ")"}),
              (Results{"ValueError"}));
}

} // namespace
} // namespace scripted
