// Runs of scripted squares: where the party goes by the script's result,
// script errors, input typed by pushed keys, and the fights, chests,
// buildings and movies that scripts start.
#include "ScriptFixture.h"

#include "core/Movie.h"

#include <gtest/gtest.h>

namespace scripted {
namespace {

TEST_F(ScriptedEvent, TheResultDecidesWhetherThePartyMoves)
{
    join("Ann", 0x4);
    struct Row {
        const char* ret;
        bool moves;
    };
    for (const Row& row : {Row{"1", false}, Row{"0", true}, Row{"None", true}, Row{"-1", true}, Row{"2", true},
                           Row{"-998", true}, Row{"-999", false}, Row{"-5000", false}, Row{"'text'", true}}) {
        standOn(2, 2, 0);
        probe({}, row.ret);
        if (row.moves) {
            EXPECT_EQ(squareX(), 9) << row.ret;
            EXPECT_EQ(squareY(), 9) << row.ret;
            EXPECT_EQ(iface.getFacing(), 180) << row.ret;
        } else {
            EXPECT_EQ(squareX(), 2) << row.ret;
            EXPECT_EQ(squareY(), 2) << row.ret;
        }
    }
}

TEST_F(ScriptedEvent, SetExitChangesTheExitItemByItem)
{
    join("Ann", 0x4);
    const std::string here = iface.getCurrentMap()->getFileName();
    probe({"api.setExit(h, '" + here + "', -1, 3, -1)"}, "0");
    EXPECT_EQ(squareX(), 9);
    EXPECT_EQ(squareY(), 3);
    EXPECT_EQ(iface.getFacing(), 180);

    standOn(2, 2, 0);
    probe({"api.setExit(h, 'maps/events.cfg', 5, 7, 90)"}, "0");
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/events.cfg");
    EXPECT_EQ(squareX(), 5);
    EXPECT_EQ(squareY(), 7);
    EXPECT_EQ(iface.getFacing(), 90);

    // A map that cannot be built: the party stays where it is.
    standOn(2, 2, 0);
    testing::internal::CaptureStderr();
    pushKey(SDLK_SPACE);   // the message that says so
    probe({"api.setExit(h, 'maps/nowhere.cfg', 5, 5, 0)"}, "0");
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/events.cfg");
    EXPECT_EQ(squareX(), 2);
}

// A script that fails, leaves with SystemExit or has no fireEvent keeps the
// party where it is; the failure is reported with its traceback and the game
// goes on.
TEST_F(ScriptedEvent, FailingScriptsLeaveThePartyAndTheGameBe)
{
    join("Ann", 0x4);
    for (const char* how : {"'error'", "'exit'"}) {
        standOn(2, 2, 0);
        setGlobal("broken", "how", how);
        testing::internal::CaptureStderr();
        runScript("broken");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(squareX(), 2) << how;
        EXPECT_NE(said.find("'broken'"), std::string::npos) << said;
        EXPECT_NE(said.find("Traceback"), std::string::npos) << said;
        EXPECT_NE(said.find(std::string(how) == "'exit'" ? "SystemExit" : "ZeroDivisionError"), std::string::npos)
            << said;
    }
    EXPECT_TRUE(Py_IsInitialized());

    setGlobal("broken", "how", "'value'");   // a result that is no integer: as 0
    runScript("broken");
    EXPECT_EQ(squareX(), 9);

    for (const char* script : {"nofire", "no_such_script"}) {
        standOn(2, 2, 0);
        EventParams_S p;
        std::snprintf(p.name, sizeof p.name, "%s", script);
        p.exitX = 9;
        Event_2000_C e(&p);
        EXPECT_FALSE(e.isReady()) << script;
        e.invoke(&iface);
        EXPECT_EQ(squareX(), 2) << script;
    }
}

TEST_F(ScriptedEvent, OptionInputEndsOnlyOnAListedKey)
{
    join("Ann", 0x4);
    script({partyscreens::quiet(SDLK_x), partyscreens::quiet(SDLK_DOWN), SDLK_n});
    EXPECT_EQ(probe({"api.optionInput(h, ['Will you help?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"110"}));
    EXPECT_TRUE(lastIn(0).has("(Y)es"));
    EXPECT_TRUE(lastIn(0).has("(N)o"));
    EXPECT_TRUE(lastIn(0).mentions("Will you help?"));

    // ESC is an ordinary key here: a script may list it.
    script({SDLK_ESCAPE});
    EXPECT_EQ(probe({"api.optionInput(h, [], ['(ESC) Leave'], [27])"}), (Results{"27"}));

    const std::vector<std::string> bad = {
        "api.optionInput(h, ['a'], ['x', 'y'], [1])",   // more labels than keys
        "api.optionInput(h, ['a'], ['x'], [1, 2])",
        "api.optionInput(h, ['a'], [], [])",            // no key could end it
        "api.optionInput(h, [1], ['x'], [1])",
        "api.optionInput(h, ['a'], [None], [1])",
        "api.optionInput(h, ['a'], ['x'], ['y'])",
        "api.optionInput(h, ['a'], ['x'], [2**40])",
        "api.optionInput(h, 'a', ['x'], [1])",
    };
    EXPECT_EQ(probe(bad), (Results{"ValueError", "ValueError", "ValueError", "TypeError", "TypeError", "TypeError",
                                   "OverflowError", "TypeError"}));
}

// The quit event (window closed) during an input stops the script, even one
// that asks again until it gets its answer; nothing is reported.
TEST_F(ScriptedEvent, QuittingStopsAScriptWaitingForAnswer)
{
    join("Ann", 0x4);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    testing::internal::CaptureStderr();
    const Results r = probe({"[api.optionInput(h, ['Again?'], ['(Y)es'], [121]) for i in range(1000000)]"});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(vell::quitRequested());
    vell::clearQuitRequest();
    EXPECT_TRUE(r.empty()) << "the probe's own loop was stopped too";
    EXPECT_EQ(said.find("failed"), std::string::npos) << said;
    EXPECT_EQ(squareX(), 2);
}

// With mouse support, a click on an option's line stands for its key.
TEST_F(ScriptedEvent, AClickOnAnOptionLineChoosesIt)
{
    join("Ann", 0x4);
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    // Line 0 (the bottom line) holds the last label, line -1 the one above.
    const int bottom = kHeight - iface.getURLineY(0) - 10;
    script({partyscreens::click(800, bottom - 20)});
    EXPECT_EQ(probe({"api.optionInput(h, ['Which?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"121"}));
    script({partyscreens::click(800, bottom)});
    EXPECT_EQ(probe({"api.optionInput(h, ['Which?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"110"}));
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
}

TEST_F(ScriptedEvent, StringInputTakesLettersAndBlanks)
{
    join("Ann", 0x4);
    const char* type = "api.stringInput(h, ['What walks on four legs?'])";
    // Typed by hand: a, b, BACKSPACE, shift-c, SPACE, d, RETURN.
    for (SDLKey k : {SDLK_a, SDLK_b, SDLK_BACKSPACE})
        pushKey(k);
    pushKey(SDLK_c, KMOD_LSHIFT);
    pushKey(SDLK_SPACE);
    pushKey(SDLK_d);
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"'aC d'"}));

    // RETURN at once: an empty line. 41 letters: the 41st is not taken.
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"''"}));
    for (int i = 0; i < 41; ++i)
        pushKey(SDLK_z);
    pushKey(SDLK_1);   // no letter: nothing happens
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"'" + std::string(40, 'z') + "'"}));
}

TEST_F(ScriptedEvent, CombatFillsTheEnemyListAndMapsTheFightsResult)
{
    join("Ann", 0x4);
    monsterType("Rat");
    monsterType("Bat");
    struct Row {
        int fight;
        const char* result;
    };
    for (const Row& row : {Row{0, "1"}, Row{1, "2"}, Row{-1, "3"}, Row{7, "999"}}) {
        started().clear();
        standInResult() = row.fight;
        EXPECT_EQ(probe({"api.combat(h, [('Rat', 2, 3, 10), ('Bat', 1, 0, 40)])", "api.getTag(h, 'Combat')"}),
                  (Results{row.result, row.result}));
        ASSERT_EQ(started().size(), 1u);
        const Started& s = started()[0];
        EXPECT_EQ(s.type, EVENT_COMBAT);
        ASSERT_EQ(s.groups.size(), 2u);
        EXPECT_EQ(s.groups[0].first, "Rat");
        EXPECT_GE(s.groups[0].second, 2);
        EXPECT_LE(s.groups[0].second, 5);
        EXPECT_EQ(s.distances[0], 10);
        EXPECT_EQ(s.groups[1], (std::pair<std::string, int>("Bat", 1)));
        EXPECT_EQ(s.distances[1], 40);
    }
    started().clear();
    EXPECT_EQ(probe({"api.combat(h, [('Rat', 1, 0, 10), ('Wolf', 1, 0, 10)])",
                     "api.combat(h, [('Rat', 1, -1, 10)])", "api.combat(h, [('Rat', -1, 0, 10)])",
                     "api.combat(h, [('Rat', 2**31 - 1, 2**31 - 1, 10)])", "api.combat(h, [['Rat', 1, 0, 10]])",
                     "api.combat(h, [('Rat', 1)])", "api.combat(h, [(1, 1, 0, 10)])"}),
              (Results{"-101", "ValueError", "ValueError", "ValueError", "TypeError", "TypeError", "TypeError"}));
    EXPECT_TRUE(started().empty()) << "no fight for a refused list";
}

TEST_F(ScriptedEvent, ChestsAndGiftsGoToTheChestEvent)
{
    join("Ann", 0x4);
    struct Row {
        int chestEvent;
        const char* result;
    };
    for (const Row& row : {Row{0, "1"}, Row{1, "2"}, Row{5, "-1"}}) {
        started().clear();
        standInResult() = row.chestEvent;
        EXPECT_EQ(probe({"api.chest(h, 2, 3, 50, ['Rope', 'Helm'], 0, 'an iron box')", "api.getTag(h, 'Chest')"}),
                  (Results{row.result, row.result}));
        ASSERT_EQ(started().size(), 1u);
        const Started& s = started()[0];
        EXPECT_EQ(s.type, EVENT_CHEST);
        EXPECT_EQ(s.trap, 2);
        EXPECT_EQ(s.lock, 3);
        EXPECT_EQ(s.gold, 50);
        EXPECT_EQ(s.description, "an iron box");
        EXPECT_EQ(s.items, (std::vector<std::string>{"Helm", "Rope"})) << "each pushed at the head";
    }
    started().clear();
    standInResult() = 0;
    EXPECT_EQ(probe({"api.giveItems(h, ['Rope'])", "api.chest(h, 0, 0, 0, ['Rope', 'Nothing'], 0, 'x')",
                     "api.getTag(h, 'Chest')", "api.chest(h, 0, 0, 0, [], -1, 'x')",
                     "api.chest(h, 0, 0, 0, [], 2**31 - 1, 'x')", "api.chest(h, 0, 256, 0, [], 0, 'x')",
                     "api.chest(h, 0, 0, 0, [], 3, 'x' * 500)", "api.giveItems(h, [3])"}),
              (Results{"None", "-101", "1", "ValueError", "ValueError", "ValueError", "1", "TypeError"}));
    ASSERT_EQ(started().size(), 2u);
    EXPECT_EQ(started()[0].trap, -1) << "a gift opens on the items";
    EXPECT_EQ(started()[0].description, "something");
    EXPECT_EQ(started()[1].description, std::string(59, 'x'));
    EXPECT_TRUE(started()[1].items.empty()) << "the map has no random items";
}

TEST_F(ScriptedEvent, CallEventStartsBuildingsAndMovies)
{
    join("Ann", 0x4);
    EXPECT_EQ(probe({"api.callEvent(h, 1012, ['Smithy'])", "api.callEvent(h, 1012, ['Inn', '4', '-1', '90'])",
                     "api.callEvent(h, 4000, [])", "api.callEvent(h, 2000, ['probe'])", "api.callEvent(h, 1012, [5])",
                     "api.callEvent(h, 1012, ['x', '99999999999999999999'])"}),
              (Results{"1", "1", "0", "0", "TypeError", "1"}));
    ASSERT_EQ(started().size(), 3u);
    EXPECT_EQ(started()[0].type, 1012);
    EXPECT_STREQ(started()[0].params.name, "Smithy");
    EXPECT_EQ(started()[0].params.exitX, 9) << "this event's own exit";
    EXPECT_EQ(started()[0].params.exitY, 9);
    EXPECT_EQ(started()[0].params.exitFacing, 180);
    EXPECT_EQ(started()[1].params.exitX, 4);
    EXPECT_EQ(started()[1].params.exitY, 9);
    EXPECT_EQ(started()[1].params.exitFacing, 90);
    EXPECT_EQ(started()[2].params.exitX, 9) << "a number beyond 32 bits is no exit";

    // A movie: the game's own, skipped by ESC; one that cannot be played ends at once.
    pushKey(SDLK_ESCAPE);
    testing::internal::CaptureStderr();
    EXPECT_EQ(probe({"api.callEvent(h, 8000, ['pics/intro/credits.mpg'])",
                     "api.callEvent(h, 8000, ['pics/intro/nothing.mpg'])"}),
              (Results{"1", "1"}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("nothing.mpg"), std::string::npos) << said;
    EXPECT_EQ(said.find("credits.mpg"), std::string::npos) << said;
}

// A script that kills the whole party, on a map other than the town: the
// party is carried to the town's Hall of Adventurers.
TEST_F(ScriptedEvent, APartyKilledByTheScriptGoesToTheHall)
{
    join("Ann", 0x4);
    join("Bo", 0x2);
    ASSERT_TRUE(iface.newMap("maps/events.cfg"));
    standOn(2, 2, 0);
    probe({"api.modifyHP(h, 0, -100)", "api.modifyHP(h, 1, -100)"}, "0");
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 24);
    EXPECT_EQ(iface.getFacing(), 0);
    ASSERT_EQ(started().size(), 1u);
    EXPECT_EQ(started()[0].type, 1000);
    EXPECT_EQ(started()[0].params.exitX, 13);
    EXPECT_EQ(started()[0].params.exitY, 24);
}

// Runs nest: a script's building starts another square's script, whose
// calls work with its own handle and with the outer one's, which is running
// too; the outer handle is refused once its run is over.
TEST_F(ScriptedEvent, RunsNest)
{
    join("Ann", 0x4);
    int innerHandle = 0;
    duringStandIn() = [&] {
        EventParams_S p;
        std::snprintf(p.name, sizeof p.name, "broken");
        setGlobal("broken", "how", "'value'");
        Event_2000_C inner(&p);
        innerHandle = inner.handle();
        inner.invoke(&iface);
    };
    const Results r = probe({"api.callEvent(h, 1012, [])", "api.getPartyCount(h)"});
    EXPECT_EQ(r, (Results{"1", "1"}));
    EXPECT_NE(innerHandle, 0);
    EXPECT_EQ(probe({"api.getPartyCount(" + std::to_string(innerHandle) + ")"}), (Results{"ValueError"}));
}

// Whatever a script hands the module, the game goes on: every call raises
// or returns, and the script's SystemExit only ends its own run.
TEST_F(ScriptedEvent, AHostileScriptNeverCrashesTheGame)
{
    join("Ann", 0x4);
    join("Bo", 0x2);
    monsterType("Rat");
    standOn(2, 2, 0);
    testing::internal::CaptureStderr();
    runScript("hostile");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("SystemExit: 7"), std::string::npos) << said;
    EXPECT_EQ(squareX(), 2);
    const std::string raised = global("hostile", "raised");
    EXPECT_NE(raised.find("TypeError"), std::string::npos);
    EXPECT_NE(raised.find("ValueError"), std::string::npos);
    EXPECT_NE(raised.find("OverflowError"), std::string::npos);
    EXPECT_NE(raised.find("IndexError"), std::string::npos);
    EXPECT_TRUE(Py_IsInitialized());
}

} // namespace
} // namespace scripted

namespace scripted {
namespace {

// A movie whose picture is larger than the 512 x 512 surface it is decoded
// into is refused (it would be written past the surface's end); the largest
// that fits plays.
TEST_F(ScriptedEvent, AMovieLargerThanItsSurfaceIsRefused)
{
    const std::string dir = std::string(VELL_TEST_FIXTURES) + "/movies/";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(playMovie((dir + "large.mpg").c_str(), kWidth, kHeight, false, false));
    EXPECT_FALSE(playMovie((dir + "large.mpg").c_str(), kWidth, kHeight, false, true));
    EXPECT_TRUE(playMovie((dir + "square.mpg").c_str(), kWidth, kHeight, false, false));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("640x480 is larger than 512x512"), std::string::npos) << said;
    EXPECT_EQ(said.find("square.mpg"), std::string::npos) << said;
}

} // namespace
} // namespace scripted

namespace scripted {
namespace {

// An exit outside the map's grid (from setExit or a called building's
// numbers) never puts the party off the map.
TEST_F(ScriptedEvent, AnExitOffTheMapKeepsThePartyOnIt)
{
    join("Ann", 0x4);
    const std::string here = iface.getCurrentMap()->getFileName();
    testing::internal::CaptureStderr();
    probe({"api.setExit(h, '" + here + "', 5000, 2**31 - 1, 0)"}, "0");
    EXPECT_EQ(squareX(), 2);
    EXPECT_EQ(squareY(), 2);
    // Another map, and a square off its grid: back to this map.
    probe({"api.setExit(h, 'maps/events.cfg', 3, 900, 0)"}, "0");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), here.c_str());
    EXPECT_EQ(squareX(), 2);
    EXPECT_EQ(squareY(), 2);
    EXPECT_NE(said.find("sends the party to (3, 900), outside maps/events.cfg"), std::string::npos) << said;
}

} // namespace
} // namespace scripted
